# The window in another language: the real catalogs built beside
# Marquill.exe (app/locale), and scratch catalogs for the failure cases.
marquill_add_wine_test(i18n_form_tests WINVER win10 STORE TIMEOUT 120
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/I18nFormTest.cpp ${CMAKE_SOURCE_DIR}/i18n/tests/MoBuilder.cpp
  LIBS marquill_ui marquill_testsupport)
add_dependencies(i18n_form_tests marquill_catalogs)
# Every shipped translation fits the control it sits in, measured in Tahoma.
marquill_add_wine_test(i18n_width_tests WINVER win10 TIMEOUT 120
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/I18nWidthTest.cpp
  LIBS marquill_ui marquill_testsupport)
add_dependencies(i18n_width_tests marquill_catalogs)
