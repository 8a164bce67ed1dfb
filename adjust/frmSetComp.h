#pragma once

#include "adjust/AdjustWindow.h"

class QComboBox;
class QGroupBox;
class QLabel;
class QPushButton;

// Line resistance compensation of a K6 module: the engineer picks a channel and asks the module to
// take its present input as the line resistance (or as the 0 % or 100 % point), watching the live
// engineering and raw values twice a second.
class frmSetComp : public AdjustWindow
{
    Q_OBJECT
public:
    frmSetComp();

    // Places the window below the main window's menus, sets up channel 1 and shows it modally;
    // returns when it closes. Not shown while another command talks to the module. It talks over
    // the link as it is (no link of its own is opened).
    void SetComp();
    // The live reading loop: the engineering and raw value of the channel in the box every 500 ms
    // until Exit or a failed read.
    void CompDataReading();

    QLabel *lblTitle;
    QGroupBox *Frame1, *Frame2, *Frame3, *Frame4;
    QLabel *Label2;
    QComboBox *cboChannel; // picks only: no typed channel numbers
    QPushButton *cmdPrev, *cmdNext;
    QPushButton *cmd0;   // "0%", or "Line Res." on a channel of group 3
    QPushButton *cmd100; // "100%"; hidden on a channel of group 3
    QPushButton *cmdReset;
    QPushButton *cmdExit;
    QLabel *lblInput, *lblInputreal, *lblUnit1;
    QLabel *lblRaw, *lblRawreal, *lblUnit2;

    void cmdPrev_Click();
    void cmdNext_Click();
    void cboChannel_Click();
    void cmd0_Click();
    void cmd100_Click();
    void cmdReset_Click();
    void cmdExit_Click() { Exit(); }

protected:
    void Form_Activate() override;
    bool ReadPass() override;

private:
    int channel() const;
    void channelSetup();
    void step(int by);
    void compRequest(int request);
};
