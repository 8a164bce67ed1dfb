#include "tests/support/PtyPeer.h"

#include <QSocketNotifier>
#include <QTimer>

#include <fcntl.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

PtyPeer::PtyPeer(Answer answer, int replyDelayMs, QObject *parent)
    : QObject(parent), m_answer(std::move(answer)), m_delayMs(replyDelayMs)
{
    char name[256] = {};
    if (openpty(&m_master, &m_slave, name, nullptr, nullptr) != 0) {
        m_master = m_slave = -1;
        return;
    }
    termios raw{};
    tcgetattr(m_slave, &raw);
    cfmakeraw(&raw);
    tcsetattr(m_slave, TCSANOW, &raw);
    fcntl(m_master, F_SETFL, fcntl(m_master, F_GETFL) | O_NONBLOCK);
    m_path = QString::fromLocal8Bit(name);
    m_notifier = new QSocketNotifier(m_master, QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &PtyPeer::onReadable);
}

PtyPeer::~PtyPeer()
{
    hangUp();
    if (m_slave >= 0)
        ::close(m_slave);
}

void PtyPeer::hangUp()
{
    if (m_master < 0)
        return;
    delete m_notifier;
    m_notifier = nullptr;
    ::close(m_master);
    m_master = -1;
    // The program's end sees the hang-up only when no other descriptor holds the slave.
    if (m_slave >= 0) {
        ::close(m_slave);
        m_slave = -1;
    }
}

void PtyPeer::onReadable()
{
    char buffer[512];
    for (;;) {
        const ssize_t n = ::read(m_master, buffer, sizeof buffer);
        if (n <= 0)
            break;
        m_pending.append(buffer, n);
        m_received.append(buffer, n);
    }
    qsizetype cr;
    while ((cr = m_pending.indexOf('\r')) >= 0) {
        const QByteArray command = m_pending.left(cr + 1);
        m_pending.remove(0, cr + 1);
        const QByteArray reply = m_answer(command);
        if (reply.isEmpty())
            continue;
        QTimer::singleShot(m_delayMs, Qt::PreciseTimer, this, [this, reply] {
            if (m_master >= 0)
                [[maybe_unused]] const auto written = ::write(m_master, reply.constData(), size_t(reply.size()));
        });
    }
}
