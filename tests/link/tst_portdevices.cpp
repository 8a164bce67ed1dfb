// Which device stands for COM1 and COM2: the environment, the adapter the user chose (remembered
// between runs, found again by its identity after a replug), the standard device; and the port
// dialog's Device… chooser that makes the choice. The ports present come from a fake list.

#include "app/Forms.h"
#include "app/frmCommPort.h"
#include "app/frmPortDevice.h"
#include "link/PortNames.h"
#include "model/Globals.h"
#include "tests/support/TestSupport.h"

#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QScopeGuard>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>

namespace {

PortEntry ftdi(const QString &device, const QString &serial)
{
    return {device, QStringLiteral("FT232R USB UART"), QStringLiteral("FTDI"), serial, 0x0403,
            0x6001};
}

PortEntry ch340(const QString &device)
{
    return {device, QStringLiteral("USB Serial"), QStringLiteral("QinHeng"), QString(), 0x1a86,
            0x7523};
}

PortEntry onBoard(const QString &device)
{
    return {device, QString(), QString(), QString(), 0, 0};
}

// The ports present, changeable by the test.
struct FakePorts
{
    FakePorts()
    {
        SetPortLister([this] { return ports; });
    }
    ~FakePorts() { SetPortLister({}); }
    QList<PortEntry> ports;
};

void setVariable(int port, const QString &value)
{
    const QByteArray name = PortVariable(port).toLatin1();
    if (value.isEmpty())
        qunsetenv(name.constData());
    else
        qputenv(name.constData(), value.toLocal8Bit());
}

} // namespace

Q_DECLARE_METATYPE(PortEntry)

class TestPortDevices : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        ResetProgramState();
        setVariable(1, {});
        setVariable(2, {});
    }
    void cleanup()
    {
        setVariable(1, {});
        setVariable(2, {});
    }

    void resolve_data();
    void resolve();
    void chooserAssignsAndRemembers();
    void chooserFollowsTheTargetAndTheEnvironment();
    void standardDeviceAndCancel();
    void noPortPresent();
};

void TestPortDevices::resolve_data()
{
    QTest::addColumn<QString>("environment");
    QTest::addColumn<QList<PortEntry>>("remembered"); // none or one, assigned to COM1
    QTest::addColumn<QList<PortEntry>>("present");
    QTest::addColumn<QString>("device");
    QTest::addColumn<int>("source");
    QTest::addColumn<bool>("presentNow");

    const int environment = int(PortDevice::Source::Environment);
    const int remembered = int(PortDevice::Source::Remembered);
    const int standard = int(PortDevice::Source::Standard);
    const QString usb0 = QStringLiteral("/dev/ttyUSB0");
    const QString usb1 = QStringLiteral("/dev/ttyUSB1");
    const QString usb3 = QStringLiteral("/dev/ttyUSB3");

    QTest::newRow("nothing chosen: the standard device")
        << "" << QList<PortEntry>{} << QList<PortEntry>{ftdi(usb0, "A1")} << "/dev/ttyS0"
        << standard << true;
    QTest::newRow("the environment wins over the remembered adapter")
        << "/tmp/sim/com1" << QList<PortEntry>{ftdi(usb0, "A1")}
        << QList<PortEntry>{ftdi(usb0, "A1")} << "/tmp/sim/com1" << environment << false;
    QTest::newRow("remembered adapter where it was")
        << "" << QList<PortEntry>{ftdi(usb0, "A1")}
        << QList<PortEntry>{ch340(usb1), ftdi(usb0, "A1")} << usb0 << remembered << true;
    QTest::newRow("renumbered after a replug, another adapter on the old name")
        << "" << QList<PortEntry>{ftdi(usb0, "A1")}
        << QList<PortEntry>{ch340(usb0), ftdi(usb1, "A1")} << usb1 << remembered << true;
    QTest::newRow("the serial number tells two alike adapters apart")
        << "" << QList<PortEntry>{ftdi(usb0, "A2")}
        << QList<PortEntry>{ftdi(usb0, "A1"), ftdi(usb1, "A2")} << usb1 << remembered << true;
    QTest::newRow("alike adapters without serial number: the one on the old name")
        << "" << QList<PortEntry>{ch340(usb1)} << QList<PortEntry>{ch340(usb0), ch340(usb1)} << usb1
        << remembered << true;
    QTest::newRow("alike adapter without serial number, renumbered")
        << "" << QList<PortEntry>{ch340(usb3)} << QList<PortEntry>{ch340(usb0)} << usb0
        << remembered << true;
    QTest::newRow("remembered adapter not plugged in: its old name, not present")
        << "" << QList<PortEntry>{ftdi(usb0, "A1")} << QList<PortEntry>{ftdi(usb0, "A9")} << usb0
        << remembered << false;
    QTest::newRow("a port without identity is remembered by its path")
        << "" << QList<PortEntry>{onBoard("/nonexistent/ttyS4")} << QList<PortEntry>{}
        << "/nonexistent/ttyS4" << remembered << false;
}

