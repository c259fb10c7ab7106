# quarn_add_test(<name> <sources...>): a GoogleTest executable whose cases
# become ctest tests (listed at test time, so Windows ones are listed under Wine).
add_library(quarn_test_support INTERFACE)
target_include_directories(quarn_test_support INTERFACE ${PROJECT_SOURCE_DIR}/tests/support)

function(quarn_add_test name)
  add_executable(${name} ${ARGN})
  target_link_libraries(${name} PRIVATE quarn_test_support GTest::gtest_main GTest::gmock)
  gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 120
                       PROPERTIES TIMEOUT 300)
endfunction()
