#include "editors/frmBurnout.h"

#include "app/Forms.h"
#include "app/Modal.h"
#include "app/MsgBox.h"
#include "app/Resources.h"
#include "app/frmDialog.h"
#include "link/ItemMap.h"
#include "link/TxtBus.h"
#include "model/Globals.h"
#include "panels/AnalogPanel.h"
#include "panels/PanelOfKind.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>

#include <algorithm>

namespace {

const QString CfgDownloadTitle = QStringLiteral("Cfg. Download");
constexpr int NoneResource = 2037; // then "Up" 2038 and "Down" 2039

} // namespace

frmBurnout::frmBurnout() : EditorWindow(QStringLiteral("frmBurnout"), 2036)
{
    lblBurnout = AddLabel("lblBurnout", "Burnout Type", 2036);
    cboBurnout = new QComboBox(this);
    cboBurnout->setObjectName(QStringLiteral("cboBurnout"));
    cboBurnout->setMinimumContentsLength(10);
    lblBurnout->setBuddy(cboBurnout);
    cmdDownload = AddButton("cmdDownload", "Download");
    cmdExit = AddButton("cmdExit", "Exit");
    Frame3 = LayOutSetting(lblBurnout, cboBurnout, nullptr, cmdDownload, cmdExit);

    connect(cboBurnout, &QComboBox::activated, this, &frmBurnout::cboBurnout_Click);
    connect(cmdDownload, &QPushButton::clicked, this, &frmBurnout::cmdDownload_Click);
    connect(cmdExit, &QPushButton::clicked, this, &frmBurnout::cmdExit_Click);

    // Load
    ApplyResCaptions(this);
    cboBurnout->setAccessibleName(lblBurnout->text());
}

void frmBurnout::BurnoutSet()
{
    if (!ModuleFree())
        return;
    frmBurnout &window = Forms::get<frmBurnout>();
    window.PlaceOnMain();
    for (int i = 0; i < 3; ++i)
        window.cboBurnout->addItem(LoadResString(NoneResource + i));
    int shown = -1;
    if (const AnalogPanel *panel = AnalogPanelOfKind(G.curKind())) {
        // The panel shows the name as it was read ("Up"); an empty caption shows "None". Showing
        // is no choice: BurnoutType stays until the user picks an entry.
        const QString caption = panel->lblBurnout->text();
        if (caption.isEmpty()) {
            shown = 0;
        } else {
            shown = window.cboBurnout->findText(caption, Qt::MatchExactly);
            if (shown < 0)
                shown = int(std::find(G.BurnoutNames.begin(), G.BurnoutNames.end(), caption) -
                            G.BurnoutNames.begin());
            if (shown >= 3)
                shown = -1;
        }
    }
    window.cboBurnout->setCurrentIndex(shown);
    window.OpeDisable();
    ShowModal(window);
    Forms::unload<frmBurnout>();
}

void frmBurnout::OpeDisable()
{
    cmdDownload->setEnabled(G.LinkUp);
}

void frmBurnout::cboBurnout_Click()
{
    const QString text = cboBurnout->currentText();
    if (AnalogPanel *panel = AnalogPanelOfKind(G.curKind()))
        panel->lblBurnout->setText(text);
    if (text == LoadResString(NoneResource))
        G.BurnoutType = 0;
    else if (text == LoadResString(NoneResource + 1))
        G.BurnoutType = 1;
    else
        G.BurnoutType = 2;
}

void frmBurnout::cmdDownload_Click()
{
    frmDialog::Dialog(QStringLiteral("Starting download for Burnout Type."));
    if (!G.DialogOk)
        return;
    EditorCommand command(*this);
    if (!command)
        return;
    if (!download())
        MsgBox(LoadResString(3003), MsgIcon::Critical, CfgDownloadTitle);
}

bool frmBurnout::download()
{
    if (!OpenLink())
        return false;
    const QString d = QString::number(G.BurnoutType);
    QString reply;
    const int kind = G.curKind();
    if (kind != KindUt5 && kind != KindK6) // the UT8 module keeps one burnout for all channels
        return ParameterWrite(Item::Burnout, d, reply) && reply == d;
    // UT5 and K6 keep it per channel; the first refusal ends the series.
    const int channels = kind == KindUt5 ? 16 : 8;
    for (int ch = 1; ch <= channels; ++ch) {
        if (!ParameterWrite(Item::Burnout, NN(ch) + d, reply) || reply != d)
            return false;
    }
    return true;
}

void frmBurnout::cmdExit_Click()
{
    close();
}
