# The field table knows no window and no store: the command line's rules and
# /show's forms, which also build natively, read it too.
if(NOT TARGET marquill_fields)
  add_library(marquill_fields STATIC ${CMAKE_CURRENT_LIST_DIR}/OEMFields.cpp)
  target_include_directories(marquill_fields PUBLIC ${CMAKE_SOURCE_DIR})
endif()
