zarnel_add_test(tst_viewer ${CMAKE_CURRENT_LIST_DIR}/tst_viewer.cpp ${CMAKE_CURRENT_LIST_DIR}/tst_viewerSupport.h)
add_test(NAME tst_viewer_hidpi COMMAND tst_viewer)
set_tests_properties(tst_viewer_hidpi PROPERTIES
  ENVIRONMENT "QT_QPA_PLATFORM=xcb;QT_SCALE_FACTOR=2;QT_ACCESSIBILITY=0" TIMEOUT 300)
