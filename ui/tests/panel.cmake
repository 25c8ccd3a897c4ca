marquill_add_wine_test(test_panel WINVER win10
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/PanelTest.cpp ${CMAKE_CURRENT_LIST_DIR}/WindowBaseTest.cpp
  LIBS marquill_ui marquill_testsupport
  TIMEOUT 60)
