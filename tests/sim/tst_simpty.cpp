// The simulator program on a pseudo-terminal, reached by the program's real serial port through
// TARVIK_COM1: its command line, its exchanges, faults on the line, reconnects and clean ending.

#include "app/frmCommPort.h"
#include "link/Communication.h"
#include "link/TxtBus.h"
#include "model/Catalogue.h"
#include "model/Globals.h"
#include "tests/support/TestSupport.h"

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <memory>

namespace {

// tarvik-sim started for one test; ended with SIGTERM when the test is done.
class SimProgram
{
public:
    ~SimProgram() { stop(); }

    bool start(const QStringList &arguments)
    {
        process.start(QStringLiteral(TARVIK_SIM_PROGRAM), arguments);
        if (!process.waitForStarted(5000))
            return false;
        while (!process.canReadLine()) {
            if (!process.waitForReadyRead(5000))
                return false;
        }
        device = QString::fromLocal8Bit(process.readLine()).trimmed();
        return !device.isEmpty();
    }
    // SIGTERM, then the exit code (-1 if it did not end in time or crashed).
    int stop()
    {
        if (process.state() == QProcess::NotRunning)
            return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
        process.terminate();
        if (!process.waitForFinished(5000)) {
            process.kill();
            process.waitForFinished();
            return -1;
        }
        return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    }

    QProcess process;
    QString device;
};

// The program's link on the hardware port, pointed at a device path.
class RealLink
{
public:
    explicit RealLink(const QString &device, int timeoutMs = 2000)
    {
        ResetProgramState();
        qputenv("TARVIK_COM1", device.toLocal8Bit());
        host = std::make_unique<CommHost>();
        host->Timer1().setInterval(timeoutMs);
        G.CommForm = host.get();
    }
    ~RealLink()
    {
        CommClose();
        G.CommForm = nullptr;
        qunsetenv("TARVIK_COM1");
    }
    bool open()
    {
        ModalAnswerer answerer;
        answerer.expect<frmCommPort>([](frmCommPort &d) {
            d.Option1(1)->setChecked(true);
            d.cmdOK->click();
        });
        CommOpen();
        return G.LinkUp;
    }
    std::unique_ptr<CommHost> host;
};

QString read(int16_t item, int16_t channel = 0)
{
    QString reply;
    return DataRead(item, channel, reply) ? reply : QStringLiteral("(failed)");
}

} // namespace

class TestSimPty : public QObject
{
    Q_OBJECT
private slots:
    void commandLine_data();
    void commandLine();
    void servesEachModel_data();
    void servesEachModel();
    void exchangesAndTranscript();
    void silenceTimesOut();
    void chunkedReplies();
    void pacedAtTheBaudRate();
    void reconnects();
    void dropComesBackOnTheLink();
    void endsCleanlyOnSignals_data();
    void endsCleanlyOnSignals();
};

void TestSimPty::commandLine_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("says"); // part of the output
    QTest::newRow("help") << QStringList{"--help"} << 0 << "--fault";
    QTest::newRow("unknown model") << QStringList{"--model", "VQ7_UT6"} << 2 << "VQ7_UT6";
    QTest::newRow("model in lower case") << QStringList{"--model", "vq7_ut5"} << 2
                                         << "unknown model";
    QTest::newRow("unknown option") << QStringList{"--colour"} << 2 << "colour";
    QTest::newRow("missing value") << QStringList{"--model"} << 2 << "model";
    QTest::newRow("bad fault") << QStringList{"--fault", "silence:item=x"} << 2 << "item=x";
    QTest::newRow("bad option code") << QStringList{"--option-code", "lots"} << 2 << "lots";
    QTest::newRow("stray argument") << QStringList{"VQ7_K6"} << 2 << "VQ7_K6";
}

