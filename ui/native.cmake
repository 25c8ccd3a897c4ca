# The picture dialog's rules (its filter text, the fitting of both previews)
# know no window: built natively too, so that the sanitizers watch their
# arithmetic on the extremes a picture file can claim.
add_library(marquill_picturedialogrules STATIC ${CMAKE_CURRENT_LIST_DIR}/PictureDialogRules.cpp)
target_include_directories(marquill_picturedialogrules PUBLIC ${CMAKE_SOURCE_DIR})
if(BUILD_TESTING)
  add_executable(picturedialogrules_native_tests ${CMAKE_CURRENT_LIST_DIR}/tests/PictureDialogRulesTest.cpp)
  target_link_libraries(picturedialogrules_native_tests PRIVATE marquill_picturedialogrules GTest::gtest
                        GTest::gtest_main)
  add_test(NAME picturedialogrules_native_tests COMMAND picturedialogrules_native_tests)
endif()
