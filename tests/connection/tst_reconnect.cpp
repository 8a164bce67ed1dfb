// The cable pulled and put back: the status strip says the module is lost, offers Reconnect once
// the same device is back, and Reconnect (or Connect) connects again on it without the port
// dialog; monitoring does not start again by itself. Tried in-process, and against the simulator
// program whose line comes back on a new device after a drop.

#include "app/Forms.h"
#include "app/frmCommPort.h"
#include "app/frmMain.h"
#include "connection/ReconnectStrip.h"
#include "link/CommLog.h"
#include "link/LinkRecovery.h"
#include "link/PortNames.h"
#include "model/Globals.h"
#include "sim/SimModule.h"
#include "sim/SimSerialPort.h"
#include "tests/support/SimFixture.h"
#include "tests/support/TestSupport.h"

#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <fcntl.h>
#include <unistd.h>

namespace {

// Monitoring from Start until the loop ends by itself (here: the port going away).
bool monitorUntilItEnds(frmMain &main)
{
    QTimer guard;
    guard.setSingleShot(true);
    QObject::connect(&guard, &QTimer::timeout, [] { G.MonitorOn = false; });
    guard.start(20000);
    main.mnuMonitorStart->trigger();
    return guard.isActive();
}

void connectOn(frmMain &main, int port)
{
    ModalAnswerer answers;
    answers.expect<frmCommPort>([port](frmCommPort &dialog) {
        dialog.Option1(port)->setChecked(true);
        dialog.cmdOK->click();
    });
    MsgRecorder boxes;
    main.mnuConnConn->trigger();
}

// tarvik-sim started for one test; ended with SIGTERM when the test is done.
struct SimProgram
{
    ~SimProgram()
    {
        process.terminate();
        if (!process.waitForFinished(5000))
            process.kill();
        process.waitForFinished();
    }
    bool start(const QStringList &arguments)
    {
        process.start(QStringLiteral(TARVIK_SIM_PROGRAM), arguments);
        if (!process.waitForStarted(5000))
            return false;
        while (!process.canReadLine()) {
            if (!process.waitForReadyRead(5000))
                return false;
        }
        return !process.readLine().trimmed().isEmpty();
    }
    QProcess process;
};

} // namespace

class TestReconnect : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        ResetProgramState();
        qunsetenv("TARVIK_COM1");
    }
    void cleanup() { qunsetenv("TARVIK_COM1"); }

    void lostThenBackInProcess();
    void connectAsksWhenTheDeviceIsNotBack();
    void replugAgainstTheSimulator_data();
    void replugAgainstTheSimulator();
};

// The module is lost while monitoring; its device is there again: Reconnect connects on COM2, the
// port it was on, without asking, and the strip goes away. Monitoring waits for Start.
void TestReconnect::lostThenBackInProcess()
{
    auto module = InstallSimModule(QStringLiteral("VQ7_UT5"));
    module->setDeterministic(true);
    frmMain &main = Forms::get<frmMain>();
    ReconnectStrip &strip = *main.reconnectStrip;
    QVERIFY(strip.isHidden());
    connectOn(main, 2);
    QVERIFY(G.LinkUp);

    QTimer::singleShot(300, module.get(), [module] { module->dropConnection(); });
    MsgRecorder boxes;
    QVERIFY(monitorUntilItEnds(main));
    QCoreApplication::processEvents();
    QCOMPARE(boxes.count(), 1);
    QVERIFY(!G.LinkUp);
    QVERIFY(!strip.isHidden());
    QCOMPARE(strip.lblLinkLost->text(), QStringLiteral("Module lost — reconnect when it is back"));
    QCOMPARE(LinkRecovery::Instance().lostPort().value_or(0), 2);

    // The in-process module is back at once; the strip sees it at its next look.
    strip.Refresh();
    QVERIFY(!strip.cmdReconnect->isHidden());
    QCOMPARE(strip.cmdReconnect->text(), QStringLiteral("Reconnect COM2"));

    module->clearTranscript();
    boxes.clear();
    ModalAnswerer answers; // none expected: no port dialog
    strip.cmdReconnect->click();
    QVERIFY2(answers.shown().isEmpty(), qPrintable(answers.shown().join(" / ")));
    QVERIFY2(boxes.boxes().isEmpty(), qPrintable(boxes.prompts().join(" / ")));
    QVERIFY(G.LinkUp);
    QCOMPARE(main.MSComm1().commPort(), 2);
    QCOMPARE(CommandsOf(*module).first(), QStringLiteral("G01"));
    QCOMPARE(main.lblData(1)->text(), QStringLiteral("VQ7_UT5"));
    QVERIFY(main.mnuConnDisConn->isEnabled());
    QVERIFY(main.mnuMonitorStart->isEnabled());
    QVERIFY(!G.MonitorOn);
    QVERIFY(strip.isHidden());
    QVERIFY(!LinkRecovery::Instance().lostPort());
}

