# quarn_add_test(<name> [LOCK <resource>] <sources...>): a GoogleTest executable
# whose cases become ctest tests (listed at test time, so Windows ones are
# listed under Wine). LOCK keeps its cases from running alongside any other
# test that takes the same resource (the prefix's profile store, X input).
add_library(quarn_test_support INTERFACE)
target_include_directories(quarn_test_support INTERFACE ${PROJECT_SOURCE_DIR}/tests/support)

function(quarn_add_test name)
  cmake_parse_arguments(QT "" "LOCK" "" ${ARGN})
  add_executable(${name} ${QT_UNPARSED_ARGUMENTS})
  target_link_libraries(${name} PRIVATE quarn_test_support GTest::gtest_main GTest::gmock)
  set(props TIMEOUT 300)
  if(QT_LOCK)
    list(APPEND props RESOURCE_LOCK ${QT_LOCK})
  endif()
  gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 120
                       PROPERTIES ${props})
endfunction()
