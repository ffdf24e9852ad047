# GoogleTest: the system's package natively; for Windows, built from Debian's
# sources with the cross compiler.
if(WIN32)
  set(gtest_force_shared_crt OFF CACHE BOOL "" FORCE)
  set(gtest_disable_pthreads OFF CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
  add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
else()
  find_package(GTest REQUIRED)
endif()
include(GoogleTest)

# Registers a test executable, with optional test properties (name value
# pairs). Natively each test case is its own CTest test; under Wine, where
# every start costs, the executable is one test.
function(tovrik_add_test target)
  if(WIN32)
    add_test(NAME ${target} COMMAND ${target})
    if(ARGN)
      set_tests_properties(${target} PROPERTIES ${ARGN})
    endif()
  elseif(ARGN)
    gtest_discover_tests(${target} DISCOVERY_TIMEOUT 30 PROPERTIES ${ARGN})
  else()
    gtest_discover_tests(${target} DISCOVERY_TIMEOUT 30)
  endif()
endfunction()
