#pragma once

// The count presets of a discrete-input module (F9 kind): for its sixteen counting inputs the
// 32-bit count and the preset, all read or written in one pass. Opened by the F9 panel's
// "Count Data" button.

#include "settings/SettingsParts.h"

#include <array>

class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;

class frmCntPreset : public SettingsWindow
{
    Q_OBJECT
public:
    static constexpr int Channels = 16;

    frmCntPreset();

    // Places the window, reads all sixteen rows and shows it modally; returns at once when the
    // reading fails. The window is unloaded when it closes.
    void CntPreset();

    QLabel *lblNo(int ch) const { return m_lblNo.at(std::size_t(ch)); }             // 1..16
    QLabel *lbl32bitCnt(int ch) const { return m_lbl32bitCnt.at(std::size_t(ch)); } // 1..16
    QLineEdit *txtPreset(int ch) const { return m_txtPreset.at(std::size_t(ch)); }  // 1..16
    QLabel *lblTitle(int i) const { return m_lblTitle.at(std::size_t(i)); }         // 0..11
    QFrame *frame(int ch) const { return m_frame.at(std::size_t(ch)); }             // 1..16
    QFrame *Line1;
    QPushButton *cmdUpload, *cmdDownload, *cmdExit;

    void txtPreset_Change(int ch);
    void cmdUpload_Click();
    void cmdDownload_Click();
    void cmdExit_Click();

private:
    bool prepare();
    // Reads item 8 and item 9 of every channel in order; false at the first failing read.
    bool readRows();

    std::array<QLabel *, Channels + 1> m_lblNo{}, m_lbl32bitCnt{};
    std::array<QLineEdit *, Channels + 1> m_txtPreset{};
    std::array<QFrame *, Channels + 1> m_frame{};
    std::array<QLabel *, 12> m_lblTitle{};
    bool m_filling = false;
};