void TestPortDevices::resolve()
{
    QFETCH(QString, environment);
    QFETCH(QList<PortEntry>, remembered);
    QFETCH(QList<PortEntry>, present);
    QFETCH(QString, device);
    QFETCH(int, source);
    QFETCH(bool, presentNow);

    FakePorts ports;
    ports.ports = present;
    setVariable(1, environment);
    if (!remembered.isEmpty())
        RememberAdapter(1, remembered.first());

    const PortDevice port = ResolvePort(1);
    QCOMPARE(port.device, device);
    QCOMPARE(int(port.source), source);
    QCOMPARE(PortDeviceName(1), device);
    QCOMPARE(PortDevicePresent(1), presentNow);
    // COM2 is not touched by a choice for COM1.
    QCOMPARE(PortDeviceName(2), QStringLiteral("/dev/ttyS1"));
}

// Device… in the port dialog lists the ports, assigns the one picked to the port chosen in the
// chooser, and the port dialog shows it beside that port and selects it. The choice is in the
// settings file, and a later run finds the adapter under its new name.
void TestPortDevices::chooserAssignsAndRemembers()
{
    FakePorts ports;
    ports.ports = {onBoard("/dev/ttyS0"), ftdi("/dev/ttyUSB0", "A1"), ch340("/dev/ttyUSB1")};

    ModalAnswerer answers;
    QStringList before, listed, after;
    bool com2Chosen = false;
    answers.expect<frmCommPort>([&](frmCommPort &dialog) {
        before << dialog.lblDevice(1)->text() << dialog.lblDevice(2)->text();
        dialog.cmdDevice->click();
        after << dialog.lblDevice(1)->text() << dialog.lblDevice(2)->text();
        com2Chosen = dialog.Option1(2)->isChecked();
        dialog.cmdOK->click();
    });
    answers.expect<frmPortDevice>([&](frmPortDevice &chooser) {
        for (int i = 0; i < chooser.lstPorts->topLevelItemCount(); ++i) {
            const QTreeWidgetItem *row = chooser.lstPorts->topLevelItem(i);
            QStringList cells;
            for (int c = 0; c < row->columnCount(); ++c)
                cells << row->text(c);
            listed << cells.join(QLatin1Char('|'));
        }
        chooser.optTarget(2)->setChecked(true);
        chooser.lstPorts->setCurrentItem(chooser.lstPorts->topLevelItem(1));
        chooser.cmdOK->click();
    });
    QVERIFY(frmCommPort::CommPort());
    QVERIFY2(answers.problems().isEmpty(), qPrintable(answers.problems().join(" / ")));

    QCOMPARE(listed,
             (QStringList{"/dev/ttyS0||||", "/dev/ttyUSB0|FT232R USB UART|FTDI|A1|0403:6001",
                          "/dev/ttyUSB1|USB Serial|QinHeng||1a86:7523"}));
    QCOMPARE(before, (QStringList{"/dev/ttyS0", "/dev/ttyS1"}));
    QCOMPARE(after,
             (QStringList{"/dev/ttyS0", "/dev/ttyUSB0  FT232R USB UART, FTDI, serial number A1"}));
    QVERIFY(com2Chosen);
    QCOMPARE(G.PortNumber.value_or(0), 2);

    // What is kept, as another run reads it from the file.
    QSettings kept(TestPortSettingsFile(), QSettings::IniFormat);
    QCOMPARE(kept.value("Ports/COM2/device").toString(), QStringLiteral("/dev/ttyUSB0"));
    QCOMPARE(kept.value("Ports/COM2/vendor").toUInt(), 0x0403u);
    QCOMPARE(kept.value("Ports/COM2/product").toUInt(), 0x6001u);
    QCOMPARE(kept.value("Ports/COM2/serial").toString(), QStringLiteral("A1"));
    QVERIFY(!kept.contains("Ports/COM1/device"));

    // Replugged: the adapter is ttyUSB2 now, and another one has its old name.
    ports.ports = {ch340("/dev/ttyUSB0"), ftdi("/dev/ttyUSB2", "A1")};
    QCOMPARE(PortDeviceName(2), QStringLiteral("/dev/ttyUSB2"));
    frmCommPort &again = Forms::get<frmCommPort>();
    QCOMPARE(again.lblDevice(2)->text(),
             QStringLiteral("/dev/ttyUSB2  FT232R USB UART, FTDI, serial number A1"));
    QVERIFY(again.Option1(1)->isChecked()); // the dialog still starts with COM1
    Forms::unload<frmCommPort>();

    // Unplugged: the port dialog says so.
    ports.ports = {ch340("/dev/ttyUSB0")};
    QCOMPARE(
        Forms::get<frmCommPort>().lblDevice(2)->text(),
        QStringLiteral("/dev/ttyUSB0  FT232R USB UART, FTDI, serial number A1 (not plugged in)"));
}

