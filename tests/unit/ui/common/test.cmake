# What both front ends share is a library of its own, above sync/.
target_link_libraries(${test_target} PRIVATE velmora_ui_common)
