// Whether a configuration file survives the program being killed while it saves.
//
// A child process saves two different configurations over the same file, one after the other,
// as fast as it can; the parent kills it (SIGKILL) at a random moment and then reads the file.
// Repeated many times, it prints how often the file was the complete old configuration, the
// complete new one, or anything else (target: never anything else), and how many temporary files
// the killed saves left beside it.
//
//   build/bench/tarvik-bench-savekill [kills]

#include "app/MsgBox.h"
#include "files/ConfigFile.h"
#include "files/Files.h"
#include "model/Globals.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <csignal>
#include <cstdio>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {

ConfigSnapshot configuration(int variant)
{
    ConfigSnapshot c;
    c.kind = KindUt5;
    for (int ch = 1; ch <= 16; ++ch)
        c.typeCode[std::size_t(ch)] = int16_t(variant ? 16 + ch % 13 : ch % 7);
    c.modbus = {int16_t(variant), 0, 1, 0, 0};
    c.cjmTemp = variant ? QStringLiteral("25.000") : QStringLiteral("20.500");
    c.cjmVolt = QStringLiteral("0.550");
    c.burnout = int16_t(variant ? 2 : 1);
    c.filter = QStringLiteral("1.0");
    return c;
}

[[noreturn]] void saveForever(const QString &name)
{
    G.FilePath = name;
    for (int i = 1;; ++i) { // first the configuration that is not on disk yet
        ApplyConfig(configuration(i % 2));
        if (!FileWrite())
            _exit(3);
    }
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const int kills = argc > 1 ? std::max(1, std::atoi(argv[1])) : 200;
    SetMsgBoxHook([](const MsgRecord &box) {
        std::fprintf(stderr, "save failed: %s\n", qPrintable(box.prompt));
    });
    InitData();

    QTemporaryDir dir;
    const QString name = dir.filePath(QStringLiteral("plant.vq7"));
    const QByteArray versions[2] = {*FormatConfigFile(configuration(0)),
                                    *FormatConfigFile(configuration(1))};
    QFile seed(name);
    if (!seed.open(QIODevice::WriteOnly) || seed.write(versions[0]) != versions[0].size())
        return 1;
    seed.close();

    int old = 0, fresh = 0, broken = 0, ended = 0;
    for (int k = 0; k < kills; ++k) {
        const pid_t child = fork();
        if (child == 0)
            saveForever(name);
        std::this_thread::sleep_for(
            std::chrono::microseconds(QRandomGenerator::global()->bounded(200, 100000)));
        kill(child, SIGKILL);
        int status = 0;
        waitpid(child, &status, 0);
        if (!WIFSIGNALED(status))
            ++ended; // the child stopped by itself: its saves failed
        QFile file(name);
        const QByteArray bytes = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
        if (bytes == versions[0])
            ++old;
        else if (bytes == versions[1])
            ++fresh;
        else
            ++broken;
    }
    const int leftOver = int(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size()) - 1;
    std::printf("%d kills while saving: the file was one complete configuration %d times "
                "(%d the first, %d the second), anything else %d times (target: 0); %d temporary "
                "files left beside it\n",
                kills, old + fresh, old, fresh, broken, leftOver);
    if (ended)
        std::printf("%d children ended before they were killed\n", ended);
    return broken == 0 && ended == 0 ? 0 : 1;
}
