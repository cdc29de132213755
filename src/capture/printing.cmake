target_sources(zarnel_core PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/frmPrintScreen.cpp ${CMAKE_CURRENT_LIST_DIR}/frmPrintScreen.h
)
