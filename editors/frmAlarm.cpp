#include "editors/frmAlarm.h"

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

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QWidget>

frmAlarm::frmAlarm() : EditorWindow(QStringLiteral("frmAlarm"), 2113)
{
    lblAlarm = AddLabel("lblAlarm", "Alarm Output Set");
    auto *options = new QWidget(this);
    options->setObjectName(QStringLiteral("optAlarm"));
    auto *row = new QHBoxLayout(options);
    row->setContentsMargins(0, 0, 0, 0);
    const char *captions[] = {"OFF", "ON"};
    for (int k = 0; k < 2; ++k) {
        m_optAlarm[std::size_t(k)] = new QRadioButton(QLatin1String(captions[k]), options);
        m_optAlarm[std::size_t(k)]->setObjectName(QStringLiteral("optAlarm_%1").arg(k));
        row->addWidget(m_optAlarm[std::size_t(k)]);
        connect(m_optAlarm[std::size_t(k)], &QRadioButton::clicked, this,
                [this, k] { optAlarm_Click(k); });
    }
    row->addStretch(1);
    options->setAccessibleName(lblAlarm->text());
    cmdDownload = AddButton("cmdDownload", "Download");
    cmdExit = AddButton("cmdExit", "Exit");
    Frame3 = LayOutSetting(lblAlarm, options, nullptr, cmdDownload, cmdExit);

    connect(cmdDownload, &QPushButton::clicked, this, &frmAlarm::cmdDownload_Click);
    connect(cmdExit, &QPushButton::clicked, this, &frmAlarm::cmdExit_Click);

    // Load
    ApplyResCaptions(this);
}

void frmAlarm::AlarmSet()
{
    if (G.curKind() != KindUt8 || !ModuleFree())
        return;
    frmAlarm &window = Forms::get<frmAlarm>();
    window.PlaceOnMain();
    // Whatever the panel shows but "OFF" (an empty caption too) opens on "ON", and the panel
    // shows that choice at once.
    const bool off = Forms::get<frmUt8>().lblDiscOutput->text() == QLatin1String("OFF");
    const int k = off ? 0 : 1;
    window.optAlarm(k)->setChecked(true);
    window.optAlarm_Click(k);
    window.OpeDisable();
    ShowModal(window);
    Forms::unload<frmAlarm>();
}

void frmAlarm::OpeDisable()
{
    cmdDownload->setEnabled(G.LinkUp);
}

void frmAlarm::optAlarm_Click(int k)
{
    if (G.curKind() != KindUt8)
        return;
    ShowCaption(Forms::get<frmUt8>().lblDiscOutput, DiscreteCaption(k));
}

void frmAlarm::cmdDownload_Click()
{
    frmDialog::Dialog(QStringLiteral("Starting download for Discrete Output."));
    if (!G.DialogOk)
        return;
    EditorCommand command(*this);
    if (!command)
        return;
    if (!download())
        MsgBox(LoadResString(3003), MsgIcon::Critical, QStringLiteral("Alarm Output Download"));
}

bool frmAlarm::download()
{
    if (!OpenLink())
        return false;
    const QString s = optAlarm(0)->isChecked() ? QStringLiteral("0") : QStringLiteral("1");
    // "01" is the output number: the alarm is discrete output 1. The echo counts as a number.
    QString reply;
    return ParameterWrite(Item::DiscreteOutput, QStringLiteral("01") + s, reply) &&
           MeasuredValue(reply) == MeasuredValue(s);
}

void frmAlarm::cmdExit_Click()
{
    close();
}
