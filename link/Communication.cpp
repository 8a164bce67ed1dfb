#include "link/Communication.h"

#include "app/MsgBox.h"
#include "app/Resources.h"
#include "app/frmCommPort.h"
#include "connection/frmLoading.h"
#include "link/ItemMap.h"
#include "link/LinkObserver.h"
#include "link/LinkRecovery.h"
#include "link/ModuleCommand.h"
#include "link/PortNames.h"
#include "link/QtSerialPort.h"
#include "link/TxtBus.h"
#include "model/Globals.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QElapsedTimer>

#include <limits>

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

void tellEvent(LinkRecord::Kind kind, const QString &text)
{
    if (!CurrentLinkObserver())
        return;
    LinkRecord record;
    record.kind = kind;
    record.atMs = QDateTime::currentMSecsSinceEpoch();
    record.text = text;
    TellLinkObserver(record);
}

// One exchange as the observer gets it. Builds nothing while nobody observes.
class ExchangeRecorder
{
public:
    explicit ExchangeRecorder(const QByteArray &command) : m_observer(CurrentLinkObserver())
    {
        const bool retry = TakeRetryNote();
        if (!m_observer)
            return;
        m_record.atMs = QDateTime::currentMSecsSinceEpoch();
        m_record.command = command;
        if (retry)
            m_record.flags |= LinkRecord::Retry;
    }
    void discarded(const QByteArray &stale) { m_record.stale = stale; }
    void sent() { m_clock.start(); }
    // The reply so far, with the flags and text of how the exchange ended.
    void finish(const QByteArray &reply, quint16 flags = 0, const QString &text = {})
    {
        if (!m_observer || m_done)
            return;
        m_done = true;
        m_record.reply = reply;
        m_record.flags |= flags;
        m_record.text = text;
        // A round trip is a reply that came: none for a wait that ended otherwise.
        const quint16 noReply = LinkRecord::NoReplyAwaited | LinkRecord::NotSent |
                                LinkRecord::TimedOut | LinkRecord::PortError |
                                LinkRecord::Abandoned;
        if (m_clock.isValid() && !(flags & noReply))
            m_record.roundTripUs = qint32(qMin<qint64>(m_clock.nsecsElapsed() / 1000, std::numeric_limits<qint32>::max()));
        // The observer may have been replaced during the wait; the one now in place gets it.
        TellLinkObserver(m_record);
    }

private:
    LinkObserver *m_observer;
    LinkRecord m_record;
    QElapsedTimer m_clock;
    bool m_done = false;
};

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
        tellEvent(LinkRecord::Kind::OpenFailed, port.errorString());
        linkFailed(port.errorString());
        return false;
    }
    link().lossReported = false;
    tellEvent(LinkRecord::Kind::Opened, PortLabel(chosen, port.deviceName()));
    // The lost link's port is no longer waited for once a port is open again.
    LinkRecovery::Instance().clear();
    return true;
}

// The port went away: one message, then the link is closed as Disconnect closes it and the
// commands go to their disconnected state once the running command has ended quietly.
void portLost(const SerialPort &port)
{
    if (link().lossReported)
        return;
    link().lossReported = true;
    const int portNumber = G.PortNumber.value_or(port.commPort());
    tellEvent(LinkRecord::Kind::Lost, port.errorString());
    MsgBox(LoadResString(4501).arg(port.errorString()), MsgIcon::Critical, SendReceiveTitle);
    CommClose();
    LinkRecovery::Instance().noteLost(portNumber);
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
        // After a lost link whose device is back, the same port is taken without asking.
        if (const auto back = LinkRecovery::Instance().portBack()) {
            G.PortNumber = int16_t(*back);
        } else if (!frmCommPort::CommPort()) {
            // Closing the port dialog by its frame is no choice: nothing is opened.
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
        SerialPort &port = G.CommForm->MSComm1();
        if (port.isOpen()) {
            const QString label = PortLabel(port.commPort(), port.deviceName());
            port.close();
            tellEvent(LinkRecord::Kind::Closed, label);
        }
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
    // Made first, so that a retry noted for this exchange never passes to a later one.
    const QByteArray bytes = command.toLatin1();
    ExchangeRecorder record(bytes);
    if (ModuleCommand::Cancelled()) {
        G.TimeoutFlag = true;
        return {};
    }
    if (!G.CommForm) {
        record.finish({}, LinkRecord::NotSent, PortNotOpenText);
        return exchangeFailed(nullptr, PortNotOpenText);
    }
    if (link().waiting) {
        // Never a second command on the wire while a reply is awaited: this one fails, the
        // waiting one goes on and gets its own reply.
        record.finish({}, LinkRecord::NotSent, LoadResString(4502));
        MsgBox(LoadResString(4502), MsgIcon::Critical, SendReceiveTitle);
        return {};
    }
    // One command per text: a CR or any other control or non-ASCII character inside it never
    // reaches the line.
    if (!command.endsWith(QLatin1Char('\r')) || !IsPlainText(command.chopped(1))) {
        const QString why = LoadResString(4503).arg(VisibleText(command));
        record.finish({}, LinkRecord::NotSent, why);
        return exchangeFailed(nullptr, why);
    }

    SerialPort &port = G.CommForm->MSComm1();
    QTimer &timer = G.CommForm->Timer1();

    // Characters waiting now came before this command (a reply that arrived after its time-out):
    // they are never taken as its reply.
    if (port.inBufferCount() > 0) {
        const QByteArray stale = port.input();
        link().discarded += quint64(stale.size());
        record.discarded(stale);
    }

    record.sent();
    if (!port.output(bytes)) {
        record.finish({}, LinkRecord::PortError, port.errorString());
        return exchangeFailed(&port, port.errorString());
    }
    timer.start();

    if (G.NoReplyNext && command.startsWith(QLatin1Char('D'))) {
        G.NoReplyNext = false;
        timer.stop();
        record.finish({}, LinkRecord::NoReplyAwaited);
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
            record.finish(reply, LinkRecord::Abandoned);
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
            record.finish(reply, LinkRecord::PortError, port.errorString());
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
    record.finish(reply, timedOut ? quint16(LinkRecord::TimedOut) : quint16(0));
    if (timedOut)
        MsgBox(QStringLiteral("Timeout"), MsgIcon::Critical, SendReceiveTitle);
    timer.stop();
    return QString::fromLatin1(reply);
}
