#include "bench/BenchSupport.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>

#include <fcntl.h>
#include <sys/resource.h>
#include <termios.h>
#include <unistd.h>

bool CountingPort::open()
{
    m_port.setSettings(settings());
    m_port.setCommPort(commPort());
    return m_port.open();
}

bool CountingPort::output(const QByteArray &text)
{
    const qint64 now = clock.nsecsElapsed();
    if (lastReplyNs > 0)
        programNs += now - lastReplyNs;
    sentNs = now;
    sentBytes = text.size();
    if (recording)
        commands.append(text);
    bytes += text.size();
    return m_port.output(text);
}

QByteArray CountingPort::input()
{
    QByteArray in = m_port.input();
    bytes += in.size();
    replyBytes += in.size();
    if (in.endsWith('\r')) {
        lastReplyNs = clock.nsecsElapsed();
        exchangeNs += lastReplyNs - sentNs;
        exchangeBytes += sentBytes + replyBytes;
        replyBytes = 0;
        ++exchanges;
    }
    return in;
}

void CountingPort::resetCounts()
{
    bytes = programNs = exchangeNs = exchangeBytes = exchanges = lastReplyNs = 0;
    commands.clear();
    clock.start();
}

double CpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    auto seconds = [](const timeval &t) { return double(t.tv_sec) + double(t.tv_usec) / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

long ResidentKiB()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toLong();
    }
    return -1;
}

QString SimulatorPath()
{
    const QString given = qEnvironmentVariable("TARVIK_SIM");
    if (!given.isEmpty())
        return given;
    const QString beside =
        QCoreApplication::applicationDirPath() + QStringLiteral("/../sim/tarvik-sim");
    return QFileInfo(beside).canonicalFilePath();
}

bool Simulator::start(const QString &model, bool paced, const QStringList &more)
{
    QStringList arguments{QStringLiteral("--model"), model, QStringLiteral("--reply-delay"),
                          QStringLiteral("0")};
    if (paced)
        arguments << QStringLiteral("--pace");
    arguments << more;
    process.start(SimulatorPath(), arguments);
    if (!process.waitForStarted(5000) || !process.waitForReadyRead(5000))
        return false;
    const QByteArray device = process.readLine().trimmed();
    qputenv("TARVIK_COM1", device);
    return !device.isEmpty();
}

Simulator::~Simulator()
{
    process.terminate();
    process.waitForFinished(3000);
}

double PlainClientSeconds(const QByteArray &device, const QList<QByteArray> &commands)
{
    const int fd = ::open(device.constData(), O_RDWR | O_NOCTTY);
    if (fd < 0)
        return -1;
    termios raw{};
    tcgetattr(fd, &raw);
    cfmakeraw(&raw);
    tcsetattr(fd, TCSANOW, &raw);
    QElapsedTimer wall;
    wall.start();
    for (const QByteArray &command : commands) {
        if (::write(fd, command.constData(), size_t(command.size())) != command.size())
            break;
        char c = 0;
        while (::read(fd, &c, 1) == 1 && c != '\r') {
        }
    }
    const double seconds = double(wall.nsecsElapsed()) / 1e9;
    ::close(fd);
    return seconds;
}
