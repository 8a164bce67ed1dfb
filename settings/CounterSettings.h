#pragma once

// Settings of the counter kind (L7): per channel the discrete output setting and the count preset
// (frmCount, opened from the L7 panel's channel buttons), and module-wide the counted pulse edge,
// the count zero and the count rate memory (frmCountSet, from the Configuration menu).

#include "settings/SettingsParts.h"

#include <array>

class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

class frmCount : public SettingsWindow
{
    Q_OBJECT
public:
    static constexpr int Channels = 8;

    frmCount();

    // Fills the window with the channel the panel chose (SelChannel) and shows it modally; the
    // window is unloaded when it closes.
    void CountSet();

    QLabel *Label4; // "Count Setting"
    QLabel *Label1; // "Channel"
    QComboBox *cboChannel;
    QPushButton *cmdPrev, *cmdNext;
    QGroupBox *Frame1; // "DO"
    QRadioButton *optDO(int i) const { return m_optDO.at(std::size_t(i)); } // 1 ON, 0 OFF
    QLabel *Label5;
    QLineEdit *txtPreset;
    QPushButton *cmdCopy, *cmdPaste;
    QPushButton *cmdDownload;
    QPushButton *cmdExit;
    QGroupBox *Frame2, *Frame3;

    void cboChannel_Click();
    void optDO_Click(int index);
    void txtPreset_Change();
    void cmdPrev_Click();
    void cmdNext_Click();
    void cmdCopy_Click();
    void cmdPaste_Click();
    void cmdDownload_Click();
    void cmdExit_Click();

private:
    int channel() const;
    void showChannel();
    // Selects a DO option as a click on it would (the handler acts unless filling).
    void selectDo(int index);
    // Puts a preset into the box; the preset handler runs once, changed text or not.
    void putPreset(const QString &text);

    std::array<QRadioButton *, 2> m_optDO{};
};

class frmCountSet : public SettingsWindow
{
    Q_OBJECT
public:
    frmCountSet();

    // Reads the module-wide settings and shows the window modally; returns at once when a read
    // fails. The window is unloaded when it closes.
    void CountSet();

    QLabel *lblTitle;
    QGroupBox *Frame6; // "Pulse Edge."
    QRadioButton *optEdge(int i) const { return m_optEdge.at(std::size_t(i)); }
    QGroupBox *Frame2; // "Count Zero."
    QRadioButton *optCntZero(int i) const { return m_optCntZero.at(std::size_t(i)); } // 0 Clear
    QGroupBox *Frame3; // "Count Rate Mem"
    QRadioButton *optCntRate(int i) const { return m_optCntRate.at(std::size_t(i)); } // 1 Backup
    QPushButton *cmdUpload, *cmdDnload, *cmdExit;

    void cmdUpload_Click();
    void cmdDnload_Click();
    void cmdExit_Click();

private:
    bool prepare();
    bool readSettings();
    void downloadFailed();

    std::array<QRadioButton *, 2> m_optEdge{}, m_optCntZero{}, m_optCntRate{};
};
