#pragma once

#include <QDialog>

#include <optional>

class QComboBox;
class QGroupBox;
class QLabel;
class QPushButton;

// The channel window of the zero and span adjustment: the engineer picks an analog channel and
// opens its zero or span setting window, or clears the channel's adjustment.
class frmZeroSpan : public QDialog
{
    Q_OBJECT
public:
    frmZeroSpan();

    // Fills the channel list for the kind on view, places the window below the main window's
    // menus and shows it modally; returns when it closes. Not shown while another command talks
    // to the module.
    void ZeroSpan();

    QLabel *Label1;
    QLabel *Label2;
    QComboBox *cboChannel; // picks only: no typed channel numbers
    QPushButton *cmdPrev;
    QPushButton *cmdNext;
    QPushButton *cmdZero;
    QPushButton *cmdSpan;
    QPushButton *cmdReset;
    QPushButton *cmdExit;
    QGroupBox *Frame2;
    QGroupBox *Frame3;

    // The seven controls a setting window takes away while it is open.
    void SetChannelControlsEnabled(bool enabled);

    void cmdPrev_Click();
    void cmdNext_Click();
    void cmdZero_Click();
    void cmdSpan_Click();
    void cmdReset_Click();
    void cmdExit_Click();

protected:
    void reject() override;

private:
    int channel() const;
    int channelCount() const;
    void step(int by);
    std::optional<int> readAdjustmentState();
    void resetAdjustment();
};

// Opens the setting window for AdjChannel in AdjMode over the channel window and unloads it once
// it has closed.
void OpenZeroSpanSetting();
