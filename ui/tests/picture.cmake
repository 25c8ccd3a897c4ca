# The picture: loading by its rule, drawing, and damaged files of each kind.
# The checks' own tests run here too, against the code as it ships for Windows.
marquill_add_wine_test(test_picture WINVER win10
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/PictureTest.cpp ${CMAKE_CURRENT_LIST_DIR}/PictureCheckTest.cpp
  LIBS marquill_ui
  TIMEOUT 300)
