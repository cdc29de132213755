# Hostile files and special paths for Open and Save As.
zarnel_add_test(tst_imageFiles tst_imageFiles.cpp ImageSamples.h OFFSCREEN)
zarnel_add_test(tst_viewerFileFaults tst_viewerFileFaults.cpp ImageSamples.h tst_viewerSupport.h)
