# The main window, opened in the test process and driven like a user would:
# once as Windows 10 sees it (registry store), once as Windows XP (INI store).
marquill_add_wine_test(form_registry_tests WINVER win10 STORE TIMEOUT 120
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/FormRegistryTest.cpp ${CMAKE_CURRENT_LIST_DIR}/FormWow64Test.cpp
          ${CMAKE_CURRENT_LIST_DIR}/FormPagesTest.cpp ${CMAKE_CURRENT_LIST_DIR}/FormAccessTest.cpp
          ${CMAKE_CURRENT_LIST_DIR}/FormKeysTest.cpp
  LIBS marquill_ui marquill_testsupport oeminfo_testkit oleacc ole32 oleaut32 uuid)
add_dependencies(form_registry_tests marquill_catalogs)
marquill_add_wine_test(form_legacy_tests WINVER winxp STORE TIMEOUT 120
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/FormLegacyTest.cpp ${CMAKE_CURRENT_LIST_DIR}/FormPagesTest.cpp
          ${CMAKE_CURRENT_LIST_DIR}/FormAccessTest.cpp
  LIBS marquill_ui marquill_testsupport comctl32 oleacc ole32 oleaut32 uuid)
add_dependencies(form_legacy_tests marquill_catalogs)
marquill_add_wine_test(form_open_tests WINVER win10 STORE TIMEOUT 120
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/FormOpenTest.cpp
  LIBS marquill_ui marquill_testsupport comctl32)
# The window's start per kind of token, through the program body's own path.
marquill_add_wine_test(form_elevation_tests WINVER win10 STORE TIMEOUT 120
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/ElevationTest.cpp
  LIBS marquill_ui marquill_testsupport)
# Marquill.exe itself (app/), started as a user starts it.
marquill_add_wine_test(form_program_tests WINVER win10 STORE TIMEOUT 120
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/FormProgramTest.cpp
  LIBS marquill_ui marquill_testsupport)
add_dependencies(form_program_tests Marquill)
marquill_set_winver(Marquill.exe win10)
