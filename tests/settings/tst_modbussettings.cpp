// The Modbus settings windows against a simulated module, opened from the Configuration menu as
// the user opens them: opening, download with the node address check, echo failures, upload,
// the restart with its pause, Exit keeping unsent selections, and positions a list does not have.

#include "app/Forms.h"
#include "app/frmCommPort.h"
#include "app/Resources.h"
#include "app/frmMain.h"
#include "link/ModuleCommand.h"
#include "model/Globals.h"
#include "settings/ModbusSettings.h"
#include "tests/settings/SettingsTestSupport.h"

#include <QComboBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <array>

namespace {

using Positions = std::array<int16_t, 5>;

// Opens the Modbus window of the connected kind and hands it to `act`, which must close it or
// leave it to the program to close.
void openModbus(ModalAnswerer &answers, std::function<void(ModbusWindow &)> act)
{
    answers.expect<ModbusWindow>([act](ModbusWindow &window) { act(window); });
    frmMain &main = Forms::get<frmMain>();
    // The main window offers no Modbus entry for a VQ4 module; the window guards itself as well.
    if (main.mnuConfigModBus->isEnabled())
        main.mnuConfigModBus->trigger();
    else
        main.mnuConfigModBus_Click();
}

Positions selections(const ModbusWindow &window)
{
    Positions p{};
    for (int i = 0; i < ModbusWindow::Lists; ++i)
        p[std::size_t(i)] = int16_t(window.cboData(i)->currentIndex());
    return p;
}

QList<bool> controlStates(const ModbusWindow &window)
{
    QList<bool> states;
    for (int i = 0; i < ModbusWindow::Lists; ++i)
        states << window.cboData(i)->isEnabled();
    for (const QPushButton *b : {window.cmdUpload, window.cmdDnload, window.cmdVQ7Res, window.cmdExit})
        states << b->isEnabled();
    if (auto *ut8 = qobject_cast<const frmModSetUt8 *>(&window))
        states << ut8->txtAddress->isEnabled();
    return states;
}

} // namespace

Q_DECLARE_METATYPE(Positions)

class TestModbusSettings : public QObject
{
    Q_OBJECT

private slots:
    void init() { ResetProgramState(); }
    void cleanup() { QVERIFY(!ModuleCommand::Running()); }

    void opening_data();
    void opening();
    void download_data();
    void download();
    void failedWriteStopsAndCloses_data();
    void failedWriteStopsAndCloses();
    void upload_data();
    void upload();
    void restart_data();
    void restart();
    void failedRestart_data();
    void failedRestart();
    void exitKeepsSelections_data();
    void exitKeepsSelections();
    void positionOutsideItsList();
    void addressEntryKeepsDigitsOnly();
    void commandAfterALostLinkOpensItAgain();
};

void TestModbusSettings::opening_data()
{
    QTest::addColumn<QString>("model");
    QTest::addColumn<int>("option");
    QTest::addColumn<QString>("window");
    QTest::addColumn<bool>("addressEditable");
    QTest::addColumn<QStringList>("bauds");
    QTest::addColumn<bool>("download");
    const QStringList three{"9600", "19200", "38400"};
    const QStringList four{"9600", "19200", "38400", "57600"};
    QTest::newRow("UT5") << "VQ7_UT5" << 0 << "frmModSet" << false << three << true;
    QTest::newRow("L7") << "VQ7_L7" << 0 << "frmModSet" << false << three << true;
    QTest::newRow("VQ2 model: no download") << "VQ2_UT5" << 0 << "frmModSet" << false << three
                                            << false;
    QTest::newRow("VQ4 model: no download") << "VQ4_UT5" << 0 << "frmModSet" << false << three
                                            << false;
    QTest::newRow("UT8 with the address option") << "VQ7S_UT8" << 48 << "frmModSetUt8" << true
                                                 << four << true;
    QTest::newRow("UT8 with only the address option") << "VQ7S_UT8" << 32 << "frmModSetUt8"
                                                      << true << four << true;
    QTest::newRow("UT8 without the address option") << "VQ7S_UT8" << 16 << "frmModSetUt8"
                                                    << false << four << true;
}