// The chooser starts on the port selected in the port dialog with its device selected, follows a
// change of the target, and says when an environment variable decides for the port.
void TestPortDevices::chooserFollowsTheTargetAndTheEnvironment()
{
    FakePorts ports;
    ports.ports = {onBoard("/dev/ttyS1"), ftdi("/dev/ttyUSB0", "A1")};
    RememberAdapter(2, ftdi("/dev/ttyUSB0", "A1"));
    setVariable(1, QStringLiteral("/tmp/sim/com1"));

    QCOMPARE(Forms::get<frmCommPort>().lblDevice(1)->text(),
             QStringLiteral("/tmp/sim/com1 (set by TARVIK_COM1)"));
    Forms::unload<frmCommPort>();

    auto &chooser = Forms::get<frmPortDevice>();
    chooser.optTarget(2)->setChecked(true);
    chooser.cmdRefresh_Click();
    QCOMPARE(chooser.lstPorts->currentItem()->text(0), QStringLiteral("/dev/ttyUSB0"));
    QVERIFY(chooser.lblEnvironment->isHidden());
    QVERIFY(chooser.cmdStandard->isEnabled());

    chooser.optTarget(1)->setChecked(true);
    QVERIFY(chooser.lstPorts->selectedItems().isEmpty()); // /tmp/sim/com1 is no listed port
    QVERIFY(!chooser.cmdOK->isEnabled());
    QVERIFY(!chooser.lblEnvironment->isHidden());
    QCOMPARE(chooser.lblEnvironment->text(),
             QStringLiteral("The environment variable TARVIK_COM1 is set: COM1 uses /tmp/sim/com1 "
                            "whatever is chosen here."));
    QVERIFY(!chooser.cmdStandard->isEnabled());

    // A choice for COM1 is kept, but the environment still decides while it is set.
    chooser.lstPorts->setCurrentItem(chooser.lstPorts->topLevelItem(0));
    chooser.cmdOK->click();
    QCOMPARE(RememberedAdapterOf(1).value_or(RememberedAdapter{}).device,
             QStringLiteral("/dev/ttyS1"));
    QCOMPARE(PortDeviceName(1), QStringLiteral("/tmp/sim/com1"));
    setVariable(1, {});
    QCOMPARE(PortDeviceName(1), QStringLiteral("/dev/ttyS1"));
}

void TestPortDevices::standardDeviceAndCancel()
{
    FakePorts ports;
    ports.ports = {ftdi("/dev/ttyUSB0", "A1"), ftdi("/dev/ttyUSB1", "B2")};
    RememberAdapter(1, ftdi("/dev/ttyUSB0", "A1"));

    // Cancel changes nothing, also when another row was picked first.
    {
        ModalAnswerer answers;
        answers.expect<frmPortDevice>([](frmPortDevice &chooser) {
            chooser.lstPorts->setCurrentItem(chooser.lstPorts->topLevelItem(1));
            chooser.cmdCancel->click();
        });
        QCOMPARE(frmPortDevice::ChooseDevice(1), 0);
        QVERIFY(answers.problems().isEmpty());
    }
    QCOMPARE(PortDeviceName(1), QStringLiteral("/dev/ttyUSB0"));

    // The standard device forgets the adapter.
    {
        ModalAnswerer answers;
        answers.expect<frmPortDevice>([](frmPortDevice &chooser) { chooser.cmdStandard->click(); });
        QCOMPARE(frmPortDevice::ChooseDevice(1), 1);
        QVERIFY(answers.problems().isEmpty());
    }
    QVERIFY(!RememberedAdapterOf(1));
    QCOMPARE(PortDeviceName(1), QStringLiteral("/dev/ttyS0"));
}

void TestPortDevices::noPortPresent()
{
    FakePorts ports;
    auto &chooser = Forms::get<frmPortDevice>();
    chooser.cmdRefresh_Click();
    QCOMPARE(chooser.lstPorts->topLevelItemCount(), 0);
    QVERIFY(!chooser.lblEmpty->isHidden());
    QVERIFY(!chooser.cmdOK->isEnabled());

    // Plugged in while the chooser is open: Refresh lists it.
    ports.ports = {ftdi("/dev/ttyUSB0", "A1")};
    chooser.cmdRefresh_Click();
    QCOMPARE(chooser.lstPorts->topLevelItemCount(), 1);
    QVERIFY(chooser.lblEmpty->isHidden());
}

QTEST_MAIN(TestPortDevices)
#include "tst_portdevices.moc"
