# The command line's rules (splitting, commands, field files, field checks)
# know no window: built natively too, so that the sanitizers and the fuzzer
# watch them read what a script hands over.
add_library(marquill_clirules STATIC ${CMAKE_CURRENT_LIST_DIR}/CliRules.cpp)
target_include_directories(marquill_clirules PUBLIC ${CMAKE_SOURCE_DIR})
if(BUILD_TESTING)
  add_executable(clirules_native_tests ${CMAKE_CURRENT_LIST_DIR}/tests/CliRulesTest.cpp)
  target_link_libraries(clirules_native_tests PRIVATE marquill_clirules GTest::gtest GTest::gtest_main)
  add_test(NAME clirules_native_tests COMMAND clirules_native_tests)
endif()

if(BUILD_TESTING AND CMAKE_CXX_COMPILER_ID MATCHES "Clang")
  # A short bounded run on every build, from an empty corpus.
  add_executable(clirules_fuzzer ${CMAKE_CURRENT_LIST_DIR}/tests/CliRulesFuzz.cpp
                 ${CMAKE_CURRENT_LIST_DIR}/CliRules.cpp)
  target_include_directories(clirules_fuzzer PRIVATE ${CMAKE_SOURCE_DIR})
  target_compile_options(clirules_fuzzer PRIVATE -fsanitize=fuzzer)
  target_link_options(clirules_fuzzer PRIVATE -fsanitize=fuzzer)
  set(CLI_FUZZ_WORK ${CMAKE_BINARY_DIR}/cli-fuzz-corpus)
  file(MAKE_DIRECTORY ${CLI_FUZZ_WORK})
  add_test(NAME clirules_fuzz COMMAND clirules_fuzzer -max_total_time=10 -rss_limit_mb=1024 ${CLI_FUZZ_WORK})
  set_tests_properties(clirules_fuzz PROPERTIES TIMEOUT 120)
endif()
