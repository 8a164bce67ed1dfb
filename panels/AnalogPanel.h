#pragma once

// The three analog monitor panels: frmUt5 (16 channels), frmUt8 and frmK6 (8 channels each). One
// row per channel: button, input type, real value and unit, raw value and unit, cold-junction
// switch (UT5, UT8), status lamp; below the grid the module-level fields.

#include "panels/Panel.h"

#include <array>

class Lamp;
class QGroupBox;
class QLabel;
class QPushButton;

class AnalogPanel : public Panel
{
    Q_OBJECT
public:
    static constexpr int MaxChannels = 16;

    int channels() const { return m_channels; }
    int kind() const { return m_kind; }

    // Channel rows, 1..channels().
    QPushButton *cmdCh(int ch) const { return m_cmdCh.at(std::size_t(ch)); }
    QLabel *lblType(int ch) const { return m_lblType.at(std::size_t(ch)); }
    QLabel *lblReal(int ch) const { return m_lblReal.at(std::size_t(ch)); }
    QLabel *lblUnit1(int ch) const { return m_lblUnit1.at(std::size_t(ch)); }
    QLabel *lblRaw(int ch) const { return m_lblRaw.at(std::size_t(ch)); }
    QLabel *lblUnit2(int ch) const { return m_lblUnit2.at(std::size_t(ch)); }
    QLabel *lblCjmSw(int ch) const { return m_lblCjmSw.at(std::size_t(ch)); } // nullptr on K6
    Lamp *shpOut(int ch) const { return m_shpOut.at(std::size_t(ch)); }

    // Column headings, i = 0, 1, 2, 3, 5, 6 (nullptr where a panel has no such heading).
    QLabel *lblTitle1(int i) const { return m_lblTitle1.at(std::size_t(i)); }
    QLabel *lblTitle2(int i) const { return m_lblTitle2.at(std::size_t(i)); }

    // Module-level fields and their fixed captions.
    QLabel *lblDiscInput, *lblBurnout, *lblFilter;
    QLabel *lblDiscOutput = nullptr, *lblLineNoise = nullptr; // UT8 only
    QLabel *Label1, *Label2, *Label3, *Label4;
    QLabel *Label5 = nullptr, *Label7 = nullptr; // UT8 only
    QGroupBox *Frame1;

    // A channel button press: SelChannel, then the input type editor.
    void cmdCh_Click(int index);

protected:
    AnalogPanel(const QString &objectName, int kind, int channels);
    // The public procedure shared by the three panels: command states, ShowOnly, the kind code,
    // and the refill from the configuration model when PanelReload asks for it.
    void showPanel();

private:
    void load();
    void applyCommandRules();
    void refill();

    int m_kind;
    int m_channels;
    std::array<QPushButton *, MaxChannels + 1> m_cmdCh{};
    std::array<QLabel *, MaxChannels + 1> m_lblType{}, m_lblReal{}, m_lblUnit1{}, m_lblRaw{},
        m_lblUnit2{}, m_lblCjmSw{};
    std::array<Lamp *, MaxChannels + 1> m_shpOut{};
    std::array<QLabel *, 7> m_lblTitle1{}, m_lblTitle2{};
};

class frmUt5 : public AnalogPanel
{
    Q_OBJECT
public:
    frmUt5();
    void Ut5() { showPanel(); }
};

class frmUt8 : public AnalogPanel
{
    Q_OBJECT
public:
    frmUt8();
    void Ut8() { showPanel(); }
};

class frmK6 : public AnalogPanel
{
    Q_OBJECT
public:
    frmK6();
    void K6() { showPanel(); }
};