// Opening reads the node address and selects the stored settings; only the UT8 window offers
// 57600 baud and an address entry, and that only when the module takes an address.
void TestModbusSettings::opening()
{
    QFETCH(QString, model);
    QFETCH(int, option);
    QFETCH(QString, window);
    QFETCH(bool, addressEditable);
    QFETCH(QStringList, bauds);
    QFETCH(bool, download);
    auto module = ConnectSimModule(model, option);
    module->setModbus(Item::ModbusNode, 17);
    const bool ut8 = window == QLatin1String("frmModSetUt8");
    (ut8 ? G.ModbusSetUt8 : G.ModbusSet) = Positions{1, 0, 2, 1, 1};

    QString address, title;
    QStringList shownBauds;
    Positions shown{};
    bool addressEnabled = false, downloadEnabled = false;
    ModalAnswerer answers;
    MsgRecorder boxes;
    openModbus(answers, [&](ModbusWindow &w) {
        title = QString::fromLatin1(w.metaObject()->className());
        for (int i = 0; i < w.cboData(0)->count(); ++i)
            shownBauds << w.cboData(0)->itemText(i);
        shown = selections(w);
        if (auto *u = qobject_cast<frmModSetUt8 *>(&w)) {
            address = u->txtAddress->text();
            addressEnabled = u->txtAddress->isEnabled();
        } else {
            address = static_cast<frmModSet &>(w).lblAddress->text();
        }
        downloadEnabled = w.cmdDnload->isEnabled();
        w.cmdExit->click();
    });

    QVERIFY2(answers.problems().isEmpty(), qPrintable(answers.problems().join(" / ")));
    QCOMPARE(title, window);
    QCOMPARE(Wire(*module), QStringLiteral("G01 I80 D"));
    QCOMPARE(address, QStringLiteral("17"));
    QCOMPARE(addressEnabled, addressEditable);
    QCOMPARE(shownBauds, bauds);
    QCOMPARE(shown, (Positions{1, 0, 2, 1, 1}));
    QCOMPARE(downloadEnabled, download);
    QVERIFY(boxes.boxes().isEmpty());
    QVERIFY(!Forms::ifLoaded<frmModSet>() && !Forms::ifLoaded<frmModSetUt8>());
}

void TestModbusSettings::download_data()
{
    QTest::addColumn<QString>("model");
    QTest::addColumn<int>("option");
    QTest::addColumn<QString>("address"); // typed into the UT8 window's entry
    QTest::addColumn<QString>("wire");     // empty: nothing is written
    QTest::addColumn<QStringList>("told");
    const QString settings = "I81 D3 I83 D2 I84 D0 I86 D1";
    const QStringList refused{"Modbus Setting Data Check: NodeAddress set point must be 1 to 247."};
    QTest::newRow("UT5: the four settings in order")
        << "VQ7_UT5" << 0 << "" << "I81 D2 I83 D2 I84 D0 I86 D1" << QStringList{};
    QTest::newRow("UT8 without the address option: no address")
        << "VQ7S_UT8" << 16 << "" << settings << QStringList{};
    QTest::newRow("UT8 address 1") << "VQ7S_UT8" << 48 << "1" << "I80 D1 " + settings
                                   << QStringList{};
    QTest::newRow("UT8 address 247") << "VQ7S_UT8" << 48 << "247" << "I80 D247 " + settings
                                     << QStringList{};
    QTest::newRow("UT8 address with a leading zero is written as its number")
        << "VQ7S_UT8" << 32 << "012" << "I80 D12 " + settings << QStringList{};
    QTest::newRow("UT8 address 0 refused") << "VQ7S_UT8" << 48 << "0" << "" << refused;
    QTest::newRow("UT8 address 248 refused") << "VQ7S_UT8" << 48 << "248" << "" << refused;
    QTest::newRow("UT8 address empty refused") << "VQ7S_UT8" << 48 << "" << "" << refused;
}

