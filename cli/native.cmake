# The command line's rules (splitting, commands, field files, field checks)
# know no window: built natively too, so that the sanitizers and the fuzzer
# watch them read what a script hands over.
add_library(marquill_clirules STATIC ${CMAKE_CURRENT_LIST_DIR}/CliRules.cpp)
target_include_directories(marquill_clirules PUBLIC ${CMAKE_SOURCE_DIR})
target_link_libraries(marquill_clirules PUBLIC marquill_fields)
if(BUILD_TESTING)
  add_executable(clirules_native_tests ${CMAKE_CURRENT_LIST_DIR}/tests/CliRulesTest.cpp
                                      ${CMAKE_CURRENT_LIST_DIR}/tests/UrlRuleTest.cpp)
  target_link_libraries(clirules_native_tests PRIVATE marquill_clirules GTest::gtest GTest::gtest_main)
  add_test(NAME clirules_native_tests COMMAND clirules_native_tests)
endif()

if(BUILD_TESTING AND CMAKE_CXX_COMPILER_ID MATCHES "Clang")
  # A short bounded run on every build, from an empty corpus.
  marquill_add_fuzzer(clirules_fuzzer TEST clirules_fuzz SECONDS 10
                     SOURCES ${CMAKE_CURRENT_LIST_DIR}/tests/CliRulesFuzz.cpp ${CMAKE_CURRENT_LIST_DIR}/CliRules.cpp
                             ${CMAKE_SOURCE_DIR}/oeminfo/OEMFields.cpp)
endif()
