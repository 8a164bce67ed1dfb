#include "adjust/frmSetComp.h"

#include "adjust/AdjustRules.h"
#include "app/Forms.h"
#include "app/Modal.h"
#include "app/MsgBox.h"
#include "app/Resources.h"
#include "app/Twips.h"
#include "app/frmMain.h"
#include "connection/DisplayRules.h"
#include "link/ItemMap.h"
#include "link/ModuleCommand.h"
#include "link/TxtBus.h"
#include "model/Globals.h"
#include "panels/AnalogPanel.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

constexpr int Channels = 8;

QPushButton *button(QWidget *parent, const char *name, const char *caption)
{
    auto *b = new QPushButton(QString::fromLatin1(caption), parent);
    b->setObjectName(QString::fromLatin1(name));
    b->setAutoDefault(false);
    return b;
}

QLabel *label(QWidget *parent, const char *name, const QString &caption = {})
{
    auto *l = new QLabel(caption, parent);
    l->setObjectName(QString::fromLatin1(name));
    return l;
}

QLabel *display(QWidget *parent, const char *name)
{
    QLabel *l = label(parent, name);
    l->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    l->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    l->setMinimumWidth(TwipsToPixels(1500, parent));
    l->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return l;
}

} // namespace

frmSetComp::frmSetComp() : AdjustWindow(QStringLiteral("frmSetComp"))
{
    setWindowTitle(QStringLiteral("Compensation"));
    lblTitle = label(this, "lblTitle", QStringLiteral("Compensation"));
    QFont title = lblTitle->font();
    title.setBold(true);
    title.setPointSizeF(title.pointSizeF() * 1.2);
    lblTitle->setFont(title);

    Frame1 = new QGroupBox(this);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    Label2 = label(Frame1, "Label2", QStringLiteral("Channel"));
    cboChannel = new QComboBox(Frame1);
    cboChannel->setObjectName(QStringLiteral("cboChannel"));
    cboChannel->setEditable(false);
    cboChannel->setMinimumWidth(TwipsToPixels(900, this));
    Label2->setBuddy(cboChannel);
    cmdPrev = button(Frame1, "cmdPrev", "Prev.");
    cmdNext = button(Frame1, "cmdNext", "Next");
    auto *channelRow = new QHBoxLayout(Frame1);
    channelRow->addWidget(Label2);
    channelRow->addWidget(cboChannel);
    channelRow->addSpacing(TwipsToPixels(120, this));
    channelRow->addWidget(cmdPrev);
    channelRow->addWidget(cmdNext);

    Frame2 = new QGroupBox(this);
    Frame2->setObjectName(QStringLiteral("Frame2"));
    cmd0 = button(Frame2, "cmd0", "0%");
    cmd100 = button(Frame2, "cmd100", "100%");
    cmdReset = button(Frame2, "cmdReset", "Reset");
    auto *requestRow = new QHBoxLayout(Frame2);
    requestRow->addWidget(cmd0);
    requestRow->addWidget(cmd100);
    requestRow->addStretch(1);
    requestRow->addWidget(cmdReset);

    Frame3 = new QGroupBox(this);
    Frame3->setObjectName(QStringLiteral("Frame3"));
    lblInput = label(Frame3, "lblInput", QStringLiteral("Input Real"));
    lblInputreal = display(Frame3, "lblInputreal");
    lblUnit1 = label(Frame3, "lblUnit1");
    lblRaw = label(Frame3, "lblRaw", QStringLiteral("Raw Real"));
    lblRawreal = display(Frame3, "lblRawreal");
    lblUnit2 = label(Frame3, "lblUnit2");
    auto *values = new QGridLayout(Frame3);
    values->addWidget(lblInput, 0, 0);
    values->addWidget(lblInputreal, 0, 1);
    values->addWidget(lblUnit1, 0, 2);
    values->addWidget(lblRaw, 1, 0);
    values->addWidget(lblRawreal, 1, 1);
    values->addWidget(lblUnit2, 1, 2);
    values->setColumnMinimumWidth(2, TwipsToPixels(600, this));
    values->setColumnStretch(1, 1);

    Frame4 = new QGroupBox(this);
    Frame4->setObjectName(QStringLiteral("Frame4"));
    cmdExit = button(Frame4, "cmdExit", "Exit");
    auto *exitRow = new QHBoxLayout(Frame4);
    exitRow->addStretch(1);
    exitRow->addWidget(cmdExit);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(lblTitle);
    layout->addWidget(Frame1);
    layout->addWidget(Frame2);
    layout->addWidget(Frame3);
    layout->addWidget(Frame4);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    for (int ch = 1; ch <= Channels; ++ch)
        cboChannel->addItem(QString::number(ch));

    connect(cmdPrev, &QPushButton::clicked, this, &frmSetComp::cmdPrev_Click);
    connect(cmdNext, &QPushButton::clicked, this, &frmSetComp::cmdNext_Click);
    connect(cboChannel, &QComboBox::activated, this, &frmSetComp::cboChannel_Click);
    connect(cmd0, &QPushButton::clicked, this, &frmSetComp::cmd0_Click);
    connect(cmd100, &QPushButton::clicked, this, &frmSetComp::cmd100_Click);
    connect(cmdReset, &QPushButton::clicked, this, &frmSetComp::cmdReset_Click);
    connect(cmdExit, &QPushButton::clicked, this, &frmSetComp::cmdExit_Click);
}

