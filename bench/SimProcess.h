#pragma once

// What the benchmark programs share: the program's own processor time, and `tarvik-sim` running
// on a pseudo-terminal whose device becomes COM1.

#include <QCoreApplication>
#include <QFileInfo>
#include <QProcess>

#include <sys/resource.h>

// Processor time of this process so far (user + system), in seconds.
inline double CpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    auto seconds = [](const timeval &t) { return double(t.tv_sec) + double(t.tv_usec) / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

// TARVIK_SIM, or the simulator built beside the benchmark.
inline QString SimulatorPath()
{
    const QString given = qEnvironmentVariable("TARVIK_SIM");
    if (!given.isEmpty())
        return given;
    const QString beside =
        QCoreApplication::applicationDirPath() + QStringLiteral("/../sim/tarvik-sim");
    return QFileInfo(beside).canonicalFilePath();
}

// A running simulator of a model; its device becomes COM1 (TARVIK_COM1). No turnaround time in
// the module: what is measured is the program and the line.
struct Simulator
{
    QProcess process;

    bool start(bool paced, const QString &model = QStringLiteral("VQ7_UT5"))
    {
        QStringList arguments{QStringLiteral("--model"), model, QStringLiteral("--reply-delay"),
                              QStringLiteral("0")};
        if (paced)
            arguments << QStringLiteral("--pace");
        process.start(SimulatorPath(), arguments);
        if (!process.waitForStarted(5000) || !process.waitForReadyRead(5000))
            return false;
        const QByteArray device = process.readLine().trimmed();
        qputenv("TARVIK_COM1", device);
        return !device.isEmpty();
    }
    ~Simulator()
    {
        process.terminate();
        process.waitForFinished(3000);
    }
};
