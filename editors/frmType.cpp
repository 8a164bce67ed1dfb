#include "editors/frmType.h"

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
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {

const QString TypeDownloadTitle = QStringLiteral("Type Download");

// The first thermocouple in each kind's table; the K6 kind has none.
constexpr int Ut5FirstThermocouple = 7;
constexpr int Ut8FirstThermocouple = 1;
// K6: resistance thermometers (group 3) come first, then the resistance ranges (group 4).
constexpr int K6FirstResistance = 6;

QPushButton *button(QWidget *parent, const char *name, const char *caption)
{
    auto *b = new QPushButton(QLatin1String(caption), parent);
    b->setObjectName(QLatin1String(name));
    b->setAutoDefault(false);
    return b;
}

QLabel *label(QWidget *parent, const char *name, const char *caption, int tag)
{
    auto *l = new QLabel(QLatin1String(caption), parent);
    l->setObjectName(QLatin1String(name));
    SetTag(l, tag);
    return l;
}

template <std::size_t N>
QStringList toList(const std::array<QString, N> &names)
{
    return QStringList(names.begin(), names.end());
}

} // namespace

frmType::frmType() : EditorWindow(QStringLiteral("frmType"), 2041)
{
    Frame3 = new QFrame(this);
    Frame3->setObjectName(QStringLiteral("Frame3"));
    Frame3->setFrameStyle(QFrame::StyledPanel | QFrame::Raised);
    Label4 = label(Frame3, "Label4", "Type Setting", 2041);
    QFont heading = Label4->font();
    heading.setBold(true);
    Label4->setFont(heading);

    Frame2 = new QFrame(Frame3);
    Frame2->setObjectName(QStringLiteral("Frame2"));
    Frame2->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);

    Label1 = label(Frame2, "Label1", "Channel", 2000);
    cboChannel = new QComboBox(Frame2);
    cboChannel->setObjectName(QStringLiteral("cboChannel"));
    cboChannel->setMinimumContentsLength(3);
    Label1->setBuddy(cboChannel);
    cmdPrev = button(Frame2, "cmdPrev", "Prev.");
    cmdNext = button(Frame2, "cmdNext", "Next");

    Label2 = label(Frame2, "Label2", "Input Type", 2033);
    cboType = new QComboBox(Frame2);
    cboType->setObjectName(QStringLiteral("cboType"));
    cboType->setMinimumContentsLength(14);
    cboType->setMaxVisibleItems(20);
    Label2->setBuddy(cboType);

    Label5 = label(Frame2, "Label5", "CJC SW", 3006);
    Frame1 = new QGroupBox(Frame2);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    Frame1->setFlat(true);
    auto *options = new QHBoxLayout(Frame1);
    options->setContentsMargins(0, 0, 0, 0);
    const char *optionCaptions[] = {"OFF", "ON"};
    for (int k = 0; k < 2; ++k) {
        m_optCjmSw[std::size_t(k)] = new QRadioButton(QLatin1String(optionCaptions[k]), Frame1);
        m_optCjmSw[std::size_t(k)]->setObjectName(QStringLiteral("optCjmSw_%1").arg(k));
        options->addWidget(m_optCjmSw[std::size_t(k)]);
        connect(m_optCjmSw[std::size_t(k)], &QRadioButton::clicked, this,
                [this, k] { optCjmSw_Click(k); });
    }
    options->addStretch(1);

    auto *grid = new QGridLayout(Frame2);
    grid->addWidget(Label1, 0, 0);
    grid->addWidget(cboChannel, 0, 1);
    auto *navigation = new QHBoxLayout;
    navigation->addWidget(cmdPrev);
    navigation->addWidget(cmdNext);
    navigation->addStretch(1);
    grid->addLayout(navigation, 0, 2);
    grid->addWidget(Label2, 1, 0);
    grid->addWidget(cboType, 1, 1, 1, 2);
    grid->addWidget(Label5, 2, 0);
    grid->addWidget(Frame1, 2, 1, 1, 2);
    grid->setColumnStretch(2, 1);

    cmdCopy = button(Frame3, "cmdCopy", "Copy");
    cmdPaste = button(Frame3, "cmdPaste", "Paste");
    cmdDownload = button(this, "cmdDownload", "Download");
    cmdExit = button(this, "cmdExit", "Exit");

    auto *frame3 = new QVBoxLayout(Frame3);
    frame3->addWidget(Label4);
    frame3->addWidget(Frame2);
    auto *clip = new QHBoxLayout;
    clip->addWidget(cmdCopy);
    clip->addWidget(cmdPaste);
    clip->addStretch(1);
    frame3->addLayout(clip);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(cmdDownload);
    buttons->addWidget(cmdExit);
    auto *page = new QVBoxLayout(this);
    page->addWidget(Frame3);
    page->addLayout(buttons);
    page->setSizeConstraint(QLayout::SetFixedSize);

    connect(cboChannel, &QComboBox::activated, this, &frmType::cboChannel_Click);
    connect(cboType, &QComboBox::activated, this, &frmType::cboType_Click);
    connect(cmdPrev, &QPushButton::clicked, this, &frmType::cmdPrev_Click);
    connect(cmdNext, &QPushButton::clicked, this, &frmType::cmdNext_Click);
    connect(cmdCopy, &QPushButton::clicked, this, &frmType::cmdCopy_Click);
    connect(cmdPaste, &QPushButton::clicked, this, &frmType::cmdPaste_Click);
    connect(cmdDownload, &QPushButton::clicked, this, &frmType::cmdDownload_Click);
    connect(cmdExit, &QPushButton::clicked, this, &frmType::cmdExit_Click);

    // Load
    ApplyResCaptions(this);
    cboChannel->setAccessibleName(Label1->text());
    cboType->setAccessibleName(Label2->text());
    Frame1->setAccessibleName(Label5->text());
}

