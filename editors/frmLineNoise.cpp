#include "editors/frmLineNoise.h"

#include "app/Forms.h"
#include "app/Modal.h"
#include "app/MsgBox.h"
#include "app/Resources.h"
#include "app/frmDialog.h"
#include "link/ItemMap.h"
#include "link/TxtBus.h"
#include "model/Globals.h"
#include "panels/AnalogPanel.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>

frmLineNoise::frmLineNoise() : EditorWindow(QStringLiteral("frmLineNoise"), 2049)
{
    lblLineNoise = AddLabel("lblLineNoise", "Line Noise Filter Type");
    cboLineNoise = new QComboBox(this);
    cboLineNoise->setObjectName(QStringLiteral("cboLineNoise"));
    cboLineNoise->setMinimumContentsLength(10);
    lblLineNoise->setBuddy(cboLineNoise);
    cmdDownload = AddButton("cmdDownload", "Download");
    cmdExit = AddButton("cmdExit", "Exit");
    Frame3 = LayOutSetting(lblLineNoise, cboLineNoise, nullptr, cmdDownload, cmdExit);

    connect(cboLineNoise, &QComboBox::activated, this, &frmLineNoise::cboLineNoise_Click);
    connect(cmdDownload, &QPushButton::clicked, this, &frmLineNoise::cmdDownload_Click);
    connect(cmdExit, &QPushButton::clicked, this, &frmLineNoise::cmdExit_Click);

    // Load
    ApplyResCaptions(this);
    cboLineNoise->setAccessibleName(lblLineNoise->text());
}

void frmLineNoise::LineNoiseSet()
{
    if (G.curKind() != KindUt8 || !ModuleFree())
        return;
    frmLineNoise &window = Forms::get<frmLineNoise>();
    window.PlaceOnMain();
    for (const QString &name : G.LineNoiseNames)
        window.cboLineNoise->addItem(name);
    // Showing the panel's setting is no choice: LineNoiseSel stays until the user picks.
    const QString caption = Forms::get<frmUt8>().lblLineNoise->text();
    const int shown = window.cboLineNoise->findText(caption, Qt::MatchExactly);
    window.cboLineNoise->setCurrentIndex(shown < 0 ? 0 : shown);
    window.OpeDisable();
    ShowModal(window);
    Forms::unload<frmLineNoise>();
}

void frmLineNoise::OpeDisable()
{
    cmdDownload->setEnabled(G.LinkUp);
}

void frmLineNoise::cboLineNoise_Click()
{
    const QString text = cboLineNoise->currentText();
    Forms::get<frmUt8>().lblLineNoise->setText(text);
    if (text == G.LineNoiseNames[0])
        G.LineNoiseSel = 0;
    else if (text == G.LineNoiseNames[1])
        G.LineNoiseSel = 1;
    else
        G.LineNoiseSel = 2;
}

void frmLineNoise::cmdDownload_Click()
{
    frmDialog::Dialog(QStringLiteral("Starting download for Line Noise Filter Type."));
    if (!G.DialogOk)
        return;
    EditorCommand command(*this);
    if (!command)
        return;
    if (!download())
        MsgBox(LoadResString(3003), MsgIcon::Critical, QStringLiteral("Cfg. Download"));
}

bool frmLineNoise::download()
{
    if (!OpenLink())
        return false;
    // Written as two digits ("01"); the module answers with the plain digit ("1").
    const int sel = G.LineNoiseSel.value_or(0);
    QString reply;
    return ParameterWrite(Item::LineNoise, NN(sel), reply) && reply == QString::number(sel);
}

void frmLineNoise::cmdExit_Click()
{
    close();
}
