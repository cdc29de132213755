# Several monitors on one X server, in three layouts: two equal monitors side by side, an
# uneven pair (different sizes, one lower than the other) and two monitors whose device
# pixel ratios differ.
add_executable(tst_monitors tst_monitors.cpp OverlayTestSupport.h)
target_link_libraries(tst_monitors PRIVATE zarnel_core Qt6::Test)
target_include_directories(tst_monitors PRIVATE ${ZARNEL_TEST_SUPPORT})
zarnel_add_test_run(tst_monitors_equal TARGET tst_monitors TIMEOUT 300
  XVFB 3840x1080x24 monitors=1920x1080+0+0,1920x1080+1920+0)
zarnel_add_test_run(tst_monitors_uneven TARGET tst_monitors TIMEOUT 300
  XVFB 3200x1080x24 monitors=1920x1080+0+0,1280x1024+1920+56)
zarnel_add_test_run(tst_monitors_mixed TARGET tst_monitors TIMEOUT 300
  XVFB 3840x1080x24 monitors=1920x1080+0+0,1920x1080+1920+0@2)
