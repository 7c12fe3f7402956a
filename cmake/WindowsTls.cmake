# GnuTLS and Nettle for the Windows build: Debian ships none for mingw, so scripts/windows-deps
# builds them from Debian's source packages, once, into a cache outside the clone. Their headers
# are all the program is built with; the DLLs go beside each program that may load them
# (velmora_tls_dlls).
set(VELMORA_WINDOWS_DEPS "" CACHE PATH "GnuTLS and Nettle built for mingw (scripts/windows-deps)")
if(NOT VELMORA_WINDOWS_DEPS OR NOT EXISTS ${VELMORA_WINDOWS_DEPS}/.complete)
  message(STATUS "Building GnuTLS and Nettle for mingw (scripts/windows-deps; once, then cached)")
  execute_process(COMMAND ${PROJECT_SOURCE_DIR}/scripts/windows-deps
                  OUTPUT_VARIABLE deps OUTPUT_STRIP_TRAILING_WHITESPACE RESULT_VARIABLE failed)
  if(failed)
    message(FATAL_ERROR "scripts/windows-deps failed: no GnuTLS and Nettle for the Windows build")
  endif()
  set(VELMORA_WINDOWS_DEPS ${deps} CACHE PATH "GnuTLS and Nettle built for mingw" FORCE)
endif()
set(VELMORA_TLS_INCLUDE_DIRS ${VELMORA_WINDOWS_DEPS}/include)
file(GLOB VELMORA_TLS_DLLS ${VELMORA_WINDOWS_DEPS}/bin/*.dll)
# GnuTLS's threads come from mingw-w64's winpthreads, a DLL of the toolchain's.
find_file(VELMORA_WINPTHREAD_DLL libwinpthread-1.dll PATHS /usr/${VELMORA_MINGW}/lib
          NO_CMAKE_FIND_ROOT_PATH REQUIRED)
list(APPEND VELMORA_TLS_DLLS ${VELMORA_WINPTHREAD_DLL})
# Its licence (expat, with the notices of the parts from elsewhere) is in Debian's copyright file.
set(VELMORA_WINPTHREAD_LICENSE /usr/share/doc/mingw-w64-x86-64-dev/copyright)
set(VELMORA_TLS_LICENSES ${VELMORA_WINDOWS_DEPS}/licenses)

# Puts the DLLs beside `target`'s program, the one place it loads them from.
function(velmora_tls_dlls target)
  add_custom_command(TARGET ${target} POST_BUILD
                     COMMAND ${CMAKE_COMMAND} -E copy_if_different ${VELMORA_TLS_DLLS}
                             $<TARGET_FILE_DIR:${target}>
                     VERBATIM)
endfunction()
