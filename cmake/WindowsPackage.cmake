# The Windows packages, made with Debian's wixl and msitools when they are there (scripts/package
# --windows makes both): velmora_msi, the installer velmora-<version>-x64.msi
# (packaging/windows/velmora.wxs), and velmora_zip, the portable velmora-<version>-x64.zip, a
# folder Velmora with velmora.exe and its licences alone, so that the copy unpacked from it keeps
# its settings beside itself. A build with tests makes both with everything else, and an
# installer of the next version as well, for the test that installs, upgrades and removes them
# under Wine.
find_program(VELMORA_WIXL wixl)
find_program(VELMORA_MSIBUILD msibuild)
find_program(VELMORA_MSIINFO msiinfo)
if(NOT VELMORA_WIXL OR NOT VELMORA_MSIBUILD OR NOT VELMORA_MSIINFO)
  message(STATUS "wixl, msibuild or msiinfo not found (Debian's wixl, msitools): "
                 "no velmora_msi, velmora_zip")
  return()
endif()

set(VELMORA_PACKAGE_BASENAME velmora-${PROJECT_VERSION}-x64)
set(VELMORA_MSI ${PROJECT_BINARY_DIR}/${VELMORA_PACKAGE_BASENAME}.msi)
set(VELMORA_ZIP ${PROJECT_BINARY_DIR}/${VELMORA_PACKAGE_BASENAME}.zip)
# Both packages carry the program without its symbols, the licence and the notices of the runtime
# linked into it (with Windows line ends, for every Notepad).
set(VELMORA_PACKAGED_PROGRAM ${PROJECT_BINARY_DIR}/package/velmora.exe)
# The installer alone carries the clock service; the portable copy has none.
set(VELMORA_PACKAGED_SERVICE ${PROJECT_BINARY_DIR}/package/velmora-service.exe)
set(VELMORA_PACKAGED_LICENCE ${PROJECT_BINARY_DIR}/package/LICENSE.txt)
set(VELMORA_PACKAGED_NOTICES ${PROJECT_BINARY_DIR}/package/third-party-licences.txt)
configure_file(${PROJECT_SOURCE_DIR}/LICENSE ${VELMORA_PACKAGED_LICENCE} @ONLY NEWLINE_STYLE WIN32)
configure_file(${PROJECT_SOURCE_DIR}/packaging/windows/third-party-licences.txt
               ${VELMORA_PACKAGED_NOTICES} @ONLY NEWLINE_STYLE WIN32)
if(VELMORA_TESTS)
  set(in_all ALL)
else()
  set(in_all "")
endif()

add_custom_command(OUTPUT ${VELMORA_PACKAGED_PROGRAM}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${PROJECT_BINARY_DIR}/package
  COMMAND ${CMAKE_STRIP} -o ${VELMORA_PACKAGED_PROGRAM} $<TARGET_FILE:velmora>
  DEPENDS velmora VERBATIM)
add_custom_command(OUTPUT ${VELMORA_PACKAGED_SERVICE}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${PROJECT_BINARY_DIR}/package
  COMMAND ${CMAKE_STRIP} -o ${VELMORA_PACKAGED_SERVICE} $<TARGET_FILE:velmora_service>
  DEPENDS velmora_service VERBATIM)

