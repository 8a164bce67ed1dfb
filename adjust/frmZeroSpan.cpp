#include "adjust/frmZeroSpan.h"

#include "adjust/AdjustWindow.h"
#include "adjust/frmSetZeroSpan.h"
#include "app/Forms.h"
#include "app/Modal.h"
#include "app/MsgBox.h"
#include "app/Resources.h"
#include "app/Twips.h"
#include "app/frmMain.h"
#include "link/ItemMap.h"
#include "link/ModuleCommand.h"
#include "link/TxtBus.h"
#include "model/Globals.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

QPushButton *button(QWidget *parent, const char *name, const char *caption)
{
    auto *b = new QPushButton(QString::fromLatin1(caption), parent);
    b->setObjectName(QString::fromLatin1(name));
    b->setAutoDefault(false);
    return b;
}

QString adjTitle()
{
    return LoadResString(2043);
}

} // namespace

frmZeroSpan::frmZeroSpan()
{
    setObjectName(QStringLiteral("frmZeroSpan"));
    SetTag(this, 2043);
    setWindowTitle(QStringLiteral("Zero/Span Adj."));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);

    Label1 = new QLabel(QStringLiteral("Zero/Span Adj."), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    SetTag(Label1, 2043);
    QFont title = Label1->font();
    title.setBold(true);
    title.setPointSizeF(title.pointSizeF() * 1.2);
    Label1->setFont(title);

    Frame2 = new QGroupBox(this);
    Frame2->setObjectName(QStringLiteral("Frame2"));
    Label2 = new QLabel(QStringLiteral("Channel"), Frame2);
    Label2->setObjectName(QStringLiteral("Label2"));
    SetTag(Label2, 2000);
    cboChannel = new QComboBox(Frame2);
    cboChannel->setObjectName(QStringLiteral("cboChannel"));
    cboChannel->setEditable(false);
    cboChannel->setMinimumWidth(TwipsToPixels(900, this));
    Label2->setBuddy(cboChannel);
    cmdPrev = button(Frame2, "cmdPrev", "Prev.");
    cmdNext = button(Frame2, "cmdNext", "Next");
    auto *channelRow = new QHBoxLayout(Frame2);
    channelRow->addWidget(Label2);
    channelRow->addWidget(cboChannel);
    channelRow->addSpacing(TwipsToPixels(120, this));
    channelRow->addWidget(cmdPrev);
    channelRow->addWidget(cmdNext);

    Frame3 = new QGroupBox(this);
    Frame3->setObjectName(QStringLiteral("Frame3"));
    cmdZero = button(Frame3, "cmdZero", "Zero");
    cmdSpan = button(Frame3, "cmdSpan", "Span");
    cmdReset = button(Frame3, "cmdReset", "Reset");
    auto *actionRow = new QHBoxLayout(Frame3);
    actionRow->addWidget(cmdZero);
    actionRow->addWidget(cmdSpan);
    actionRow->addWidget(cmdReset);

    cmdExit = button(this, "cmdExit", "Exit");
    auto *exitRow = new QHBoxLayout;
    exitRow->addStretch(1);
    exitRow->addWidget(cmdExit);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(Label1);
    layout->addWidget(Frame2);
    layout->addWidget(Frame3);
    layout->addLayout(exitRow);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(cmdPrev, &QPushButton::clicked, this, &frmZeroSpan::cmdPrev_Click);
    connect(cmdNext, &QPushButton::clicked, this, &frmZeroSpan::cmdNext_Click);
    connect(cmdZero, &QPushButton::clicked, this, &frmZeroSpan::cmdZero_Click);
    connect(cmdSpan, &QPushButton::clicked, this, &frmZeroSpan::cmdSpan_Click);
    connect(cmdReset, &QPushButton::clicked, this, &frmZeroSpan::cmdReset_Click);
    connect(cmdExit, &QPushButton::clicked, this, &frmZeroSpan::cmdExit_Click);

    // Load
    ApplyResCaptions(this);
}

int frmZeroSpan::channelCount() const
{
    switch (G.curKind()) {
    case KindUt5:
        return 16;
    case KindK6:
    case KindUt8:
        return 8;
    default:
        return 0;
    }
}

int frmZeroSpan::channel() const
{
    return cboChannel->currentText().toInt();
}

