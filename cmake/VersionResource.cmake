# A Windows version resource, so that Explorer's Properties show which version a player has: the product, the
# file's description and the one version of project(), compiled with windres and linked into the target.
# extra: more resource lines (the simulator's manifest).
function(skirmora_version_resource target description file_name file_type extra)
    set(SKIRMORA_RC_DESCRIPTION "${description}")
    set(SKIRMORA_RC_FILE_NAME "${file_name}")
    set(SKIRMORA_RC_FILE_TYPE "${file_type}")
    set(SKIRMORA_RC_EXTRA "${extra}")
    set(rc ${CMAKE_BINARY_DIR}/resources/${target}.rc)
    set(object ${CMAKE_BINARY_DIR}/resources/${target}.res.o)
    configure_file(${PROJECT_SOURCE_DIR}/cmake/Version.rc.in ${rc} @ONLY)
    add_custom_command(OUTPUT ${object}
                       COMMAND ${CMAKE_RC_COMPILER} -O coff -i ${rc} -o ${object}
                       DEPENDS ${rc} ${PROJECT_SOURCE_DIR}/cmake/Version.rc.in ${PROJECT_SOURCE_DIR}/cmake/Utf8.manifest)
    add_custom_target(${target}_version_resource DEPENDS ${object})
    add_dependencies(${target} ${target}_version_resource)
    target_sources(${target} PRIVATE ${object})
endfunction()
