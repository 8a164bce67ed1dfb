// What monitoring costs beyond the line itself.
//
// Starts `tarvik-sim` for a UT5 module on a pseudo-terminal, with every byte paced at 9600 baud
// both ways, connects to it through the program's real serial port and windows, and runs
// monitoring sweeps. Prints:
//   - sweep time / wire time: the wire time is what the bytes of the sweep cost on a 9600-baud
//     line at 10 bits per byte (target: at most 1.05);
//   - the program's processor time as a share of one core while monitoring (target: under 5 %);
//   - the same sweeps with the communication log recording, paused, and recording with its window
//     open, interleaved so that the machine's drift hits all alike (target: the log changes the
//     sweep time by under 1 % and the processor share by under 1 point);
//   - resident memory after 1000 sweeps against after 10 (target: no growth beyond noise), and at
//     1000, 50 000 (the log's ring full) and 100 000 logged exchanges (target: flat). These sweeps
//     run against an unpaced simulator so that they take seconds, not an hour.
//
//   build/bench/tarvik-bench-monitor [paced-sweeps] [memory-sweeps] [logged-exchanges]
// Run it from the build folder's parent or give TARVIK_SIM the simulator's path.

#include "app/Forms.h"
#include "app/frmCommLog.h"
#include "app/frmMain.h"
#include "bench/BenchSupport.h"
#include "bench/Unattended.h"
#include "connection/Readings.h"
#include "link/CommLog.h"
#include "model/Globals.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>

#include <cstdio>
#include <memory>

