#include "connection/frmLoading.h"

#include "app/Forms.h"
#include "app/MsgBox.h"
#include "app/Resources.h"
#include "app/frmMain.h"
#include "connection/Readings.h"
#include "link/ItemMap.h"
#include "link/TxtBus.h"
#include "model/Globals.h"
#include "panels/AnalogPanel.h"
#include "panels/DiscretePanel.h"
#include "panels/Lamp.h"

#include <QCoreApplication>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QTimer>

namespace frmLoading {

namespace {

const QString MonitoringTitle = QStringLiteral("Monitoring");

void uploadIncomplete()
{
    MsgBox(LoadResString(3004), MsgIcon::Critical, MonitoringTitle);
}

void noModel()
{
    MsgBox(QStringLiteral("No Model"), MsgIcon::None, QStringLiteral("Type set"));
}

// Reads one identity row into the table of the main window.
bool readIdentityRow(frmMain &main, int row)
{
    static const int captions[] = {0, 2002, 2003, 2004, 2005, 2006, 2007};
    QString payload;
    if (!DataRead(int16_t(Item::ModelName + row - 1), 0, payload))
        return false;
    main.lblTitle(row)->setText(LoadResString(captions[row]));
    main.lblData(row)->setText(payload);
    return true;
}

void showPanelOfKind(int kind)
{
    switch (kind) {
    case KindUt5:
        Forms::get<frmUt5>().Ut5();
        break;
    case KindK6:
        Forms::get<frmK6>().K6();
        break;
    case KindE4:
        Forms::get<frmE4>().E4();
        break;
    case KindF9:
        Forms::get<frmF9>().F9();
        break;
    case KindL7:
        Forms::get<frmL7>().L7();
        break;
    case KindUt8:
        Forms::get<frmUt8>().Ut8();
        break;
    default:
        break;
    }
}

void setAnalogButtons(AnalogPanel &panel, bool enabled, bool neutralLamps)
{
    for (int ch = 1; ch <= panel.channels(); ++ch) {
        panel.cmdCh(ch)->setEnabled(enabled);
        if (neutralLamps)
            panel.shpOut(ch)->setFillColor(NeutralLampColour());
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

    main.mnuConfig->setEnabled(true);
    main.mnuMonitor->setEnabled(true);
    main.mnuAdjustment->setEnabled(true);
    main.mnuModel->setEnabled(false);
    main.mnuConnConn->setEnabled(false);
    main.mnuConnDisConn->setEnabled(true);
    main.mnuMonitorStop->setEnabled(false);
    main.button(QStringLiteral("MonitorStart"))->setEnabled(true);
    main.button(QStringLiteral("ConfigUpload"))->setEnabled(true);
    main.button(QStringLiteral("ConfigDownload"))->setEnabled(true);

    for (int row = 1; row <= 5; ++row) {
        if (!readIdentityRow(main, row))
            return uploadIncomplete();
    }

    const int index = ModelIndex(main.lblData(1)->text());
    if (index == 0)
        return uploadIncomplete();
    G.CurModelKind = G.ModelKind[std::size_t(index)];
    const int kind = G.curKind();

    if (kind == KindUt5 || kind == KindK6 || kind == KindL7) {
        if (!readIdentityRow(main, 6))
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

    showPanelOfKind(kind);

    if (!ReadConfiguration(kind, index))
        return uploadIncomplete();
}

void DisConnecting()
{
    CommClose();
    frmMain &main = Forms::get<frmMain>();
    main.mnuConfig->setEnabled(false);
    main.mnuMonitor->setEnabled(false);
    main.mnuAdjustment->setEnabled(false);
    main.mnuModel->setEnabled(true);
    main.mnuConnConn->setEnabled(true);
    main.mnuConnDisConn->setEnabled(false);
    main.button(QStringLiteral("MonitorStart"))->setEnabled(false);
    main.button(QStringLiteral("ConfigUpload"))->setEnabled(false);
    main.button(QStringLiteral("ConfigDownload"))->setEnabled(false);
}

void Starting()
{
    frmMain &main = Forms::get<frmMain>();
    main.mnuFile->setEnabled(false);
    main.mnuConn->setEnabled(false);
    main.mnuModel->setEnabled(false);
    main.mnuConfig->setEnabled(false);
    main.mnuMonitorStart->setEnabled(false);
    main.mnuMonitorStop->setEnabled(true);
    main.mnuHelp->setEnabled(false);
    main.mnuAdjustment->setEnabled(false);
    main.mnuAlarm->setEnabled(false);
    for (int position = 1; position <= frmMain::ButtonCount; ++position)
        main.button(position)->setEnabled(false);
    main.button(QStringLiteral("MonitorStop"))->setEnabled(true);

    switch (G.curKind()) {
    case KindUt5:
        setAnalogButtons(Forms::get<frmUt5>(), false, false);
        break;
    case KindK6:
        setAnalogButtons(Forms::get<frmK6>(), false, false);
        break;
    case KindE4: {
        frmE4 &panel = Forms::get<frmE4>();
        for (int p = 1; p <= DiscretePanel::Points; ++p)
            panel.cmdOut(p)->setEnabled(true);
        break;
    }
    case KindF9:
        Forms::get<frmF9>().cmdCntPre->setEnabled(false);
        break;
    case KindL7: {
        frmL7 &panel = Forms::get<frmL7>();
        for (int ch = 1; ch <= frmL7::Channels; ++ch)
            panel.cmdCh(ch)->setEnabled(false);
        break;
    }
    case KindUt8:
        setAnalogButtons(Forms::get<frmUt8>(), false, false);
        break;
    case KindNone:
        noModel();
        break;
    default:
        break;
    }
}

void Monitoring()
{
    frmMain &main = Forms::get<frmMain>();
    G.CommForm = &main;
    CommOpen();
    if (!G.LinkUp)
        return;

    const int index = ModelIndex(main.lblData(1)->text());
    if (index == 0)
        return uploadIncomplete();
    G.MonitorOn = true;
    G.CurModelKind = G.ModelKind[std::size_t(index)];
    const int kind = G.curKind();
    if (kind != KindUt8)
        showPanelOfKind(kind);

    // Wakes the wait below when a kind has nothing to read.
    QTimer wake;
    wake.setInterval(100);
    for (;;) {
        if (!G.MonitorOn)
            return;
        QCoreApplication::processEvents();
        if (kind < KindUt5 || kind > KindUt8) {
            wake.start();
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
            continue;
        }
        if (!MonitorSweep(kind))
            return uploadIncomplete();
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

void Stopping()
{
    frmMain *loaded = Forms::ifLoaded<frmMain>();
    if (!loaded) {
        // A link without its main window (a tool or a check of the link alone): no commands.
        G.TimeoutFlag = false;
        return;
    }
    frmMain &main = *loaded;
    main.mnuFile->setEnabled(true);
    main.mnuConn->setEnabled(true);
    main.mnuConfig->setEnabled(true);
    main.mnuMonitorStart->setEnabled(true);
    main.mnuMonitorStop->setEnabled(false);
    main.mnuAdjustment->setEnabled(true);
    main.mnuHelp->setEnabled(true);
    for (int position = 1; position <= frmMain::ButtonCount; ++position)
        main.button(position)->setEnabled(true);
    main.button(QStringLiteral("MonitorStop"))->setEnabled(false);
    G.TimeoutFlag = false;

    switch (G.curKind()) {
    case KindUt5:
        setAnalogButtons(Forms::get<frmUt5>(), true, true);
        break;
    case KindK6:
        setAnalogButtons(Forms::get<frmK6>(), true, true);
        break;
    case KindE4: {
        frmE4 &panel = Forms::get<frmE4>();
        for (int p = 1; p <= DiscretePanel::Points; ++p)
            panel.cmdOut(p)->setEnabled(false);
        break;
    }
    case KindF9:
        Forms::get<frmF9>().cmdCntPre->setEnabled(true);
        break;
    case KindL7: {
        frmL7 &panel = Forms::get<frmL7>();
        for (int ch = 1; ch <= frmL7::Channels; ++ch)
            panel.cmdCh(ch)->setEnabled(true);
        main.button(QStringLiteral("Save"))->setEnabled(false);
        main.button(QStringLiteral("SaveAs"))->setEnabled(false);
        main.mnuAdjustment->setEnabled(false);
        break;
    }
    case KindUt8:
        setAnalogButtons(Forms::get<frmUt8>(), true, true);
        main.mnuAlarm->setEnabled(true);
        break;
    case KindNone:
        noModel();
        break;
    default:
        break;
    }
}

} // namespace frmLoading
