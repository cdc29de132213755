target_sources(zarnel_core PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/Capture.cpp ${CMAKE_CURRENT_LIST_DIR}/Capture.h
  ${CMAKE_CURRENT_LIST_DIR}/Desktop.cpp ${CMAKE_CURRENT_LIST_DIR}/Desktop.h
  ${CMAKE_CURRENT_LIST_DIR}/XcbShmGrab.cpp ${CMAKE_CURRENT_LIST_DIR}/XcbShmGrab.h
  ${CMAKE_CURRENT_LIST_DIR}/QtScreenGrab.cpp ${CMAKE_CURRENT_LIST_DIR}/QtScreenGrab.h
  ${CMAKE_CURRENT_LIST_DIR}/QtXcb.cpp ${CMAKE_CURRENT_LIST_DIR}/QtXcb.h
  ${CMAKE_CURRENT_LIST_DIR}/ScreenSettle.cpp ${CMAKE_CURRENT_LIST_DIR}/ScreenSettle.h
  ${CMAKE_CURRENT_LIST_DIR}/TransparentFrame.cpp ${CMAKE_CURRENT_LIST_DIR}/TransparentFrame.h
  ${CMAKE_CURRENT_LIST_DIR}/ScrollModel.cpp ${CMAKE_CURRENT_LIST_DIR}/ScrollModel.h
  ${CMAKE_CURRENT_LIST_DIR}/ImageFiles.cpp ${CMAKE_CURRENT_LIST_DIR}/ImageFiles.h
  ${CMAKE_CURRENT_LIST_DIR}/ImageLayout.cpp ${CMAKE_CURRENT_LIST_DIR}/ImageLayout.h
  ${CMAKE_CURRENT_LIST_DIR}/ImageOrientation.cpp ${CMAKE_CURRENT_LIST_DIR}/ImageOrientation.h
  ${CMAKE_CURRENT_LIST_DIR}/ViewerArtwork.cpp ${CMAKE_CURRENT_LIST_DIR}/ViewerArtwork.h
  ${CMAKE_CURRENT_LIST_DIR}/frmScreenCapture.cpp ${CMAKE_CURRENT_LIST_DIR}/frmScreenCapture.h
  ${CMAKE_CURRENT_LIST_DIR}/ViewerDesign.h
  ${CMAKE_CURRENT_LIST_DIR}/ViewerLayout.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ViewerFileCommands.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ViewerCaptureCommands.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ViewerPasteDrop.cpp
)
