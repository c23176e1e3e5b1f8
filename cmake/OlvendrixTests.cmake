# olvendrix_add_test(NAME SOURCES ... LIBRARIES ...)
# Natively every test case is its own ctest test; under Wine, where each start
# costs seconds, the executable is one ctest test.
include(GoogleTest)

function(olvendrix_add_test name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBRARIES" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBRARIES} olvendrix_test_support GTest::gtest_main)
  if(CMAKE_CROSSCOMPILING)
    add_test(NAME ${name} COMMAND ${name})
  else()
    gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60)
  endif()
endfunction()
