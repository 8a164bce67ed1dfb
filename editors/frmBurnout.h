#pragma once

// The burnout editor: what the analog inputs do when a sensor breaks ("None", "Up", "Down"). It
// changes BurnoutType and the panel's burnout caption at once, and the module on Download.

#include "editors/EditorWindow.h"

class QComboBox;
class QFrame;
class QLabel;
class QPushButton;

class frmBurnout : public EditorWindow
{
    Q_OBJECT
public:
    frmBurnout();

    // Fills the window for CurModelKind and shows it modally; returns when it closes.
    static void BurnoutSet();

    // Download is enabled exactly when the link is up.
    void OpeDisable();

    QComboBox *cboBurnout;
    QLabel *lblBurnout;
    QPushButton *cmdDownload, *cmdExit;
    QFrame *Frame3;

    void cboBurnout_Click();
    void cmdDownload_Click();
    void cmdExit_Click();

private:
    bool download();
};
