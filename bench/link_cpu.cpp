// How much processor time the program burns while it waits for a module's replies.
//
// A forked peer answers every command on a pseudo-terminal after 20 ms; the program makes 200
// exchanges through its real serial port and prints its own processor time (user + system) as a
// share of the wall time. Waiting must cost next to nothing: the target is under 5 %.
//
//   build/bench/tarvik-bench-link [exchanges] [reply-delay-ms]

#include "link/Communication.h"
#include "link/TxtBus.h"
#include "model/Globals.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <pty.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

namespace {

double cpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    auto seconds = [](const timeval &t) { return double(t.tv_sec) + double(t.tv_usec) / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

// The module: reads commands up to CR, answers each after the delay.
[[noreturn]] void servePeer(int master, int delayMs)
{
    char buffer[256];
    int pending = 0;
    for (;;) {
        const ssize_t n = read(master, buffer, sizeof buffer);
        if (n <= 0)
            _exit(0);
        for (ssize_t i = 0; i < n; ++i) {
            if (buffer[i] != '\r')
                continue;
            ++pending;
        }
        while (pending > 0) {
            --pending;
            usleep(useconds_t(delayMs) * 1000);
            static const char reply[] = "D+0025.000\r";
            if (write(master, reply, sizeof reply - 1) < 0)
                _exit(1);
        }
    }
}

} // namespace

int main(int argc, char **argv)
{
    const int exchanges = argc > 1 ? std::atoi(argv[1]) : 200;
    const int delayMs = argc > 2 ? std::atoi(argv[2]) : 20;

    int master = -1, slave = -1;
    char name[256] = {};
    if (openpty(&master, &slave, name, nullptr, nullptr) != 0) {
        std::perror("openpty");
        return 1;
    }
    termios raw{};
    tcgetattr(slave, &raw);
    cfmakeraw(&raw);
    tcsetattr(slave, TCSANOW, &raw);

    const pid_t peer = fork();
    if (peer == 0) {
        close(slave);
        servePeer(master, delayMs);
    }
    close(master);

    qputenv("TARVIK_COM1", name);
    QCoreApplication app(argc, argv);
    InitData();
    CommHost host;
    G.CommForm = &host;
    SerialPort &port = host.MSComm1();
    port.setSettings(LineSettingsText);
    port.setCommPort(1);
    if (!port.open()) {
        std::fprintf(stderr, "cannot open %s: %s\n", name, qPrintable(port.errorString()));
        kill(peer, SIGTERM);
        return 1;
    }
    G.LinkUp = true;

    int answered = 0;
    QElapsedTimer wall;
    wall.start();
    const double cpuBefore = cpuSeconds();
    for (int i = 0; i < exchanges; ++i) {
        QString reply = SendReceive(QStringLiteral("D01\r"));
        if (ReplyCheck(reply))
            ++answered;
    }
    const double cpu = cpuSeconds() - cpuBefore;
    const double seconds = double(wall.nsecsElapsed()) / 1e9;

    port.close();
    close(slave);
    kill(peer, SIGTERM);
    waitpid(peer, nullptr, 0);

    std::printf("exchanges        %d (%d answered), reply after %d ms\n", exchanges, answered,
                delayMs);
    std::printf("wall time        %.3f s (%.2f ms per exchange)\n", seconds,
                seconds * 1000.0 / exchanges);
    std::printf("processor time   %.3f s\n", cpu);
    std::printf("processor share  %.2f %% of one core (target: under 5 %%)\n",
                100.0 * cpu / seconds);
    return answered == exchanges ? 0 : 1;
}
