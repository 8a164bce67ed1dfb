#include "settings/ModbusSettings.h"

#include "app/Forms.h"
#include "app/MsgBox.h"
#include "app/Resources.h"
#include "app/frmDialog.h"
#include "app/frmMain.h"
#include "link/Communication.h"
#include "link/ItemMap.h"
#include "link/ModuleCommand.h"
#include "link/TxtBus.h"
#include "model/Globals.h"
#include "panels/PanelParts.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

// The settings that travel to and from the module, in this order: (array index, item). The bit
// length (index 1) is kept but never sent.
struct SentSetting
{
    int index;
    int16_t item;
};
constexpr SentSetting SentSettings[] = {
    {0, Item::ModbusBaud},
    {2, Item::ModbusParity},
    {3, Item::ModbusStopBits},
    {4, Item::ModbusFloat},
};

constexpr int RestartPauseMs = 2000;

const QString DownloadTitle = QStringLiteral("ModBus Settings");
const QString UploadTitle = QStringLiteral("ModBus Setting");
const QString RestartTitle = QStringLiteral("ModBus Setting");
const QString DataCheckTitle = QStringLiteral("Modbus Setting Data Check");

// Models whose Modbus settings are not written from here.
bool downloadBarredModel()
{
    const QString model = Forms::get<frmMain>().lblData(1)->text();
    return model.startsWith(QLatin1String("VQ2")) || model.startsWith(QLatin1String("VQ4"));
}

QStringList choices(int list, bool ut8)
{
    switch (list) {
    case 0:
        return ut8 ? QStringList{"9600", "19200", "38400", "57600"}
                   : QStringList{"9600", "19200", "38400"};
    case 1:
        return {"8 bit"};
    case 2:
        return {"NONE", "ODD", "EVEN"};
    case 3:
        return {"1 bit", "2 bits"};
    default:
        return {"Normal Float", "Swapped Float"};
    }
}

} // namespace

// ---- ModbusWindow ----

ModbusWindow::ModbusWindow(const QString &objectName, bool ut8)
    : SettingsWindow(objectName), m_ut8(ut8)
{
    WaitForTimer.setSingleShot(true);
    WaitForTimer.setTimerType(Qt::PreciseTimer);
    connect(&WaitForTimer, &QTimer::timeout, this, [this] { WaitElapsed = true; });
}

void ModbusWindow::build(QWidget *addressField)
{
    struct Caption
    {
        int i;
        const char *text;
        int tag;
    };
    static constexpr Caption captions[] = {
        {0, "Baud Rate", 2021},   {1, "Bit Length", 2022}, {2, "Parity", 2023},
        {3, "Stop Bits", 2024},   {4, "Floating Type", 2026}, {5, "Node Address", 2020},
        {6, "Modbus Settings(RTU)", 2019},
    };
    for (const Caption &c : captions)
        m_lblTitle[std::size_t(c.i)] =
            CaptionLabel(this, ArrayName("lblTitle", c.i), QLatin1String(c.text), c.tag);
    QFont heading = lblTitle(6)->font();
    heading.setBold(true);
    heading.setPointSizeF(heading.pointSizeF() * 1.15);
    lblTitle(6)->setFont(heading);

    auto *grid = new QGridLayout;
    grid->setHorizontalSpacing(12);
    grid->addWidget(lblTitle(5), 0, 0);
    grid->addWidget(addressField, 0, 1);
    lblTitle(5)->setBuddy(addressField);
    static constexpr int listTags[Lists] = {2021, 2022, 2023, 2024, 2026};
    for (int i = 0; i < Lists; ++i) {
        auto *list = new QComboBox(this);
        list->setObjectName(ArrayName("cboData", i));
        list->addItems(choices(i, m_ut8));
        SetTag(list, listTags[i]);
        m_cboData[std::size_t(i)] = list;
        lblTitle(i)->setBuddy(list);
        grid->addWidget(lblTitle(i), i + 1, 0);
        grid->addWidget(list, i + 1, 1);
    }
    grid->setColumnStretch(1, 1);
    grid->setColumnMinimumWidth(1, 150);

    auto button = [this](const char *name, const char *caption, int tag) {
        auto *b = new QPushButton(QLatin1String(caption), this);
        b->setObjectName(QLatin1String(name));
        b->setAutoDefault(false);
        if (tag)
            SetTag(b, tag);
        return b;
    };
    cmdUpload = button("cmdUpload", "UpLoad", 2027);
    cmdDnload = button("cmdDnload", "DownLoad", 2028);
    cmdVQ7Res = button("cmdVQ7Res", "VQ7 Restart", 2042);
    cmdExit = button("cmdExit", "Exit", 0);
    connect(cmdUpload, &QPushButton::clicked, this, &ModbusWindow::cmdUpload_Click);
    connect(cmdDnload, &QPushButton::clicked, this, &ModbusWindow::cmdDnload_Click);
    connect(cmdVQ7Res, &QPushButton::clicked, this, &ModbusWindow::cmdVQ7Res_Click);
    connect(cmdExit, &QPushButton::clicked, this, &ModbusWindow::cmdExit_Click);
    setExitButton(cmdExit);

    auto *transfer = new QHBoxLayout;
    transfer->addWidget(cmdUpload);
    transfer->addWidget(cmdDnload);
    auto *restart = new QHBoxLayout;
    restart->addWidget(cmdVQ7Res);
    restart->addStretch(1);
    restart->addWidget(cmdExit);

    auto *page = new QVBoxLayout(this);
    page->addWidget(lblTitle(6));
    page->addSpacing(6);
    page->addLayout(grid);
    page->addSpacing(10);
    page->addLayout(transfer);
    page->addLayout(restart);

    // Load
    ApplyResCaptions(this);
    setWindowTitle(lblTitle(6)->text());
}

