#include "adjust/frmSetZeroSpan.h"

#include "adjust/AdjustRules.h"
#include "adjust/frmZeroSpan.h"
#include "app/Forms.h"
#include "app/Modal.h"
#include "app/MsgBox.h"
#include "app/Resources.h"
#include "app/Twips.h"
#include "link/ItemMap.h"
#include "link/ModuleCommand.h"
#include "link/TxtBus.h"
#include "model/Globals.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QVBoxLayout>

#include <array>

namespace {

QLabel *label(QWidget *parent, const char *name, const QString &caption = {})
{
    auto *l = new QLabel(caption, parent);
    l->setObjectName(QString::fromLatin1(name));
    return l;
}

// A value the program shows: sunken, right-aligned, wide enough for the readings.
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

frmSetZeroSpan::frmSetZeroSpan() : AdjustWindow(QStringLiteral("frmSetZeroSpan"))
{
    Label1 = label(this, "Label1", QStringLiteral("Zero Adj. Setting"));
    QFont title = Label1->font();
    title.setBold(true);
    title.setPointSizeF(title.pointSizeF() * 1.2);
    Label1->setFont(title);

    Frame1 = new QGroupBox(this);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    lblInput = label(Frame1, "lblInput", QStringLiteral("Input Real"));
    lblInputreal = display(Frame1, "lblInputreal");
    lblUnit3 = label(Frame1, "lblUnit3");
    lblRet = label(Frame1, "lblRet", QStringLiteral("Offset data"));
    lblRetdata = display(Frame1, "lblRetdata");
    lblUnit1 = label(Frame1, "lblUnit1");
    lblReal = label(Frame1, "lblReal", QStringLiteral("Real data"));
    txtReal = new QLineEdit(Frame1);
    txtReal->setObjectName(QStringLiteral("txtReal"));
    txtReal->setAlignment(Qt::AlignRight);
    txtReal->setMaxLength(20);
    lblReal->setBuddy(txtReal);
    lblUnit2 = label(Frame1, "lblUnit2");
    auto *rows = new QGridLayout(Frame1);
    const QList<std::array<QWidget *, 3>> grid{{lblInput, lblInputreal, lblUnit3},
                                               {lblRet, lblRetdata, lblUnit1},
                                               {lblReal, txtReal, lblUnit2}};
    for (int row = 0; row < grid.size(); ++row) {
        for (int column = 0; column < 3; ++column)
            rows->addWidget(grid[row][std::size_t(column)], row, column);
    }
    rows->setColumnMinimumWidth(2, TwipsToPixels(600, this));
    rows->setColumnStretch(1, 1);

    Frame2 = new QGroupBox(this);
    Frame2->setObjectName(QStringLiteral("Frame2"));
    cmdOK = new QPushButton(QStringLiteral("OK"), Frame2);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setDefault(true); // Enter in the entry box sends the value
    cmdExit = new QPushButton(QStringLiteral("Exit"), Frame2);
    cmdExit->setObjectName(QStringLiteral("cmdExit"));
    cmdExit->setAutoDefault(false);
    auto *buttons = new QHBoxLayout(Frame2);
    buttons->addStretch(1);
    buttons->addWidget(cmdOK);
    buttons->addWidget(cmdExit);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(Label1);
    layout->addWidget(Frame1);
    layout->addWidget(Frame2);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(cmdOK, &QPushButton::clicked, this, &frmSetZeroSpan::cmdOK_Click);
    connect(cmdExit, &QPushButton::clicked, this, &frmSetZeroSpan::cmdExit_Click);
}

QString frmSetZeroSpan::shown(const QString &payload) const
{
    return AdjValueText(payload, IsMillivolt(m_unit));
}

void frmSetZeroSpan::SetZeroSpan()
{
    m_channel = G.AdjChannel;
    m_mode = G.AdjMode;
    QPointer<frmZeroSpan> channels = &Forms::get<frmZeroSpan>();

    // Directly below the channel window, same left edge.
    const QRect above = channels->frameGeometry();
    move(above.left(), above.top() + above.height());
    channels->SetChannelControlsEnabled(false);

    const bool span = m_mode == 1;
    Label1->setText(span ? QStringLiteral("Span Adj. Setting")
                         : QStringLiteral("Zero Adj. Setting"));
    setWindowTitle(Label1->text());
    lblReal->setText(QStringLiteral("Real data"));
    lblRet->setText(span ? QStringLiteral("Span coefficient") : QStringLiteral("Offset data"));
    m_unit = AdjUnit(G.curKind(), G.ChTypeCode[std::size_t(m_channel)]);
    if (m_unit.isEmpty())
        MsgBox(QStringLiteral("No Model"), MsgIcon::None, QStringLiteral("Type set"));
    lblUnit1->setText(span ? QStringLiteral("%") : m_unit);
    lblUnit2->setText(m_unit);
    lblUnit3->setText(m_unit);

    QPointer<frmSetZeroSpan> self(this);
    const bool ready = prepare();
    if (!self)
        return; // Exit was asked for while the preparing reads ran
    if (!ready) {
        if (channels)
            channels->SetChannelControlsEnabled(true);
        return;
    }
    ShowModal(*this);
}

bool frmSetZeroSpan::prepare()
{
    ModuleCommand command;
    if (!command)
        return false;
    const bool ready = prepareReads();
    if (ModuleCommand::Cancelled()) {
        EndAdjustmentQuietly();
        return false;
    }
    return ready;
}

// The module's present offset or coefficient (one retry), then a first live value.
bool frmSetZeroSpan::prepareReads()
{
    const int16_t item = m_mode == 1 ? Item::SpanCoefficient : Item::ZeroOffset;
    const auto channel = int16_t(m_channel);
    QString payload;
    if (!DataRead(item, channel, payload) && !DataRead(item, channel, payload))
        return false;
    // The coefficient is a ratio: never scaled.
    lblRetdata->setText(m_mode == 1 ? AdjValueText(payload, false) : shown(payload));
    if (!DataRead(Item::RealValue, channel, payload))
        return false;
    lblInputreal->setText(shown(payload));
    return true;
}

void frmSetZeroSpan::Form_Activate()
{
    G.AdjLoopOn = true;
    DataReading();
}

void frmSetZeroSpan::DataReading()
{
    RunLiveLoop();
}

bool frmSetZeroSpan::ReadPass()
{
    QString payload;
    if (!DataRead(Item::RealValue, int16_t(m_channel), payload))
        return false;
    lblInputreal->setText(shown(payload));
    return true;
}

void frmSetZeroSpan::cmdOK_Click()
{
    if (txtReal->text().isEmpty())
        txtReal->setText(QStringLiteral("0"));
    const std::optional<double> real = RealEntry(txtReal->text());
    if (!real) {
        // Never a calibration to a value the engineer did not mean.
        MsgBox(LoadResString(4200), MsgIcon::Information, LoadResString(2043));
        txtReal->setFocus();
        txtReal->selectAll();
        return;
    }
    const double value = IsMillivolt(m_unit) ? *real / 1000.0 : *real;
    Request([this, data = AdjustmentData(m_channel, value)] { sendAdjustment(data); });
}

// The module answers a zero or span write with the new offset or coefficient.
void frmSetZeroSpan::sendAdjustment(const QString &data)
{
    const int16_t item = m_mode == 1 ? Item::SpanCoefficient : Item::ZeroOffset;
    QString reply;
    if (ParameterWrite(item, data, reply) || ParameterWrite(item, data, reply)) {
        lblRetdata->setText(m_mode == 1 ? AdjValueText(reply, false) : shown(reply));
        return;
    }
    MsgBox(LoadResString(m_mode == 1 ? 3011 : 3010), MsgIcon::Critical, LoadResString(2043));
}

// The channel window is usable again as this window closes.
void frmSetZeroSpan::ExitStep()
{
    if (frmZeroSpan *channels = Forms::ifLoaded<frmZeroSpan>())
        channels->SetChannelControlsEnabled(true);
}
