# Hostile files and special paths for Open and Save As (issue 12).
zarnel_add_test(tst_imageFiles ${CMAKE_CURRENT_LIST_DIR}/tst_imageFiles.cpp
                ${CMAKE_CURRENT_LIST_DIR}/ImageSamples.h OFFSCREEN)
zarnel_add_test(tst_viewerFileFaults ${CMAKE_CURRENT_LIST_DIR}/tst_viewerFileFaults.cpp
                ${CMAKE_CURRENT_LIST_DIR}/ImageSamples.h ${CMAKE_CURRENT_LIST_DIR}/tst_viewerSupport.h)
