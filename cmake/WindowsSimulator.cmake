# skirmora-sim.exe, built from app/ as on Linux, for players: self-contained, with its version resource and
# a manifest that makes its narrow file names UTF-8; then the Wine test pieces.
skirmora_version_resource(skirmora-sim "Skirmora's config checker and riot simulator" skirmora-sim.exe VFT_APP
                          "1 24 \"${PROJECT_SOURCE_DIR}/cmake/Utf8.manifest\"")
set_target_properties(skirmora-sim PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})  # beside Skirmora.asi
target_link_libraries(skirmora-sim PRIVATE shell32)
# Players have none of MinGW's runtime DLLs: everything is linked in.
target_link_options(skirmora-sim PRIVATE -static -static-libgcc -static-libstdc++ -s)

add_subdirectory(tests/windows)
