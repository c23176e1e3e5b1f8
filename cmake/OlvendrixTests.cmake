# olvendrix_add_test(NAME SOURCES ... LIBRARIES ... [TIMEOUT seconds])
# Natively every test case is its own ctest test; under Wine, where each start
# costs seconds, the executable is one ctest test. Every test has a timeout,
# so that a hang fails the test instead of stalling the run.
include(GoogleTest)

# The limit for a test that states none: a native case, or a Wine program of a
# few dozen window checks.
set(OLVENDRIX_TEST_TIMEOUT 300)

function(olvendrix_add_test name)
  cmake_parse_arguments(ARG "" "TIMEOUT" "SOURCES;LIBRARIES" ${ARGN})
  if(NOT ARG_TIMEOUT)
    set(ARG_TIMEOUT ${OLVENDRIX_TEST_TIMEOUT})
  endif()
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBRARIES} olvendrix_test_support GTest::gtest_main)
  if(CMAKE_CROSSCOMPILING)
    add_test(NAME ${name} COMMAND ${name})
    set_tests_properties(${name} PROPERTIES TIMEOUT ${ARG_TIMEOUT})
  else()
    gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60 PROPERTIES TIMEOUT ${ARG_TIMEOUT})
  endif()
endfunction()

