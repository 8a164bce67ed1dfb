#include "link/Communication.h"

#include "app/MsgBox.h"
#include "app/Resources.h"
#include "app/frmCommPort.h"
#include "connection/frmLoading.h"
#include "link/ItemMap.h"
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
    return true;
}

// One pass of the wait: runs the pending window events, and sleeps until the next event when no
// reply characters are waiting. The reply timer is armed during every wait, so the sleep ends.
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
    m_timer.setTimerType(Qt::PreciseTimer); // a coarse timer fires up to 5 % early
    m_timer.setInterval(ReplyTimeoutMs);
    m_timer.setSingleShot(false);
    QObject::connect(&m_timer, &QTimer::timeout, [this] { Timer1_Timer(); });
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

void CommOpen()
{
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
    if (!G.LinkUp)
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

QString SendReceive(const QString &command)
{
    SerialPort &port = G.CommForm->MSComm1();
    QTimer &timer = G.CommForm->Timer1();

    if (!port.output(command.toLatin1())) {
        MsgBox(port.errorString(), MsgIcon::Critical, SendReceiveTitle);
        G.TimeoutFlag = true;
        return {};
    }
    timer.start();

    if (G.NoReplyNext && command.startsWith(QLatin1Char('D'))) {
        G.NoReplyNext = false;
        timer.stop();
        return command;
    }

    QByteArray reply;
    for (;;) {
        processEventsOnce(port);
        if (G.TimeoutFlag)
            break;
        if (!port.isOpen()) {
            // The device went away during the wait: a port failure, reported as such.
            timer.stop();
            MsgBox(port.errorString(), MsgIcon::Critical, SendReceiveTitle);
            G.TimeoutFlag = true;
            return {};
        }
        if (port.inBufferCount() == 0)
            continue;
        const QByteArray chunk = port.input();
        reply += chunk;
        if (chunk.endsWith('\r')) {
            if (G.TimeoutFlag)
                break;
            timer.stop();
            return QString::fromLatin1(reply);
        }
    }
    MsgBox(QStringLiteral("Timeout"), MsgIcon::Critical, SendReceiveTitle);
    timer.stop();
    return QString::fromLatin1(reply);
}
