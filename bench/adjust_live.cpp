// What a calibration window costs while it is open.
//
// Starts `tarvik-sim` with every byte paced at 9600 baud, connects through the program's real
// serial port and windows, opens the zero adjustment of a UT5 channel (then the compensation of a
// K6 channel) and leaves it open for a while, pressing OK (or a request) once half way. Prints:
//   - the live refresh period against 500 ms plus the exchanges of one pass;
//   - the program's processor time as a share of one core while the window is open (target:
//     under 5 %);
//   - from the press to the write on the line, and from the write's reply to the next reading.
//
//   build/bench/tarvik-bench-adjust [seconds-per-window]
// Run it from the build folder's parent or give TARVIK_SIM the simulator's path.

#include "adjust/frmSetComp.h"
#include "adjust/frmSetZeroSpan.h"
#include "adjust/frmZeroSpan.h"
#include "app/Forms.h"
#include "app/Modal.h"
#include "app/MsgBox.h"
#include "app/frmCommPort.h"
#include "app/frmMain.h"
#include "bench/BenchSupport.h"
#include "link/QtSerialPort.h"
#include "model/Globals.h"

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTimer>

#include <cstdio>
#include <memory>

namespace {

QElapsedTimer wall;

// The real port, noting when each command leaves and each reply is complete.
class TimedPort : public SerialPort
{
public:
    struct Event
    {
        QByteArray command; // empty: a reply completed
        qint64 ns;
    };
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
        events.append({text.chopped(1), wall.nsecsElapsed()});
        return m_port.output(text);
    }
    qint64 inBufferCount() const override { return m_port.inBufferCount(); }
    QByteArray input() override
    {
        QByteArray in = m_port.input();
        if (in.endsWith('\r'))
            events.append({QByteArray(), wall.nsecsElapsed()});
        return in;
    }
    QString errorString() const override { return m_port.errorString(); }

    static inline QList<Event> events;

private:
    QtSerialPort m_port;
};

struct Figures
{
    double cpu = 0, seconds = 0;
    qint64 pressNs = -1;
    int firstEvent = 0, lastEvent = 0;
};

// Measures the open window from `settle` ms after it opened for `ms` ms, pressing `press` half way,
// then presses Exit.
void measure(AdjustWindow &window, int ms, std::function<void()> press, std::function<void()> exit,
             Figures &f)
{
    QPointer<AdjustWindow> guard(&window);
    const int settle = 1200;
    QTimer::singleShot(settle, &window, [&f] {
        f.cpu = CpuSeconds();
        f.seconds = double(wall.nsecsElapsed()) / 1e9;
        f.firstEvent = int(TimedPort::events.size());
    });
    QTimer::singleShot(settle + ms / 2, &window, [&f, press] {
        f.pressNs = wall.nsecsElapsed();
        press();
    });
    QTimer::singleShot(settle + ms, &window, [&f, exit] {
        f.cpu = CpuSeconds() - f.cpu;
        f.seconds = double(wall.nsecsElapsed()) / 1e9 - f.seconds;
        f.lastEvent = int(TimedPort::events.size());
        exit();
    });
}

