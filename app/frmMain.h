#pragma once

#include "link/Communication.h"

#include <QMainWindow>

#include <array>
#include <initializer_list>

class QLabel;
class QMenu;
class ReconnectStrip;
class QTimer;
class QToolBar;

// The main window: the frame of the program. It owns the serial port and the reply timer, shows
// the identity of the connected module in its status strip and one monitor panel at a time in its
// child area, and carries every menu and toolbar command.
class frmMain : public QMainWindow, public CommHost
{
    Q_OBJECT
public:
    frmMain();
    ~frmMain() override;

    // ---- menus: a menu of the menu bar is its menu action ----
    QAction *mnuFile, *mnuFileOpen, *mnuFileSave, *mnuFileSaveAs, *mnuFileBar0, *mnuFileExit;
    QAction *mnuConn, *mnuConnConn, *mnuConnDisConn;
    QAction *mnuModel;
    QAction *mnuModelModel(int index) const { return m_model.at(std::size_t(index)); } // 1..3
    QAction *mnuConfig, *mnuConfigModBus, *mnuConfigBar0, *mnuConfigBurnout, *mnuConfigFilter,
        *mnuConfigLineNoise, *mnuConfigCJM, *mnuConfigBar2, *mnuConfigCount, *mnuConfigBar1,
        *mnuConfigUpload, *mnuConfigDownload;
    QAction *mnuMonitor, *mnuMonitorStart, *mnuMonitorStop;
    QAction *mnuAdjustment, *mnuAdjZeroSpan, *mnuAdjComp;
    QAction *mnuAlarm, *mnuAlarmOutput;
    QAction *mnuSpace1;
    QAction *mnuHelp, *mnuHelpIndex, *mnuHelpContents, *mnuHelpContentsEnglish,
        *mnuHelpContentsJapanese, *mnuHelpBar0, *mnuHelpAbout;
    // The Monitor menu itself: opening it holds the monitoring loop.
    QMenu *monitorMenu() const { return m_monitorMenu; }

    // ---- toolbar: buttons by position (1..11; 4, 7 and 10 are separators) or by key ----
    QToolBar *tbToolbar;
    QAction *button(int position) const { return m_buttons.at(std::size_t(position)); }
    QAction *button(const QString &key) const;
    static constexpr int ButtonCount = 11;
    // Every toolbar button at once.
    void setButtonsEnabled(bool enabled);

    // ---- status strip ----
    QWidget *picCommon;
    QLabel *Label2; // the company caption
    QLabel *Image1;
    QLabel *lblTitle(int row) const { return m_lblTitle.at(std::size_t(row)); } // 1..6
    QLabel *lblData(int row) const { return m_lblData.at(std::size_t(row)); }   // 0..6

    // A short notice at the foot of the status strip (a command held back, a step of a long
    // command); it clears itself after ms milliseconds (0: stays until replaced).
    QLabel *lblNotice;
    void ShowNotice(const QString &text, int ms = 4000);
    // Below it, after a lost connection: "Module lost" and, once the device is back, Reconnect.
    ReconnectStrip *reconnectStrip;

    // Beyond the eleven buttons: the communication log, also while monitoring (Ctrl+L).
    QAction *tbCommLog;

    // The area the monitor panels live in, and the hint it shows until the first panel does.
    QWidget *childArea() const { return m_childArea; }
    QLabel *lblHint;

    // ---- commands ----
    void mnuFileExit_Click();
    void mnuConnConn_Click();
    void mnuConnDisConn_Click();
    void mnuModelModel_Click(int index);
    void mnuConfigModBus_Click();
    void mnuConfigCount_Click();
    void mnuMonitor_Click(); // the menu opens
    void mnuMonitorStart_Click();
    void mnuMonitorStop_Click();
    void mnuAdjZeroSpan_Click();
    void mnuAdjComp_Click();
    void mnuHelpAbout_Click();
    void NotSupported();
    void tbToolbar_ButtonClick(QAction *button);

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void buildMenus();
    void buildToolbar();
    void buildStatusStrip();
    void buildKeyboardAccess();
    void nameToolbarButtons();
    void unloadOthers();

    std::array<QAction *, 4> m_model{};
    std::array<QAction *, ButtonCount + 1> m_buttons{};
    std::array<QLabel *, 7> m_lblTitle{};
    std::array<QLabel *, 7> m_lblData{};
    QMenu *m_monitorMenu = nullptr;
    QWidget *m_childArea = nullptr;
    QTimer *m_noticeTimer = nullptr;
};

// A command of the main window (a member such as &frmMain::mnuConfigCJM) and the state to give it.
struct MenuState
{
    QAction *frmMain::*menu;
    bool enabled;
};
// Sets the commands in the order listed.
void SetMenuStates(frmMain &main, std::initializer_list<MenuState> states);

// Shows one window alone in the main window's child area: every other loaded window but the main
// window is hidden, then this one is placed and shown.
void ShowOnly(QWidget &window);
