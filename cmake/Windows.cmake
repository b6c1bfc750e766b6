# The shipped DLL, Skirmora.asi, and (with MinGW) the Wine test pieces.

# JsonCpp compiled in: a package when one is provided (vcpkg), else Debian's 1.9.5 source (scripts/fetch-jsoncpp).
find_package(jsoncpp CONFIG QUIET)
if(TARGET JsonCpp::JsonCpp)
    set(SKIRMORA_JSONCPP JsonCpp::JsonCpp)
elseif(TARGET jsoncpp_static)
    set(SKIRMORA_JSONCPP jsoncpp_static)
else()
    set(JSONCPP_DIR ${PROJECT_SOURCE_DIR}/third_party/jsoncpp)
    if(NOT EXISTS ${JSONCPP_DIR}/src/lib_json/json_value.cpp)
        message(FATAL_ERROR "JsonCpp source not found in ${JSONCPP_DIR}: run scripts/fetch-jsoncpp")
    endif()
    add_library(skirmora_jsoncpp STATIC ${JSONCPP_DIR}/src/lib_json/json_reader.cpp
                                        ${JSONCPP_DIR}/src/lib_json/json_value.cpp
                                        ${JSONCPP_DIR}/src/lib_json/json_writer.cpp)
    target_include_directories(skirmora_jsoncpp PUBLIC ${JSONCPP_DIR}/include)
    target_compile_options(skirmora_jsoncpp PRIVATE -w)
    set(SKIRMORA_JSONCPP skirmora_jsoncpp)
endif()

if(MINGW)
    # Numbers that JsonCpp writes as text read as on Linux (two-digit exponents, the C standard's way).
    add_compile_definitions(__USE_MINGW_ANSI_STDIO=1)
    set(hook_import ${CMAKE_BINARY_DIR}/libScriptHookV.a)
    add_custom_command(OUTPUT ${hook_import}
                       COMMAND ${CMAKE_DLLTOOL} -d ${PROJECT_SOURCE_DIR}/host/ScriptHookV.def -l ${hook_import}
                       DEPENDS ${PROJECT_SOURCE_DIR}/host/ScriptHookV.def)
    add_custom_target(scripthookv_import DEPENDS ${hook_import})
    set(SKIRMORA_HOOK_LIB ${hook_import} CACHE FILEPATH "Import library of ScriptHookV.dll")
else()
    set(SKIRMORA_HOOK_LIB "" CACHE FILEPATH "ScriptHookV.lib from the hook's SDK")
endif()

add_library(Skirmora SHARED ${SKIRMORA_SCRIPT_SOURCES} host/WindowsBinding.cpp host/DllMain.cpp)
set_target_properties(Skirmora PROPERTIES PREFIX "" SUFFIX ".asi" OUTPUT_NAME Skirmora)
target_link_libraries(Skirmora PRIVATE ${SKIRMORA_JSONCPP} ${SKIRMORA_HOOK_LIB} kernel32 user32)
if(MINGW)
    add_dependencies(Skirmora scripthookv_import)
    # Players have none of MinGW's runtime DLLs: everything is linked in.
    target_link_options(Skirmora PRIVATE -static -static-libgcc -static-libstdc++ -Wl,--exclude-all-symbols -s)
    add_subdirectory(tests/windows)
endif()