namespace {

// Paced sweeps in one log state: wall and processor seconds.
struct Timing
{
    double seconds = 0;
    double cpu = 0;
    int sweeps = 0;
};

enum class LogState { Paused, Recording, WindowOpen };

int timeSweeps(frmMain &main, LogState state, int sweeps, Timing &timing)
{
    CommLog::Instance().setRecording(state != LogState::Paused);
    if (state == LogState::WindowOpen)
        frmCommLog::Open(main);
    int failures = 0;
    QElapsedTimer wall;
    wall.start();
    const double cpuBefore = CpuSeconds();
    for (int i = 0; i < sweeps; ++i) {
        QCoreApplication::processEvents(); // as the monitoring loop does between sweeps
        failures += MonitorSweep(KindUt5) ? 0 : 1;
    }
    timing.cpu += CpuSeconds() - cpuBefore;
    timing.seconds += double(wall.nsecsElapsed()) / 1e9;
    timing.sweeps += sweeps;
    if (auto *window = frmCommLog::IfOpen())
        window->hide();
    return failures;
}

bool connectModule(frmMain &main)
{
    G.LinkUp = false;
    if (main.MSComm1().isOpen())
        main.MSComm1().close();
    main.mnuConnConn->trigger();
    G.MonitorHold = false;
    G.MonitorOn = true;
    return G.LinkUp && G.curKind() == KindUt5;
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int pacedSweeps = argc > 1 ? std::atoi(argv[1]) : 5;
    const int memorySweeps = argc > 2 ? std::atoi(argv[2]) : 1000;
    const int loggedExchanges = argc > 3 ? std::atoi(argv[3]) : 100000;

    QStringList told;
    RunUnattended(told);
    SetSerialPortFactory([] { return std::make_unique<CountingPort>(); });

    int failures = 0;
    {
        Simulator sim;
        if (!sim.start(QStringLiteral("VQ7_UT5"), true)) {
            std::fprintf(stderr, "cannot start the simulator (%s)\n", qPrintable(SimulatorPath()));
            return 1;
        }
        frmMain &main = Forms::get<frmMain>();
        if (!connectModule(main)) {
            std::fprintf(stderr, "cannot connect: %s\n", qPrintable(told.join(" / ")));
            return 1;
        }
        CountingPort::resetCounts();
        CountingPort::recording = true;
        QElapsedTimer wall;
        wall.start();
        const double cpuBefore = CpuSeconds();
        for (int i = 0; i < pacedSweeps; ++i)
            failures += MonitorSweep(KindUt5) ? 0 : 1;
        const double cpu = CpuSeconds() - cpuBefore;
        const double seconds = double(wall.nsecsElapsed()) / 1e9;
        const double wireSeconds = double(CountingPort::bytes) * 10.0 / 9600.0;
        std::printf("paced UT5 sweeps   %d, %lld bytes on the line\n", pacedSweeps,
                    CountingPort::bytes);
        std::printf("sweep time         %.3f s per sweep\n", seconds / pacedSweeps);
        std::printf("wire time          %.3f s per sweep\n", wireSeconds / pacedSweeps);
        std::printf("sweep / wire       %.3f (target: at most 1.05)\n", seconds / wireSeconds);
        std::printf("processor share    %.2f %% of one core (target: under 5 %%)\n",
                    100.0 * cpu / seconds);
        const double n = double(std::max<qint64>(1, CountingPort::exchanges));
        std::printf("per exchange       %.3f ms in the program between a reply and the next "
                    "command; %.3f ms on the line beyond the bytes' own time\n",
                    double(CountingPort::programNs) / n / 1e6,
                    (double(CountingPort::exchangeNs) -
                     double(CountingPort::exchangeBytes) * 1e10 / 9600.0) / n / 1e6);
        CountingPort::recording = false;
        const double exchangesPerSweep = double(CountingPort::exchanges) / pacedSweeps;

        // The log's cost: rounds of a few sweeps in each state, one after the other.
        Timing timings[3];
        const int rounds = std::max(1, pacedSweeps);
        for (int round = 0; round < rounds; ++round) {
            for (int k = 0; k < 3; ++k) {
                const auto state = LogState((round + k) % 3); // each state takes each place
                failures += timeSweeps(main, state, 2, timings[int(state)]);
            }
        }
        const char *names[3] = {"log paused", "log recording", "log window open"};
        const Timing &off = timings[0];
        for (int i = 0; i < 3; ++i) {
            const Timing &t = timings[i];
            std::printf("%-18s %.4f s per sweep, processor %.2f %%", names[i], t.seconds / t.sweeps,
                        100.0 * t.cpu / t.seconds);
            if (i > 0)
                std::printf("  (sweep time %+.2f %%, processor %+.2f points against paused)",
                            100.0 * (t.seconds / t.sweeps - off.seconds / off.sweeps) /
                                (off.seconds / off.sweeps),
                            100.0 * (t.cpu / t.seconds - off.cpu / off.seconds));
            std::printf("\n");
        }
        CommLog::Instance().setRecording(true);

        // What one logged exchange costs the link, measured alone: a usual command and reply.
        {
            LinkRecord record;
            record.command = "I05\r";
            record.reply = "D20\r";
            record.roundTripUs = 8000;
            const int n = 1000000;
            QElapsedTimer clock;
            clock.start();
            for (int i = 0; i < n; ++i) {
                record.atMs = i;
                CommLog::Instance().linkRecord(record);
            }
            const double ns = double(clock.nsecsElapsed()) / n;
            std::printf("log cost           %.0f ns per exchange, %.4f %% of a paced sweep\n", ns,
                        100.0 * ns * exchangesPerSweep / 1e9 / (seconds / pacedSweeps));
            CommLog::Instance().clear();
        }
        main.MSComm1().close();
        const double plain = PlainClientSeconds(qgetenv("TARVIK_COM1"), CountingPort::commands);
        if (plain > 0) {
            std::printf("plain client       %.3f s per sweep for the same commands (%.3f of the "
                        "wire time): what the simulated line costs here\n",
                        plain / pacedSweeps, plain / wireSeconds);
            std::printf("sweep / plain      %.3f: what the program adds to that\n",
                        seconds / plain);
        }
        Forms::unloadAll();
    }
    {
        Simulator sim;
        if (!sim.start(QStringLiteral("VQ7_UT5"), false))
            return 1;
        frmMain &main = Forms::get<frmMain>();
        if (!connectModule(main))
            return 1;
        long after10 = 0;
        for (int i = 1; i <= memorySweeps; ++i) {
            QCoreApplication::processEvents();
            failures += MonitorSweep(KindUt5) ? 0 : 1;
            if (i == 10)
                after10 = ResidentKiB();
        }
        const long afterAll = ResidentKiB();
        std::printf("resident memory    %ld KiB after 10 sweeps, %ld KiB after %d (%+ld KiB)\n",
                    after10, afterAll, memorySweeps, afterAll - after10);

        // The log over a long run: its ring is allocated when it starts recording and never grows.
        CommLog &log = CommLog::Instance();
        log.clear();
        const qint64 marks[] = {1000, CommLog::Capacity, loggedExchanges};
        long at[3] = {};
        int next = 0;
        while (next < 3 && failures == 0) {
            QCoreApplication::processEvents();
            failures += MonitorSweep(KindUt5) ? 0 : 1;
            while (next < 3 && log.counters().exchanges >= marks[next])
                at[next++] = ResidentKiB();
        }
        std::printf("logged exchanges   %ld KiB after 1000, %ld KiB after %lld (ring full), "
                    "%ld KiB after %lld (%+ld KiB from 1000); %lld lines kept\n",
                    at[0], at[1], static_cast<long long>(marks[1]), at[2],
                    static_cast<long long>(log.counters().exchanges), at[2] - at[0],
                    static_cast<long long>(log.endSeq() - log.firstSeq()));
        Forms::unloadAll();
    }
    if (failures || !told.isEmpty())
        std::printf("failed sweeps      %d; the program said: %s\n", failures,
                    qPrintable(told.join(" / ")));
    return failures == 0 ? 0 : 1;
}
