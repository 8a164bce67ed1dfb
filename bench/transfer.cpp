// What a whole upload and download of a UT5 cost beyond the line itself.
//
// Starts `tarvik-sim --pace` for a UT5 module on a pseudo-terminal, connects through the
// program's real serial port and windows, and times the Configuration Upload and Download
// commands. Prints each against the wire time of its bytes at 9600 baud and against a plain
// blocking client sending the same commands on the same line (target: within 2 % of the plain
// client).
//
//   build/bench/tarvik-bench-transfer [rounds]

#include "app/Forms.h"
#include "app/frmDialog.h"
#include "app/frmMain.h"
#include "bench/BenchSupport.h"
#include "bench/Unattended.h"
#include "model/Globals.h"

#include <QApplication>
#include <QPushButton>

#include <cstdio>

namespace {

struct Figures
{
    double seconds = 0, wire = 0, plain = 0, cpu = 0;
};

// Runs one command `rounds` times and measures it, then sends its commands with the plain client.
Figures measure(frmMain &main, QAction *command, int rounds)
{
    Figures f;
    CountingPort::resetCounts();
    CountingPort::recording = true;
    QElapsedTimer wall;
    wall.start();
    const double cpuBefore = CpuSeconds();
    for (int i = 0; i < rounds; ++i)
        command->trigger();
    f.cpu = CpuSeconds() - cpuBefore;
    f.seconds = double(wall.nsecsElapsed()) / 1e9;
    f.wire = CountingPort::wireSeconds();
    CountingPort::recording = false;
    main.MSComm1().close();
    G.LinkUp = false;
    f.plain = PlainClientSeconds(qgetenv("TARVIK_COM1"), CountingPort::commands);
    return f;
}

void print(const char *what, const Figures &f, int rounds)
{
    std::printf("%-9s %.3f s each, wire %.3f s (%.3f of it), plain client %.3f s: "
                "program / plain %.3f (target: at most 1.02), processor %.1f %%\n",
                what, f.seconds / rounds, f.wire / rounds, f.seconds / f.wire, f.plain / rounds,
                f.seconds / f.plain, 100.0 * f.cpu / f.seconds);
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 3;

    QStringList told;
    RunUnattended(told);
    // The download's confirmation is answered with OK.
    SetModalHook([](QDialog &dialog) {
        if (auto *port = qobject_cast<frmCommPort *>(&dialog))
            port->cmdOK->click();
        else if (auto *confirm = qobject_cast<frmDialog *>(&dialog))
            confirm->OKButton->click();
        else
            dialog.reject();
    });
    SetSerialPortFactory([] { return std::make_unique<CountingPort>(); });

    Simulator sim;
    if (!sim.start(QStringLiteral("VQ7_UT5"), true)) {
        std::fprintf(stderr, "cannot start the simulator (%s)\n", qPrintable(SimulatorPath()));
        return 1;
    }
    frmMain &main = Forms::get<frmMain>();
    main.mnuConnConn->trigger();
    if (!G.LinkUp) {
        std::fprintf(stderr, "cannot connect: %s\n", qPrintable(told.join(" / ")));
        return 1;
    }
    // Every command below opens the port again after the plain client had it.
    const Figures upload = measure(main, main.mnuConfigUpload, rounds);
    const Figures download = measure(main, main.mnuConfigDownload, rounds);
    std::printf("UT5 over a paced 9600-baud line, %d rounds each\n", rounds);
    print("upload", upload, rounds);
    print("download", download, rounds);
    Forms::unloadAll();
    if (!told.isEmpty()) {
        std::printf("the program said: %s\n", qPrintable(told.join(QStringLiteral(" / "))));
        return 1;
    }
    return 0;
}
