target_link_libraries(${test_target} PRIVATE velmora_service_core)
