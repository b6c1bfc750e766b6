# JsonCpp, header-only fmt and the shipped DLL, Skirmora.asi, with its version resource; with MinGW also CLI11
# for skirmora-sim.exe, which CMakeLists.txt builds from app/ next (cmake/WindowsSimulator.cmake).

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
if(NOT TARGET jsoncpp_lib)
    add_library(jsoncpp_lib ALIAS ${SKIRMORA_JSONCPP})  # the name the script's library links on every platform
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

if(MINGW)
    # fmt (for the script and the simulator) and CLI11 (for the simulator) as header-only libraries: Debian
    # builds neither for MinGW. Only their own folders reach the include path, never the rest of the build
    # machine's /usr/include.
    set(header_only ${CMAKE_BINARY_DIR}/header-only)
    foreach(package fmt CLI11)
        set(header fmt/format.h)
        set(folder fmt)
        if(package STREQUAL CLI11)
            set(header CLI/CLI.hpp)
            set(folder CLI)
        endif()
        find_path(${package}_HEADERS ${header} PATHS /usr/include NO_CMAKE_FIND_ROOT_PATH NO_DEFAULT_PATH)
        if(NOT ${package}_HEADERS)
            message(FATAL_ERROR "${header} not found in /usr/include: run scripts/setup")
        endif()
        file(MAKE_DIRECTORY ${header_only}/include)
        file(CREATE_LINK ${${package}_HEADERS}/${folder} ${header_only}/include/${folder} SYMBOLIC)
        # A package config, so that app/'s find_package finds the header-only target.
        file(WRITE ${header_only}/${package}/${package}Config.cmake
             "if(NOT TARGET ${package}::${package})\n"
             "    add_library(${package}::${package} INTERFACE IMPORTED)\n"
             "    target_include_directories(${package}::${package} INTERFACE ${header_only}/include)\n"
             "    if(\"${package}\" STREQUAL fmt)\n"
             "        target_compile_definitions(fmt::fmt INTERFACE FMT_HEADER_ONLY)\n"
             "    else()\n"
             # Its file checks through stat(), which reads names as UTF-8 (the manifest): std::filesystem
             # would read them in the C locale's narrow code page.
             "        target_compile_definitions(CLI11::CLI11 INTERFACE CLI11_HAS_FILESYSTEM=0)\n"
             "    endif()\n"
             "endif()\n")
        set(${package}_DIR ${header_only}/${package} CACHE PATH "" FORCE)
    endforeach()
endif()
find_package(fmt REQUIRED)  # header-only: the DLL links only JsonCpp

add_library(Skirmora SHARED ${SKIRMORA_SCRIPT_SOURCES} host/WindowsBinding.cpp script/DllMain.cpp)
set_target_properties(Skirmora PROPERTIES PREFIX "" SUFFIX ".asi" OUTPUT_NAME Skirmora)
target_link_libraries(Skirmora PRIVATE ${SKIRMORA_JSONCPP} fmt::fmt ${SKIRMORA_HOOK_LIB} kernel32 user32)
target_compile_definitions(Skirmora PRIVATE SKIRMORA_VERSION="${PROJECT_VERSION}")
if(MINGW)
    add_dependencies(Skirmora scripthookv_import)
    # Players have none of MinGW's runtime DLLs: everything is linked in.
    target_link_options(Skirmora PRIVATE -static -static-libgcc -static-libstdc++ -Wl,--exclude-all-symbols -s)
    include(${CMAKE_CURRENT_LIST_DIR}/VersionResource.cmake)
    skirmora_version_resource(Skirmora "Skirmora: riots in the streets of GTA V (a ScriptHookV script)"
                              Skirmora.asi VFT_DLL "")
endif()
