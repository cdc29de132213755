target_sources(zarnel_core PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/BandGeometry.cpp ${CMAKE_CURRENT_LIST_DIR}/BandGeometry.h
  ${CMAKE_CURRENT_LIST_DIR}/PictureRegion.cpp ${CMAKE_CURRENT_LIST_DIR}/PictureRegion.h
  ${CMAKE_CURRENT_LIST_DIR}/RubberBand.cpp ${CMAKE_CURRENT_LIST_DIR}/RubberBand.h
  ${CMAKE_CURRENT_LIST_DIR}/CropSelection.cpp ${CMAKE_CURRENT_LIST_DIR}/CropSelection.h
  ${CMAKE_CURRENT_LIST_DIR}/FrozenPictureBox.cpp ${CMAKE_CURRENT_LIST_DIR}/FrozenPictureBox.h
  ${CMAKE_CURRENT_LIST_DIR}/X11Backdrop.cpp ${CMAKE_CURRENT_LIST_DIR}/X11Backdrop.h
  ${CMAKE_CURRENT_LIST_DIR}/MonitorOverlay.cpp ${CMAKE_CURRENT_LIST_DIR}/MonitorOverlay.h
  ${CMAKE_CURRENT_LIST_DIR}/frmCaptureRectangle.cpp ${CMAKE_CURRENT_LIST_DIR}/frmCaptureRectangle.h
)
