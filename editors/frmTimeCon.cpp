#include "editors/frmTimeCon.h"

#include "app/Forms.h"
#include "app/Modal.h"
#include "app/MsgBox.h"
#include "app/Resources.h"
#include "app/frmDialog.h"
#include "connection/DisplayRules.h"
#include "link/ItemMap.h"
#include "link/TxtBus.h"
#include "model/Globals.h"
#include "panels/AnalogPanel.h"
#include "panels/PanelOfKind.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace {

const QString FilterDownloadTitle = QStringLiteral("Filter Download");

} // namespace

frmTimeCon::frmTimeCon() : EditorWindow(QStringLiteral("frmTimeCon"), 2048)
{
    lblFilter = AddLabel("lblFilter", "Filter Time Const.", 2048);
    txtFilter = new QLineEdit(this);
    txtFilter->setObjectName(QStringLiteral("txtFilter"));
    txtFilter->setMaximumWidth(txtFilter->fontMetrics().horizontalAdvance(QStringLiteral("0000000000")) + 12);
    lblFilter->setBuddy(txtFilter);
    Label1 = AddLabel("Label1", "Sec.");
    cmdDownload = AddButton("cmdDownload", "Download");
    cmdExit = AddButton("cmdExit", "Exit");
    Frame3 = LayOutSetting(lblFilter, txtFilter, Label1, cmdDownload, cmdExit);

    connect(cmdDownload, &QPushButton::clicked, this, &frmTimeCon::cmdDownload_Click);
    connect(cmdExit, &QPushButton::clicked, this, &frmTimeCon::cmdExit_Click);

    // Load
    ApplyResCaptions(this);
    txtFilter->setAccessibleName(lblFilter->text());
}

void frmTimeCon::FilterSet()
{
    if (!ModuleFree())
        return;
    frmTimeCon &window = Forms::get<frmTimeCon>();
    window.PlaceOnMain();
    if (const AnalogPanel *panel = AnalogPanelOfKind(G.curKind()))
        window.txtFilter->setText(panel->lblFilter->text());
    window.OpeDisable();
    ShowModal(window);
    Forms::unload<frmTimeCon>();
}

void frmTimeCon::OpeDisable()
{
    cmdDownload->setEnabled(G.LinkUp);
}

bool frmTimeCon::commit()
{
    const QString text = txtFilter->text();
    if (!IsModuleText(text)) {
        RefuseFieldText(lblFilter->text(), text);
        return false;
    }
    // The panel shows the text as typed; the configuration keeps it with "." as decimal point.
    if (AnalogPanel *panel = AnalogPanelOfKind(G.curKind()))
        panel->lblFilter->setText(text);
    G.FilterConst = ToDecimalPoint(text);
    return true;
}

void frmTimeCon::cmdExit_Click()
{
    if (commit())
        close();
}

void frmTimeCon::cmdDownload_Click()
{
    const QString text = txtFilter->text();
    if (!IsModuleText(text)) {
        RefuseFieldText(lblFilter->text(), text);
        return;
    }
    // A data command without a value reads the item instead of writing it.
    if (text.trimmed().isEmpty()) {
        MsgBox(LoadResString(4102), MsgIcon::Exclamation, FilterDownloadTitle);
        return;
    }
    frmDialog::Dialog(QStringLiteral("Starting download for Filter Time Const."));
    if (!G.DialogOk)
        return;
    EditorCommand command(*this);
    if (!command)
        return;
    if (!download())
        MsgBox(LoadResString(3003), MsgIcon::Critical, FilterDownloadTitle);
}

bool frmTimeCon::download()
{
    if (!OpenLink() || !commit())
        return false;
    QString reply;
    if (!ParameterWrite(Item::FilterConst, G.FilterConst, reply))
        return false;
    // The module may give the value back in its own form (1.50 for 1.5): one decimal decides.
    return OneDecimalText(MeasuredValue(reply)) == OneDecimalText(MeasuredValue(G.FilterConst));
}
