#include "sim/PtyServer.h"

#include "sim/SimLine.h"
#include "sim/SimModule.h"

#include <QFile>
#include <QSocketNotifier>

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

namespace {
constexpr int PollMs = 20;

QString systemError(const QString &what)
{
    return QStringLiteral("%1: %2").arg(what, QString::fromLocal8Bit(std::strerror(errno)));
}
} // namespace

PtyServer::PtyServer(SimModule &module, QObject *parent)
    : QObject(parent), m_module(module), m_line(new SimLine(module, this))
{
    m_poll.setInterval(PollMs);
    connect(&m_poll, &QTimer::timeout, this, &PtyServer::onPoll);
    connect(m_line, &SimLine::deliver, this, &PtyServer::onDeliver);
    connect(m_line, &SimLine::dropped, this, &PtyServer::onDropped);
}

PtyServer::~PtyServer()
{
    close();
}

bool PtyServer::open(QString *error)
{
    m_stopped = false;
    return openDevice(error);
}

bool PtyServer::openDevice(QString *error)
{
    int slave = -1;
    char name[256] = {};
    if (openpty(&m_master, &slave, name, nullptr, nullptr) != 0) {
        m_master = -1;
        if (error)
            *error = systemError(QStringLiteral("cannot open a pseudo-terminal"));
        return false;
    }
    // Settings of the slave side stay with the device while the master is open; the program's
    // port sets its own, other tools (a terminal program) get a clean 8-bit line.
    termios raw{};
    tcgetattr(slave, &raw);
    cfmakeraw(&raw);
    cfsetspeed(&raw, B9600);
    tcsetattr(slave, TCSANOW, &raw);
    ::close(slave);
    fcntl(m_master, F_SETFL, fcntl(m_master, F_GETFL) | O_NONBLOCK);
    m_path = QString::fromLocal8Bit(name);
    m_notifier = new QSocketNotifier(m_master, QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &PtyServer::onReadable);
    // Nobody has the device open yet: a master read would fail with EIO at once and for ever,
    // so the device is watched by polling until a program opens it.
    m_notifier->setEnabled(false);
    m_poll.start();
    return true;
}

void PtyServer::closeDevice()
{
    m_poll.stop();
    delete m_notifier;
    m_notifier = nullptr;
    if (m_master >= 0)
        ::close(m_master);
    m_master = -1;
    m_line->reset();
    setPeer(false);
}

void PtyServer::close()
{
    m_stopped = true;
    closeDevice();
    if (!m_link.isEmpty()) {
        // Only a link that still points at this server's device is removed.
        if (QFile::symLinkTarget(m_link) == m_path || !QFile::exists(m_link))
            QFile::remove(m_link);
        m_link.clear();
    }
}

bool PtyServer::setLink(const QString &path, QString *error)
{
    m_link = path;
    return pointLink(error);
}

bool PtyServer::pointLink(QString *error)
{
    if (m_link.isEmpty())
        return true;
    const QByteArray link = QFile::encodeName(m_link);
    const QByteArray temporary = link + ".new";
    ::unlink(temporary.constData());
    // A new link is made beside the old one and renamed over it, so that the path never vanishes.
    if (::symlink(QFile::encodeName(m_path).constData(), temporary.constData()) != 0 ||
        ::rename(temporary.constData(), link.constData()) != 0) {
        if (error)
            *error = systemError(QStringLiteral("cannot make the link %1").arg(m_link));
        ::unlink(temporary.constData());
        return false;
    }
    return true;
}

void PtyServer::onReadable()
{
    char buffer[512];
    for (;;) {
        const ssize_t n = ::read(m_master, buffer, sizeof buffer);
        if (n > 0) {
            m_line->receive(QByteArray(buffer, qsizetype(n)));
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK))
            return;
        // EIO: the program closed the device. Whatever was on its way is lost with the line.
        m_notifier->setEnabled(false);
        m_line->reset();
        setPeer(false);
        m_poll.start();
        return;
    }
}

void PtyServer::onPoll()
{
    if (m_master < 0)
        return;
    pollfd p{m_master, POLLIN, 0};
    if (::poll(&p, 1, 0) < 0 || (p.revents & POLLHUP))
        return; // still nobody on the other end
    m_poll.stop();
    setPeer(true);
    m_notifier->setEnabled(true);
}

void PtyServer::onDeliver(const QByteArray &bytes)
{
    if (m_master < 0 || !m_peer)
        return;
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(m_master, bytes.constData() + done, size_t(bytes.size() - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return; // the line is full or gone: the rest is lost, as on a real line
        done += n;
    }
}

void PtyServer::onDropped()
{
    closeDevice();
    QTimer::singleShot(m_redialMs, this, [this] {
        if (m_stopped || m_master >= 0)
            return;
        QString error;
        if (openDevice(&error) && pointLink(&error))
            emit deviceChanged(m_path);
        else
            qWarning("%s", qPrintable(error));
    });
}

void PtyServer::setPeer(bool present)
{
    if (m_peer == present)
        return;
    m_peer = present;
    emit peerChanged(present);
}
