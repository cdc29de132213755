#pragma once

#include "forms/FormInstance.h"
#include "forms/Picture.h"

#include <QWidget>

#include <memory>

namespace forms {
class PictureBox;
}

namespace capture {

class RubberBand;

// Borderless window over the whole screen showing a frozen snapshot of it, on which the
// user drags the rectangle to capture.
class frmCaptureRectangle : public QWidget {
    Q_OBJECT
public:
    static frmCaptureRectangle& instance();
    ~frmCaptureRectangle() override;

    // Covers the screen with the snapshot and returns at once; the selection happens in
    // the window's own event handlers.
    void ShowPicture(const forms::Picture& picBitmap);

    // The box showing the snapshot, which takes the mouse, and the band drawn on it.
    forms::PictureBox& picture1() const { return *picture1_; }
    const RubberBand& band() const { return *band_; }
    bool Dragging() const;

signals:
    // The rectangle the user selected, copied out of the snapshot.
    void selected(const forms::Picture& picture);
    // The overlay has closed, with or without a selection; the viewer shows itself again.
    void closed();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    frmCaptureRectangle();
    template <class> friend class forms::FormInstance;

    void Form_Load();
    void Picture1_MouseDown(QMouseEvent& event);
    void Picture1_MouseMove(QMouseEvent& event);
    void Picture1_MouseUp(QMouseEvent& event);
    void Picture1_DblClick();
    void completeSelection();
    void leave();

    forms::PictureBox* picture1_;
    std::unique_ptr<RubberBand> band_;
    bool finished_ = false;
};

} // namespace capture
