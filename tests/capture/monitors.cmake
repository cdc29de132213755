# Several monitors on one X server, in three layouts: two equal monitors side by side, an
# uneven pair (different sizes, one lower than the other) and two monitors whose device
# pixel ratios differ.
add_executable(tst_monitors ${CMAKE_CURRENT_LIST_DIR}/tst_monitors.cpp
               ${CMAKE_CURRENT_LIST_DIR}/OverlayTestSupport.h)
target_link_libraries(tst_monitors PRIVATE zarnel_core Qt6::Test)
target_include_directories(tst_monitors PRIVATE ${CMAKE_CURRENT_LIST_DIR})
set(monitor_layouts
  "equal\;3840x1080x24\;monitors=1920x1080+0+0,1920x1080+1920+0"
  "uneven\;3200x1080x24\;monitors=1920x1080+0+0,1280x1024+1920+56"
  "mixed\;3840x1080x24\;monitors=1920x1080+0+0,1920x1080+1920+0@2")
foreach(layout ${monitor_layouts})
  list(GET layout 0 name)
  list(GET layout 1 screen)
  list(GET layout 2 monitors)
  add_test(NAME tst_monitors_${name}
    COMMAND ${CMAKE_CURRENT_LIST_DIR}/with_xvfb.sh ${screen} ${monitors} $<TARGET_FILE:tst_monitors>)
  set_tests_properties(tst_monitors_${name} PROPERTIES
    ENVIRONMENT "QT_QPA_PLATFORM=xcb;QT_ACCESSIBILITY=0" TIMEOUT 300)
endforeach()
