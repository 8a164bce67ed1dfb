// The hardware port path: QSerialPort on a pseudo-terminal, reached through TARVIK_COM1.

#include "app/Resources.h"
#include "app/frmCommPort.h"
#include "link/PortFailure.h"
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
#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

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

Q_DECLARE_METATYPE(PortFailure)
Q_DECLARE_METATYPE(PortDevice)

class TestQtSerialPort : public QObject
{
    Q_OBJECT
private slots:
    void init() { ResetProgramState(); }
    void portNames_data();
    void portNames();
    void openChecksTheDeviceAndTheLine_data();
    void openChecksTheDeviceAndTheLine();
    void busyDeviceNamesItsHolder();
    void permissionDeniedNamesTheGroup();
    void adviceFromTheSeam_data();
    void adviceFromTheSeam();
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
    // What follows the port's own text after an empty line; "$D" stands for the device, "$N" for
    // the port number. Empty: nothing follows.
    QTest::addColumn<QString>("advice");

    const QString notASerialPort = QStringLiteral(": not a serial port");
    const QString noSerialAdvice =
        QStringLiteral("$D is not a serial port. Choose the device for COM$N with the Device… "
                       "button of the port dialog.\nThe environment variable TARVIK_COM$N sets this "
                       "device for COM$N.");
    const auto osText = [](int error) { return QString::fromLocal8Bit(std::strerror(error)); };
    QTest::newRow("pseudo-terminal") << 1 << "pty"
                                     << "9600,n,8,1"
                                     << "" << "";
    QTest::newRow("pseudo-terminal as COM2") << 2 << "pty"
                                             << "9600,n,8,1"
                                             << "" << "";
    QTest::newRow("regular file") << 1 << "file"
                                  << "9600,n,8,1" << notASerialPort << noSerialAdvice;
    QTest::newRow("regular file as COM2") << 2 << "file"
                                          << "9600,n,8,1" << notASerialPort << noSerialAdvice;
    QTest::newRow("folder") << 1 << "folder"
                            << "9600,n,8,1" << notASerialPort << noSerialAdvice;
    QTest::newRow("pipe") << 1 << "pipe"
                          << "9600,n,8,1" << notASerialPort << noSerialAdvice;
    QTest::newRow("character device, no terminal") << 1 << "/dev/null"
                                                   << "9600,n,8,1" << notASerialPort
                                                   << noSerialAdvice;
    QTest::newRow("missing path")
        << 1 << "missing"
        << "9600,n,8,1"
        << " cannot be opened: " + osText(ENOENT)
        << "There is no device $D for COM1 now. Is the adapter plugged in?\nThe environment "
           "variable TARVIK_COM1 sets this device for COM1.\n\nSerial ports present:\n"
           "    /dev/ttyUSB0  FT232R USB UART, FTDI, serial number A1\n    /dev/ttyS0";
    // A pseudo-terminal cannot make parity or other character sizes: a line it refuses.
    QTest::newRow("pseudo-terminal refuses parity")
        << 1 << "pty"
        << "9600,e,8,1"
        << ": the line settings 9600,e,8,1 were refused: " + osText(EINVAL) << "";
    QTest::newRow("pseudo-terminal refuses 7 data bits")
        << 1 << "pty"
        << "9600,n,7,1"
        << ": the line settings 9600,n,7,1 were refused: " + osText(EINVAL) << "";
}

void TestQtSerialPort::openChecksTheDeviceAndTheLine()
{
    QFETCH(int, number);
    QFETCH(QString, target);
    QFETCH(QString, settings);
    QFETCH(QString, failure);
    QFETCH(QString, advice);

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
    SetPortLister([] {
        return QList<PortEntry>{
            {"/dev/ttyUSB0", "FT232R USB UART", "FTDI", "A1", 0x0403, 0x6001},
            {"/dev/ttyS0", "", "", "", 0, 0}};
    });

    QtSerialPort port;
    port.setSettings(settings);
    port.setCommPort(number);
    const bool opened = port.open();
    if (failure.isEmpty()) {
        QVERIFY2(opened, qPrintable(port.errorString()));
        QVERIFY(port.isOpen());
        QVERIFY(port.errorString().isEmpty());
        QCOMPARE(port.deviceName(), device);
        return;
    }
    QVERIFY(!opened);
    QVERIFY(!port.isOpen());
    QString expected = QStringLiteral("COM%1 (%2)").arg(number).arg(device) + failure;
    if (!advice.isEmpty())
        expected += QStringLiteral("\n\n") +
                    QString(advice).replace("$D", device).replace("$N", QString::number(number));
    QCOMPARE(port.errorString(), expected);
}

