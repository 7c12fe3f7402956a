# Delay-loaded system DLLs for the Windows build. A DLL the window's first drawing does not need
# is loaded when one of its functions is first called, rather than before wWinMain: under Wine each
# DLL loaded at start (and the DLLs it loads) holds the window back. GNU ld has no --delayload;
# dlltool makes a delay-import library instead, here from the functions the toolchain's own
# import library names (data cannot be delay-loaded; a program that uses some still gets it from
# the ordinary import library, which follows). The stubs call the mingw runtime's
# __delayLoadHelper2.
#
#   velmora_delay_load(NAME...)  defines, for each NAME (shell32, ws2_32, ...), the target
#                                velmora_delay_NAME, linked in place of NAME.
function(velmora_delay_load)
  find_program(VELMORA_NM NAMES ${VELMORA_MINGW}-nm REQUIRED)
  find_program(VELMORA_DLLTOOL NAMES ${VELMORA_MINGW}-dlltool REQUIRED)
  foreach(name ${ARGN})
    if(TARGET velmora_delay_${name})
      continue()
    endif()
    find_library(VELMORA_IMPORT_${name} NAMES lib${name}.a REQUIRED)
    set(dir ${PROJECT_BINARY_DIR}/delay-load)
    set(library ${dir}/lib${name}-delay.a)
    _velmora_delay_def(${name} ${VELMORA_IMPORT_${name}} ${dir}/${name}.def)
    execute_process(
      COMMAND ${VELMORA_DLLTOOL} --input-def ${dir}/${name}.def --dllname ${name}.dll
              --output-delaylib ${library}
      COMMAND_ERROR_IS_FATAL ANY)
    add_library(velmora_delay_${name} STATIC IMPORTED GLOBAL)
    set_target_properties(velmora_delay_${name} PROPERTIES IMPORTED_LOCATION ${library}
                          INTERFACE_LINK_LIBRARIES ${name})
  endforeach()
endfunction()

# Writes DEF, the module definition of NAME.dll's functions as IMPORT_LIBRARY names them: each
# function has its thunk (T NAME) beside its import address (I __imp_NAME); data has only the
# latter.
function(_velmora_delay_def name import_library def)
  execute_process(COMMAND ${VELMORA_NM} -g --defined-only ${import_library}
                  OUTPUT_VARIABLE symbols COMMAND_ERROR_IS_FATAL ANY)
  string(REGEX MATCHALL " T [A-Za-z_][A-Za-z0-9_]*" thunks "${symbols}")
  set(exports "")
  foreach(thunk ${thunks})
    string(SUBSTRING "${thunk}" 3 -1 function)
    string(FIND "${symbols}" " I __imp_${function}\n" at)
    if(NOT at EQUAL -1)
      string(APPEND exports "${function}\n")
    endif()
  endforeach()
  file(WRITE ${def} "LIBRARY ${name}.dll\nEXPORTS\n${exports}")
endfunction()
