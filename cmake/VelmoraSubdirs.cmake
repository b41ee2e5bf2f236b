# Adds each listed folder; a folder without a CMakeLists.txt stops the
# configuration with its name.
function(velmora_add_subdirs)
  foreach(dir IN LISTS ARGN)
    if(NOT EXISTS "${CMAKE_CURRENT_SOURCE_DIR}/${dir}/CMakeLists.txt")
      message(FATAL_ERROR "${CMAKE_CURRENT_SOURCE_DIR}/${dir} has no CMakeLists.txt")
    endif()
    add_subdirectory(${dir})
  endforeach()
endfunction()

# Adds every direct subfolder of the current folder that has a CMakeLists.txt
# (test and benchmark folders, one executable each).
function(velmora_add_all_subdirs)
  file(GLOB children RELATIVE "${CMAKE_CURRENT_SOURCE_DIR}" "${CMAKE_CURRENT_SOURCE_DIR}/*")
  list(SORT children)
  foreach(child IN LISTS children)
    if(IS_DIRECTORY "${CMAKE_CURRENT_SOURCE_DIR}/${child}"
       AND EXISTS "${CMAKE_CURRENT_SOURCE_DIR}/${child}/CMakeLists.txt")
      add_subdirectory(${child})
    endif()
  endforeach()
endfunction()
