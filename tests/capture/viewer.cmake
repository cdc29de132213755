zarnel_add_test(tst_viewer tst_viewer.cpp tst_viewerSupport.h HIDPI)
zarnel_add_test(tst_scroll tst_scroll.cpp OFFSCREEN)
zarnel_add_test(tst_capture tst_capture.cpp HIDPI LIBRARIES PkgConfig::XCB)
# A 256-colour palette display of its own.
zarnel_add_test_run(tst_capture_palette TARGET tst_capture XVFB 640x480x8 ARGS palette)
# A server without the shared-memory extension, under a window manager: the grabs fall
# back to Qt's and still find each window and its frame.
zarnel_add_test_run(tst_capture_noshm TARGET tst_capture XVFB 1920x1080x24 noshm WM
  ARGS wholeScreen windowAreas outsideTheScreenIsBlack fallbackGrabsTheSamePixels
       everySourceGivesTheSamePixels)
zarnel_add_test(tst_viewerFiles tst_viewerFiles.cpp tst_viewerSupport.h HIDPI)
# A 4K screen of its own for the large full-screen capture.
zarnel_add_test_run(tst_viewer_4k TARGET tst_viewer XVFB 3840x2160x24
  ARGS fourKCaptureScrollsToFarCorner)
# Under a real window manager: the viewer, framed, is still absent from its own capture
# and comes back where it was.
zarnel_add_test_run(tst_viewer_wm TARGET tst_viewer XVFB 1920x1080x24 WM)
zarnel_add_test(tst_viewerPasteDrop tst_viewerPasteDrop.cpp tst_viewerSupport.h HIDPI)
