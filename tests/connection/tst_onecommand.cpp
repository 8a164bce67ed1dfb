// One conversation with the module at a time, tried through the main window as impatient hands
// would: commands pressed while another waits for its reply, Stop before monitoring has begun,
// Exit and Disconnect in the middle of a command, the port going away, output presses that fail.

#include "app/Forms.h"
#include "app/frmCommPort.h"
#include "app/frmMain.h"
#include "connection/frmLoading.h"
#include "link/ModuleCommand.h"
#include "model/Globals.h"
#include "panels/AnalogPanel.h"
#include "panels/DiscretePanel.h"
#include "sim/SimModule.h"
#include "sim/SimSerialPort.h"
#include "tests/support/SimFixture.h"
#include "tests/support/TestSupport.h"

#include <QElapsedTimer>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <memory>

namespace {

// Calls `act` once, while the program waits for the reply to the n-th command (counted from now).
void atExchange(SimModule &module, int n, std::function<void()> act)
{
    auto seen = std::make_shared<int>(0);
    auto connection = std::make_shared<QMetaObject::Connection>();
    *connection = QObject::connect(&module, &SimModule::exchanged, &module,
                                   [seen, n, act, connection, &module] {
        if (++*seen != n)
            return;
        QObject::disconnect(*connection);
        QTimer::singleShot(0, &module, act);
    });
}

// The port dialog answered with COM1.
void answerPortDialog(ModalAnswerer &answers)
{
    answers.expect<frmCommPort>([](frmCommPort &dialog) { dialog.cmdOK->click(); });
}

} // namespace

class TestOneCommand : public QObject
{
    Q_OBJECT

private slots:
    void init() { ResetProgramState(); }
    void cleanup() { QVERIFY(!ModuleCommand::Running()); }

    void commandsDuringConnectAreHeldBack_data();
    void commandsDuringConnectAreHeldBack();
    void endingConnectHalfWay_data();
    void endingConnectHalfWay();
    void stopBeforeMonitoringHasBegun();
    void pressIsNotCarriedIntoTheNextRun();
    void saveCommandsAgreeAfterAFailedRead();
    void portLost_data();
    void portLost();
    void rapidStartStopOnASlowLine();

private:
    std::shared_ptr<SimModule> install(const QString &model)
    {
        auto module = InstallSimModule(model);
        module->setDeterministic(true);
        return module;
    }
    // A plain connect; the transcript is cleared afterwards.
    void connect(SimModule &module)
    {
        ModalAnswerer answers;
        answerPortDialog(answers);
        MsgRecorder boxes;
        Forms::get<frmMain>().mnuConnConn->trigger();
        QVERIFY2(boxes.boxes().isEmpty(), qPrintable(boxes.prompts().join(" / ")));
        QVERIFY(G.LinkUp);
        module.clearTranscript();
    }
};

void TestOneCommand::commandsDuringConnectAreHeldBack_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<int>("at"); // the exchange of the connect during which it is pressed
    QTest::newRow("Start from the menu") << "mnuMonitorStart" << 20;
    QTest::newRow("Start from the toolbar") << "tbMonitorStart" << 20;
    QTest::newRow("Connect again during the link check") << "mnuConnConn" << 1;
}

// A command pressed while Connect reads does nothing: the wire carries exactly a plain connect.
void TestOneCommand::commandsDuringConnectAreHeldBack()
{
    QFETCH(QString, command);
    QFETCH(int, at);
    auto plain = install(QStringLiteral("VQ7_UT5"));
    frmMain &main = Forms::get<frmMain>();
    {
        ModalAnswerer answers;
        answerPortDialog(answers);
        main.mnuConnConn->trigger();
    }
    const QStringList expected = CommandsOf(*plain);

    ResetProgramState();
    auto module = install(QStringLiteral("VQ7_UT5"));
    frmMain &again = Forms::get<frmMain>();
    QAction *action = again.findChild<QAction *>(command);
    QVERIFY(action);
    atExchange(*module, at, [action] { action->trigger(); });
    ModalAnswerer answers;
    answerPortDialog(answers);
    MsgRecorder boxes;
    again.mnuConnConn->trigger();

    QCOMPARE(CommandsOf(*module), expected);
    QVERIFY2(boxes.boxes().isEmpty(), qPrintable(boxes.prompts().join(" / ")));
    QCOMPARE(again.lblNotice->text(), QStringLiteral("The module is busy with another command."));
    QVERIFY(G.LinkUp);
    QVERIFY(!G.MonitorOn);
    QVERIFY(again.mnuConnDisConn->isEnabled());
    QVERIFY(!again.mnuMonitorStop->isEnabled());
    QCOMPARE(answers.shown().size(), 1); // one port dialog
}

void TestOneCommand::endingConnectHalfWay_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("File, End") << "exit";
    QTest::newRow("closing the window") << "close";
    QTest::newRow("Disconnect") << "disconnect";
}