int frmSetComp::channel() const
{
    return cboChannel->currentText().toInt();
}

void frmSetComp::SetComp()
{
    if (ModuleCommand::Running()) {
        if (frmMain *main = Forms::ifLoaded<frmMain>())
            main->ShowNotice(ModuleCommand::BusyText());
        return;
    }
    if (frmMain *main = Forms::ifLoaded<frmMain>())
        move(main->pos() + QPoint(TwipsToPixels(90, main), TwipsToPixels(1800, main)));
    cboChannel->setCurrentIndex(0);
    channelSetup();
    ShowModal(*this);
}

// The request buttons and units of the channel in the box.
void frmSetComp::channelSetup()
{
    const int ch = channel();
    const bool lineResistance = G.ChGroup[std::size_t(ch)] == 3;
    cmd0->setText(lineResistance ? QStringLiteral("Line Res.") : QStringLiteral("0%"));
    cmd0->setFixedWidth(TwipsToPixels(lineResistance ? 2425 : 1095, this));
    if (!lineResistance)
        cmd100->setText(QStringLiteral("100%"));
    cmd100->setVisible(!lineResistance);

    // The units the K6 panel last showed beside the channel's values; before the panel has shown
    // any, the units it would show for the channel's type.
    const AnalogPanel *panel = Forms::ifLoaded<frmK6>();
    QString real = panel ? panel->lblUnit1(ch)->text() : QString();
    QString raw = panel ? panel->lblUnit2(ch)->text() : QString();
    if (real.isEmpty() && raw.isEmpty()) {
        const int code = G.ChTypeCode[std::size_t(ch)];
        real = RealValue(KindK6, code, QString()).unit;
        raw = RawValue(KindK6, code, QString()).unit;
    }
    lblUnit1->setText(real);
    lblUnit2->setText(raw);
}

void frmSetComp::step(int by)
{
    G.AdjRequest = true; // the next pass reads the new channel at once
    int ch = channel() + by;
    if (ch < 1)
        ch = Channels;
    else if (ch > Channels)
        ch = 1;
    cboChannel->setCurrentIndex(ch - 1);
    channelSetup();
}

void frmSetComp::cmdPrev_Click()
{
    step(-1);
}

void frmSetComp::cmdNext_Click()
{
    step(+1);
}

void frmSetComp::cboChannel_Click()
{
    G.AdjRequest = true;
    channelSetup();
}

void frmSetComp::cmd0_Click()
{
    compRequest(1);
}

void frmSetComp::cmd100_Click()
{
    compRequest(2);
}

void frmSetComp::cmdReset_Click()
{
    compRequest(0);
}

// Item 21: the channel as two digits and the request (0 clear, 1 line resistance or 0 %, 2 100 %),
// for the channel in the box when the button was pressed.
void frmSetComp::compRequest(int request)
{
    const QString data = NN(channel()) + QString::number(request);
    Request([data] {
        QString reply;
        if (!ParameterWrite(Item::CompRequest, data, reply) &&
            !ParameterWrite(Item::CompRequest, data, reply))
            MsgBox(LoadResString(3003), MsgIcon::Critical, QStringLiteral("Compensation Request"));
    });
}

void frmSetComp::Form_Activate()
{
    G.AdjLoopOn = true;
    CompDataReading();
}

void frmSetComp::CompDataReading()
{
    RunLiveLoop();
}

bool frmSetComp::ReadPass()
{
    const int ch = channel();
    QString payload;
    if (!DataRead(Item::RealValue, int16_t(ch), payload))
        return false;
    // A channel changed during the reading is read afresh at once: its values never show under
    // another channel's number.
    if (ch == channel())
        lblInputreal->setText(AdjValueText(payload, false));
    if (!DataRead(Item::RawValue, int16_t(ch), payload))
        return false;
    if (ch == channel())
        lblRawreal->setText(AdjValueText(payload, false));
    return true;
}
