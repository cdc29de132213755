#pragma once

#include "forms/FormInstance.h"

#include <QWidget>

class QLineEdit;
class QListWidget;
class QPushButton;

namespace coordinates {

// Where the list is saved unless the user types another path: "c:\pointslog.txt" on
// Windows, pointslog.txt in the home folder elsewhere (a drive letter means nothing there).
QString DefaultListPath();

// The vertices of the polygon in plane units, with commands to copy them to the clipboard
// and to save them to a text file. Each opening loads the window afresh.
class frmCoordinates : public QWidget, public forms::SingleInstance<frmCoordinates> {
    Q_OBJECT
public:
private:
    template <class> friend class forms::FormInstance;
    frmCoordinates();

    void buildControls();
    void Form_Load();
    void Command3_Click();
    void CMDSAVE_Click();

    void showEvent(QShowEvent* event) override;

    QListWidget* List1 = nullptr;
    QPushButton* Command3 = nullptr;
    QPushButton* CMDSAVE = nullptr;
    QLineEdit* txtLog = nullptr;
};

} // namespace coordinates
