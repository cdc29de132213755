#pragma once

#include <QString>

#include <optional>

namespace capture {

// Where the screen's pixels come from.
enum class CaptureSource {
    SharedMemory, // X11: the server writes them into memory we share with it
    Portal, // a Wayland session: the desktop portal's screenshot
    Qt, // Qt's own grab: X11 without shared memory, any other platform
    None, // nothing here can read the screen
};

// The source this session reads the screen from, chosen once, the first time it is asked.
CaptureSource ScreenSource();

// Why the None source gives no picture.
QString NoSourceReason();

// Makes ScreenSource() answer source from now on; nullopt goes back to the session's own
// choice. For tests, which can thus try every source on any server.
void OverrideScreenSource(std::optional<CaptureSource> source);

} // namespace capture
