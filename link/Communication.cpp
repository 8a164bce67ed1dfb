#include "link/Communication.h"

#include "app/MsgBox.h"
#include "app/Resources.h"
#include "app/frmCommPort.h"
#include "connection/frmLoading.h"
#include "link/ItemMap.h"
#include "link/ModuleCommand.h"
#include "link/QtSerialPort.h"
#include "link/TxtBus.h"
#include "model/Globals.h"

#include <QCoreApplication>

namespace {

SerialPortFactory &factorySlot()
{
    static SerialPortFactory factory;
    return factory;
}

const QString SendReceiveTitle = QStringLiteral("Send/Receive");
const QString PortNotOpenText = QStringLiteral("Port is not open.");

struct LinkState
{
    bool waiting = false;      // an exchange waits for its reply
    bool lossReported = false; // the loss of the open port has been told
    quint64 discarded = 0;     // bytes thrown away because they came before their command
};

LinkState &link()
{
    static LinkState s;
    return s;
}

// Shows the link failure box (the port's own description, or resource 3000) and puts the commands
// back to idle.
void linkFailed(const QString &prompt)
{
    MsgBox(prompt, MsgIcon::Exclamation, LoadResString(3001));
    frmLoading::Stopping();
}

// Opens the port on the chosen number; false with the failure already reported.
bool openChosenPort(SerialPort &port)
{
    const int chosen = G.PortNumber.value_or(0);
    // Another port than the one left open after a failed group select: switch to it.
    if (port.isOpen() && port.commPort() != chosen)
        port.close();
    if (port.isOpen())
        return true;
    port.setSettings(LineSettingsText);
    port.setCommPort(chosen);
    if (!port.open()) {
        linkFailed(port.errorString());
        return false;
    }
    link().lossReported = false;
    return true;
}

// The port went away: one message, then the link is closed as Disconnect closes it and the
// commands go to their disconnected state once the running command has ended quietly.
void portLost(const SerialPort &port)
{
    if (link().lossReported)
        return;
    link().lossReported = true;
    MsgBox(LoadResString(4501).arg(port.errorString()), MsgIcon::Critical, SendReceiveTitle);
    CommClose();
    ModuleCommand::Cancel(frmLoading::LinkLost);
}

// A failure of the exchange itself: told (a lost port as a lost connection), and the exchange
// counts as timed out so that the caller's reply check rejects it.
QString exchangeFailed(const SerialPort *port, const QString &description)
{
    if (port && port->lost() && !link().lossReported)
        portLost(*port);
    else
        MsgBox(description, MsgIcon::Critical, SendReceiveTitle);
    G.TimeoutFlag = true;
    return {};
}

// One pass of the wait: runs the pending window events, and sleeps until the next event when no
// reply characters are waiting. A timer is armed during every wait, so the sleep ends.
void processEventsOnce(SerialPort &port)
{
    const bool somethingWaiting = port.inBufferCount() > 0 || !port.isOpen();
    QCoreApplication::processEvents(somethingWaiting ? QEventLoop::AllEvents
                                                     : QEventLoop::WaitForMoreEvents);
}

} // namespace

CommHost::CommHost()
    : m_port(factorySlot() ? factorySlot()() : std::make_unique<QtSerialPort>())
{
    link().lossReported = false;
    m_timer.setTimerType(Qt::PreciseTimer); // a coarse timer fires up to 5 % early
    m_timer.setInterval(ReplyTimeoutMs);
    m_timer.setSingleShot(false);
    QObject::connect(&m_timer, &QTimer::timeout, [this] { Timer1_Timer(); });
    // A port lost while nothing waits for it is told when the event loop next runs; a wait that
    // notices it first tells it itself, and only once.
    SerialPort *port = m_port.get();
    QObject::connect(
        port, &SerialPort::portLost, port,
        [this, port] {
            if (G.CommForm == this && port->lost())
                portLost(*port);
        },
        Qt::QueuedConnection);
}

CommHost::~CommHost()
{
    if (G.CommForm == this)
        G.CommForm = nullptr;
}

void CommHost::Timer1_Timer()
{
    m_timer.stop();
    G.TimeoutFlag = true;
}