void frmType::TypeSet()
{
    if (!ModuleFree())
        return;
    frmType &window = Forms::get<frmType>();
    G.TypeFilling = true;
    window.PlaceOnMain();
    window.m_kind = G.curKind();
    if (window.m_kind == KindK6) {
        window.Frame1->hide();
        window.Label5->hide();
    }
    if (!AnalogPanelOfKind(window.m_kind)) {
        G.TypeFilling = false;
        Forms::unload<frmType>();
        MsgBox(QStringLiteral("No Model"), MsgIcon::None, QStringLiteral("Type set"));
        return;
    }
    window.fill();
    window.OpeDisable();
    G.TypeFilling = false;
    ShowModal(window);
    Forms::unload<frmType>();
}

void frmType::fill()
{
    const int n = channelCount();
    for (int ch = 1; ch <= n; ++ch)
        cboChannel->addItem(QString::number(ch));
    const int start = G.SelChannel >= 1 && G.SelChannel <= n ? G.SelChannel : 1;
    cboChannel->setCurrentIndex(start - 1);

    switch (m_kind) {
    case KindUt5:
        m_names = toList(G.VoltTcNames);
        break;
    case KindUt8:
        m_names = toList(G.WideVoltTcNames);
        break;
    default:
        m_names = toList(G.RtdResNames);
        break;
    }
    cboType->addItems(m_names);

    // A channel whose caption names no type of the table (nothing read yet, or a code this
    // program does not know) shows no type, and its code is left as it is: Download then refuses
    // until the user picks one, so an unknown type is never written over unseen.
    const QString caption = typeCaption(start)->text();
    const int pos = position(caption);
    const bool known = !caption.isEmpty() && pos < m_names.size();
    cboType->setCurrentIndex(known ? pos : -1);
    if (known && switchCaption(start) && isThermocouple(pos))
        selectCjmSw(switchCaption(start)->text() == QLatin1String("OFF") ? 0 : 1);
}

int frmType::channelCount() const
{
    return m_kind == KindUt5 ? 16 : 8;
}

int frmType::shownChannel() const
{
    return cboChannel->currentIndex() + 1;
}

int frmType::position(const QString &name) const
{
    const qsizetype pos = m_names.indexOf(name);
    return int(pos < 0 ? m_names.size() : pos);
}

bool frmType::isThermocouple(int pos) const
{
    if (pos < 0 || pos >= m_names.size())
        return false;
    if (m_kind == KindUt5)
        return pos >= Ut5FirstThermocouple;
    if (m_kind == KindUt8)
        return pos >= Ut8FirstThermocouple;
    return false;
}

QLabel *frmType::typeCaption(int ch) const
{
    return AnalogPanelOfKind(m_kind)->lblType(ch);
}

QLabel *frmType::switchCaption(int ch) const
{
    return m_kind == KindK6 ? nullptr : AnalogPanelOfKind(m_kind)->lblCjmSw(ch);
}

void frmType::selectCjmSw(int k)
{
    optCjmSw(k)->setChecked(true);
    optCjmSw_Click(k);
}

void frmType::setSwitchControlsEnabled(bool enabled)
{
    optCjmSw(0)->setEnabled(enabled);
    optCjmSw(1)->setEnabled(enabled);
    Label5->setEnabled(enabled);
}

void frmType::OpeDisable(int16_t Index)
{
    Q_UNUSED(Index);
    const bool typeShown = cboType->currentIndex() >= 0;
    const int q = position(cboType->currentText());
    if (m_kind == KindUt5)
        setSwitchControlsEnabled(typeShown && q >= Ut5FirstThermocouple);
    else if (m_kind == KindUt8)
        setSwitchControlsEnabled(typeShown && q >= Ut8FirstThermocouple && G.Ut8SettingsOption);
    cmdDownload->setEnabled(G.LinkUp);
}

// ---- channel change ----

void frmType::cboChannel_Click()
{
    showChannel(shownChannel());
}

void frmType::showChannel(int ch)
{
    const QString caption = typeCaption(ch)->text();
    const int pos = position(caption);
    const bool known = !caption.isEmpty() && pos < m_names.size();
    cboType->setCurrentIndex(known ? pos : -1);
    if (known && switchCaption(ch) && isThermocouple(pos))
        selectCjmSw(switchCaption(ch)->text() == QLatin1String("OFF") ? 0 : 1);
    OpeDisable();
}

