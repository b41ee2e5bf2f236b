# Adds each listed folder that has a CMakeLists.txt, so that subsystems can
# land one at a time without the top level changing.
function(velmora_add_subdirs)
  foreach(dir IN LISTS ARGN)
    if(EXISTS "${CMAKE_CURRENT_SOURCE_DIR}/${dir}/CMakeLists.txt")
      add_subdirectory(${dir})
    endif()
  endforeach()
endfunction()
