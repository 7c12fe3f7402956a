# The Windows packages, made with Debian's wixl and msitools when they are there (scripts/package --windows makes
# both): velmora_msi, the installer velmora-<version>-x64.msi (packaging/windows/velmora.wxs), and
# velmora_zip, the portable velmora-<version>-x64.zip, a folder Velmora with velmora.exe alone, so
# that the copy unpacked from it keeps its settings beside itself. A build with tests makes both
# with everything else, for the test that installs the MSI under Wine.
find_program(VELMORA_WIXL wixl)
find_program(VELMORA_MSIBUILD msibuild)
if(NOT VELMORA_WIXL OR NOT VELMORA_MSIBUILD)
  message(STATUS "wixl or msibuild not found (Debian's wixl, msitools): no velmora_msi, velmora_zip")
  return()
endif()

set(VELMORA_PACKAGE_BASENAME velmora-${PROJECT_VERSION}-x64)
set(VELMORA_MSI ${PROJECT_BINARY_DIR}/${VELMORA_PACKAGE_BASENAME}.msi)
set(VELMORA_ZIP ${PROJECT_BINARY_DIR}/${VELMORA_PACKAGE_BASENAME}.zip)
set(wxs ${PROJECT_SOURCE_DIR}/packaging/windows/velmora.wxs)
# Both packages carry the program without its symbols.
set(VELMORA_PACKAGED_PROGRAM ${PROJECT_BINARY_DIR}/package/velmora.exe)
if(VELMORA_TESTS)
  set(in_all ALL)
else()
  set(in_all "")
endif()

add_custom_command(OUTPUT ${VELMORA_PACKAGED_PROGRAM}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${PROJECT_BINARY_DIR}/package
  COMMAND ${CMAKE_STRIP} -o ${VELMORA_PACKAGED_PROGRAM} $<TARGET_FILE:velmora>
  DEPENDS velmora VERBATIM)

# wixl finds the files it packs only by paths relative to the folder it runs in.
file(RELATIVE_PATH program ${PROJECT_BINARY_DIR} ${VELMORA_PACKAGED_PROGRAM})
file(RELATIVE_PATH icon ${PROJECT_BINARY_DIR} ${VELMORA_PROGRAM_ICON})
add_custom_command(OUTPUT ${VELMORA_MSI}
  COMMAND ${VELMORA_WIXL} --arch x64 -D Version=${PROJECT_VERSION} -D ProgramFile=${program}
          -D IconFile=${icon} -o ${VELMORA_MSI} ${wxs}
  # wixl leaves the file's version out, and Windows Installer never replaces a versioned file by
  # an unversioned one: an upgrade would keep the old program.
  COMMAND ${VELMORA_MSIBUILD} ${VELMORA_MSI} -q
          "UPDATE `File` SET `Version` = '${VELMORA_VERSION_QUAD}' WHERE `File` = 'velmora.exe'"
  DEPENDS ${VELMORA_PACKAGED_PROGRAM} ${wxs} ${VELMORA_PROGRAM_ICON}
  WORKING_DIRECTORY ${PROJECT_BINARY_DIR} VERBATIM)
add_custom_target(velmora_msi ${in_all} DEPENDS ${VELMORA_MSI})

# The folder is made anew each time, so that nothing left from an earlier run goes into the zip.
set(zip_root ${PROJECT_BINARY_DIR}/zip)
add_custom_command(OUTPUT ${VELMORA_ZIP}
  COMMAND ${CMAKE_COMMAND} -E rm -rf ${zip_root}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${zip_root}/Velmora
  COMMAND ${CMAKE_COMMAND} -E copy ${VELMORA_PACKAGED_PROGRAM} ${zip_root}/Velmora/velmora.exe
  COMMAND ${CMAKE_COMMAND} -E rm -f ${VELMORA_ZIP}
  COMMAND ${CMAKE_COMMAND} -E chdir ${zip_root} ${CMAKE_COMMAND} -E tar cf ${VELMORA_ZIP}
          --format=zip Velmora
  DEPENDS ${VELMORA_PACKAGED_PROGRAM} VERBATIM)
add_custom_target(velmora_zip ${in_all} DEPENDS ${VELMORA_ZIP})
