zarnel_add_test(tst_rubberband ${CMAKE_CURRENT_LIST_DIR}/tst_rubberband.cpp OFFSCREEN)
zarnel_add_test(tst_pictureregion ${CMAKE_CURRENT_LIST_DIR}/tst_pictureregion.cpp OFFSCREEN)

zarnel_add_test(tst_rectangle ${CMAKE_CURRENT_LIST_DIR}/tst_rectangle.cpp
                ${CMAKE_CURRENT_LIST_DIR}/OverlayTestSupport.h)
# The same selections at a device pixel ratio of 2: the picture must be exactly the
# device-pixel rectangle under the pointer.
add_test(NAME tst_rectangle_hidpi COMMAND tst_rectangle)
set_tests_properties(tst_rectangle_hidpi PROPERTIES
  ENVIRONMENT "QT_QPA_PLATFORM=xcb;QT_SCALE_FACTOR=2;QT_ACCESSIBILITY=0" TIMEOUT 300)

zarnel_add_test(tst_crop ${CMAKE_CURRENT_LIST_DIR}/tst_crop.cpp
                ${CMAKE_CURRENT_LIST_DIR}/OverlayTestSupport.h)
add_test(NAME tst_crop_hidpi COMMAND tst_crop)
set_tests_properties(tst_crop_hidpi PROPERTIES
  ENVIRONMENT "QT_QPA_PLATFORM=xcb;QT_SCALE_FACTOR=2;QT_ACCESSIBILITY=0" TIMEOUT 300)

# Through the viewer's own commands, with a known picture on the screen.
zarnel_add_test(tst_rectangle_viewer ${CMAKE_CURRENT_LIST_DIR}/tst_rectangle_viewer.cpp
                ${CMAKE_CURRENT_LIST_DIR}/OverlayTestSupport.h)
add_test(NAME tst_rectangle_viewer_hidpi COMMAND tst_rectangle_viewer)
set_tests_properties(tst_rectangle_viewer_hidpi PROPERTIES
  ENVIRONMENT "QT_QPA_PLATFORM=xcb;QT_SCALE_FACTOR=2;QT_ACCESSIBILITY=0" TIMEOUT 300)

# Under a real window manager: the overlay still covers the screen and takes Escape.
add_test(NAME tst_rectangle_wm
  COMMAND ${CMAKE_CURRENT_LIST_DIR}/with_xvfb.sh 1920x1080x24 $<TARGET_FILE:tst_rectangle>)
add_test(NAME tst_rectangle_viewer_wm
  COMMAND ${CMAKE_CURRENT_LIST_DIR}/with_xvfb.sh 1920x1080x24 $<TARGET_FILE:tst_rectangle_viewer>)
set_tests_properties(tst_rectangle_wm tst_rectangle_viewer_wm PROPERTIES
  ENVIRONMENT "QT_QPA_PLATFORM=xcb;QT_ACCESSIBILITY=0;ZARNEL_WM=openbox" TIMEOUT 120)