// Prints the figures of one window; `passStart` is the first command of a pass of readings,
// `write` the item select of the press's write.
void report(const char *what, const Figures &f, const QByteArray &passStart,
            const QByteArray &write)
{
    const auto &ev = TimedPort::events;
    // Pass starts, and the last reply before each next pass start.
    QList<qint64> starts, lastReplies;
    qint64 pressToWrite = -1, writeToNext = -1;
    bool writing = false;
    qint64 lastReply = -1;
    for (int i = f.firstEvent; i < f.lastEvent; ++i) {
        if (ev[i].command.isEmpty()) {
            lastReply = ev[i].ns;
            continue;
        }
        if (ev[i].command == write && ev[i].ns > f.pressNs && pressToWrite < 0) {
            pressToWrite = ev[i].ns - f.pressNs;
            writing = true;
        } else if (ev[i].command == passStart) {
            if (writing)
                writeToNext = ev[i].ns - lastReply;
            writing = false;
            starts << ev[i].ns;
            lastReplies << lastReply;
        }
    }
    double periodMs = 0, passMs = 0, waitMs = 0;
    int periods = 0;
    for (int i = 1; i < starts.size(); ++i) {
        const double period = double(starts[i] - starts[i - 1]) / 1e6;
        if (period < 400)
            continue; // a press ended the wait
        periodMs += period;
        passMs += double(lastReplies[i] - starts[i - 1]) / 1e6;
        waitMs += double(starts[i] - lastReplies[i]) / 1e6;
        ++periods;
    }
    const double n = std::max(1, periods);
    std::printf("%s\n", what);
    std::printf("  refresh period     %.1f ms over %d passes: the readings %.1f ms, then a wait of "
                "%.1f ms (target: 500 ms plus the readings)\n",
                periodMs / n, periods, passMs / n, waitMs / n);
    std::printf("  processor share    %.2f %% of one core over %.1f s (target: under 5 %%)\n",
                100.0 * f.cpu / f.seconds, f.seconds);
    std::printf("  press to write     %.1f ms; write's reply to the next reading %.1f ms\n",
                double(pressToWrite) / 1e6, double(writeToNext) / 1e6);
}

bool connectModule(frmMain &main, QStringList &told)
{
    G.LinkUp = false;
    if (main.MSComm1().isOpen())
        main.MSComm1().close();
    main.mnuConnConn->trigger();
    if (!G.LinkUp)
        std::fprintf(stderr, "cannot connect: %s\n", qPrintable(told.join(" / ")));
    return G.LinkUp;
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int ms = 1000 * (argc > 1 ? std::max(2, std::atoi(argv[1])) : 10);
    wall.start();

    QStringList told;
    SetMsgBoxHook([&told](const MsgRecord &box) { told << box.prompt; });
    SetSerialPortFactory([] { return std::make_unique<TimedPort>(); });
    Figures zero, comp;
    SetModalHook([&](QDialog &dialog) {
        if (auto *port = qobject_cast<frmCommPort *>(&dialog)) {
            port->cmdOK->click();
        } else if (auto *channels = qobject_cast<frmZeroSpan *>(&dialog)) {
            channels->cboChannel->setCurrentIndex(2);
            channels->cmdZero->click();
            channels->cmdExit->click();
        } else if (auto *setting = qobject_cast<frmSetZeroSpan *>(&dialog)) {
            measure(
                *setting, ms,
                [setting] {
                    setting->txtReal->setText(QStringLiteral("25"));
                    setting->cmdOK->click();
                },
                [setting] { setting->cmdExit->click(); }, zero);
        } else if (auto *compensation = qobject_cast<frmSetComp *>(&dialog)) {
            measure(
                *compensation, ms, [compensation] { compensation->cmd0->click(); },
                [compensation] { compensation->cmdExit->click(); }, comp);
        } else {
            dialog.reject();
        }
    });

    {
        Simulator sim;
        if (!sim.start(QStringLiteral("VQ7_UT5"), true)) {
            std::fprintf(stderr, "cannot start the simulator (%s)\n", qPrintable(SimulatorPath()));
            return 1;
        }
        frmMain &main = Forms::get<frmMain>();
        if (!connectModule(main, told))
            return 1;
        main.mnuAdjZeroSpan->trigger();
        report("zero adjustment, UT5 channel 3", zero, "I03", "I18");
        Forms::unloadAll();
    }
    {
        Simulator sim;
        if (!sim.start(QStringLiteral("VQ7_K6"), true))
            return 1;
        frmMain &main = Forms::get<frmMain>();
        if (!connectModule(main, told))
            return 1;
        Forms::get<frmSetComp>().SetComp();
        Forms::unload<frmSetComp>();
        report("compensation, K6 channel 1", comp, "I03", "I21");
        Forms::unloadAll();
    }
    if (!told.isEmpty())
        std::printf("the program said: %s\n", qPrintable(told.join(" / ")));
    return told.isEmpty() ? 0 : 1;
}
