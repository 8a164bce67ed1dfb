#pragma once

// The alarm output editor of the UT8 kind: switches the module's alarm output (discrete output 1).
// A choice shows at once in the UT8 panel's caption; Download writes it to the module. AlarmOut,
// the value read from the module, is left as it is.

#include "editors/EditorWindow.h"

#include <array>

class QFrame;
class QLabel;
class QPushButton;
class QRadioButton;

class frmAlarm : public EditorWindow
{
    Q_OBJECT
public:
    frmAlarm();

    // Fills the window from the UT8 panel and shows it modally; returns when it closes. Only the
    // UT8 kind has an alarm output: for another kind nothing opens.
    static void AlarmSet();

    // Download is enabled exactly when the link is up.
    void OpeDisable();

    QRadioButton *optAlarm(int k) const { return m_optAlarm.at(std::size_t(k)); } // 0 OFF, 1 ON
    QLabel *lblAlarm;
    QPushButton *cmdDownload, *cmdExit;
    QFrame *Frame3;

    void optAlarm_Click(int k);
    void cmdDownload_Click();
    void cmdExit_Click();

private:
    bool download();

    std::array<QRadioButton *, 2> m_optAlarm{};
};