void TestSimPty::commandLine()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, exitCode);
    QFETCH(QString, says);
    QProcess process;
    process.start(QStringLiteral(TARVIK_SIM_PROGRAM), arguments);
    QVERIFY(process.waitForFinished(5000));
    QCOMPARE(process.exitStatus(), QProcess::NormalExit);
    QCOMPARE(process.exitCode(), exitCode);
    const QString output = QString::fromLocal8Bit(process.readAllStandardOutput() +
                                                  process.readAllStandardError());
    QVERIFY2(output.contains(says), qPrintable(output));
}

void TestSimPty::servesEachModel_data()
{
    QTest::addColumn<QString>("model");
    for (const CatalogueEntry &e : Catalogue) {
        const QString name = QString::fromLatin1(e.name.data(), qsizetype(e.name.size()));
        QTest::newRow(qPrintable(name)) << name;
    }
}

void TestSimPty::servesEachModel()
{
    QFETCH(QString, model);
    SimProgram sim;
    QVERIFY(sim.start({QStringLiteral("--model"), model}));
    RealLink link(sim.device);
    MsgRecorder boxes;
    QVERIFY(link.open());
    QCOMPARE(read(90), model);
    QCOMPARE(read(92), QStringLiteral("V3.00"));
    QCOMPARE(boxes.count(), 0);
}

void TestSimPty::exchangesAndTranscript()
{
    QTemporaryDir dir;
    const QString transcript = dir.filePath(QStringLiteral("transcript.txt"));
    SimProgram sim;
    QVERIFY(sim.start({"--model", "VQ7S_UT8", "--option-code", "16", "--firmware", "V2.10",
                       "--transcript", transcript}));
    RealLink link(sim.device);
    MsgRecorder boxes;
    QVERIFY(link.open());
    QCOMPARE(read(92), QStringLiteral("V2.10"));
    G.ForceChannelField = true;
    QCOMPARE(read(2), QStringLiteral("16"));
    G.ForceChannelField = false;
    QString reply;
    QVERIFY(ParameterWrite(5, QStringLiteral("0417"), reply));
    QCOMPARE(reply, QStringLiteral("17"));
    QCOMPARE(read(5, 4), QStringLiteral("17"));
    const double temperature = read(3, 4).toDouble();
    QVERIFY2(temperature > 15.0 && temperature < 35.0, qPrintable(QString::number(temperature)));
    QVERIFY(!ParameterWrite(5, QStringLiteral("0401"), reply)); // no such range on this kind
    QCOMPARE(boxes.count(), 1);

    QFile file(transcript);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QStringList lines = QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'),
                                                                       Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), 13);
    QVERIFY2(lines.first().contains(QRegularExpression(
                 QStringLiteral("^\\d\\d:\\d\\d:\\d\\d\\.\\d{3}  > G01  < Denter item<CR>$"))),
             qPrintable(lines.first()));
    QVERIFY2(lines.last().endsWith(QLatin1String("> D0401  < Dinvalid data<CR>")),
             qPrintable(lines.last()));
}

void TestSimPty::silenceTimesOut()
{
    SimProgram sim;
    QVERIFY(sim.start({"--fault", "silence:item=3,times=1"}));
    RealLink link(sim.device, 300);
    MsgRecorder boxes;
    QVERIFY(link.open());
    QElapsedTimer clock;
    clock.start();
    QCOMPARE(read(3, 1), QStringLiteral("(failed)"));
    QVERIFY(clock.elapsed() >= 290);
    QCOMPARE(boxes.prompts(), QStringList{QStringLiteral("Timeout")});
    QVERIFY(read(3, 1) != QLatin1String("(failed)"));
}

