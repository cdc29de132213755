#pragma once

#include "capture/viewer/CropSelection.h"
#include "forms/FormInstance.h"
#include "forms/Picture.h"

#include <QMainWindow>

#include <chrono>

class QAction;
class QMenu;
class QScrollBar;
class QToolBar;

namespace forms {
class PictureBox;
}

namespace capture {

// The capture viewer: one image at its natural size in a grey viewport with scroll bars,
// and the commands to capture, open, save, copy, crop and print it.
class frmScreenCapture : public QMainWindow, public forms::SingleInstance<frmScreenCapture> {
    Q_OBJECT
public:
    // The current picture (none until something is captured or opened).
    const forms::Picture& picture() const;

    // Runs the command of a toolbar key; unknown keys (and "About") do nothing.
    void Toolbar1_ButtonClick(const QString& key);

    void mnuOpen_Click();
    void mnuSave_Click();
    void mnuPrint_Click();
    void mnuExit_Click();
    void mnuCrop_Click();
    void mnuCopy_Click();
    void mnuRectangle_Click();
    void mnuFullScreen_Click();

    // How long a capture waits at most for the screen to stop showing the viewer; then it
    // captures anyway.
    static constexpr std::chrono::milliseconds kHideTimeout {1000};

    // Time the last capture spent waiting for the screen (benchmarks report it).
    std::chrono::nanoseconds lastHideWait() const { return lastHideWait_; }

protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    frmScreenCapture();
    template <class> friend class forms::FormInstance;

    void buildMenus();
    void buildToolbar();
    QAction* addToolButton(const QString& key, const QString& tip, int image);
    void addGap();

    void Form_Resize();
    void ArrangeViewport();
    void SetupScrollBars();
    void HScroll1_Change(int value);
    void VScroll1_Change(int value);
    bool CaptureDesktop();
    // Brings the viewer back and tells the user why the capture gave nothing.
    void explainCaptureFailure();
    void setPicture(const forms::Picture& picture);
    // Opens an image file as Open does once its dialog has given the path.
    void openPath(const QString& path);
    // Ctrl+V pastes a picture, Ctrl+C copies it, and a file dropped on the window opens.
    void addPasteAndDrop();
    void pasteImage();

    // The window's outer size in twips, as the layout arithmetic measures it.
    double outerWidthTwips() const;
    double outerHeightTwips() const;
    void setOuterSizeTwips(double width, double height);

    QWidget* client_;
    QToolBar* Toolbar1_;
    forms::PictureBox* picRectangle_;
    forms::PictureBox* Picture1_;
    forms::PictureBox* Picture2_;
    QScrollBar* VScroll1_;
    QScrollBar* HScroll1_;
    QAction* cropButton_;
    CropSelection crop_;
    QString initDir_;
    bool placed_ = false;
    std::chrono::nanoseconds lastHideWait_ {};
};

} // namespace capture