// Download writes the address (when the module takes one) and then baud rate, parity, stop bits
// and floating type, each echoed as a number; a refused address writes nothing and asks nothing.
void TestModbusSettings::download()
{
    QFETCH(QString, model);
    QFETCH(int, option);
    QFETCH(QString, address);
    QFETCH(QString, wire);
    QFETCH(QStringList, told);
    auto module = ConnectSimModule(model, option);
    const bool ut8 = model == QLatin1String("VQ7S_UT8");
    const Positions chosen{int16_t(ut8 ? 3 : 2), 0, 2, 0, 1};

    QString asked;
    bool stillOpen = false;
    ModalAnswerer answers;
    MsgRecorder boxes;
    openModbus(answers, [&](ModbusWindow &w) {
        module->clearTranscript();
        if (auto *u = qobject_cast<frmModSetUt8 *>(&w))
            u->txtAddress->setText(address);
        for (int i = 0; i < ModbusWindow::Lists; ++i)
            w.cboData(i)->setCurrentIndex(chosen[std::size_t(i)]);
        if (!wire.isEmpty())
            AnswerConfirmation(answers, true, &asked);
        w.cmdDnload->click();
        stillOpen = w.isVisible();
        w.cmdExit->click();
    });

    QVERIFY2(answers.problems().isEmpty(), qPrintable(answers.problems().join(" / ")));
    QCOMPARE(Told(boxes), told);
    QCOMPARE(Wire(*module), wire);
    QVERIFY(stillOpen);
    if (wire.isEmpty()) {
        QCOMPARE(answers.shown().size(), 1); // no confirmation was asked
        return;
    }
    QCOMPARE(asked, QStringLiteral("Starting download for ModBus Setting."));
    QCOMPARE(module->modbus(Item::ModbusBaud), chosen[0]);
    QCOMPARE(module->modbus(Item::ModbusFloat), chosen[4]);
    if (wire.startsWith(QLatin1String("I80")))
        QCOMPARE(module->modbus(Item::ModbusNode), address.toInt());
}

void TestModbusSettings::failedWriteStopsAndCloses_data()
{
    QTest::addColumn<QString>("fault");
    QTest::addColumn<QString>("wire");
    QTest::addColumn<QStringList>("told");
    QTest::addColumn<Positions>("stored"); // ModbusSet afterwards (it was {2, 0, 1, 0, 0})
    const QString incomplete = "ModBus Settings: Download Incomplete";
    QTest::newRow("parity echoed with another value")
        << "wrong-echo:item=83" << "I81 D1 I83 D2" << QStringList{incomplete}
        << Positions{1, 0, 2, 0, 0};
    QTest::newRow("baud rate refused")
        << "refuse:item=81,reply=invalid" << "I81 D1"
        << QStringList{"Parameter Write: invalid data D1\r\r\nat item 81", incomplete}
        << Positions{1, 0, 1, 0, 0};
    QTest::newRow("floating type echoed as text")
        << "wrong-echo:item=86,text=one" << "I81 D1 I83 D2 I84 D1 I86 D1"
        << QStringList{incomplete} << Positions{1, 0, 2, 1, 1};
}

// The first write not echoed ends the download: later items are not written, the window closes,
// and the array keeps the positions stored so far.
void TestModbusSettings::failedWriteStopsAndCloses()
{
    QFETCH(QString, fault);
    QFETCH(QString, wire);
    QFETCH(QStringList, told);
    QFETCH(Positions, stored);
    auto module = ConnectSimModule(QStringLiteral("VQ7_UT5"));

    ModalAnswerer answers;
    MsgRecorder boxes;
    openModbus(answers, [&](ModbusWindow &w) {
        module->clearTranscript();
        QVERIFY(module->addFault(fault));
        for (int i = 0; i < ModbusWindow::Lists; ++i)
            w.cboData(i)->setCurrentIndex(std::array{1, 0, 2, 1, 1}[std::size_t(i)]);
        AnswerConfirmation(answers);
        w.cmdDnload->click(); // closes the window on failure
    });

    QVERIFY2(answers.problems().isEmpty(), qPrintable(answers.problems().join(" / ")));
    QCOMPARE(Wire(*module), wire);
    QCOMPARE(Told(boxes), told);
    QCOMPARE(boxes.boxes().last().icon, MsgIcon::Critical);
    QCOMPARE(G.ModbusSet, stored);
    QVERIFY(!Forms::ifLoaded<frmModSet>());
}