// Exit or Disconnect while Connect reads: Connect ends quietly, then the program does as asked.
void TestOneCommand::endingConnectHalfWay()
{
    QFETCH(QString, how);
    auto module = install(QStringLiteral("VQ7_UT5"));
    frmMain &main = Forms::get<frmMain>();
    main.show();
    atExchange(*module, 20, [&main, how] {
        if (how == QLatin1String("exit"))
            main.mnuFileExit->trigger();
        else if (how == QLatin1String("close"))
            main.close();
        else
            main.mnuConnDisConn->trigger();
    });
    ModalAnswerer answers;
    answerPortDialog(answers);
    MsgRecorder boxes;
    main.mnuConnConn->trigger();
    QTest::qWait(20); // a close is carried out from the event loop

    QVERIFY2(boxes.boxes().isEmpty(), qPrintable(boxes.prompts().join(" / ")));
    QCOMPARE(module->transcript().size(), 20); // nothing more went out after the one waiting
    if (how != QLatin1String("close"))
        QVERIFY(!main.MSComm1().isOpen());
    if (how == QLatin1String("disconnect")) {
        QVERIFY(!G.LinkUp);
        QVERIFY(main.isVisible());
        QVERIFY(main.mnuConnConn->isEnabled());
        QVERIFY(!main.mnuConnDisConn->isEnabled());
        QVERIFY(main.lblData(1)->text().isEmpty());
    } else {
        QVERIFY(!main.isVisible());
    }
}

// Stop while Start's link check still waits for the module: the loop never runs.
void TestOneCommand::stopBeforeMonitoringHasBegun()
{
    auto module = install(QStringLiteral("VQ7_UT5"));
    connect(*module);
    frmMain &main = Forms::get<frmMain>();
    module->addFault(SimFault::delay(300).onCommand("G01").limit(1));
    QTimer::singleShot(50, &main, [&main] { main.mnuMonitorStop->trigger(); });
    QTimer guard; // a loop that did start is stopped here, so that the test ends
    guard.setSingleShot(true);
    QObject::connect(&guard, &QTimer::timeout, [] { G.MonitorOn = false; });
    guard.start(3000);
    MsgRecorder boxes;
    main.mnuMonitorStart->trigger();

    QCOMPARE(CommandsOf(*module), QStringList{"G01"});
    QVERIFY(boxes.boxes().isEmpty());
    QVERIFY(!G.MonitorOn);
    QVERIFY(main.mnuMonitorStart->isEnabled());
    QVERIFY(!main.mnuMonitorStop->isEnabled());
    QVERIFY(main.button(QStringLiteral("MonitorStart"))->isEnabled());
    QVERIFY(!main.button(QStringLiteral("MonitorStop"))->isEnabled());
}

// A press made at the very end of a run, with Stop, is not carried out by the next run.
void TestOneCommand::pressIsNotCarriedIntoTheNextRun()
{
    auto module = install(QStringLiteral("VQ7_E4"));
    connect(*module);
    frmMain &main = Forms::get<frmMain>();
    frmE4 &panel = Forms::get<frmE4>();
    // While the last point of the first pass is read: press output 7, then Stop.
    atExchange(*module, 1 + 2 * 32 - 1, [&main, &panel] {
        panel.cmdOut(7)->click();
        main.mnuMonitorStop->trigger();
    });
    MsgRecorder boxes;
    main.mnuMonitorStart->trigger();
    QVERIFY(!CommandsOf(*module).contains(QStringLiteral("D071")));

    module->clearTranscript();
    atExchange(*module, 1 + 2 * 2, [&main] { main.mnuMonitorStop->trigger(); });
    main.mnuMonitorStart->trigger();
    QCOMPARE(CommandsOf(*module).mid(0, 5), (QStringList{"G01", "I07", "D01", "I07", "D02"}));
    QVERIFY(!CommandsOf(*module).contains(QStringLiteral("D071")));
    QCOMPARE(module->output(7), 0);
    QVERIFY(boxes.boxes().isEmpty());
}

// Monitoring that ends on a failed read leaves the same commands as Stop: the Save menu entry and
// its toolbar button agree afterwards.
void TestOneCommand::saveCommandsAgreeAfterAFailedRead()
{
    auto module = install(QStringLiteral("VQ7_E4"));
    connect(*module);
    frmMain &main = Forms::get<frmMain>();
    main.Timer1().setInterval(100);
    module->addFault(SimFault::silence().afterExchanges(module->exchangeCount() + 10));
    MsgRecorder boxes;
    main.mnuMonitorStart->trigger();
    QCOMPARE(boxes.prompts(), (QStringList{"Timeout", "Upload Incomplete"}));
    QVERIFY(!G.MonitorOn);

    main.mnuConnDisConn->trigger();
    main.mnuModelModel(1)->trigger();
    QVERIFY(main.mnuFileSave->isEnabled());
    QVERIFY(main.mnuFileSaveAs->isEnabled());
    QVERIFY(main.button(QStringLiteral("Save"))->isEnabled());
    QVERIFY(main.button(QStringLiteral("SaveAs"))->isEnabled());
}

