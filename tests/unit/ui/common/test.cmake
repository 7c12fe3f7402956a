target_link_libraries(${test_target} PRIVATE velmora_ui_common)
