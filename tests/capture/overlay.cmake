zarnel_add_test(tst_rubberband tst_rubberband.cpp OFFSCREEN)
zarnel_add_test(tst_pictureregion tst_pictureregion.cpp OFFSCREEN)
# At a device pixel ratio of 2 the picture must be exactly the device-pixel rectangle
# under the pointer.
zarnel_add_test(tst_rectangle tst_rectangle.cpp OverlayTestSupport.h HIDPI)
zarnel_add_test(tst_crop tst_crop.cpp OverlayTestSupport.h HIDPI)
# Through the viewer's own commands, with a known picture on the screen.
zarnel_add_test(tst_rectangle_viewer tst_rectangle_viewer.cpp OverlayTestSupport.h HIDPI)
# Under a real window manager: the overlay still covers the screen and takes Escape.
zarnel_add_test_run(tst_rectangle_wm TARGET tst_rectangle XVFB 1920x1080x24 WM)
zarnel_add_test_run(tst_rectangle_viewer_wm TARGET tst_rectangle_viewer XVFB 1920x1080x24 WM)