void ModbusWindow::ModSet()
{
    PlaceFromMain(*this, 90, 1800);
    ShowAndUnload(*this, prepare());
}

bool ModbusWindow::prepare()
{
    ModuleCommand command;
    if (!command)
        return false;
    G.CommForm = &Forms::get<frmMain>();
    CommOpen();
    if (!G.LinkUp)
        return false;
    QString reply;
    if (!DataRead(Item::ModbusNode, 0, reply))
        return false;
    showAddress(reply);
    setAddressEnabled(true);
    selectSettings();
    cmdDnload->setEnabled(!downloadBarredModel());
    return true;
}

void ModbusWindow::selectSettings()
{
    for (int i = 0; i < Lists; ++i) {
        const int position = settings()[std::size_t(i)];
        // A position the list does not have (from a file) selects nothing: the user picks one.
        cboData(i)->setCurrentIndex(position >= 0 && position < cboData(i)->count() ? position : -1);
    }
}

void ModbusWindow::setControlsEnabled(bool enabled)
{
    for (int i = 0; i < Lists; ++i)
        cboData(i)->setEnabled(enabled);
    setAddressEnabled(enabled);
    cmdUpload->setEnabled(enabled);
    cmdDnload->setEnabled(enabled && !downloadBarredModel());
    cmdVQ7Res->setEnabled(enabled);
    cmdExit->setEnabled(enabled);
}

void ModbusWindow::WaitFor(int milisec)
{
    WaitElapsed = false;
    WaitForTimer.setInterval(milisec);
    WaitForTimer.start();
    // The timer wakes the wait; a command ended on purpose ends it at once.
    while (!WaitElapsed && !ModuleCommand::Cancelled())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    WaitForTimer.stop();
}

bool ModbusWindow::writeSetting(int16_t item, int value)
{
    QString reply;
    return ParameterWrite(item, QString::number(value), reply) && WholeNumber(reply) == value;
}

void ModbusWindow::downloadFailed()
{
    MsgBox(LoadResString(3003), MsgIcon::Critical, DownloadTitle);
    closeWindow();
}

void ModbusWindow::uploadFailed()
{
    MsgBox(LoadResString(3004), MsgIcon::Critical, UploadTitle);
    closeWindow();
}

void ModbusWindow::restartFailed()
{
    MsgBox(LoadResString(3007), MsgIcon::Critical, RestartTitle);
    closeWindow();
}

void ModbusWindow::cmdDnload_Click()
{
    ModuleCommand command;
    if (!command)
        return;
    std::optional<int> address;
    if (!addressToWrite(address))
        return;
    for (int i = 0; i < Lists; ++i) {
        if (cboData(i)->currentIndex() < 0) {
            MsgBox(LoadResString(4300).arg(lblTitle(i)->text()), MsgIcon::Information,
                   DataCheckTitle);
            cboData(i)->setFocus();
            return;
        }
    }
    frmDialog::Dialog(QStringLiteral("Starting download for ModBus Setting."));
    if (!G.DialogOk)
        return;

    Talk talk(*this);
    if (!LinkReady())
        return downloadFailed();
    if (address && !writeSetting(Item::ModbusNode, *address))
        return downloadFailed();
    for (const SentSetting &s : SentSettings) {
        const int position = cboData(s.index)->currentIndex();
        settings()[std::size_t(s.index)] = int16_t(position);
        if (!writeSetting(s.item, position))
            return downloadFailed();
    }
}

