// The hardware port path: QSerialPort on a pseudo-terminal, reached through TARVIK_COM1.

#include "app/frmCommPort.h"
#include "link/PortNames.h"
#include "link/QtSerialPort.h"
#include "link/TxtBus.h"
#include "tests/support/LinkFixture.h"
#include "tests/support/PtyPeer.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QPushButton>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>

#include <cerrno>
#include <cstring>
#include <sys/stat.h>

namespace {
QByteArray moduleAnswer(const QByteArray &command)
{
    if (command == "G01\r")
        return "Denter item\r";
    if (command.startsWith('I'))
        return "D" + command.mid(1); // any payload will do for an item select
    if (command == "D\r")
        return "DVQ7_UT5\r";
    if (command == "D03\r")
        return "D23.5|\r"; // the peer writes this in one go; '|' is data
    return {};
}

struct CleanState
{
    CleanState() { ResetProgramState(); }
};

class RealLink : CleanState
{
public:
    explicit RealLink(int timeoutMs)
    {
        qputenv("TARVIK_COM1", peer.devicePath().toLocal8Bit());
        host = std::make_unique<CommHost>(); // the default factory: the hardware port
        host->Timer1().setInterval(timeoutMs);
        G.CommForm = host.get();
        answerer.expect<frmCommPort>([](frmCommPort &d) { d.cmdOK->click(); });
    }
    ~RealLink()
    {
        G.CommForm = nullptr;
        qunsetenv("TARVIK_COM1");
    }
    PtyPeer peer{moduleAnswer};
    ModalAnswerer answerer;
    std::unique_ptr<CommHost> host;
};
} // namespace

class TestQtSerialPort : public QObject
{
    Q_OBJECT
private slots:
    void portNames_data();
    void portNames();
    void openChecksTheDeviceAndTheLine_data();
    void openChecksTheDeviceAndTheLine();
    void exchangesOverAPseudoTerminal();
    void silentPeerTimesOut();
    void peerGoneEndsTheWait();
};

void TestQtSerialPort::portNames_data()
{
    QTest::addColumn<int>("number");
    QTest::addColumn<QByteArray>("override");
    QTest::addColumn<QString>("device");
    QTest::newRow("COM1") << 1 << QByteArray() << "/dev/ttyS0";
    QTest::newRow("COM2") << 2 << QByteArray() << "/dev/ttyS1";
    QTest::newRow("COM1 overridden") << 1 << QByteArray("/dev/ttyUSB0") << "/dev/ttyUSB0";
    QTest::newRow("COM2 overridden") << 2 << QByteArray("/tmp/sim/com2") << "/tmp/sim/com2";
    QTest::newRow("none chosen") << 0 << QByteArray() << "";
}

void TestQtSerialPort::portNames()
{
    QFETCH(int, number);
    QFETCH(QByteArray, override);
    QFETCH(QString, device);
    const QByteArray variable = "TARVIK_COM" + QByteArray::number(number);
    if (override.isEmpty())
        qunsetenv(variable.constData());
    else
        qputenv(variable.constData(), override);
    QCOMPARE(PortDeviceName(number), device);
    qunsetenv(variable.constData());
}

void TestQtSerialPort::openChecksTheDeviceAndTheLine_data()
{
    QTest::addColumn<int>("number");
    QTest::addColumn<QString>("target"); // what TARVIK_COMn names: a kind, or a fixed path
    QTest::addColumn<QString>("settings");
    QTest::addColumn<QString>("failure"); // after "COMn (device)"; empty: the port opens

    const QString notASerialPort = QStringLiteral(": not a serial port");
    const auto osText = [](int error) { return QString::fromLocal8Bit(std::strerror(error)); };
    QTest::newRow("pseudo-terminal") << 1 << "pty"
                                     << "9600,n,8,1"
                                     << "";
    QTest::newRow("pseudo-terminal as COM2") << 2 << "pty"
                                             << "9600,n,8,1"
                                             << "";
    QTest::newRow("regular file") << 1 << "file"
                                  << "9600,n,8,1" << notASerialPort;
    QTest::newRow("regular file as COM2") << 2 << "file"
                                          << "9600,n,8,1" << notASerialPort;
    QTest::newRow("folder") << 1 << "folder"
                            << "9600,n,8,1" << notASerialPort;
    QTest::newRow("pipe") << 1 << "pipe"
                          << "9600,n,8,1" << notASerialPort;
    QTest::newRow("character device, no terminal") << 1 << "/dev/null"
                                                   << "9600,n,8,1" << notASerialPort;
    QTest::newRow("missing path") << 1 << "missing"
                                  << "9600,n,8,1"
                                  << " cannot be opened: " + osText(ENOENT);
    // A pseudo-terminal cannot make parity or other character sizes: a line it refuses.
    QTest::newRow("pseudo-terminal refuses parity")
        << 1 << "pty"
        << "9600,e,8,1"
        << ": the line settings 9600,e,8,1 were refused: " + osText(EINVAL);
    QTest::newRow("pseudo-terminal refuses 7 data bits")
        << 1 << "pty"
        << "9600,n,7,1"
        << ": the line settings 9600,n,7,1 were refused: " + osText(EINVAL);
}

