#pragma once

#include <chrono>

class QWidget;

namespace capture {

// Takes a shown window off the screen for a capture, by the means that works on this
// platform, and holds it off while the capture reads the screen. On return from the
// constructor the screen no longer shows the window (or bound has run out); once the
// departure ends the window is hidden.
class Departure {
public:
    Departure(QWidget& window, std::chrono::milliseconds bound);
    ~Departure();
    Departure(const Departure&) = delete;
    Departure& operator=(const Departure&) = delete;

    // How long the window took to leave the screen.
    std::chrono::nanoseconds waited() const { return waited_; }
    // False when the screen gave no evidence of it before bound ran out.
    bool confirmed() const { return confirmed_; }

private:
    QWidget& window_;
    bool transparent_ = false;
    bool confirmed_ = false;
    std::chrono::nanoseconds waited_ {};
};

} // namespace capture