void ModbusWindow::cmdUpload_Click()
{
    ModuleCommand command;
    if (!command)
        return;
    Talk talk(*this);
    if (!LinkReady())
        return uploadFailed();
    for (const SentSetting &s : SentSettings) {
        QString reply;
        if (!DataRead(s.item, 0, reply))
            return uploadFailed();
        // A value that is no position of the list is no setting this window can show.
        const auto position = WholeNumber(reply);
        if (!position || *position < 0 || *position >= cboData(s.index)->count())
            return uploadFailed();
        settings()[std::size_t(s.index)] = *position;
        cboData(s.index)->setCurrentIndex(*position);
    }
}

void ModbusWindow::cmdVQ7Res_Click()
{
    ModuleCommand command;
    if (!command)
        return;
    Talk talk(*this);
    QString reply;
    if (!LinkReady() || !GroupCommand(Group::Restart, reply))
        return restartFailed();
    // The module restarts on the request without answering it.
    G.NoReplyNext = true;
    const bool sent = ParameterWrite(Item::RestartRequest, QStringLiteral("RESET"), reply);
    // A write that failed before its data command went out would leave the flag for the next
    // data command of any window, which would then not wait for its reply.
    G.NoReplyNext = false;
    if (!sent)
        return restartFailed();

    setControlsEnabled(false);
    WaitFor(RestartPauseMs);
    setControlsEnabled(true);

    if (!GroupCommand(Group::Items, reply))
        return restartFailed();
}

void ModbusWindow::cmdExit_Click()
{
    // Selections never downloaded stay in the array, for the configuration file.
    for (int i = 0; i < Lists; ++i) {
        if (cboData(i)->currentIndex() >= 0)
            settings()[std::size_t(i)] = int16_t(cboData(i)->currentIndex());
    }
    closeWindow();
}

// ---- frmModSet ----

frmModSet::frmModSet() : ModbusWindow(QStringLiteral("frmModSet"), false)
{
    lblAddress = ValueLabel(this, QStringLiteral("lblAddress"), ValueStyle::Number, 4);
    build(lblAddress);
}

std::array<int16_t, ModbusWindow::Lists> &frmModSet::settings() const
{
    return G.ModbusSet;
}

void frmModSet::showAddress(const QString &reply)
{
    lblAddress->setText(reply);
}

bool frmModSet::addressToWrite(std::optional<int> &address) const
{
    address.reset();
    return true;
}

// ---- frmModSetUt8 ----

frmModSetUt8::frmModSetUt8() : ModbusWindow(QStringLiteral("frmModSetUt8"), true)
{
    txtAddress = new QLineEdit(this);
    txtAddress->setObjectName(QStringLiteral("txtAddress"));
    connect(txtAddress, &QLineEdit::textChanged, this, &frmModSetUt8::txtAddress_Change);
    build(txtAddress);
}

std::array<int16_t, ModbusWindow::Lists> &frmModSetUt8::settings() const
{
    return G.ModbusSetUt8;
}

void frmModSetUt8::showAddress(const QString &reply)
{
    // The module's own text, unchecked; a download checks it.
    m_filling = true;
    txtAddress->setText(reply);
    m_filling = false;
    AcceptEntry(*txtAddress);
}

void frmModSetUt8::setAddressEnabled(bool enabled)
{
    txtAddress->setEnabled(enabled && G.Ut8AddressOption);
}

bool frmModSetUt8::addressToWrite(std::optional<int> &address) const
{
    address.reset();
    if (!G.Ut8AddressOption)
        return true;
    const auto value = CountValue(txtAddress->text());
    if (!value || *value < 1 || *value > 247) {
        MsgBox(QStringLiteral("NodeAddress set point must be 1 to 247."), MsgIcon::Information,
               DataCheckTitle);
        txtAddress->setFocus();
        return false;
    }
    address = int(*value);
    return true;
}

void frmModSetUt8::txtAddress_Change()
{
    if (m_filling)
        return;
    CheckPositiveEntry(*txtAddress);
}