void TestQtSerialPort::openChecksTheDeviceAndTheLine()
{
    QFETCH(int, number);
    QFETCH(QString, target);
    QFETCH(QString, settings);
    QFETCH(QString, failure);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    PtyPeer peer{moduleAnswer};
    QString device = target;
    if (target == QLatin1String("pty")) {
        QVERIFY(peer.isValid());
        device = peer.devicePath();
    } else if (target == QLatin1String("file")) {
        device = dir.filePath("port");
        QFile file(device);
        QVERIFY(file.open(QIODevice::WriteOnly));
    } else if (target == QLatin1String("folder")) {
        device = dir.filePath("port");
        QVERIFY(QDir().mkdir(device));
    } else if (target == QLatin1String("pipe")) {
        device = dir.filePath("port");
        QCOMPARE(::mkfifo(QFile::encodeName(device).constData(), 0600), 0);
    } else if (target == QLatin1String("missing")) {
        device = dir.filePath("port");
    }
    const QByteArray variable = "TARVIK_COM" + QByteArray::number(number);
    qputenv(variable.constData(), QFile::encodeName(device));
    const auto restore = qScopeGuard([&] { qunsetenv(variable.constData()); });

    QtSerialPort port;
    port.setSettings(settings);
    port.setCommPort(number);
    const bool opened = port.open();
    if (failure.isEmpty()) {
        QVERIFY2(opened, qPrintable(port.errorString()));
        QVERIFY(port.isOpen());
        QVERIFY(port.errorString().isEmpty());
        return;
    }
    QVERIFY(!opened);
    QVERIFY(!port.isOpen());
    QCOMPARE(port.errorString(), QStringLiteral("COM%1 (%2)").arg(number).arg(device) + failure);
}

void TestQtSerialPort::exchangesOverAPseudoTerminal()
{
    RealLink link(2000);
    QVERIFY(link.peer.isValid());
    MsgRecorder boxes;
    CommOpen();
    QVERIFY2(G.LinkUp, qPrintable(boxes.prompts().join(" / ")));
    QString reply;
    QVERIFY(DataRead(90, 0, reply));
    QCOMPARE(reply, QStringLiteral("VQ7_UT5"));
    QVERIFY(DataRead(3, 3, reply));
    QCOMPARE(reply, QStringLiteral("23.5|"));
    QCOMPARE(link.peer.received(), QByteArray("G01\rI90\rD\rI03\rD03\r"));
    QCOMPARE(boxes.count(), 0);
}

void TestQtSerialPort::silentPeerTimesOut()
{
    RealLink link(150);
    MsgRecorder boxes;
    CommOpen();
    QVERIFY(G.LinkUp);
    QString reply;
    QElapsedTimer clock;
    clock.start();
    QVERIFY(!DataRead(99, 1, reply)); // the peer never answers D01
    QCOMPARE(boxes.prompts(), QStringList{"Timeout"});
    QVERIFY(clock.elapsed() >= 140);
}

void TestQtSerialPort::peerGoneEndsTheWait()
{
    RealLink link(2000);
    MsgRecorder boxes;
    CommOpen();
    QVERIFY(G.LinkUp);
    QTimer::singleShot(30, &link.peer, [&] { link.peer.hangUp(); });
    QElapsedTimer clock;
    clock.start();
    QString reply;
    QVERIFY(!DataRead(99, 1, reply));
    QVERIFY2(clock.elapsed() < 1500, "the wait ends when the device goes, before the time-out");
    QVERIFY(!G.CommForm->MSComm1().isOpen());
    QCOMPARE(boxes.count(), 1);
    QCOMPARE(boxes.boxes()[0].title, QStringLiteral("Send/Receive"));
    QVERIFY2(boxes.boxes()[0].prompt.contains(QLatin1String("no longer available")),
             qPrintable(boxes.boxes()[0].prompt));
    // Every later exchange fails at once with the port's own description.
    boxes.clear();
    QVERIFY(!DataRead(90, 0, reply));
    QCOMPARE(boxes.count(), 1);
}

QTEST_MAIN(TestQtSerialPort)
#include "tst_qtserialport.moc"
