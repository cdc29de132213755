find_package(Cups REQUIRED)
# Plain variables: an imported target found here would not be visible where zarnel_core lives.
target_include_directories(zarnel_core PRIVATE ${CUPS_INCLUDE_DIRS})
target_link_libraries(zarnel_core PRIVATE ${CUPS_LIBRARIES})
target_sources(zarnel_core PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/frmPrintScreen.cpp ${CMAKE_CURRENT_LIST_DIR}/frmPrintScreen.h
  ${CMAKE_CURRENT_LIST_DIR}/PicturePrinting.cpp ${CMAKE_CURRENT_LIST_DIR}/PicturePrinting.h
  ${CMAKE_CURRENT_LIST_DIR}/CupsJob.cpp ${CMAKE_CURRENT_LIST_DIR}/CupsJob.h
)
