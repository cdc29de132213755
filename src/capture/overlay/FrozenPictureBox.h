#pragma once

#include "forms/PictureBox.h"

namespace capture {

// The picture box of a frozen-screen overlay. Where the X server can hold the picture it
// does: the box then has a native window whose background is the picture, Qt paints
// nothing in it, and only the lines above the picture are drawn, by the server too.
// Elsewhere it is a plain picture box.
class FrozenPictureBox : public forms::PictureBox {
    Q_OBJECT
public:
    explicit FrozenPictureBox(QWidget* parent);

    // Shows picture; true when the X server holds it. Before the box is first shown.
    bool freeze(const forms::Picture& picture);
    bool onServer() const { return onServer_; }

    QPaintEngine* paintEngine() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    bool onServer_ = false;
};

} // namespace capture
