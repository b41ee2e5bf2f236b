# The cross-built Windows program's tests and benchmarks run under wine, in a
# prefix of the build's own. GoogleTest is built from Debian's source copy.
set(VELMORA_WINEPREFIX "${CMAKE_BINARY_DIR}/wineprefix" CACHE PATH "Wine prefix for the tests")
configure_file(${PROJECT_SOURCE_DIR}/tests/wine/wine-run.sh.in ${CMAKE_BINARY_DIR}/wine-run.sh
               @ONLY FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ
               GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_BINARY_DIR}/wine-run.sh)

if(VELMORA_TESTS)
  enable_testing()
  set(gtest_force_shared_crt OFF CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
  foreach(target gtest gtest_main gmock gmock_main)
    if(TARGET ${target})
      set_target_properties(${target} PROPERTIES COMPILE_OPTIONS "-w")
    endif()
  endforeach()
  include(GoogleTest)
  add_subdirectory(tests/support)
  add_subdirectory(tests/wine)
  velmora_add_subdirs(tests/win32)
endif()

# The COM benchmark needs Google Benchmark built for Windows: from Debian's
# source package, fetched by bench/com/run-under-wine.sh.
set(VELMORA_BENCHMARK_SOURCE "" CACHE PATH "Google Benchmark source tree for the Windows build")
if(VELMORA_BENCH AND VELMORA_TESTS AND VELMORA_BENCHMARK_SOURCE)
  set(BENCHMARK_ENABLE_TESTING OFF CACHE BOOL "" FORCE)
  set(BENCHMARK_ENABLE_GTEST_TESTS OFF CACHE BOOL "" FORCE)
  set(BENCHMARK_ENABLE_INSTALL OFF CACHE BOOL "" FORCE)
  set(BENCHMARK_ENABLE_WERROR OFF CACHE BOOL "" FORCE)
  add_subdirectory(${VELMORA_BENCHMARK_SOURCE} ${CMAKE_BINARY_DIR}/benchmark EXCLUDE_FROM_ALL)
  set_target_properties(benchmark PROPERTIES COMPILE_OPTIONS "-w")
  add_subdirectory(bench/com)
endif()
