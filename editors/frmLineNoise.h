#pragma once

// The line noise filter editor of the UT8 kind: the mains frequency the input filter rejects
// ("50/60Hz", "50Hz", "60Hz"). A pick changes LineNoiseSel and the UT8 panel's caption at once;
// Download writes it to the module.

#include "editors/EditorWindow.h"

class QComboBox;
class QFrame;
class QLabel;
class QPushButton;

class frmLineNoise : public EditorWindow
{
    Q_OBJECT
public:
    frmLineNoise();

    // Fills the window from the UT8 panel and shows it modally; returns when it closes. Only the
    // UT8 kind has the setting: for another kind nothing opens.
    static void LineNoiseSet();

    // Download is enabled exactly when the link is up.
    void OpeDisable();

    QComboBox *cboLineNoise;
    QLabel *lblLineNoise;
    QPushButton *cmdDownload, *cmdExit;
    QFrame *Frame3;

    void cboLineNoise_Click();
    void cmdDownload_Click();
    void cmdExit_Click();

private:
    bool download();
};