void SetSerialPortFactory(SerialPortFactory factory)
{
    factorySlot() = std::move(factory);
}

quint64 DiscardedInputBytes()
{
    return link().discarded;
}

void CommOpen()
{
    if (ModuleCommand::Cancelled())
        return;
    if (!G.CommForm) {
        linkFailed(PortNotOpenText);
        return;
    }
    SerialPort &port = G.CommForm->MSComm1();
    if (!G.LinkUp) {
        // Closing the port dialog by its frame is no choice: nothing is opened.
        if (!frmCommPort::CommPort()) {
            linkFailed(QStringLiteral("No communication port was chosen."));
            return;
        }
        if (!openChosenPort(port))
            return;
    }
    QString reply;
    G.LinkUp = GroupCommand(Group::Items, reply);
    if (!G.LinkUp && !ModuleCommand::Cancelled())
        linkFailed(LoadResString(3000));
}

void CommClose()
{
    if (G.CommForm) {
        G.CommForm->Timer1().stop();
        if (G.CommForm->MSComm1().isOpen())
            G.CommForm->MSComm1().close();
    }
    G.PortNumber.reset();
    G.LinkUp = false;
    G.TimeoutFlag = false;
}

bool IsPlainText(const QString &text)
{
    for (const QChar c : text) {
        if (c.unicode() < 0x20 || c.unicode() > 0x7E)
            return false;
    }
    return true;
}

QString SendReceive(const QString &command)
{
    if (ModuleCommand::Cancelled()) {
        G.TimeoutFlag = true;
        return {};
    }
    if (!G.CommForm)
        return exchangeFailed(nullptr, PortNotOpenText);
    if (link().waiting) {
        // Never a second command on the wire while a reply is awaited: this one fails, the
        // waiting one goes on and gets its own reply.
        MsgBox(LoadResString(4502), MsgIcon::Critical, SendReceiveTitle);
        return {};
    }
    // One command per text: a CR or any other control or non-ASCII character inside it never
    // reaches the line.
    if (!command.endsWith(QLatin1Char('\r')) || !IsPlainText(command.chopped(1)))
        return exchangeFailed(nullptr, LoadResString(4503).arg(VisibleText(command)));

    SerialPort &port = G.CommForm->MSComm1();
    QTimer &timer = G.CommForm->Timer1();

    // Characters waiting now came before this command (a reply that arrived after its time-out):
    // they are never taken as its reply.
    if (port.inBufferCount() > 0)
        link().discarded += quint64(port.input().size());

    if (!port.output(command.toLatin1()))
        return exchangeFailed(&port, port.errorString());
    timer.start();

    if (G.NoReplyNext && command.startsWith(QLatin1Char('D'))) {
        G.NoReplyNext = false;
        timer.stop();
        return command;
    }

    // The exchange's own deadline, whatever happens to the shared reply timer meanwhile.
    bool expired = false;
    QTimer deadline;
    deadline.setSingleShot(true);
    deadline.setTimerType(Qt::PreciseTimer);
    QObject::connect(&deadline, &QTimer::timeout, [&expired] { expired = true; });
    deadline.start(timer.interval() > 0 ? timer.interval() : ReplyTimeoutMs);

    link().waiting = true;
    QByteArray reply;
    bool timedOut = false;
    for (;;) {
        processEventsOnce(port);
        if (ModuleCommand::Cancelled()) {
            link().waiting = false;
            timer.stop();
            G.TimeoutFlag = true;
            return {};
        }
        if (expired)
            G.TimeoutFlag = true;
        if (G.TimeoutFlag) {
            timedOut = true;
            break;
        }
        if (!port.isOpen()) {
            // The device went away during the wait.
            link().waiting = false;
            timer.stop();
            return exchangeFailed(&port, port.errorString());
        }
        if (port.inBufferCount() == 0)
            continue;
        const QByteArray chunk = port.input();
        reply += chunk;
        if (chunk.endsWith('\r')) {
            timedOut = G.TimeoutFlag;
            break;
        }
    }
    link().waiting = false;
    if (timedOut)
        MsgBox(QStringLiteral("Timeout"), MsgIcon::Critical, SendReceiveTitle);
    timer.stop();
    return QString::fromLatin1(reply);
}
