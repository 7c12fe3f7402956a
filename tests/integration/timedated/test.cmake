# Talks to the mocks over sd-bus, and starts them through the fixture script.
target_link_libraries(${test_target} PRIVATE PkgConfig::libsystemd)
target_compile_definitions(${test_target} PRIVATE
  VELMORA_PRIVATE_SYSTEM_BUS="${PROJECT_SOURCE_DIR}/tests/fixtures/private-system-bus")
