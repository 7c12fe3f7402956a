# Each elevated-copy test runs this small program through the shell's "runas" as the real entry
# runs velmora.exe; the settings tests kill the saver in the middle of its saves. The zone tests
# need a zone with daylight saving time.
foreach(helper elevated_copy saver settings_as_user)
  add_executable(velmora_test_${helper} ${dir}/helpers/${helper}.cpp)
  target_link_libraries(velmora_test_${helper} PRIVATE velmora_sync)
  target_link_options(velmora_test_${helper} PRIVATE -municode)
  velmora_warnings(velmora_test_${helper})
  add_dependencies(${test_target} velmora_test_${helper})
endforeach()
set(test_environment "TZ=Europe/Berlin")

# The settings as an ordinary user: the folder beside the program made read-only on the Linux
# side, and the files read back there.
add_test(NAME windows_settings_as_user
         COMMAND bash ${dir}/settings-as-user $<TARGET_FILE:velmora_test_settings_as_user>)
set_tests_properties(windows_settings_as_user PROPERTIES LABELS "integration;windows" TIMEOUT 300)