// Another program holds the device (here a second port of the test itself): the message names it.
void TestQtSerialPort::busyDeviceNamesItsHolder()
{
    PtyPeer peer{moduleAnswer};
    QVERIFY(peer.isValid());
    qputenv("TARVIK_COM1", QFile::encodeName(peer.devicePath()));
    const auto restore = qScopeGuard([] { qunsetenv("TARVIK_COM1"); });
    QtSerialPort holder;
    holder.setSettings(LineSettingsText);
    holder.setCommPort(1);
    QVERIFY2(holder.open(), qPrintable(holder.errorString()));

    QtSerialPort port;
    port.setSettings(LineSettingsText);
    port.setCommPort(1);
    QVERIFY(!port.open());
    QFile comm(QStringLiteral("/proc/self/comm"));
    QVERIFY(comm.open(QIODevice::ReadOnly));
    const QString me = QStringLiteral("%1 (process %2)")
                           .arg(QString::fromLocal8Bit(comm.readAll()).trimmed())
                           .arg(QCoreApplication::applicationPid());
    const QString device = peer.devicePath();
    const QString text = port.errorString();
    QVERIFY2(text.startsWith(QStringLiteral("COM1 (%1) cannot be opened: ").arg(device)),
             qPrintable(text));
    QVERIFY2(text.endsWith(QStringLiteral("\n\n%1 (COM1) is in use by another program: %2. Close "
                                          "it, then connect again.")
                               .arg(device, me)),
             qPrintable(text));
}

// A device the user may not open: the message names its group and the command to join it. Made
// for real: as root the test takes an ordinary user's identity for the open; otherwise it closes
// its own terminal to itself, leaving it to a group it is not in.
void TestQtSerialPort::permissionDeniedNamesTheGroup()
{
    PtyPeer peer{moduleAnswer};
    QVERIFY(peer.isValid());
    const QString device = peer.devicePath();
    const QByteArray path = QFile::encodeName(device);
    qputenv("TARVIK_COM1", path);
    const auto restore = qScopeGuard([] { qunsetenv("TARVIK_COM1"); });

    QString group, user;
    const bool root = ::geteuid() == 0;
    if (root) {
        const struct group *dialout = ::getgrnam("dialout");
        const passwd *nobody = ::getpwnam("nobody");
        if (!dialout || !nobody)
            QSKIP("needs the group dialout and the user nobody");
        QCOMPARE(::chown(path.constData(), 0, dialout->gr_gid), 0);
        QCOMPARE(::chmod(path.constData(), 0660), 0);
        group = QString::fromLocal8Bit(dialout->gr_name);
        user = QString::fromLocal8Bit(nobody->pw_name);
    } else {
        struct stat status;
        QCOMPARE(::stat(path.constData(), &status), 0);
        const struct group *owner = ::getgrgid(status.st_gid);
        const passwd *me = ::getpwuid(::geteuid());
        QVERIFY(owner && me);
        for (char **member = owner->gr_mem; *member; ++member) {
            if (QByteArray(*member) == me->pw_name)
                QSKIP("this user is a member of the terminal's group");
        }
        QCOMPARE(::chmod(path.constData(), 0060), 0);
        group = QString::fromLocal8Bit(owner->gr_name);
        user = QString::fromLocal8Bit(me->pw_name);
    }

    QtSerialPort port;
    port.setSettings(LineSettingsText);
    port.setCommPort(1);
    bool opened = true;
    {
        uid_t nobodyUid = 0;
        gid_t nobodyGid = 0;
        if (root) {
            const passwd *nobody = ::getpwnam("nobody");
            nobodyUid = nobody->pw_uid;
            nobodyGid = nobody->pw_gid;
            QCOMPARE(::setegid(nobodyGid), 0);
            QCOMPARE(::seteuid(nobodyUid), 0);
        }
        const auto back = qScopeGuard([root] {
            if (root) {
                [[maybe_unused]] const int u = ::seteuid(0);
                [[maybe_unused]] const int g = ::setegid(0);
            }
        });
        opened = port.open();
    }
    QVERIFY(!opened);
    const QString text = port.errorString();
    QVERIFY2(text.startsWith(QStringLiteral("COM1 (%1) cannot be opened: ").arg(device)),
             qPrintable(text));
    QVERIFY2(text.endsWith(QStringLiteral("\n\nThe user %1 may not use %2 (COM1): the device belongs "
                                          "to the group %3, and %1 is not a member of it. Join "
                                          "the group with this command, then log out and log in "
                                          "again:\n\n    sudo usermod -aG %3 %1")
                               .arg(user, device, group)),
             qPrintable(text));
}