void TestSimPty::chunkedReplies()
{
    SimProgram sim;
    QVERIFY(sim.start({"--model", "VQ7_L7", "--fault", "chunks:n=4,gap=20"}));
    RealLink link(sim.device);
    MsgRecorder boxes;
    QVERIFY(link.open());
    QCOMPARE(read(90), QStringLiteral("VQ7_L7"));
    QString reply;
    QVERIFY(ParameterWrite(9, QStringLiteral("05123456789"), reply));
    QCOMPARE(reply, QStringLiteral("123456789"));
    QCOMPARE(read(9, 5), QStringLiteral("123456789"));
    QCOMPARE(boxes.count(), 0);
}

void TestSimPty::pacedAtTheBaudRate()
{
    SimProgram sim;
    QVERIFY(sim.start({"--pace", "--reply-delay", "0"}));
    RealLink link(sim.device);
    MsgRecorder boxes;
    QVERIFY(link.open());
    QElapsedTimer clock;
    clock.start();
    for (int i = 0; i < 5; ++i)
        QCOMPARE(read(90), QStringLiteral("VQ7_UT5"));
    // I90 CR, D90 CR, D CR, DVQ7_UT5 CR: 19 bytes of 10 bits at 9600 baud, each exchange.
    QVERIFY2(clock.elapsed() >= 5 * 19 * 10 * 1000 / 9600, qPrintable(QString::number(clock.elapsed())));
    QVERIFY2(clock.elapsed() < 1000, qPrintable(QString::number(clock.elapsed())));
}

// The program may close the device and open it again, any number of times.
void TestSimPty::reconnects()
{
    SimProgram sim;
    QVERIFY(sim.start({"--model", "VQ7_K6"}));
    RealLink link(sim.device);
    MsgRecorder boxes;
    for (int round = 0; round < 3; ++round) {
        QVERIFY(link.open());
        QCOMPARE(read(90), QStringLiteral("VQ7_K6"));
        CommClose();
        QTest::qWait(60); // longer than the simulator's watch on a device nobody holds
    }
    QCOMPARE(boxes.count(), 0);
}

// A dropped line ends the program's exchange at once; the module is back on a new device behind
// the same symlink.
void TestSimPty::dropComesBackOnTheLink()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("com1"));
    SimProgram sim;
    QVERIFY(sim.start({"--link", path, "--fault", "drop:cmd=I05,times=1"}));
    QCOMPARE(QFileInfo(path).symLinkTarget(), sim.device);
    RealLink link(path);
    MsgRecorder boxes;
    QVERIFY(link.open());
    QCOMPARE(read(5, 1), QStringLiteral("(failed)"));
    QVERIFY(!G.CommForm->MSComm1().isOpen());
    // The new device may well get the number of the old one.
    QByteArray said;
    QTRY_VERIFY((said += sim.process.readAllStandardError()).contains("back on"));
    QVERIFY(QFileInfo(path).isSymLink());
    CommClose();
    boxes.clear();
    QVERIFY(link.open());
    QCOMPARE(read(90), QStringLiteral("VQ7_UT5"));
    QCOMPARE(boxes.count(), 0);
}

void TestSimPty::endsCleanlyOnSignals_data()
{
    QTest::addColumn<int>("signal");
    QTest::newRow("SIGTERM") << int(SIGTERM);
    QTest::newRow("SIGINT") << int(SIGINT);
}

void TestSimPty::endsCleanlyOnSignals()
{
    QFETCH(int, signal);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("com1"));
    SimProgram sim;
    QVERIFY(sim.start({"--link", path}));
    QVERIFY(QFileInfo(path).isSymLink());
    {
        RealLink link(path);
        QVERIFY(link.open()); // a program holding the device does not keep the simulator alive
        ::kill(pid_t(sim.process.processId()), signal);
        QVERIFY(sim.process.waitForFinished(5000));
    }
    QCOMPARE(sim.process.exitStatus(), QProcess::NormalExit);
    QCOMPARE(sim.process.exitCode(), 0);
    QVERIFY(!QFileInfo(path).isSymLink());
    QVERIFY(!QFileInfo::exists(path));
}

QTEST_MAIN(TestSimPty)
#include "tst_simpty.moc"