# The installer of `version` (major.minor.patch) with `program` at `output`, made by `target`.
function(velmora_msi target output version program)
  set(wxs ${PROJECT_SOURCE_DIR}/packaging/windows/velmora.wxs)
  # wixl finds the files it packs only by paths relative to the folder it runs in.
  file(RELATIVE_PATH relative_program ${PROJECT_BINARY_DIR} ${program})
  file(RELATIVE_PATH relative_service ${PROJECT_BINARY_DIR} ${VELMORA_PACKAGED_SERVICE})
  file(RELATIVE_PATH icon ${PROJECT_BINARY_DIR} ${VELMORA_PROGRAM_ICON})
  file(RELATIVE_PATH licence ${PROJECT_BINARY_DIR} ${VELMORA_PACKAGED_LICENCE})
  file(RELATIVE_PATH notices ${PROJECT_BINARY_DIR} ${VELMORA_PACKAGED_NOTICES})
  get_filename_component(folder ${output} DIRECTORY)
  add_custom_command(OUTPUT ${output}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${folder}
    COMMAND ${VELMORA_WIXL} --arch x64 -D Version=${version} -D ProgramFile=${relative_program}
            -D ServiceFile=${relative_service} -D IconFile=${icon} -D LicenceFile=${licence}
            -D NoticesFile=${notices} -D Homepage=${PROJECT_HOMEPAGE_URL} -o ${output} ${wxs}
    # wixl leaves the file's version out, and Windows Installer never replaces a versioned file
    # by an unversioned one: an upgrade would keep the old program.
    COMMAND ${VELMORA_MSIBUILD} ${output}
            -q "UPDATE `File` SET `Version` = '${version}.0' WHERE `File` = 'velmora.exe'"
            -q "UPDATE `File` SET `Version` = '${version}.0' WHERE `File` = 'velmora_service.exe'"
    # SERVERS and INTERVAL reach the service's set-up, which runs as the system, only when they
    # are secure properties; wixl lists its own there and takes no more.
    COMMAND ${VELMORA_MSIBUILD} ${output} -q
            "UPDATE `Property` SET `Value` = 'WIX_DOWNGRADE_DETECTED;WIX_UPGRADE_DETECTED;SERVERS;INTERVAL' WHERE `Property` = 'SecureCustomProperties'"
    COMMAND ${CMAKE_COMMAND} -DMSI=${output} -DMSIINFO=${VELMORA_MSIINFO}
            -DMSIBUILD=${VELMORA_MSIBUILD} -P ${PROJECT_SOURCE_DIR}/cmake/MsiEstimatedSize.cmake
    DEPENDS ${program} ${VELMORA_PACKAGED_SERVICE} ${wxs} ${VELMORA_PROGRAM_ICON}
            ${VELMORA_PACKAGED_LICENCE} ${VELMORA_PACKAGED_NOTICES}
            ${PROJECT_SOURCE_DIR}/cmake/MsiEstimatedSize.cmake
    WORKING_DIRECTORY ${PROJECT_BINARY_DIR} VERBATIM)
  add_custom_target(${target} ${in_all} DEPENDS ${output})
endfunction()

velmora_msi(velmora_msi ${VELMORA_MSI} ${PROJECT_VERSION} ${VELMORA_PACKAGED_PROGRAM})
# The test's next version carries a program of other bytes (its symbols kept), so that the test
# sees whether an upgrade replaces the file.
if(VELMORA_TESTS)
  math(EXPR next_patch "${PROJECT_VERSION_PATCH} + 1")
  set(VELMORA_NEXT_VERSION ${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR}.${next_patch})
  set(next ${PROJECT_BINARY_DIR}/test-packages)
  set(VELMORA_NEXT_MSI ${next}/velmora-${VELMORA_NEXT_VERSION}-x64.msi)
  set(VELMORA_NEXT_PROGRAM ${next}/velmora.exe)
  add_custom_command(OUTPUT ${VELMORA_NEXT_PROGRAM}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${next}
    COMMAND ${CMAKE_STRIP} --strip-debug -o ${VELMORA_NEXT_PROGRAM} $<TARGET_FILE:velmora>
    DEPENDS velmora VERBATIM)
  velmora_msi(velmora_next_msi ${VELMORA_NEXT_MSI} ${VELMORA_NEXT_VERSION} ${VELMORA_NEXT_PROGRAM})
endif()

# The folder is made anew each time, so that nothing left from an earlier run goes into the zip.
set(zip_root ${PROJECT_BINARY_DIR}/zip)
add_custom_command(OUTPUT ${VELMORA_ZIP}
  COMMAND ${CMAKE_COMMAND} -E rm -rf ${zip_root}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${zip_root}/Velmora
  COMMAND ${CMAKE_COMMAND} -E copy ${VELMORA_PACKAGED_PROGRAM} ${VELMORA_PACKAGED_LICENCE}
          ${VELMORA_PACKAGED_NOTICES} ${zip_root}/Velmora/
  COMMAND ${CMAKE_COMMAND} -E rm -f ${VELMORA_ZIP}
  COMMAND ${CMAKE_COMMAND} -E chdir ${zip_root} ${CMAKE_COMMAND} -E tar cf ${VELMORA_ZIP}
          --format=zip Velmora
  DEPENDS ${VELMORA_PACKAGED_PROGRAM} ${VELMORA_PACKAGED_LICENCE} ${VELMORA_PACKAGED_NOTICES}
  VERBATIM)
add_custom_target(velmora_zip ${in_all} DEPENDS ${VELMORA_ZIP})