void TestModbusSettings::upload_data()
{
    QTest::addColumn<QString>("model");
    QTest::addColumn<int>("baud"); // what the module holds
    QTest::addColumn<QString>("fault");
    QTest::addColumn<QStringList>("told");
    QTest::addColumn<Positions>("stored"); // the settings array afterwards
    QTest::addColumn<bool>("open");
    const QStringList incomplete{"ModBus Setting: Upload Incomplete"};
    QTest::newRow("UT5") << "VQ7_UT5" << 1 << "" << QStringList{} << Positions{1, 0, 2, 1, 1}
                         << true;
    QTest::newRow("UT8 at 57600") << "VQ7S_UT8" << 3 << "" << QStringList{}
                                  << Positions{3, 0, 2, 1, 1} << true;
    QTest::newRow("57600 is no position of the UT5 list")
        << "VQ7_UT5" << 3 << "" << incomplete << Positions{2, 0, 1, 0, 0} << false;
    QTest::newRow("stop bits not answered")
        << "VQ7_UT5" << 1 << "silence:item=84" << QStringList{"Send/Receive: Timeout"} + incomplete
        << Positions{1, 0, 2, 0, 0} << false;
}

// Upload reads the four settings into the lists and the array; a value the list does not have,
// or a read that fails, ends it with "Upload Incomplete" and closes the window.
void TestModbusSettings::upload()
{
    QFETCH(QString, model);
    QFETCH(int, baud);
    QFETCH(QString, fault);
    QFETCH(QStringList, told);
    QFETCH(Positions, stored);
    QFETCH(bool, open);
    auto module = ConnectSimModule(model);
    Forms::get<frmMain>().Timer1().setInterval(300); // a silent module is given up sooner
    module->setModbus(Item::ModbusBaud, baud);
    module->setModbus(Item::ModbusParity, 2);
    module->setModbus(Item::ModbusStopBits, 1);
    module->setModbus(Item::ModbusFloat, 1);
    if (!fault.isEmpty())
        QVERIFY(module->addFault(fault));
    const bool ut8 = model == QLatin1String("VQ7S_UT8");
    (ut8 ? G.ModbusSetUt8 : G.ModbusSet) = Positions{2, 0, 1, 0, 0};

    Positions shown{};
    bool stillOpen = false;
    ModalAnswerer answers;
    MsgRecorder boxes;
    openModbus(answers, [&](ModbusWindow &w) {
        module->clearTranscript();
        w.cmdUpload->click();
        stillOpen = w.isVisible();
        shown = selections(w);
        if (stillOpen)
            w.cmdExit->click();
    });

    QVERIFY2(answers.problems().isEmpty(), qPrintable(answers.problems().join(" / ")));
    QCOMPARE(Told(boxes), told);
    QCOMPARE(stillOpen, open);
    QCOMPARE(ut8 ? G.ModbusSetUt8 : G.ModbusSet, stored);
    if (open) {
        QCOMPARE(shown, stored);
        QCOMPARE(Wire(*module), QStringLiteral("I81 D I83 D I84 D I86 D"));
    }
}

void TestModbusSettings::restart_data()
{
    QTest::addColumn<QString>("model");
    QTest::addColumn<bool>("download"); // Download enabled after the restart
    QTest::newRow("UT5") << "VQ7_UT5" << true;
    QTest::newRow("VQ2 model") << "VQ2_UT5" << false;
    QTest::newRow("VQ4 model") << "VQ4_UT5" << false;
    QTest::newRow("UT8") << "VQ7S_UT8" << true;
}

// The restart: group 99, the reset request sent without waiting for an answer, a pause of 2 s
// with every control disabled and other commands held back, then group 1 again; the module
// answers afterwards and the window stays open.
void TestModbusSettings::restart()
{
    QFETCH(QString, model);
    QFETCH(bool, download);
    auto module = ConnectSimModule(model);

    QList<bool> during, after;
    bool runningDuring = false, stillOpen = false;
    qint64 elapsed = 0;
    ModalAnswerer answers;
    MsgRecorder boxes;
    openModbus(answers, [&](ModbusWindow &w) {
        module->clearTranscript();
        QTimer::singleShot(1000, &w, [&] {
            during = controlStates(w);
            runningDuring = ModuleCommand::Running();
            w.cmdUpload_Click(); // held back: nothing goes out during the pause
        });
        QElapsedTimer clock;
        clock.start();
        w.cmdVQ7Res->click();
        elapsed = clock.elapsed();
        after = controlStates(w);
        stillOpen = w.isVisible();
        w.cmdExit->click();
    });

    QVERIFY2(answers.problems().isEmpty(), qPrintable(answers.problems().join(" / ")));
    QVERIFY2(boxes.boxes().isEmpty(), qPrintable(boxes.prompts().join(" / ")));
    QCOMPARE(Wire(*module), QStringLiteral("G99 I90 DRESET G01"));
    QVERIFY(!module->transcript().at(2).answered);
    QVERIFY2(elapsed >= 2000 && elapsed < 4000, qPrintable(QString::number(elapsed)));
    QCOMPARE(during, QList<bool>(during.size(), false));
    QVERIFY(during.size() >= 9);
    QVERIFY(runningDuring);
    QVERIFY(stillOpen);
    const bool ut8 = model == QLatin1String("VQ7S_UT8");
    QList<bool> expected{true, true, true, true, true, true, download, true, true};
    if (ut8)
        expected << true; // the module takes an address (option 48)
    QCOMPARE(after, expected);
    QCOMPARE(module->group(), 1);
}

