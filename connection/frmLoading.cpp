#include "connection/frmLoading.h"

#include "app/Forms.h"
#include "app/MsgBox.h"
#include "app/Resources.h"
#include "app/frmMain.h"
#include "connection/Readings.h"
#include "link/ItemMap.h"
#include "link/ModuleCommand.h"
#include "link/TxtBus.h"
#include "model/Globals.h"
#include "panels/AnalogPanel.h"
#include "panels/DiscretePanel.h"
#include "panels/Lamp.h"
#include "panels/PanelOfKind.h"

#include <QCoreApplication>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QTimer>

namespace frmLoading {

namespace {

struct StartState
{
    bool running = false;       // between Starting and Stopping
    bool stopRequested = false; // Stop came before the loop began
};

StartState &start()
{
    static StartState s;
    return s;
}

const QString MonitoringTitle = QStringLiteral("Monitoring");

void uploadIncomplete()
{
    MsgBox(LoadResString(3004), MsgIcon::Critical, MonitoringTitle);
}

void noModel()
{
    MsgBox(QStringLiteral("No Model"), MsgIcon::None, QStringLiteral("Type set"));
}

} // namespace

bool ReadIdentityRow(int row)
{
    frmMain &main = Forms::get<frmMain>();
    static const int captions[] = {0, 2002, 2003, 2004, 2005, 2006, 2007};
    QString payload;
    if (!DataRead(int16_t(Item::ModelName + row - 1), 0, payload))
        return false;
    main.lblTitle(row)->setText(LoadResString(captions[row]));
    main.lblData(row)->setText(payload);
    return true;
}

namespace {

// The panel buttons that monitoring takes away and gives back. False for no model.
bool setMonitoringButtons(int kind, bool monitoring)
{
    if (AnalogPanel *panel = AnalogPanelOfKind(kind)) {
        for (int ch = 1; ch <= panel->channels(); ++ch) {
            panel->cmdCh(ch)->setEnabled(!monitoring);
            if (!monitoring)
                panel->shpOut(ch)->setFillColor(NeutralLampColour());
        }
        return true;
    }
    switch (kind) {
    case KindE4: {
        frmE4 &panel = Forms::get<frmE4>();
        for (int p = 1; p <= DiscretePanel::Points; ++p)
            panel.cmdOut(p)->setEnabled(monitoring);
        return true;
    }
    case KindF9:
        Forms::get<frmF9>().cmdCntPre->setEnabled(!monitoring);
        return true;
    case KindL7: {
        frmL7 &panel = Forms::get<frmL7>();
        for (int ch = 1; ch <= frmL7::Channels; ++ch)
            panel.cmdCh(ch)->setEnabled(!monitoring);
        return true;
    }
    case KindNone:
        return false;
    default:
        return true; // a kind without a panel changes no button
    }
}

} // namespace

double VersionNumber(const QString &text)
{
    const qsizetype v = text.lastIndexOf(QLatin1Char('V'));
    const QString number = v >= 0 ? text.mid(v + 1) : text;
    // The leading decimal number of the text, "." as point; none gives 0.
    static const QRegularExpression leading(QStringLiteral(R"(^\s*[+-]?(\d+\.?\d*|\.\d+))"));
    const auto match = leading.match(number);
    if (!match.hasMatch())
        return 0.0;
    return match.captured(0).trimmed().toDouble();
}

void Connecting()
{
    frmMain &main = Forms::get<frmMain>();
    G.CommForm = &main;
    CommOpen();
    if (!G.LinkUp)
        return;

    SetMenuStates(main, {{&frmMain::mnuConfig, true},
                         {&frmMain::mnuMonitor, true},
                         {&frmMain::mnuAdjustment, true},
                         {&frmMain::mnuModel, false},
                         {&frmMain::mnuConnConn, false},
                         {&frmMain::mnuConnDisConn, true},
                         {&frmMain::mnuMonitorStop, false}});
    main.button(QStringLiteral("MonitorStart"))->setEnabled(true);
    main.button(QStringLiteral("ConfigUpload"))->setEnabled(true);
    main.button(QStringLiteral("ConfigDownload"))->setEnabled(true);

    for (int row = 1; row <= 5; ++row) {
        if (!ReadIdentityRow(row))
            return uploadIncomplete();
    }

    const int index = ModelIndex(main.lblData(1)->text());
    if (index == 0)
        return uploadIncomplete();
    G.CurModelKind = G.ModelKind[std::size_t(index)];
    const int kind = G.curKind();

    if (kind == KindUt5 || kind == KindK6 || kind == KindL7) {
        if (!ReadIdentityRow(6))
            return uploadIncomplete();
    }

    if (kind == KindUt8) {
        QString payload;
        G.ForceChannelField = true;
        const bool ok = DataRead(Item::OptionCode, 0, payload);
        G.ForceChannelField = false;
        if (!ok)
            return uploadIncomplete();
        // An option code that is not a number sets nothing, as an unknown code does.
        switch (WholeNumber(payload).value_or(-1)) {
        case 48:
            G.Ut8SettingsOption = true;
            G.Ut8AddressOption = true;
            break;
        case 16:
            G.Ut8SettingsOption = true;
            G.Ut8AddressOption = false;
            break;
        case 32:
            G.Ut8SettingsOption = false;
            G.Ut8AddressOption = true;
            break;
        case 0:
            G.Ut8SettingsOption = false;
            G.Ut8AddressOption = false;
            break;
        default:
            break;
        }
    }

    ShowPanelOfKind(kind);

    if (!ReadConfiguration(kind, index))
        return uploadIncomplete();
}

void DisConnecting()
{
    CommClose();
    G.PendingOutput = 0;
    frmMain &main = Forms::get<frmMain>();
    SetMenuStates(main, {{&frmMain::mnuConfig, false},
                         {&frmMain::mnuMonitor, false},
                         {&frmMain::mnuAdjustment, false},
                         {&frmMain::mnuModel, true},
                         {&frmMain::mnuConnConn, true},
                         {&frmMain::mnuConnDisConn, false}});
    main.button(QStringLiteral("MonitorStart"))->setEnabled(false);
    main.button(QStringLiteral("ConfigUpload"))->setEnabled(false);
    main.button(QStringLiteral("ConfigDownload"))->setEnabled(false);
}

void Starting()
{
    start() = {true, false};
    G.PendingOutput = 0; // a press belongs to the run it was made in
    frmMain &main = Forms::get<frmMain>();
    SetMenuStates(main, {{&frmMain::mnuFile, false},
                         {&frmMain::mnuConn, false},
                         {&frmMain::mnuModel, false},
                         {&frmMain::mnuConfig, false},
                         {&frmMain::mnuMonitorStart, false},
                         {&frmMain::mnuMonitorStop, true},
                         {&frmMain::mnuHelp, false},
                         {&frmMain::mnuAdjustment, false},
                         {&frmMain::mnuAlarm, false}});
    main.setButtonsEnabled(false);
    main.button(QStringLiteral("MonitorStop"))->setEnabled(true);
    if (!setMonitoringButtons(G.curKind(), true))
        noModel();
}

void Monitoring()
{
    frmMain &main = Forms::get<frmMain>();
    G.CommForm = &main;
    CommOpen();
    if (!G.LinkUp || start().stopRequested || ModuleCommand::Cancelled())
        return;

    const int index = ModelIndex(main.lblData(1)->text());
    if (index == 0)
        return uploadIncomplete();
    G.MonitorOn = true;
    G.CurModelKind = G.ModelKind[std::size_t(index)];
    const int kind = G.curKind();
    if (kind != KindUt8)
        ShowPanelOfKind(kind);

    // The kind comes from the catalogue, so there is always a sweep to make.
    for (;;) {
        if (!G.MonitorOn)
            return;
        QCoreApplication::processEvents();
        if (!MonitorSweep(kind)) {
            // Ended on a failed read: the same state as a loop ended by Stop.
            G.MonitorOn = false;
            return uploadIncomplete();
        }
    }
}

void MonitorPause()
{
    if (G.PendingOutput != 0)
        Forms::get<frmE4>().DiscreteDown();
    if (!G.MonitorHold)
        return;
    // Held until Start or Stop: sleep between events, waking now and then in any case.
    QTimer wake;
    wake.start(100);
    while (G.MonitorHold)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

void RequestStop()
{
    start().stopRequested = true;
}

bool StartRunning()
{
    return start().running;
}

void LinkLost()
{
    G.MonitorOn = false;
    if (Forms::ifLoaded<frmMain>())
        DisConnecting();
    else
        G.PendingOutput = 0;
}

void Stopping()
{
    start() = {};
    G.PendingOutput = 0;
    frmMain *loaded = Forms::ifLoaded<frmMain>();
    if (!loaded) {
        // A link without its main window (a tool or a check of the link alone): no commands.
        G.TimeoutFlag = false;
        return;
    }
    frmMain &main = *loaded;
    SetMenuStates(main, {{&frmMain::mnuFile, true},
                         {&frmMain::mnuConn, true},
                         {&frmMain::mnuConfig, true},
                         {&frmMain::mnuMonitorStart, true},
                         {&frmMain::mnuMonitorStop, false},
                         {&frmMain::mnuAdjustment, true},
                         {&frmMain::mnuHelp, true}});
    main.setButtonsEnabled(true);
    main.button(QStringLiteral("MonitorStop"))->setEnabled(false);
    G.TimeoutFlag = false;

    const int kind = G.curKind();
    if (!setMonitoringButtons(kind, false)) {
        noModel();
        return;
    }
    if (kind == KindL7) {
        main.button(QStringLiteral("Save"))->setEnabled(false);
        main.button(QStringLiteral("SaveAs"))->setEnabled(false);
        main.mnuAdjustment->setEnabled(false);
    } else if (kind == KindUt8) {
        main.mnuAlarm->setEnabled(true);
    }
}

} // namespace frmLoading
