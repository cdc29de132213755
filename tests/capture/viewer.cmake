zarnel_add_test(tst_viewer ${CMAKE_CURRENT_LIST_DIR}/tst_viewer.cpp ${CMAKE_CURRENT_LIST_DIR}/tst_viewerSupport.h)
add_test(NAME tst_viewer_hidpi COMMAND tst_viewer)
set_tests_properties(tst_viewer_hidpi PROPERTIES
  ENVIRONMENT "QT_QPA_PLATFORM=xcb;QT_SCALE_FACTOR=2;QT_ACCESSIBILITY=0" TIMEOUT 300)
zarnel_add_test(tst_scroll ${CMAKE_CURRENT_LIST_DIR}/tst_scroll.cpp OFFSCREEN)
zarnel_add_test(tst_capture ${CMAKE_CURRENT_LIST_DIR}/tst_capture.cpp)
add_test(NAME tst_capture_hidpi COMMAND tst_capture)
set_tests_properties(tst_capture_hidpi PROPERTIES
  ENVIRONMENT "QT_QPA_PLATFORM=xcb;QT_SCALE_FACTOR=2;QT_ACCESSIBILITY=0" TIMEOUT 300)
# A 256-colour palette display of its own.
add_test(NAME tst_capture_palette
  COMMAND ${CMAKE_CURRENT_LIST_DIR}/with_xvfb.sh 640x480x8 $<TARGET_FILE:tst_capture> palette)
set_tests_properties(tst_capture_palette PROPERTIES
  ENVIRONMENT "QT_QPA_PLATFORM=xcb;QT_ACCESSIBILITY=0" TIMEOUT 120)
target_link_libraries(tst_capture PRIVATE PkgConfig::XCB)
zarnel_add_test(tst_viewerFiles ${CMAKE_CURRENT_LIST_DIR}/tst_viewerFiles.cpp ${CMAKE_CURRENT_LIST_DIR}/tst_viewerSupport.h)
# A 4K screen of its own for the large full-screen capture.
add_test(NAME tst_viewer_4k
  COMMAND ${CMAKE_CURRENT_LIST_DIR}/with_xvfb.sh 3840x2160x24 $<TARGET_FILE:tst_viewer> fourKCaptureScrollsToFarCorner)
set_tests_properties(tst_viewer_4k PROPERTIES
  ENVIRONMENT "QT_QPA_PLATFORM=xcb;QT_ACCESSIBILITY=0" TIMEOUT 120)
add_test(NAME tst_viewerFiles_hidpi COMMAND tst_viewerFiles)
set_tests_properties(tst_viewerFiles_hidpi PROPERTIES
  ENVIRONMENT "QT_QPA_PLATFORM=xcb;QT_SCALE_FACTOR=2;QT_ACCESSIBILITY=0" TIMEOUT 300)
# Under a real window manager: the viewer, framed, is still absent from its own capture
# and comes back where it was.
add_test(NAME tst_viewer_wm
  COMMAND ${CMAKE_CURRENT_LIST_DIR}/with_xvfb.sh 1920x1080x24 $<TARGET_FILE:tst_viewer>)
set_tests_properties(tst_viewer_wm PROPERTIES
  ENVIRONMENT "QT_QPA_PLATFORM=xcb;QT_ACCESSIBILITY=0;ZARNEL_WM=openbox" TIMEOUT 120)
zarnel_add_test(tst_viewerPasteDrop ${CMAKE_CURRENT_LIST_DIR}/tst_viewerPasteDrop.cpp ${CMAKE_CURRENT_LIST_DIR}/tst_viewerSupport.h)
add_test(NAME tst_viewerPasteDrop_hidpi COMMAND tst_viewerPasteDrop)
set_tests_properties(tst_viewerPasteDrop_hidpi PROPERTIES
  ENVIRONMENT "QT_QPA_PLATFORM=xcb;QT_SCALE_FACTOR=2;QT_ACCESSIBILITY=0" TIMEOUT 300)
