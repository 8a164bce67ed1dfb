#pragma once

// The 32-point discrete panels frmF9 (inputs) and frmE4 (outputs, with a button per point), and
// the eight-channel counter panel frmL7.

#include "panels/Panel.h"

#include <array>

class QGroupBox;
class QLabel;
class QPushButton;

class DiscretePanel : public Panel
{
    Q_OBJECT
public:
    static constexpr int Points = 32;

    QLabel *lblTitle;
    QLabel *lblNo(int p) const { return m_lblNo.at(std::size_t(p)); }   // "1:" .. "32:"
    QLabel *Label1(int p) const { return m_label1.at(std::size_t(p)); } // the point's state
    QGroupBox *Frame1;

protected:
    DiscretePanel(const QString &objectName, int titleNumber, bool outputs);
    // The public procedure shared by F9 and E4: command states, ShowOnly, the kind code.
    void showPanel(const QString &kindCode);

    std::array<QLabel *, Points + 1> m_lblNo{}, m_label1{};
    std::array<QPushButton *, Points + 1> m_cmdOut{};
};

class frmF9 : public DiscretePanel
{
    Q_OBJECT
public:
    frmF9();
    void F9() { showPanel(QStringLiteral("F9")); }

    QPushButton *cmdCntPre; // "Count Data": the count presets
    void cmdCntPre_Click();
};

class frmE4 : public DiscretePanel
{
    Q_OBJECT
public:
    frmE4();
    void E4() { showPanel(QStringLiteral("E4")); }

    QPushButton *cmdOut(int p) const { return m_cmdOut.at(std::size_t(p)); }
    // An output button press: only remembers the output; the monitoring loop switches it.
    void cmdOut_Click(int index);
    // Switches the pending output (called by the monitoring loop between two reads).
    void DiscreteDown();
};

class frmL7 : public Panel
{
    Q_OBJECT
public:
    static constexpr int Channels = 8;
    frmL7();
    void L7();

    QPushButton *cmdCh(int ch) const { return m_cmdCh.at(std::size_t(ch)); }
    QLabel *lblDI(int ch) const { return m_lblDI.at(std::size_t(ch)); }
    QLabel *lblDO(int ch) const { return m_lblDO.at(std::size_t(ch)); }
    QLabel *lbl32bit(int ch) const { return m_lbl32bit.at(std::size_t(ch)); }
    QLabel *lblPreset(int ch) const { return m_lblPreset.at(std::size_t(ch)); }
    QLabel *lblRate(int ch) const { return m_lblRate.at(std::size_t(ch)); }
    // Headings i = 0, 1, 2, 3, 4, 6.
    QLabel *lblTitle1(int i) const { return m_lblTitle1.at(std::size_t(i)); }
    QLabel *lblTitle2(int i) const { return m_lblTitle2.at(std::size_t(i)); }
    QGroupBox *Frame1;

    // A channel button press: SelChannel, then the counter editor.
    void cmdCh_Click(int index);

private:
    std::array<QPushButton *, Channels + 1> m_cmdCh{};
    std::array<QLabel *, Channels + 1> m_lblDI{}, m_lblDO{}, m_lbl32bit{}, m_lblPreset{},
        m_lblRate{};
    std::array<QLabel *, 7> m_lblTitle1{}, m_lblTitle2{};
};
