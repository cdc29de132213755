# On the headless Wayland session the test command starts: as a Wayland client (at output
# scale 1 and 2), as an X11 client of Xwayland, and with no desktop portal to ask. Without
# the session they skip.
add_executable(tst_wayland tst_wayland.cpp OverlayTestSupport.h tst_viewerSupport.h)
target_link_libraries(tst_wayland PRIVATE zarnel_core Qt6::Test)
target_include_directories(tst_wayland PRIVATE ${ZARNEL_TEST_SUPPORT})
foreach(mode wayland xwayland scale2 noportal)
  set(name tst_wayland_${mode})
  if(mode STREQUAL "wayland")
    set(name tst_wayland)
  endif()
  zarnel_register_test(${name} COMMAND ${ZARNEL_TEST_SUPPORT}/on_wayland.sh ${mode} $<TARGET_FILE:tst_wayland>)
endforeach()

zarnel_add_test(tst_portal tst_portal.cpp OFFSCREEN)
