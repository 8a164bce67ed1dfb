#pragma once

// The filter time constant editor: the input filter's time constant in seconds, as text. The text
// is committed to FilterConst and the panel's filter caption by Exit and by Download.

#include "editors/EditorWindow.h"

class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;

class frmTimeCon : public EditorWindow
{
    Q_OBJECT
public:
    frmTimeCon();

    // Fills the window for CurModelKind and shows it modally; returns when it closes.
    static void FilterSet();

    // Download is enabled exactly when the link is up.
    void OpeDisable();

    QLineEdit *txtFilter;
    QLabel *Label1; // "Sec."
    QLabel *lblFilter;
    QPushButton *cmdDownload, *cmdExit;
    QFrame *Frame3;

    void cmdDownload_Click();
    void cmdExit_Click();

private:
    // Refuses text the module cannot take; otherwise puts it into the panel's caption and
    // FilterConst. False when refused (nothing is stored then).
    bool commit();
    bool download();
};