void frmZeroSpan::ZeroSpan()
{
    if (ModuleCommand::Running()) {
        // Opened from inside another command's wait, the window would hold that command up.
        if (frmMain *main = Forms::ifLoaded<frmMain>())
            main->ShowNotice(ModuleCommand::BusyText());
        return;
    }
    cboChannel->clear();
    const int count = channelCount();
    for (int ch = 1; ch <= count; ++ch)
        cboChannel->addItem(QString::number(ch));
    if (count > 0)
        cboChannel->setCurrentIndex(0);
    // A kind without analog channels offers nothing to adjust.
    for (QWidget *control : {static_cast<QWidget *>(cboChannel), static_cast<QWidget *>(cmdPrev),
                             static_cast<QWidget *>(cmdNext), static_cast<QWidget *>(cmdZero),
                             static_cast<QWidget *>(cmdSpan), static_cast<QWidget *>(cmdReset)})
        control->setEnabled(count > 0);
    cmdExit->setEnabled(true);
    if (frmMain *main = Forms::ifLoaded<frmMain>())
        move(main->pos() + QPoint(TwipsToPixels(90, main), TwipsToPixels(1800, main)));
    ShowModal(*this);
}

void frmZeroSpan::SetChannelControlsEnabled(bool enabled)
{
    for (QWidget *control : {static_cast<QWidget *>(cboChannel), static_cast<QWidget *>(cmdNext),
                             static_cast<QWidget *>(cmdPrev), static_cast<QWidget *>(cmdReset),
                             static_cast<QWidget *>(cmdZero), static_cast<QWidget *>(cmdSpan),
                             static_cast<QWidget *>(cmdExit)})
        control->setEnabled(enabled);
}

void frmZeroSpan::step(int by)
{
    const int count = channelCount();
    if (count == 0)
        return;
    int ch = channel() + by;
    if (ch < 1)
        ch = count;
    else if (ch > count)
        ch = 1;
    cboChannel->setCurrentIndex(ch - 1);
}

void frmZeroSpan::cmdPrev_Click()
{
    step(-1);
}

void frmZeroSpan::cmdNext_Click()
{
    step(+1);
}

void frmZeroSpan::cmdZero_Click()
{
    G.AdjChannel = int16_t(channel());
    G.AdjMode = 0;
    OpenZeroSpanSetting();
}

void frmZeroSpan::cmdSpan_Click()
{
    G.AdjChannel = int16_t(channel());
    QPointer<frmZeroSpan> self(this);
    // No second press, and no Exit, lands in the read.
    SetChannelControlsEnabled(false);
    const std::optional<int> state = readAdjustmentState();
    if (!self)
        return; // unloaded by an Exit asked for meanwhile
    SetChannelControlsEnabled(true);
    if (!state)
        return; // not read (already told), or ended quietly
    if (*state == 0) {
        MsgBox(LoadResString(3008), MsgIcon::Exclamation, adjTitle());
        return;
    }
    G.AdjMode = 1;
    OpenZeroSpanSetting();
}

// Item 17 of the channel: 0 when it has no zero adjustment. nullopt when it could not be read.
std::optional<int> frmZeroSpan::readAdjustmentState()
{
    ModuleCommand command;
    if (!command)
        return std::nullopt;
    G.CommForm = &Forms::get<frmMain>();
    CommOpen();
    QString payload;
    std::optional<int> state;
    if (G.LinkUp && DataRead(Item::ZeroSpanState, G.AdjChannel, payload))
        state = WholeNumber(payload).value_or(0); // a state that is no number is no adjustment
    if (ModuleCommand::Cancelled()) {
        EndAdjustmentQuietly();
        return std::nullopt;
    }
    return state;
}

void frmZeroSpan::cmdReset_Click()
{
    G.AdjChannel = int16_t(channel());
    QPointer<frmZeroSpan> self(this);
    SetChannelControlsEnabled(false);
    resetAdjustment();
    if (self)
        SetChannelControlsEnabled(true);
}

void frmZeroSpan::resetAdjustment()
{
    ModuleCommand command;
    if (!command)
        return;
    G.CommForm = &Forms::get<frmMain>();
    CommOpen();
    if (G.LinkUp) {
        const QString data = NN(G.AdjChannel) + QStringLiteral("0");
        QString reply;
        if (!ParameterWrite(Item::ZeroSpanState, data, reply) &&
            !ParameterWrite(Item::ZeroSpanState, data, reply))
            MsgBox(LoadResString(3009), MsgIcon::Critical, adjTitle());
    }
    if (ModuleCommand::Cancelled())
        EndAdjustmentQuietly();
    // Ending the command may unload this window (Exit asked for meanwhile): nothing after it.
}

void frmZeroSpan::cmdExit_Click()
{
    accept();
}

void frmZeroSpan::reject()
{
    // The frame's close button and Escape are Exit, and like Exit unusable while the window's
    // controls are taken away (a setting window open, a read or write under way).
    if (cmdExit->isEnabled())
        QDialog::reject();
}

void OpenZeroSpanSetting()
{
    Forms::get<frmSetZeroSpan>().SetZeroSpan();
    // Unloaded already when Exit was asked for during the adjustment.
    Forms::unload<frmSetZeroSpan>();
}
