# The /show formats and the change lines know no window and no store: built
# for the target and natively, where the tests parse the output back with
# real JSON and XML parsers, under the sanitizers and a fuzzer. The .reg
# output's round trip needs reg.exe: that test runs under Wine (cli/tests).
add_library(marquill_showformats STATIC ${CMAKE_CURRENT_LIST_DIR}/ShowFormats.cpp
                                        ${CMAKE_CURRENT_LIST_DIR}/ChangeLines.cpp)
target_include_directories(marquill_showformats PUBLIC ${CMAKE_SOURCE_DIR})
include(${CMAKE_SOURCE_DIR}/oeminfo/fields.cmake)
target_link_libraries(marquill_showformats PUBLIC marquill_fields marquill_base)

if(BUILD_TESTING AND NOT WIN32)
  find_package(nlohmann_json 3 REQUIRED)
  find_package(EXPAT REQUIRED)
  add_executable(showformats_native_tests ${CMAKE_CURRENT_LIST_DIR}/tests/ShowFormatsTest.cpp
                                          ${CMAKE_CURRENT_LIST_DIR}/tests/ChangeLinesTest.cpp)
  target_link_libraries(showformats_native_tests PRIVATE marquill_showformats marquill_base
                        nlohmann_json::nlohmann_json EXPAT::EXPAT GTest::gtest GTest::gtest_main)
  add_test(NAME showformats_native_tests COMMAND showformats_native_tests)
  if(CMAKE_CXX_COMPILER_ID MATCHES "Clang")
    marquill_add_fuzzer(showformats_fuzzer TEST showformats_fuzz SECONDS 10
                        SOURCES ${CMAKE_CURRENT_LIST_DIR}/tests/ShowFormatsFuzz.cpp
                        LIBS marquill_showformats marquill_base nlohmann_json::nlohmann_json EXPAT::EXPAT)
  endif()
endif()
