#include "files/Transfer.h"

#include "app/Forms.h"
#include "app/MsgBox.h"
#include "app/Resources.h"
#include "app/frmDialog.h"
#include "app/frmMain.h"
#include "connection/Readings.h"
#include "connection/frmLoading.h"
#include "link/Communication.h"
#include "link/ItemMap.h"
#include "link/ModuleCommand.h"
#include "link/TxtBus.h"
#include "model/Globals.h"
#include "panels/PanelOfKind.h"

#include <QAction>
#include <QLabel>

namespace {

// Shows which channel a transfer is at, at the foot of the status strip, until it ends.
class Progress
{
public:
    explicit Progress(frmMain &main) : m_main(main) {}
    ~Progress() { m_main.ShowNotice(QString(), 0); }
    Progress(const Progress &) = delete;
    Progress &operator=(const Progress &) = delete;

    void channel(int ch, int channels)
    {
        m_main.ShowNotice(LoadResString(4400).arg(ch).arg(channels), 0);
    }

private:
    frmMain &m_main;
};

QString dec(int value)
{
    return QString::number(value);
}

// One write of the download: the module must echo exactly the expected text.
bool write(int16_t item, const QString &value, const QString &echo)
{
    QString reply;
    return ParameterWrite(item, value, reply) && reply == echo;
}

bool downloadAnalog(int kind, Progress &progress)
{
    const int channels = kind == KindUt5 ? 16 : 8;
    const bool settings = kind != KindUt8 || G.Ut8SettingsOption;
    for (int ch = 1; ch <= channels; ++ch) {
        progress.channel(ch, channels);
        const auto c = std::size_t(ch);
        if (!write(Item::InputType, NN(ch) + NN(G.ChTypeCode[c]), dec(G.ChTypeCode[c])))
            return false;
        if (kind != KindK6 && settings &&
            !write(Item::CjcSwitch, NN(ch) + dec(G.ChCjcSw[c]), dec(G.ChCjcSw[c])))
            return false;
        if (kind != KindUt8 &&
            !write(Item::Burnout, NN(ch) + dec(G.BurnoutType), dec(G.BurnoutType)))
            return false;
    }
    if (kind == KindUt8) {
        if (settings && !write(Item::Burnout, dec(G.BurnoutType), dec(G.BurnoutType)))
            return false;
        if (!write(Item::DiscreteOutput, QStringLiteral("01") + dec(G.AlarmOut), dec(G.AlarmOut)))
            return false;
        const QString lineNoise = G.LineNoiseSel ? dec(*G.LineNoiseSel) : QString();
        if (settings && !write(Item::LineNoise, lineNoise, lineNoise))
            return false;
    }
    return write(Item::FilterConst, G.FilterConst, G.FilterConst);
}

bool downloadCounter(Progress &progress)
{
    for (int ch = 1; ch <= 8; ++ch) {
        progress.channel(ch, 8);
        const auto c = std::size_t(ch);
        if (!write(Item::DiscreteOutput, NN(ch) + dec(G.ChDoMode[c]), dec(G.ChDoMode[c])) ||
            !write(Item::CountPreset, NN(ch) + G.ChPreset[c], G.ChPreset[c]))
            return false;
    }
    return true;
}

bool upload(frmMain &main)
{
    for (int row = 1; row <= 5; ++row) {
        if (!frmLoading::ReadIdentityRow(row))
            return false;
    }
    const int index = ModelIndex(main.lblData(1)->text());
    if (index == 0)
        return false;
    const int16_t kind = G.ModelKind[std::size_t(index)];
    if ((kind == KindUt5 || kind == KindK6 || kind == KindL7) && !frmLoading::ReadIdentityRow(6))
        return false;
    G.CurModelKind = kind;
    ShowPanelOfKind(kind);
    Progress progress(main);
    return ReadConfiguration(kind, index, true,
                             [&progress](int ch, int channels) { progress.channel(ch, channels); });
}

} // namespace

void ConfigUpload()
{
    ModuleCommand command;
    if (!command)
        return;
    frmMain &main = Forms::get<frmMain>();
    G.CommForm = &main;
    CommOpen();
    if (!G.LinkUp)
        return;
    SetMenuStates(main, {{&frmMain::mnuConfig, true},
                         {&frmMain::mnuMonitor, true},
                         {&frmMain::mnuAdjustment, true},
                         {&frmMain::mnuConnConn, false},
                         {&frmMain::mnuConnDisConn, true}});
    main.button(4)->setEnabled(true);
    main.button(5)->setEnabled(true);
    if (!upload(main))
        MsgBox(LoadResString(3004), MsgIcon::Critical, QStringLiteral("Monitoring"));
}

void ConfigDownload()
{
    ModuleCommand command;
    if (!command)
        return;
    frmDialog::Dialog(QStringLiteral("Starting download for All Channels."));
    if (!G.DialogOk)
        return;
    frmMain &main = Forms::get<frmMain>();
    G.CommForm = &main;
    CommOpen();
    bool ok = G.LinkUp;
    if (ok) {
        Progress progress(main);
        switch (G.curKind()) {
        case KindUt5:
        case KindK6:
        case KindUt8:
            ok = downloadAnalog(G.curKind(), progress);
            break;
        case KindL7:
            ok = downloadCounter(progress);
            break;
        case KindE4:
        case KindF9:
            break; // the point states are not part of a configuration
        default:
            MsgBox(QStringLiteral("No Model"), MsgIcon::None, QStringLiteral("Type set"));
            return;
        }
    }
    // The configuration stays in memory whatever the module did, ready to be saved or sent again.
    if (!ok)
        MsgBox(LoadResString(3003), MsgIcon::Critical, QStringLiteral("Download all channels"));
}
