# The picture files' structural checks know no window: built natively too,
# so that the sanitizers watch them read hostile files.
add_library(marquill_picturecheck STATIC ${CMAKE_CURRENT_LIST_DIR}/PictureCheck.cpp)
target_include_directories(marquill_picturecheck PUBLIC ${CMAKE_SOURCE_DIR})
if(BUILD_TESTING)
  add_executable(picturecheck_native_tests ${CMAKE_CURRENT_LIST_DIR}/tests/PictureCheckTest.cpp)
  target_link_libraries(picturecheck_native_tests PRIVATE marquill_picturecheck GTest::gtest GTest::gtest_main)
  add_test(NAME picturecheck_native_tests COMMAND picturecheck_native_tests)
endif()
