# Starts the mocks through the fixture script.
target_compile_definitions(${test_target} PRIVATE
  VELMORA_PRIVATE_SYSTEM_BUS="${PROJECT_SOURCE_DIR}/tests/fixtures/private-system-bus")
