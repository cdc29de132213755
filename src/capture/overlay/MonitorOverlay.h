#pragma once

#include "capture/overlay/FrozenPictureBox.h"
#include "forms/Picture.h"

#include <QWidget>

#include <memory>

class QScreen;

namespace capture {

class RubberBand;

// A borderless window over one monitor showing that monitor's part of a frozen desktop
// snapshot, pixel for pixel over the real screen, with a rubber band of its own. The band
// never leaves the monitor it was started on.
class MonitorOverlay : public QWidget {
    Q_OBJECT
public:
    MonitorOverlay();
    ~MonitorOverlay() override;

    // Covers screen with part: the screen's own device pixels at the screen's ratio.
    void cover(QScreen* screen, const forms::Picture& part);
    // Takes no more input: the capture is over.
    void stop();

    // The box showing the snapshot, which takes the mouse, and the band drawn on it.
    forms::PictureBox& picture1() const { return *picture1_; }
    const RubberBand& band() const { return *band_; }
    bool Dragging() const;
    // The band's rectangle in the part's pixels, never outside the part.
    QRect selection() const;

    QPaintEngine* paintEngine() const override;

signals:
    // A button came up after a press here: the selection is complete.
    void released();
    // Escape or a double click: leave without a selection.
    void leaveRequested();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool stopped() const { return stopped_; }

private:
    void Picture1_MouseDown(QMouseEvent& event);
    void Picture1_MouseMove(QMouseEvent& event);
    void Picture1_MouseUp(QMouseEvent& event);
    void Picture1_DblClick();

    FrozenPictureBox* picture1_;
    std::unique_ptr<RubberBand> band_;
    bool stopped_ = false;
};

} // namespace capture
