#include "settings/CounterSettings.h"

#include "app/Forms.h"
#include "app/MsgBox.h"
#include "app/Resources.h"
#include "app/frmDialog.h"
#include "app/frmMain.h"
#include "connection/DisplayRules.h"
#include "link/Communication.h"
#include "link/ItemMap.h"
#include "link/ModuleCommand.h"
#include "link/TxtBus.h"
#include "model/Globals.h"
#include "panels/DiscretePanel.h"
#include "panels/PanelParts.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include <algorithm>

namespace {

QPushButton *makeButton(QWidget *parent, const char *name, const char *caption, int tag = 0)
{
    auto *b = new QPushButton(QLatin1String(caption), parent);
    b->setObjectName(QLatin1String(name));
    b->setAutoDefault(false);
    if (tag)
        SetTag(b, tag);
    return b;
}

QRadioButton *makeOption(QWidget *parent, const char *array, int index, const QString &caption)
{
    auto *option = new QRadioButton(caption, parent);
    option->setObjectName(ArrayName(array, index));
    return option;
}

QGroupBox *makeFrame(QWidget *parent, const char *name, const char *caption = "")
{
    auto *frame = new QGroupBox(QLatin1String(caption), parent);
    frame->setObjectName(QLatin1String(name));
    return frame;
}

// A module-wide setting read as a number: 0, or any other number. A reply that is no number counts
// as 0, as the module's own tools read it.
bool nonZero(const QString &reply)
{
    bool ok = false;
    const qint64 value = reply.toLongLong(&ok);
    return ok && value != 0;
}

bool writeNumber(int16_t item, int value)
{
    QString reply;
    return ParameterWrite(item, QString::number(value), reply) && WholeNumber(reply) == value;
}

} // namespace

// ---- frmCount ----

frmCount::frmCount() : SettingsWindow(QStringLiteral("frmCount"))
{
    Label4 = CaptionLabel(this, QStringLiteral("Label4"), QStringLiteral("Count Setting"), 2047);
    QFont heading = Label4->font();
    heading.setBold(true);
    heading.setPointSizeF(heading.pointSizeF() * 1.15);
    Label4->setFont(heading);

    Frame2 = makeFrame(this, "Frame2");
    Label1 = CaptionLabel(Frame2, QStringLiteral("Label1"), QStringLiteral("Channel"), 2000);
    cboChannel = new QComboBox(Frame2);
    cboChannel->setObjectName(QStringLiteral("cboChannel"));
    Label1->setBuddy(cboChannel);
    cmdPrev = makeButton(Frame2, "cmdPrev", "Prev.");
    cmdNext = makeButton(Frame2, "cmdNext", "Next");
    auto *channelRow = new QHBoxLayout(Frame2);
    channelRow->addWidget(Label1);
    channelRow->addWidget(cboChannel);
    channelRow->addSpacing(8);
    channelRow->addWidget(cmdPrev);
    channelRow->addWidget(cmdNext);
    channelRow->addStretch(1);

    Frame3 = makeFrame(this, "Frame3");
    Frame1 = makeFrame(Frame3, "Frame1", "DO");
    m_optDO[1] = makeOption(Frame1, "optDO", 1, QStringLiteral("ON"));
    m_optDO[0] = makeOption(Frame1, "optDO", 0, QStringLiteral("OFF"));
    auto *doRow = new QHBoxLayout(Frame1);
    doRow->addWidget(optDO(1));
    doRow->addWidget(optDO(0));
    Label5 = CaptionLabel(Frame3, QStringLiteral("Label5"), QStringLiteral("Count  Preset"));
    txtPreset = new QLineEdit(Frame3);
    txtPreset->setObjectName(QStringLiteral("txtPreset"));
    txtPreset->setMinimumWidth(txtPreset->fontMetrics().horizontalAdvance(QStringLiteral("0000000000")) + 12);
    Label5->setBuddy(txtPreset);
    cmdCopy = makeButton(Frame3, "cmdCopy", "Copy");
    cmdPaste = makeButton(Frame3, "cmdPaste", "Paste");
    auto *settingGrid = new QGridLayout(Frame3);
    settingGrid->addWidget(Frame1, 0, 0, 1, 2);
    settingGrid->addWidget(Label5, 1, 0);
    settingGrid->addWidget(txtPreset, 1, 1);
    auto *clip = new QHBoxLayout;
    clip->addStretch(1);
    clip->addWidget(cmdCopy);
    clip->addWidget(cmdPaste);
    settingGrid->addLayout(clip, 2, 0, 1, 2);

    cmdDownload = makeButton(this, "cmdDownload", "Download");
    cmdExit = makeButton(this, "cmdExit", "Exit");
    setExitButton(cmdExit);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(cmdDownload);
    buttons->addStretch(1);
    buttons->addWidget(cmdExit);

    auto *page = new QVBoxLayout(this);
    page->addWidget(Label4);
    page->addWidget(Frame2);
    page->addWidget(Frame3);
    page->addLayout(buttons);

    connect(cboChannel, &QComboBox::currentIndexChanged, this, &frmCount::cboChannel_Click);
    for (int i : {0, 1})
        connect(optDO(i), &QRadioButton::clicked, this, [this, i] { optDO_Click(i); });
    connect(txtPreset, &QLineEdit::textChanged, this, &frmCount::txtPreset_Change);
    connect(cmdPrev, &QPushButton::clicked, this, &frmCount::cmdPrev_Click);
    connect(cmdNext, &QPushButton::clicked, this, &frmCount::cmdNext_Click);
    connect(cmdCopy, &QPushButton::clicked, this, &frmCount::cmdCopy_Click);
    connect(cmdPaste, &QPushButton::clicked, this, &frmCount::cmdPaste_Click);
    connect(cmdDownload, &QPushButton::clicked, this, &frmCount::cmdDownload_Click);
    connect(cmdExit, &QPushButton::clicked, this, &frmCount::cmdExit_Click);

    // Load
    ApplyResCaptions(this);
    setWindowTitle(Label4->text());
}

