#pragma once

#include "capture/overlay/MonitorOverlay.h"
#include "forms/FormInstance.h"
#include "forms/Picture.h"

#include <QList>
#include <QPoint>

#include <memory>
#include <vector>

namespace capture {

// The frozen desktop on which the user drags the rectangle to capture: one borderless
// overlay per monitor, each showing its own part of one snapshot. This window is the
// primary monitor's overlay and keeps the others; a selection on any of them, or leaving
// from any of them, ends the capture on all.
class frmCaptureRectangle : public MonitorOverlay,
                            public forms::SingleInstance<frmCaptureRectangle> {
    Q_OBJECT
public:
    ~frmCaptureRectangle() override;

    // Covers every monitor with its part of the desktop snapshot and returns at once; the
    // selection happens in the overlays' own event handlers.
    void ShowPicture(const forms::Picture& picBitmap);

    // The overlay of every monitor, this one first.
    QList<MonitorOverlay*> overlays() const;

signals:
    // The rectangle the user selected, copied out of the snapshot.
    void selected(const forms::Picture& picture);
    // Every overlay has closed, with or without a selection; the viewer shows itself again.
    void closed();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    frmCaptureRectangle();
    template <class> friend class forms::FormInstance;

    // One monitor's overlay and where its part starts in the snapshot.
    struct Part {
        MonitorOverlay* overlay;
        QPoint offset;
    };

    void Form_Load();
    void place(MonitorOverlay& overlay, QPoint offset);
    void completeSelection(const Part& part);
    void leave();

    forms::Picture snapshot_;
    std::vector<Part> parts_;
    std::vector<std::unique_ptr<MonitorOverlay>> others_;
    bool finished_ = false;
};

} // namespace capture
