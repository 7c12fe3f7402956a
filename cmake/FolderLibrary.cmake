# One folder, one static library: every .cpp and .h in the calling folder, linked publicly to the
# targets named after it (the folders it may depend on). Nothing else links it to anything.
function(velmora_folder_library target)
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp
       ${CMAKE_CURRENT_SOURCE_DIR}/*.h)
  add_library(${target} STATIC ${sources})
  set_target_properties(${target} PROPERTIES LINKER_LANGUAGE CXX)
  target_link_libraries(${target} PUBLIC ${ARGN})
  velmora_warnings(${target})
endfunction()