void frmCount::CountSet()
{
    G.CountFilling = true;
    PlaceFromMain(*this, 90, 1800);
    {
        const QSignalBlocker quiet(cboChannel);
        cboChannel->clear();
        for (int ch = 1; ch <= Channels; ++ch)
            cboChannel->addItem(QString::number(ch));
        const int chosen = G.SelChannel >= 1 && G.SelChannel <= Channels ? G.SelChannel : 1;
        cboChannel->setCurrentIndex(chosen - 1);
    }
    showChannel();
    G.CountFilling = false;
    ShowAndUnload(*this, true);
}

int frmCount::channel() const
{
    return std::clamp(cboChannel->currentIndex() + 1, 1, Channels);
}

void frmCount::showChannel()
{
    const frmL7 &panel = Forms::get<frmL7>();
    const int ch = channel();
    const QString shown = panel.lblDO(ch)->text();
    selectDo(shown == QLatin1String("OFF") || shown.isEmpty() ? 0 : 1);
    putPreset(panel.lblPreset(ch)->text());
}

void frmCount::selectDo(int index)
{
    optDO(index)->setChecked(true);
    optDO_Click(index);
}

void frmCount::putPreset(const QString &text)
{
    {
        const QSignalBlocker quiet(txtPreset);
        txtPreset->setText(text);
    }
    AcceptEntry(*txtPreset);
    txtPreset_Change();
}

void frmCount::cboChannel_Click()
{
    showChannel();
}

void frmCount::optDO_Click(int index)
{
    if (G.CountFilling)
        return;
    const int ch = channel();
    Forms::get<frmL7>().lblDO(ch)->setText(OutputModeCaption(index));
    G.ChDoMode[std::size_t(ch)] = optDO(0)->isChecked() ? 0 : 1;
}

void frmCount::txtPreset_Change()
{
    if (G.CountFilling)
        return;
    const QString text = txtPreset->text();
    if (text.size() > PresetDigits) {
        MsgBox(PresetRangeText, MsgIcon::Information, PresetCheckTitle);
        const int caret = std::min(int(txtPreset->cursorPosition()), PresetDigits);
        txtPreset->setText(text.left(PresetDigits)); // runs this handler again
        txtPreset->setCursorPosition(caret);
        return;
    }
    if (!CheckPositiveEntry(*txtPreset))
        return; // the box was put right, which ran this handler again
    const int ch = channel();
    Forms::get<frmL7>().lblPreset(ch)->setText(text);
    G.ChPreset[std::size_t(ch)] = text;
}

void frmCount::cmdPrev_Click()
{
    const int ch = channel();
    cboChannel->setCurrentIndex((ch == 1 ? Channels : ch - 1) - 1);
}

void frmCount::cmdNext_Click()
{
    const int ch = channel();
    cboChannel->setCurrentIndex((ch == Channels ? 1 : ch + 1) - 1);
}

void frmCount::cmdCopy_Click()
{
    G.CountClipDo = optDO(0)->isChecked() ? 0 : 1;
    G.CountClipPreset = txtPreset->text();
}

void frmCount::cmdPaste_Click()
{
    selectDo(G.CountClipDo != 0 ? 1 : 0);
    putPreset(G.CountClipPreset);
}

void frmCount::cmdDownload_Click()
{
    ModuleCommand command;
    if (!command)
        return;
    const int ch = channel();
    const QString preset = G.ChPreset[std::size_t(ch)];
    // An empty preset would make the data command a read; a longer one the module refuses.
    if (!IsPresetText(preset)) {
        MsgBox(PresetRangeText, MsgIcon::Information, PresetCheckTitle);
        txtPreset->setFocus();
        return;
    }
    frmDialog::Dialog(QStringLiteral("Starting download for Channel No.") + QString::number(ch));
    if (!G.DialogOk)
        return;

    bool done = false;
    {
        Talk talk(*this);
        G.CommForm = &Forms::get<frmMain>();
        CommOpen();
        const QString mode = QString::number(G.ChDoMode[std::size_t(ch)]);
        done = G.LinkUp && WriteEchoed(Item::DiscreteOutput, NN(ch) + mode, mode) &&
               WriteEchoed(Item::CountPreset, NN(ch) + preset, preset);
    }
    if (!done)
        MsgBox(LoadResString(3003), MsgIcon::Critical, QStringLiteral("Count Download"));
}

