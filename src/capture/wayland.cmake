# Screen pixels on Wayland sessions, through the desktop portal.
find_package(Qt6 REQUIRED COMPONENTS DBus)
target_sources(zarnel_core PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/PortalScreenGrab.cpp ${CMAKE_CURRENT_LIST_DIR}/PortalScreenGrab.h
)
target_link_libraries(zarnel_core PRIVATE Qt6::DBus)