void TestModbusSettings::failedRestart_data()
{
    QTest::addColumn<QString>("fault");
    QTest::addColumn<QString>("wire");
    QTest::addColumn<QStringList>("told");
    const QString incomplete = "ModBus Setting: System Reset Incomplete";
    const QString groupError = "Group Command Error: Out=G01\r\r\nIn =";
    QTest::newRow("no return to group 1")
        << "silence:cmd=G01" << "G99 I90 DRESET G01 G01 G01"
        << QStringList{"Send/Receive: Timeout", "Send/Receive: Timeout", "Send/Receive: Timeout",
                       groupError, incomplete};
    QTest::newRow("restart item not selected")
        << "silence:cmd=I90" << "G99 I90" << QStringList{"Send/Receive: Timeout", incomplete};
}

// A restart that fails shows "System Reset Incomplete" and closes the window; a request that
// never went out leaves no "no reply" mark for the next command.
void TestModbusSettings::failedRestart()
{
    QFETCH(QString, fault);
    QFETCH(QString, wire);
    QFETCH(QStringList, told);
    auto module = ConnectSimModule(QStringLiteral("VQ7_UT5"));
    Forms::get<frmMain>().Timer1().setInterval(300);

    ModalAnswerer answers;
    MsgRecorder boxes;
    openModbus(answers, [&](ModbusWindow &w) {
        module->clearTranscript();
        QVERIFY(module->addFault(fault));
        w.cmdVQ7Res->click();
    });

    QVERIFY2(answers.problems().isEmpty(), qPrintable(answers.problems().join(" / ")));
    QCOMPARE(Wire(*module), wire);
    QCOMPARE(Told(boxes), told);
    QVERIFY(!G.NoReplyNext);
    QVERIFY(!Forms::ifLoaded<frmModSet>());
}

void TestModbusSettings::exitKeepsSelections_data()
{
    QTest::addColumn<QString>("model");
    QTest::addColumn<bool>("byFrame"); // closed by the frame (Escape) instead of Exit
    QTest::newRow("UT5, Exit") << "VQ7_UT5" << false;
    QTest::newRow("UT8, Exit") << "VQ7S_UT8" << false;
    QTest::newRow("UT8, closed by the frame") << "VQ7S_UT8" << true;
}

// Exit stores the selections never downloaded into the window's own array, and the next opening
// shows them; the other array is left alone.
void TestModbusSettings::exitKeepsSelections()
{
    QFETCH(QString, model);
    QFETCH(bool, byFrame);
    auto module = ConnectSimModule(model);
    const bool ut8 = model == QLatin1String("VQ7S_UT8");
    const Positions chosen{int16_t(ut8 ? 3 : 0), 0, 0, 1, 1};
    const Positions other = ut8 ? G.ModbusSet : G.ModbusSetUt8;

    Positions reopened{};
    ModalAnswerer answers;
    MsgRecorder boxes;
    openModbus(answers, [&](ModbusWindow &w) {
        for (int i = 0; i < ModbusWindow::Lists; ++i)
            w.cboData(i)->setCurrentIndex(chosen[std::size_t(i)]);
        if (byFrame)
            w.reject();
        else
            w.cmdExit->click();
    });
    openModbus(answers, [&](ModbusWindow &w) {
        reopened = selections(w);
        w.cmdExit->click();
    });

    QVERIFY2(answers.problems().isEmpty(), qPrintable(answers.problems().join(" / ")));
    QCOMPARE(ut8 ? G.ModbusSetUt8 : G.ModbusSet, chosen);
    QCOMPARE(ut8 ? G.ModbusSet : G.ModbusSetUt8, other);
    QCOMPARE(reopened, chosen);
    QVERIFY(boxes.boxes().isEmpty());
    QCOMPARE(Wire(*module), QStringLiteral("G01 I80 D G01 I80 D")); // nothing written
}