void frmCount::cmdExit_Click()
{
    closeWindow();
}

// ---- frmCountSet ----

frmCountSet::frmCountSet() : SettingsWindow(QStringLiteral("frmCountSet"))
{
    lblTitle = CaptionLabel(this, QStringLiteral("lblTitle"), QStringLiteral("Count Settings"));
    QFont heading = lblTitle->font();
    heading.setBold(true);
    heading.setPointSizeF(heading.pointSizeF() * 1.15);
    lblTitle->setFont(heading);

    struct Group
    {
        QGroupBox **frame;
        const char *name;
        const char *caption;
        std::array<QRadioButton *, 2> *options;
        const char *array;
        QString captions[2];
    };
    Group groups[] = {
        {&Frame6, "Frame6", "Pulse Edge.", &m_optEdge, "optEdge",
         {QStringLiteral("\"H\"or\"OPEN\"-->\"GND\""), QStringLiteral("\"GND\"-->\"H\"or\"OPEN\"")}},
        {&Frame2, "Frame2", "Count Zero.", &m_optCntZero, "optCntZero",
         {QStringLiteral("Clear"), QStringLiteral("Non Clear")}},
        {&Frame3, "Frame3", "Count Rate Mem", &m_optCntRate, "optCntRate",
         {QStringLiteral("Non Backup Data"), QStringLiteral("Backup Data")}},
    };
    auto *page = new QVBoxLayout(this);
    page->addWidget(lblTitle);
    for (Group &g : groups) {
        *g.frame = makeFrame(this, g.name, g.caption);
        auto *column = new QVBoxLayout(*g.frame);
        for (int i : {0, 1}) {
            (*g.options)[std::size_t(i)] = makeOption(*g.frame, g.array, i, g.captions[i]);
            column->addWidget((*g.options)[std::size_t(i)]);
        }
        page->addWidget(*g.frame);
    }

    cmdUpload = makeButton(this, "cmdUpload", "UpLoad", 2027);
    cmdDnload = makeButton(this, "cmdDnload", "DownLoad", 2028);
    cmdExit = makeButton(this, "cmdExit", "Exit");
    setExitButton(cmdExit);
    connect(cmdUpload, &QPushButton::clicked, this, &frmCountSet::cmdUpload_Click);
    connect(cmdDnload, &QPushButton::clicked, this, &frmCountSet::cmdDnload_Click);
    connect(cmdExit, &QPushButton::clicked, this, &frmCountSet::cmdExit_Click);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(cmdUpload);
    buttons->addWidget(cmdDnload);
    buttons->addStretch(1);
    buttons->addWidget(cmdExit);
    page->addLayout(buttons);

    // Load
    ApplyResCaptions(this);
    setWindowTitle(lblTitle->text());
}

void frmCountSet::CountSet()
{
    PlaceFromMain(*this, 90, 1800);
    ShowAndUnload(*this, prepare());
}

bool frmCountSet::prepare()
{
    ModuleCommand command;
    if (!command)
        return false;
    G.CommForm = &Forms::get<frmMain>();
    CommOpen();
    return G.LinkUp && readSettings();
}

bool frmCountSet::readSettings()
{
    QString reply;
    if (!DataRead(Item::PulseEdge, 0, reply))
        return false;
    optEdge(nonZero(reply) ? 1 : 0)->setChecked(true);
    if (!DataRead(Item::CountZero, 0, reply))
        return false;
    optCntZero(reply == QLatin1String("1") ? 0 : 1)->setChecked(true);
    if (!DataRead(Item::RateMemory, 0, reply))
        return false;
    optCntRate(nonZero(reply) ? 1 : 0)->setChecked(true);
    return true;
}

void frmCountSet::cmdUpload_Click()
{
    ModuleCommand command;
    if (!command)
        return;
    Talk talk(*this);
    if (LinkReady())
        readSettings(); // a failed read has told the user itself
}

void frmCountSet::cmdDnload_Click()
{
    ModuleCommand command;
    if (!command)
        return;
    frmDialog::Dialog(QStringLiteral("Starting download for Count Setting."));
    if (!G.DialogOk)
        return;

    Talk talk(*this);
    if (!LinkReady() || !writeNumber(Item::PulseEdge, optEdge(0)->isChecked() ? 0 : 1))
        return downloadFailed();
    // The count is cleared only when asked for; the module answers the request with "OK".
    if (optCntZero(0)->isChecked() &&
        !WriteEchoed(Item::CountZero, QStringLiteral("1"), QStringLiteral("OK")))
        return downloadFailed();
    if (!writeNumber(Item::RateMemory, optCntRate(0)->isChecked() ? 0 : 1))
        return downloadFailed();
}

void frmCountSet::downloadFailed()
{
    MsgBox(LoadResString(3003), MsgIcon::Critical, QStringLiteral("Count Settings"));
    closeWindow();
}

void frmCountSet::cmdExit_Click()
{
    closeWindow();
}
