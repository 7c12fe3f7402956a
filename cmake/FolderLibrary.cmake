# One folder, one static library: every .cpp and .h in the calling folder, linked publicly to the
# targets named after it (the folders it may depend on). Nothing else links it to anything.
# EXCLUDE names files of the folder that this build leaves out (another platform's), by name.
function(velmora_folder_library target)
  cmake_parse_arguments(PARSE_ARGV 1 folder "" "" "EXCLUDE")
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp
       ${CMAKE_CURRENT_SOURCE_DIR}/*.h)
  foreach(name ${folder_EXCLUDE})
    list(REMOVE_ITEM sources ${CMAKE_CURRENT_SOURCE_DIR}/${name})
  endforeach()
  add_library(${target} STATIC ${sources})
  set_target_properties(${target} PROPERTIES LINKER_LANGUAGE CXX)
  target_link_libraries(${target} PUBLIC ${folder_UNPARSED_ARGUMENTS})
  velmora_warnings(${target})
endfunction()
