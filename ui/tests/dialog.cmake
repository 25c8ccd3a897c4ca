# The picture-open dialog: its rules (built natively too, in ui/native.cmake),
# what it asks of the platform's dialog, and the real file dialog driven under
# Wine with the preview panel and the "Preview" window read back from screen.
# It runs the same on both sides of the store-mode line, so it is tested as
# the program sees itself in each.
foreach(winver IN ITEMS win10 winxp)
  marquill_add_wine_test(test_picture_dialog_${winver} WINVER ${winver}
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/PictureDialogTest.cpp
            ${CMAKE_CURRENT_LIST_DIR}/PictureDialogRulesTest.cpp
            ${CMAKE_CURRENT_LIST_DIR}/PictureDialogGuiTest.cpp
    LIBS marquill_ui marquill_testsupport comctl32 comdlg32
    TIMEOUT 180)
endforeach()