void frmType::cmdPrev_Click()
{
    const int ch = shownChannel();
    const int previous = ch <= 1 ? channelCount() : ch - 1;
    cboChannel->setCurrentIndex(previous - 1);
    showChannel(previous);
}

void frmType::cmdNext_Click()
{
    const int ch = shownChannel();
    const int next = ch >= channelCount() ? 1 : ch + 1;
    cboChannel->setCurrentIndex(next - 1);
    showChannel(next);
}

// ---- type and switch ----

void frmType::cboType_Click()
{
    if (G.TypeFilling)
        return;
    const int p = cboType->currentIndex();
    if (p < 0)
        return;
    const int ch = shownChannel();
    const auto c = std::size_t(ch);

    if ((m_kind == KindUt5 && p < Ut5FirstThermocouple) ||
        (m_kind == KindUt8 && (p < Ut8FirstThermocouple || !G.Ut8SettingsOption))) {
        setSwitchControlsEnabled(false);
    } else {
        // A thermocouple picked by hand takes the switch last copied (OFF until then).
        if (m_kind != KindK6)
            selectCjmSw(G.TypeClipCjc == 1 ? 1 : 0);
        setSwitchControlsEnabled(true);
    }

    const QString name = cboType->currentText();
    typeCaption(ch)->setText(name);
    const int q = position(name);
    const bool off = optCjmSw(0)->isChecked();
    int group = 0;
    int index = 0;
    switch (m_kind) {
    case KindUt5:
    case KindUt8: {
        const int first = m_kind == KindUt5 ? Ut5FirstThermocouple : Ut8FirstThermocouple;
        if (q >= first) {
            switchCaption(ch)->setText(off ? QStringLiteral("OFF") : QStringLiteral("ON"));
            group = 1;
            index = q - first;
        } else {
            switchCaption(ch)->clear();
            index = q;
        }
        break;
    }
    default:
        group = q < K6FirstResistance ? 3 : 4;
        index = q < K6FirstResistance ? q : q - K6FirstResistance;
        break;
    }
    G.ChGroup[c] = int16_t(group);
    G.ChSub[c] = int16_t(index);
    G.ChTypeCode[c] = int16_t(16 * group + index);
    G.ChCjcSw[c] = off ? 0 : 1;
}

void frmType::optCjmSw_Click(int k)
{
    if (G.TypeFilling)
        return;
    const int ch = shownChannel();
    if (QLabel *caption = switchCaption(ch))
        caption->setText(k == 1 ? QStringLiteral("ON") : QStringLiteral("OFF"));
    G.ChCjcSw[std::size_t(ch)] = optCjmSw(0)->isChecked() ? 0 : 1;
}

// ---- copy buffer ----

void frmType::cmdCopy_Click()
{
    if (cboType->currentIndex() < 0)
        return; // no type shown: the buffer keeps what was copied before
    G.TypeClipName = cboType->currentText();
    const int pos = position(G.TypeClipName);
    G.TypeClipIndex = int16_t(pos);
    if (isThermocouple(pos))
        G.TypeClipCjc = optCjmSw(0)->isChecked() ? 0 : 1;
}

void frmType::cmdPaste_Click()
{
    // The copied name, looked up in this kind's table: a copy made under another kind pastes the
    // same type where this kind has it, and nothing where it does not.
    const int pos = position(G.TypeClipName);
    if (pos >= m_names.size())
        return;
    cboType->setCurrentIndex(pos);
    cboType_Click();
}

// ---- module ----

void frmType::cmdDownload_Click()
{
    const int ch = shownChannel();
    if (cboType->currentIndex() < 0) {
        MsgBox(LoadResString(4101).arg(ch), MsgIcon::Exclamation, TypeDownloadTitle);
        return;
    }
    frmDialog::Dialog(QStringLiteral("Starting download for Channel No.") + QString::number(ch));
    if (!G.DialogOk)
        return;
    EditorCommand command(*this);
    if (!command)
        return;
    if (!download(ch))
        MsgBox(LoadResString(3003), MsgIcon::Critical, TypeDownloadTitle);
}

bool frmType::download(int ch)
{
    if (!OpenLink())
        return false;
    const auto c = std::size_t(ch);
    QString reply;
    const int16_t code = G.ChTypeCode[c];
    if (!ParameterWrite(Item::InputType, NN(ch) + NN(code), reply) ||
        reply != QString::number(code))
        return false;
    if (m_kind == KindUt5 || m_kind == KindUt8) {
        // Written whatever the module's options and the type: the module keeps it per channel.
        const QString cjc = QString::number(G.ChCjcSw[c]);
        if (!ParameterWrite(Item::CjcSwitch, NN(ch) + cjc, reply) || reply != cjc)
            return false;
    }
    return true;
}

void frmType::cmdExit_Click()
{
    close();
}