void TestOneCommand::portLost_data()
{
    QTest::addColumn<bool>("monitoring");
    QTest::newRow("while connecting") << false;
    QTest::newRow("while monitoring") << true;
}

// The port goes away: one message naming it, the disconnected state with the panel and the
// configuration kept, and a later Connect opens the port afresh.
void TestOneCommand::portLost()
{
    QFETCH(bool, monitoring);
    auto module = install(QStringLiteral("VQ7_UT5"));
    frmMain &main = Forms::get<frmMain>();
    if (monitoring)
        connect(*module);
    atExchange(*module, 30, [module] { module->dropConnection(); });
    MsgRecorder boxes;
    QTimer guard;
    guard.setSingleShot(true);
    QObject::connect(&guard, &QTimer::timeout, [] { G.MonitorOn = false; });
    guard.start(10000);
    if (monitoring) {
        main.mnuMonitorStart->trigger();
    } else {
        ModalAnswerer answers;
        answerPortDialog(answers);
        main.mnuConnConn->trigger();
    }
    QVERIFY(guard.isActive());
    QCoreApplication::processEvents();

    QCOMPARE(boxes.count(), 1);
    QCOMPARE(boxes.boxes()[0].title, QStringLiteral("Send/Receive"));
    QVERIFY2(boxes.boxes()[0].prompt.startsWith(
                 QStringLiteral("The connection to the module was lost: COM1")),
             qPrintable(boxes.boxes()[0].prompt));
    QVERIFY(!main.MSComm1().isOpen());
    QVERIFY(!G.LinkUp);
    QVERIFY(!G.MonitorOn);
    QVERIFY(main.mnuConnConn->isEnabled());
    QVERIFY(!main.mnuConnDisConn->isEnabled());
    QVERIFY(!main.mnuConfig->isEnabled());
    QVERIFY(!main.mnuMonitor->isEnabled());
    QVERIFY(!main.mnuAdjustment->isEnabled());
    QCOMPARE(G.curKind(), int(KindUt5));
    QVERIFY(!Forms::get<frmUt5>().isHidden());

    // The device is back (the simulated module is there at once): Connect takes the lost port
    // again without asking.
    boxes.clear();
    module->clearTranscript();
    ModalAnswerer answers;
    main.mnuConnConn->trigger();
    QVERIFY2(boxes.boxes().isEmpty(), qPrintable(boxes.prompts().join(" / ")));
    QVERIFY(G.LinkUp);
    QCOMPARE(CommandsOf(*module).first(), QStringLiteral("G01"));
    QVERIFY2(answers.shown().isEmpty(), qPrintable(answers.shown().join(" / ")));
}

// Stop and Start pressed alternately on a slow line: no command is ever written while a reply is
// awaited, and the panel shows what the module has.
void TestOneCommand::rapidStartStopOnASlowLine()
{
    auto module = install(QStringLiteral("VQ7_UT5"));
    QVERIFY(module->setTypeCode(1, 17));
    connect(*module);
    module->setReplyDelay(300);
    frmMain &main = Forms::get<frmMain>();
    // When each command reached the module.
    QElapsedTimer clock;
    clock.start();
    QList<qint64> at;
    QObject::connect(module.get(), &SimModule::exchanged, &main, [&] { at << clock.elapsed(); });

    QAction *start = main.button(QStringLiteral("MonitorStart"));
    QAction *stop = main.button(QStringLiteral("MonitorStop"));
    // Monitoring runs for a while, then Stop, Start, Stop, ... 0.1 s apart, then a last Stop.
    for (int i = 0; i < 10; ++i)
        QTimer::singleShot(700 + 100 * i, &main, [=] { (i % 2 ? start : stop)->trigger(); });
    QTimer::singleShot(2500, &main, [=] { stop->trigger(); });
    MsgRecorder boxes;
    start->trigger();
    QTest::qWait(2600);
    QTRY_VERIFY_WITH_TIMEOUT(!ModuleCommand::Running(), 10000);

    const QStringList wire = CommandsOf(*module);
    QVERIFY(wire.size() >= 5);
    QCOMPARE(at.size(), wire.size());
    for (qsizetype i = 1; i < at.size(); ++i) {
        QVERIFY2(at[i] - at[i - 1] >= 290, qPrintable(QStringLiteral("%1 sent %2 ms after %3")
                                                          .arg(wire[i])
                                                          .arg(at[i] - at[i - 1])
                                                          .arg(wire[i - 1])));
    }
    QVERIFY2(boxes.boxes().isEmpty(), qPrintable(boxes.prompts().join(" / ")));
    QVERIFY(G.LinkUp);
    QVERIFY(!G.MonitorOn);
    QVERIFY(main.mnuMonitorStart->isEnabled());
    QVERIFY(!main.mnuMonitorStop->isEnabled());
    QCOMPARE(Forms::get<frmUt5>().lblType(1)->text(), QStringLiteral("K(CA)"));
}

QTEST_MAIN(TestOneCommand)
#include "tst_onecommand.moc"
