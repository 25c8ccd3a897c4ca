# The picture files' structural checks know no window: built natively too,
# so that the sanitizers watch them read hostile files.
add_library(marquill_picturecheck STATIC ${CMAKE_CURRENT_LIST_DIR}/PictureCheck.cpp)
target_include_directories(marquill_picturecheck PUBLIC ${CMAKE_SOURCE_DIR})
if(BUILD_TESTING)
  add_executable(picturecheck_native_tests ${CMAKE_CURRENT_LIST_DIR}/tests/PictureCheckTest.cpp)
  target_link_libraries(picturecheck_native_tests PRIVATE marquill_picturecheck GTest::gtest GTest::gtest_main)
  add_test(NAME picturecheck_native_tests COMMAND picturecheck_native_tests)
endif()

if(BUILD_TESTING AND CMAKE_CXX_COMPILER_ID MATCHES "Clang")
  # A short bounded run on every build, started from the tests' sample files.
  add_executable(picturecheck_fuzzer ${CMAKE_CURRENT_LIST_DIR}/tests/PictureCheckFuzz.cpp
                 ${CMAKE_CURRENT_LIST_DIR}/PictureCheck.cpp)
  target_include_directories(picturecheck_fuzzer PRIVATE ${CMAKE_SOURCE_DIR})
  target_compile_options(picturecheck_fuzzer PRIVATE -fsanitize=fuzzer)
  target_link_options(picturecheck_fuzzer PRIVATE -fsanitize=fuzzer)
  add_executable(picture_fuzz_seeds ${CMAKE_CURRENT_LIST_DIR}/tests/PictureFuzzSeeds.cpp)
  target_include_directories(picture_fuzz_seeds PRIVATE ${CMAKE_SOURCE_DIR})
  set(PICTURE_FUZZ_WORK ${CMAKE_BINARY_DIR}/picture-fuzz-corpus)
  file(MAKE_DIRECTORY ${PICTURE_FUZZ_WORK})
  add_test(NAME picture_fuzz_seeds COMMAND picture_fuzz_seeds ${PICTURE_FUZZ_WORK})
  set_tests_properties(picture_fuzz_seeds PROPERTIES FIXTURES_SETUP picture_fuzz_corpus)
  add_test(NAME picture_check_fuzz
    COMMAND picturecheck_fuzzer -max_total_time=20 -rss_limit_mb=1024 ${PICTURE_FUZZ_WORK})
  set_tests_properties(picture_check_fuzz PROPERTIES TIMEOUT 120 FIXTURES_REQUIRED picture_fuzz_corpus)
endif()
