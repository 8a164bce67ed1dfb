// What monitoring costs beyond the line itself.
//
// Starts `tarvik-sim` for a UT5 module on a pseudo-terminal, with every byte paced at 9600 baud
// both ways, connects to it through the program's real serial port and windows, and runs
// monitoring sweeps. Prints:
//   - sweep time / wire time: the wire time is what the bytes of the sweep cost on a 9600-baud
//     line at 10 bits per byte (target: at most 1.05);
//   - the program's processor time as a share of one core while monitoring (target: under 5 %);
//   - resident memory after 1000 sweeps against after 10 (target: no growth beyond noise). These
//     sweeps run against an unpaced simulator so that they take seconds, not an hour.
//
//   build/bench/tarvik-bench-monitor [paced-sweeps] [memory-sweeps]
// Run it from the build folder's parent or give TARVIK_SIM the simulator's path.

#include "app/Forms.h"
#include "app/frmMain.h"
#include "bench/SimProcess.h"
#include "bench/Unattended.h"
#include "connection/Readings.h"
#include "link/QtSerialPort.h"
#include "model/Globals.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>

#include <cstdio>
#include <fcntl.h>
#include <memory>
#include <termios.h>
#include <unistd.h>

namespace {

// The real port, counting the bytes that pass.
class CountingPort : public SerialPort
{
public:
    bool open() override
    {
        m_port.setSettings(settings());
        m_port.setCommPort(commPort());
        return m_port.open();
    }
    void close() override { m_port.close(); }
    bool isOpen() const override { return m_port.isOpen(); }
    bool output(const QByteArray &text) override
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
    qint64 inBufferCount() const override { return m_port.inBufferCount(); }
    QByteArray input() override
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
    QString errorString() const override { return m_port.errorString(); }

    static void resetCounts()
    {
        bytes = programNs = exchangeNs = exchangeBytes = exchanges = lastReplyNs = 0;
        clock.start();
    }
    static inline qint64 bytes = 0;
    static inline qint64 programNs = 0;     // from a reply's CR to the next command
    static inline qint64 exchangeNs = 0;    // from a command to its reply's CR
    static inline qint64 exchangeBytes = 0; // bytes of those exchanges, both ways
    static inline qint64 exchanges = 0;
    static inline qint64 lastReplyNs = 0, sentNs = 0, sentBytes = 0, replyBytes = 0;
    static inline QElapsedTimer clock;
    static inline bool recording = false;
    static inline QList<QByteArray> commands;

private:
    QtSerialPort m_port;
};

long residentKiB()
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

// The same commands sent by the plainest client there is: blocking writes and reads on the
// device, no event loop. What it takes is what the simulated line itself costs on this machine.
double plainClientSeconds(const QByteArray &device, const QList<QByteArray> &commands)
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

    QStringList told;
    RunUnattended(told);
    SetSerialPortFactory([] { return std::make_unique<CountingPort>(); });

    int failures = 0;
    {
        Simulator sim;
        if (!sim.start(true)) {
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
        main.MSComm1().close();
        const double plain = plainClientSeconds(qgetenv("TARVIK_COM1"), CountingPort::commands);
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
        if (!sim.start(false))
            return 1;
        frmMain &main = Forms::get<frmMain>();
        if (!connectModule(main))
            return 1;
        long after10 = 0;
        for (int i = 1; i <= memorySweeps; ++i) {
            QCoreApplication::processEvents();
            failures += MonitorSweep(KindUt5) ? 0 : 1;
            if (i == 10)
                after10 = residentKiB();
        }
        const long afterAll = residentKiB();
        std::printf("resident memory    %ld KiB after 10 sweeps, %ld KiB after %d (%+ld KiB)\n",
                    after10, afterAll, memorySweeps, afterAll - after10);
        Forms::unloadAll();
    }
    if (failures || !told.isEmpty())
        std::printf("failed sweeps      %d; the program said: %s\n", failures,
                    qPrintable(told.join(" / ")));
    return failures == 0 ? 0 : 1;
}
