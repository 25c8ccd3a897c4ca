# The window's look read back from the screen. They take the store lock: the
# logo test writes the machine's "Logo" value, and the others must not see
# what store tests leave there meanwhile.
marquill_add_wine_test(test_look WINVER win10
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/LookTest.cpp
  LIBS marquill_ui marquill_testsupport
  STORE TIMEOUT 120)
marquill_add_wine_test(test_look_legacy WINVER winxp
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/LookLegacyTest.cpp
  LIBS marquill_ui marquill_testsupport
  STORE TIMEOUT 120)

# Sets the prefix's screen dpi for a process of its own and puts it back at
# once; no other test may start meanwhile.
marquill_add_wine_test(test_look_dpi WINVER win10
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/LookDpiTest.cpp
  LIBS marquill_ui marquill_testsupport
  NO_GTEST_MAIN TIMEOUT 150)
# The same at Windows XP, where "Support Info" shows.
marquill_add_wine_test(test_look_dpi_legacy WINVER winxp
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/LookDpiTest.cpp
  LIBS marquill_ui marquill_testsupport
  NO_GTEST_MAIN TIMEOUT 150)
set_tests_properties(test_look_dpi test_look_dpi_legacy PROPERTIES RUN_SERIAL TRUE)
# High contrast through the platform seam, with the system's colours set by
# SetSysColors, which every window on the desktop sees: no other test may
# run meanwhile.
marquill_add_wine_test(test_look_contrast WINVER win10
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/LookContrastTest.cpp
  LIBS marquill_ui marquill_testsupport
  STORE TIMEOUT 120)
set_tests_properties(test_look_contrast PROPERTIES RUN_SERIAL TRUE)
