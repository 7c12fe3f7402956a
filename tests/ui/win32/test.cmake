# The entry's test runs the program itself, from a folder of its own.
if(test_target STREQUAL "ui_Entry")
  add_dependencies(${test_target} velmora)
  target_compile_definitions(${test_target} PRIVATE VELMORA_EXE="$<TARGET_FILE:velmora>"
                             VELMORA_VERSION="${PROJECT_VERSION}")
  target_link_libraries(${test_target} PRIVATE version)
  # Its programs show their windows and take the foreground from the other ui tests.
  set(test_run_serial TRUE)
endif()
