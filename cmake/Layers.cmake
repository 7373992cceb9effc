# Headers are included by folder ("store/Records.h"). Instead of putting all of src/ on the include
# path, each folder gets an include root of its own in the build tree holding just that folder, and
# a library exports only its own root. What a library may include is then exactly what it links.
function(quillon_folder_library target folder)
  set(root ${CMAKE_BINARY_DIR}/include/${folder})
  if(NOT EXISTS ${root}/${folder})
    file(MAKE_DIRECTORY ${root})
    file(CREATE_LINK ${CMAKE_SOURCE_DIR}/src/${folder} ${root}/${folder} SYMBOLIC)
  endif()
  add_library(${target} STATIC ${ARGN})
  target_include_directories(${target} PUBLIC ${root})
endfunction()