// While the lost device is not back, Connect asks for the port as always; a link on another port
// ends the wait for the lost one.
void TestReconnect::connectAsksWhenTheDeviceIsNotBack()
{
    auto module = InstallSimModule(QStringLiteral("VQ7_UT5"));
    module->setDeterministic(true);
    frmMain &main = Forms::get<frmMain>();
    connectOn(main, 1);
    QVERIFY(G.LinkUp);
    {
        MsgRecorder boxes;
        module->dropConnection();
        QTRY_VERIFY(!G.LinkUp);
        QCOMPARE(boxes.count(), 1);
    }
    module->setCablePort(2); // the module is on the other port now; COM1 is not back
    main.reconnectStrip->Refresh();
    QVERIFY(!main.reconnectStrip->isHidden());
    QVERIFY(main.reconnectStrip->cmdReconnect->isHidden());

    ModalAnswerer answers;
    answers.expect<frmCommPort>([](frmCommPort &dialog) {
        dialog.Option1(2)->setChecked(true);
        dialog.cmdOK->click();
    });
    MsgRecorder boxes;
    main.mnuConnConn->trigger();
    QCOMPARE(answers.shown(), QStringList{"frmCommPort"});
    QVERIFY(G.LinkUp);
    QVERIFY(main.reconnectStrip->isHidden());
    QVERIFY(!LinkRecovery::Instance().lostPort());
}

void TestReconnect::replugAgainstTheSimulator_data()
{
    QTest::addColumn<bool>("byIdentity");
    QTest::newRow("COM1 named by TARVIK_COM1") << false;
    QTest::newRow("COM1 a remembered adapter, found by its identity") << true;
}

// tarvik-sim drops the line while monitoring runs and comes back a moment later on a new device:
// one message, the strip, then Reconnect without the port dialog, and the module reads again.
void TestReconnect::replugAgainstTheSimulator()
{
    QFETCH(bool, byIdentity);
    QTemporaryDir dir;
    const QString link = dir.filePath(QStringLiteral("com1"));
    SimProgram sim;
    // The connect takes fewer exchanges than this; the drop comes during monitoring.
    QVERIFY(sim.start({"--model", "VQ7_UT5", "--link", link, "--fault", "drop:after=200,times=1"}));
    const QString firstDevice = QFileInfo(link).canonicalFilePath();
    QVERIFY(!firstDevice.isEmpty());
    // Held open here (never read) so that the simulator cannot come back under the same name.
    const int holder = ::open(QFile::encodeName(firstDevice).constData(),
                              O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    QVERIFY(holder >= 0);
    const auto release = qScopeGuard([holder] { ::close(holder); });

    if (byIdentity) {
        // The adapter as the system would list it: wherever the simulator's device is now.
        SetPortLister([link] {
            const QString device = QFileInfo(link).canonicalFilePath();
            if (device.isEmpty())
                return QList<PortEntry>{};
            return QList<PortEntry>{{device, "FT232R USB UART", "FTDI", "SIM1", 0x0403, 0x6001}};
        });
        RememberAdapter(1, {firstDevice, "FT232R USB UART", "FTDI", "SIM1", 0x0403, 0x6001});
        QCOMPARE(PortDeviceName(1), firstDevice);
    } else {
        qputenv("TARVIK_COM1", QFile::encodeName(link));
    }

    frmMain &main = Forms::get<frmMain>();
    connectOn(main, 1);
    QVERIFY(G.LinkUp);
    QVERIFY(CommLog::Instance().counters().exchanges < 200);

    MsgRecorder boxes;
    QVERIFY(monitorUntilItEnds(main));
    QCoreApplication::processEvents();
    QCOMPARE(boxes.count(), 1);
    QVERIFY2(boxes.boxes()[0].prompt.startsWith(
                 QStringLiteral("The connection to the module was lost: COM1 (%1)")
                     .arg(byIdentity ? firstDevice : link)),
             qPrintable(boxes.boxes()[0].prompt));
    ReconnectStrip &strip = *main.reconnectStrip;
    QVERIFY(!strip.isHidden());
    QVERIFY(strip.cmdReconnect->isHidden()); // the line is still down

    QTRY_VERIFY_WITH_TIMEOUT(!strip.cmdReconnect->isHidden(), 10000);
    boxes.clear();
    ModalAnswerer answers;
    strip.cmdReconnect->click();
    QVERIFY2(answers.shown().isEmpty(), qPrintable(answers.shown().join(" / ")));
    QVERIFY2(boxes.boxes().isEmpty(), qPrintable(boxes.prompts().join(" / ")));
    QVERIFY(G.LinkUp);
    QCOMPARE(main.lblData(1)->text(), QStringLiteral("VQ7_UT5"));
    QVERIFY(!G.MonitorOn);
    QVERIFY(strip.isHidden());
    const QString secondDevice = QFileInfo(link).canonicalFilePath();
    QVERIFY2(secondDevice != firstDevice, qPrintable(secondDevice));
    QCOMPARE(main.MSComm1().deviceName(), byIdentity ? secondDevice : link);

    // The log tells the story: lost once, opened again.
    const CommLog &log = CommLog::Instance();
    int lost = 0, openedAfter = 0;
    for (qint64 seq = log.firstSeq(); seq < log.endSeq(); ++seq) {
        if (log.kindOf(seq) == CommLog::Kind::Lost)
            ++lost;
        else if (lost > 0 && log.kindOf(seq) == CommLog::Kind::Opened)
            ++openedAfter;
    }
    QCOMPARE(lost, 1);
    QCOMPARE(openedAfter, 1);
}

QTEST_MAIN(TestReconnect)
#include "tst_reconnect.moc"