void TestQtSerialPort::adviceFromTheSeam_data()
{
    QTest::addColumn<bool>("japanese");
    QTest::addColumn<int>("portNumber");
    QTest::addColumn<PortDevice>("port");
    QTest::addColumn<PortFailure>("failure");
    QTest::addColumn<QString>("advice");

    PortDevice usb0;
    usb0.source = PortDevice::Source::Standard;
    usb0.device = QStringLiteral("/dev/ttyUSB0");
    PortFailure permission;
    permission.kind = PortFailure::Kind::Permission;
    permission.group = QStringLiteral("dialout");
    permission.owner = QStringLiteral("root");
    permission.user = QStringLiteral("anna");
    permission.groupMayUse = true;

    PortFailure joined = permission;
    joined.joinedNotActive = true;
    QTest::newRow("a member of the group, but not in this session")
        << false << 1 << usb0 << joined
        << "The user anna is a member of the group dialout, which may use /dev/ttyUSB0 (COM1), "
           "but this session began before joining it. Log out and log in again.";
    PortFailure ownerOnly = permission;
    ownerOnly.groupMayUse = false;
    QTest::newRow("only the owner may use it")
        << false << 1 << usb0 << ownerOnly
        << "Only its owner root may use /dev/ttyUSB0 (COM1), not the user anna. Ask the "
           "administrator of this computer for access to it.";
    QTest::newRow("permission, in Japanese")
        << true << 2 << usb0 << permission
        << "ユーザー anna は /dev/ttyUSB0 (COM2) を使用できません。このデバイスはグループ dialout "
           "に属していますが、anna はそのメンバーではありません。次のコマンドでグループに参加し、"
           "ログアウトしてから再度ログインしてください:\n\n    sudo usermod -aG dialout anna";

    PortFailure busy;
    busy.kind = PortFailure::Kind::Busy;
    QTest::newRow("busy, the holder not known")
        << false << 1 << usb0 << busy
        << "/dev/ttyUSB0 (COM1) is in use by another program (a terminal program, a modem "
           "manager, another copy of this program). Close it, then connect again.";
    busy.holders = QStringList{"minicom (process 812)", "ModemManager (process 77)"};
    QTest::newRow("busy, two holders")
        << false << 1 << usb0 << busy
        << "/dev/ttyUSB0 (COM1) is in use by another program: minicom (process 812), "
           "ModemManager (process 77). Close it, then connect again.";

    PortDevice away;
    away.source = PortDevice::Source::Remembered;
    away.device = QStringLiteral("/dev/ttyUSB0");
    away.adapter = RememberedAdapter{"/dev/ttyUSB0", 0x0403, 0x6001, "A1", "FT232R USB UART", "FTDI"};
    away.found = false;
    PortFailure missing;
    missing.kind = PortFailure::Kind::Missing;
    QTest::newRow("the remembered adapter is not plugged in, no port present")
        << false << 2 << away << missing
        << "The adapter chosen for COM2 is not plugged in: /dev/ttyUSB0  FT232R USB UART, FTDI, "
           "serial number A1\n\nNo serial port is present on this computer. Plug the adapter "
           "in, then connect again.";
    QTest::newRow("missing, in Japanese")
        << true << 2 << away << missing
        << "COM2 に選んだアダプターが接続されていません: /dev/ttyUSB0  FT232R USB UART, FTDI, "
           "シリアル番号 A1\n\nこのコンピューターにシリアルポートがありません。アダプターを接続"
           "してから、もう一度接続してください。";
    QTest::newRow("nothing to add") << false << 1 << usb0 << PortFailure{} << "";
}

void TestQtSerialPort::adviceFromTheSeam()
{
    QFETCH(bool, japanese);
    QFETCH(int, portNumber);
    QFETCH(PortDevice, port);
    QFETCH(PortFailure, failure);
    QFETCH(QString, advice);
    SetUiLanguage(japanese ? UiLanguage::Japanese : UiLanguage::English);
    QCOMPARE(PortFailureAdvice(portNumber, port, failure), advice);
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
