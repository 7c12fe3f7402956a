# Starts the bus through the fixture script; the real timedated gets the clock shim.
target_compile_definitions(${test_target} PRIVATE
  VELMORA_PRIVATE_SYSTEM_BUS="${PROJECT_SOURCE_DIR}/tests/fixtures/private-system-bus"
  VELMORA_CLOCK_SHIM="$<TARGET_FILE:velmora-clock-shim>")
add_dependencies(${test_target} velmora-clock-shim)
