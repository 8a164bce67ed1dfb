#pragma once

#include "adjust/AdjustWindow.h"

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

// The setting window of a zero or span adjustment: the live value of the channel, refreshed
// twice a second, the module's offset or span coefficient, and the true value to send.
class frmSetZeroSpan : public AdjustWindow
{
    Q_OBJECT
public:
    frmSetZeroSpan();

    // Reads AdjChannel and AdjMode, prepares the window (the offset or coefficient and a first
    // live value, read under a command of their own) and shows it modally below the channel
    // window; returns when it closes, or at once when a preparing read fails.
    void SetZeroSpan();
    // The live reading loop: the channel's value every 500 ms until Exit or a failed read.
    void DataReading();

    QLabel *Label1;
    QGroupBox *Frame1;
    QLabel *lblInput, *lblInputreal, *lblUnit3;
    QLabel *lblRet, *lblRetdata, *lblUnit1;
    QLabel *lblReal, *lblUnit2;
    QLineEdit *txtReal;
    QGroupBox *Frame2;
    QPushButton *cmdOK;
    QPushButton *cmdExit;

    void cmdOK_Click();
    void cmdExit_Click() { Exit(); }

protected:
    void Form_Activate() override;
    bool ReadPass() override;
    void ExitStep() override;

private:
    bool prepare();
    bool prepareReads();
    void sendAdjustment(const QString &data);
    QString shown(const QString &payload) const;

    int m_channel = 0;
    int m_mode = 0;
    QString m_unit;
};
