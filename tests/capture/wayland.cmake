# On the headless Wayland session the test command starts: as a Wayland client (at output
# scale 1 and 2), as an X11 client of Xwayland, and with no desktop portal to ask.
add_executable(tst_wayland ${CMAKE_CURRENT_LIST_DIR}/tst_wayland.cpp
               ${CMAKE_CURRENT_LIST_DIR}/OverlayTestSupport.h ${CMAKE_CURRENT_LIST_DIR}/tst_viewerSupport.h)
target_link_libraries(tst_wayland PRIVATE zarnel_core Qt6::Test)
target_include_directories(tst_wayland PRIVATE ${CMAKE_CURRENT_LIST_DIR})
foreach(mode wayland xwayland scale2 noportal)
  set(name tst_wayland_${mode})
  if(mode STREQUAL "wayland")
    set(name tst_wayland)
  endif()
  add_test(NAME ${name} COMMAND ${CMAKE_CURRENT_LIST_DIR}/on_wayland.sh ${mode} $<TARGET_FILE:tst_wayland>)
  # Without the session the whole test skips; show it as skipped, not passed.
  set_tests_properties(${name} PROPERTIES ENVIRONMENT "QT_ACCESSIBILITY=0" TIMEOUT 300
                       SKIP_REGULAR_EXPRESSION "SKIP   : tst_Wayland::initTestCase")
endforeach()

zarnel_add_test(tst_portal ${CMAKE_CURRENT_LIST_DIR}/tst_portal.cpp OFFSCREEN)