// A position from a file that the list does not have selects nothing; Download is refused,
// naming the setting, until the user picks one; Exit leaves that position as it was.
void TestModbusSettings::positionOutsideItsList()
{
    auto module = ConnectSimModule(QStringLiteral("VQ7_UT5"));
    G.ModbusSet = Positions{2, 0, 5, 0, 0};

    int shownParity = 0;
    QString wireAfterRefusal, wireAfterPick;
    QStringList toldAfterRefusal;
    ModalAnswerer answers;
    MsgRecorder boxes;
    openModbus(answers, [&](ModbusWindow &w) {
        shownParity = w.cboData(2)->currentIndex();
        module->clearTranscript();
        w.cmdDnload->click();
        wireAfterRefusal = Wire(*module);
        toldAfterRefusal = Told(boxes);
        w.cmdExit->click();
    });
    const Positions afterExit = G.ModbusSet;
    openModbus(answers, [&](ModbusWindow &w) {
        module->clearTranscript();
        w.cboData(2)->setCurrentIndex(2);
        AnswerConfirmation(answers);
        w.cmdDnload->click();
        wireAfterPick = Wire(*module);
        w.cmdExit->click();
    });

    QVERIFY2(answers.problems().isEmpty(), qPrintable(answers.problems().join(" / ")));
    QCOMPARE(shownParity, -1);
    QCOMPARE(toldAfterRefusal,
             QStringList{"Modbus Setting Data Check: Choose a value for Parity before downloading."});
    QCOMPARE(wireAfterRefusal, QString());
    QCOMPARE(afterExit, (Positions{2, 0, 5, 0, 0}));
    QCOMPARE(wireAfterPick, QStringLiteral("I81 D2 I83 D2 I84 D0 I86 D0"));
    QCOMPARE(G.ModbusSet, (Positions{2, 0, 2, 0, 0}));
}

// Typing into the address entry: a character CheckPositive refuses is told once and taken out.
void TestModbusSettings::addressEntryKeepsDigitsOnly()
{
    ConnectSimModule(QStringLiteral("VQ7S_UT8"), 48);
    QString text;
    ModalAnswerer answers;
    MsgRecorder boxes;
    openModbus(answers, [&](ModbusWindow &w) {
        QLineEdit *entry = static_cast<frmModSetUt8 &>(w).txtAddress;
        entry->clear();
        QTest::keyClicks(entry, QStringLiteral("2-4"));
        text = entry->text();
        w.cmdExit->click();
    });
    QCOMPARE(text, QStringLiteral("24"));
    QCOMPARE(Told(boxes), QStringList{"TARVIK: Please enter positive number."});
}

// The cable pulled while the window is open: the loss is told once, and the next Upload opens the
// link again as any command does (the port dialog, group 1) before it reads.
void TestModbusSettings::commandAfterALostLinkOpensItAgain()
{
    auto module = ConnectSimModule(QStringLiteral("VQ7_UT5"));
    module->setModbus(Item::ModbusParity, 2);
    bool linkUpAfterLoss = true;
    Positions shown{};
    ModalAnswerer answers;
    MsgRecorder boxes;
    openModbus(answers, [&](ModbusWindow &w) {
        module->dropConnection();
        QTRY_VERIFY(boxes.count() == 1);
        linkUpAfterLoss = G.LinkUp;
        module->clearTranscript();
        answers.expect<frmCommPort>([](frmCommPort &dialog) { dialog.cmdOK->click(); });
        w.cmdUpload->click();
        shown = selections(w);
        w.cmdExit->click();
    });
    QVERIFY2(answers.problems().isEmpty(), qPrintable(answers.problems().join(" / ")));
    QVERIFY(!linkUpAfterLoss);
    QCOMPARE(boxes.count(), 1);
    QVERIFY(boxes.boxes()[0].prompt.startsWith(QStringLiteral("The connection to the module was lost")));
    QCOMPARE(Wire(*module), QStringLiteral("G01 I81 D I83 D I84 D I86 D"));
    QCOMPARE(shown[2], 2);
    QVERIFY(G.LinkUp);
}

QTEST_MAIN(TestModbusSettings)
#include "tst_modbussettings.moc"
