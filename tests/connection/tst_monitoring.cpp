// The monitoring cycle against the simulated module: what a sweep sends for each kind, Stop in
// the middle of a sweep, the hold, switching E4 outputs, and the failures while monitoring.

#include "app/Forms.h"
#include "app/frmCommPort.h"
#include "app/frmMain.h"
#include "model/Globals.h"
#include "panels/AnalogPanel.h"
#include "panels/DiscretePanel.h"
#include "panels/Lamp.h"
#include "sim/SimModule.h"
#include "sim/SimSerialPort.h"
#include "tests/support/SimFixture.h"
#include "tests/support/TestSupport.h"

#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <memory>

namespace {

QString nn(int n)
{
    return QStringLiteral("%1").arg(n, 2, 10, QLatin1Char('0'));
}

// The commands of one read.
QStringList read(int item, int channel)
{
    return {QStringLiteral("I") + nn(item), channel == 0 ? QStringLiteral("D")
                                                         : QStringLiteral("D") + nn(channel)};
}

// The commands of one full sweep of a kind, from the per-kind maps.
QStringList sweepCommands(int kind)
{
    QStringList commands;
    switch (kind) {
    case KindUt5:
    case KindK6:
    case KindUt8: {
        const int channels = kind == KindUt5 ? 16 : 8;
        for (int ch = 1; ch <= channels; ++ch) {
            commands << read(5, ch) << read(3, ch) << read(4, ch);
            if (kind != KindK6)
                commands << read(25, ch);
            commands << read(2, ch);
        }
        commands << read(6, 1);
        if (kind == KindUt8)
            commands << read(7, 1) << read(20, 0) << read(15, 0);
        else
            commands << read(20, 1);
        commands << read(16, 0);
        break;
    }
    case KindL7:
        for (int ch = 1; ch <= 8; ++ch)
            commands << read(6, ch) << read(7, ch) << read(8, ch) << read(9, ch) << read(13, ch);
        break;
    case KindE4:
    case KindF9:
        for (int p = 1; p <= 32; ++p)
            commands << read(kind == KindE4 ? 7 : 6, p);
        break;
    default:
        break;
    }
    return commands;
}

} // namespace

class TestMonitoring : public QObject
{
    Q_OBJECT

private slots:
    void init() { ResetProgramState(); }

    void sweepOnTheWire_data();
    void sweepOnTheWire();
    void stopInTheMiddleOfASweep_data();
    void stopInTheMiddleOfASweep();
    void liveValuesAndCommandStates();
    void holdFreezesValuesUntilStop();
    void ut8StartLeavesItsPanelAlone();
    void e4OnlyTheLastPressIsSwitched();
    void e4PressDuringAWriteIsKept();
    void e4FailedPressIsToldOnceAndDropped_data();
    void e4FailedPressIsToldOnceAndDropped();
    void silentModuleMidSweep();
    void garbledReplyEndsMonitoring();
    void droppedLineWhileMonitoring();

private:
    std::shared_ptr<SimModule> connectTo(const QString &model);
    // Runs Start; `stopWhen` is asked after every exchange and presses Stop when it says so.
    void monitor(SimModule &module, std::function<bool(const QStringList &sinceStart)> stopWhen);

    MsgRecorder *m_boxes = nullptr;
};

std::shared_ptr<SimModule> TestMonitoring::connectTo(const QString &model)
{
    auto module = InstallSimModule(model);
    module->setDeterministic(true);
    frmMain &main = Forms::get<frmMain>();
    ModalAnswerer answers;
    answers.expect<frmCommPort>([](frmCommPort &dialog) { dialog.cmdOK->click(); });
    MsgRecorder boxes;
    main.mnuConnConn->trigger();
    if (!boxes.boxes().isEmpty() || !G.LinkUp)
        qWarning("connect failed: %s", qPrintable(boxes.prompts().join(" / ")));
    module->clearTranscript();
    return module;
}

void TestMonitoring::monitor(SimModule &module,
                             std::function<bool(const QStringList &sinceStart)> stopWhen)
{
    frmMain &main = Forms::get<frmMain>();
    auto stopped = std::make_shared<bool>(false);
    const auto connection = QObject::connect(&module, &SimModule::exchanged, &main,
                                             [&module, &main, stopWhen, stopped] {
        if (*stopped || !stopWhen(CommandsOf(module)))
            return;
        *stopped = true;
        // Pressed while the loop waits for a reply, as a user would.
        QTimer::singleShot(0, &main, [&main] { main.button(QStringLiteral("MonitorStop"))->trigger(); });
    });
    // Safety net: no test monitors for more than 20 s.
    QTimer guard;
    guard.setSingleShot(true);
    QObject::connect(&guard, &QTimer::timeout, [] { G.MonitorOn = false; G.MonitorHold = false; });
    guard.start(20000);
    main.mnuMonitorStart->trigger();
    QObject::disconnect(connection);
    QVERIFY2(guard.isActive(), "monitoring did not stop");
}

void TestMonitoring::sweepOnTheWire_data()
{
    QTest::addColumn<QString>("model");
    QTest::addColumn<int>("kind");
    QTest::newRow("UT5") << "VQ7_UT5" << 1;
    QTest::newRow("K6") << "VQ7_K6" << 2;
    QTest::newRow("E4") << "VQ7_E4" << 3;
    QTest::newRow("F9") << "VQ7_F9" << 4;
    QTest::newRow("L7") << "VQ7_L7" << 5;
    QTest::newRow("UT8") << "VQ7S_UT8" << 6;
}

void TestMonitoring::sweepOnTheWire()
{
    QFETCH(QString, model);
    QFETCH(int, kind);
    auto module = connectTo(model);
    const QStringList sweep = sweepCommands(kind);
    const QStringList expected = QStringList{QStringLiteral("G01")} + sweep + sweep;
    MsgRecorder boxes;
    // Stop during the last exchange of the second sweep: the loop ends at its top.
    monitor(*module, [&](const QStringList &sent) { return sent.size() >= expected.size(); });
    QVERIFY2(boxes.boxes().isEmpty(), qPrintable(boxes.prompts().join(" / ")));
    QCOMPARE(CommandsOf(*module), expected);
}

void TestMonitoring::stopInTheMiddleOfASweep_data()
{
    QTest::addColumn<QString>("model");
    QTest::addColumn<int>("kind");
    QTest::addColumn<bool>("stopsEarly");
    QTest::newRow("UT5") << "VQ7_UT5" << 1 << true;
    QTest::newRow("K6") << "VQ7_K6" << 2 << true;
    QTest::newRow("UT8") << "VQ7S_UT8" << 6 << true;
    QTest::newRow("L7") << "VQ7_L7" << 5 << true;
    QTest::newRow("E4") << "VQ7_E4W2" << 3 << false;
    QTest::newRow("F9") << "VQ7_F9W2" << 4 << false;
}

void TestMonitoring::stopInTheMiddleOfASweep()
{
    QFETCH(QString, model);
    QFETCH(int, kind);
    QFETCH(bool, stopsEarly);
    auto module = connectTo(model);
    const QStringList sweep = sweepCommands(kind);
    // Stop is pressed during the first read of channel 3.
    const qsizetype channel3 = sweep.indexOf(QStringLiteral("D03"));
    QVERIFY(channel3 > 0);
    monitor(*module, [&](const QStringList &sent) { return sent.size() >= 1 + channel3 + 1; });

    QStringList expected{QStringLiteral("G01")};
    if (stopsEarly) {
        // Channels 1 to 3 complete, then the module-level reads of the pass.
        const qsizetype channel4 = sweep.indexOf(QStringLiteral("D04")) - 1; // its item select
        expected += sweep.mid(0, channel4);
        if (kind != KindL7) {
            const qsizetype moduleLevel = sweep.indexOf(QStringLiteral("I06"),
                                                        sweep.lastIndexOf(QStringLiteral("I02")));
            expected += sweep.mid(moduleLevel);
        }
    } else {
        expected += sweep; // a started pass covers every point
    }
    QCOMPARE(CommandsOf(*module), expected);

    frmMain &main = Forms::get<frmMain>();
    QVERIFY(!G.MonitorOn);
    QVERIFY(main.mnuMonitorStart->isEnabled());
    QVERIFY(!main.mnuMonitorStop->isEnabled());
    QVERIFY(main.mnuConn->isEnabled());
}

void TestMonitoring::liveValuesAndCommandStates()
{
    auto module = connectTo(QStringLiteral("VQ7_UT5"));
    QVERIFY(module->setTypeCode(1, 17));
    QVERIFY(module->setTypeCode(2, 2));
    module->setInput(1, 25.0);
    module->setChannelOpen(4, true);
    frmMain &main = Forms::get<frmMain>();
    frmUt5 &panel = Forms::get<frmUt5>();

    bool checkedDuring = false;
    monitor(*module, [&](const QStringList &sent) {
        if (sent.size() < 1 + int(sweepCommands(KindUt5).size()))
            return false;
        // During monitoring only Stop is usable.
        checkedDuring = !main.mnuFile->isEnabled() && !main.mnuConn->isEnabled() &&
                        !main.mnuConfig->isEnabled() && !main.mnuHelp->isEnabled() &&
                        !main.mnuMonitorStart->isEnabled() && main.mnuMonitorStop->isEnabled() &&
                        !main.button(5)->isEnabled() && main.button(6)->isEnabled() &&
                        !main.button(2)->isEnabled() && !panel.cmdCh(1)->isEnabled() &&
                        panel.shpOut(4)->fillColor() == QColor(255, 0, 0) &&
                        panel.shpOut(1)->fillColor() == QColor(0, 255, 0);
        return true;
    });
    QVERIFY(checkedDuring);
    QCOMPARE(panel.lblUnit1(1)->text(), QStringLiteral("degC"));
    QCOMPARE(panel.lblUnit2(1)->text(), QStringLiteral("mV"));
    QCOMPARE(panel.lblUnit1(2)->text(), QStringLiteral("V"));
    QVERIFY(qAbs(panel.lblReal(1)->text().toDouble() - 25.0) < 0.5);
    QVERIFY(panel.lblReal(1)->text().contains('.'));
    // After Stop: lamps neutral, buttons back, the file commands usable again.
    QCOMPARE(panel.shpOut(1)->fillColor(), NeutralLampColour());
    QCOMPARE(panel.shpOut(4)->fillColor(), NeutralLampColour());
    QVERIFY(panel.cmdCh(1)->isEnabled());
    QVERIFY(main.mnuFile->isEnabled());
    QVERIFY(main.button(2)->isEnabled());
    QVERIFY(!main.button(6)->isEnabled());
}

void TestMonitoring::holdFreezesValuesUntilStop()
{
    auto module = connectTo(QStringLiteral("VQ7_K6"));
    frmMain &main = Forms::get<frmMain>();
    int sentWhenHeld = -1;
    int sentJustBeforeStop = -1;
    monitor(*module, [&](const QStringList &sent) {
        if (sentWhenHeld < 0 && sent.size() == 20) {
            // The user opens the Monitor menu and closes it again without a choice.
            sentWhenHeld = int(sent.size());
            QTimer::singleShot(0, &main, [&main] { emit main.monitorMenu()->aboutToShow(); });
            QTimer::singleShot(400, &main, [&] {
                sentJustBeforeStop = int(module->transcript().size());
                main.mnuMonitorStop->trigger();
            });
        }
        return false;
    });
    // Held at the next channel step: at most the rest of the channel was read meanwhile.
    QVERIFY(sentJustBeforeStop >= sentWhenHeld);
    QVERIFY2(sentJustBeforeStop - sentWhenHeld <= 8,
             qPrintable(QStringLiteral("%1 exchanges while held").arg(sentJustBeforeStop - sentWhenHeld)));
    QVERIFY(!G.MonitorHold);
    QVERIFY(!G.MonitorOn);
}

void TestMonitoring::ut8StartLeavesItsPanelAlone()
{
    auto module = connectTo(QStringLiteral("VQ7S_UT8"));
    frmMain &main = Forms::get<frmMain>();
    // A caption the panel procedure would change: the kind code.
    main.lblData(0)->setText(QStringLiteral("mark"));
    monitor(*module, [](const QStringList &sent) { return sent.size() >= 3; });
    QCOMPARE(main.lblData(0)->text(), QStringLiteral("mark"));
    QVERIFY(main.mnuAlarm->isEnabled()); // given back by the end of monitoring

    // Each Start enters the group again.
    module->clearTranscript();
    monitor(*module, [](const QStringList &sent) { return sent.size() >= 3; });
    QCOMPARE(CommandsOf(*module).value(0), QStringLiteral("G01"));
}

void TestMonitoring::e4OnlyTheLastPressIsSwitched()
{
    auto module = connectTo(QStringLiteral("VQ7_E4"));
    module->setOutput(5, 0);
    module->setOutput(12, 1);
    frmE4 &panel = Forms::get<frmE4>();
    bool enabledDuring = false;
    int phase = 0;
    monitor(*module, [&](const QStringList &sent) {
        if (phase == 0 && sent.size() >= 1 + 2 * 32 + 4) {
            // Second sweep, point 2: two presses before the next channel step.
            enabledDuring = panel.cmdOut(5)->isEnabled() && panel.cmdOut(12)->isEnabled();
            panel.cmdOut(5)->click();
            panel.cmdOut(12)->click();
            phase = 1;
        }
        if (phase == 1 && G.PendingOutput == 0)
            phase = 2;
        // Stop after one more full sweep, so the new state is read back.
        return phase == 2 && sent.size() >= 1 + 2 * 32 * 4;
    });
    QVERIFY(enabledDuring);
    const QStringList sent = CommandsOf(*module);
    QCOMPARE(sent.count(QStringLiteral("D120")), 1);
    QVERIFY(!sent.contains(QStringLiteral("D051")));
    QCOMPARE(module->output(12), 0);
    QCOMPARE(module->output(5), 0);
    QCOMPARE(G.PendingOutput, int16_t(0));
    QCOMPARE(panel.Label1(12)->text(), QStringLiteral("OFF"));
    for (int p = 1; p <= 32; ++p)
        QVERIFY(!panel.cmdOut(p)->isEnabled());
}

void TestMonitoring::e4PressDuringAWriteIsKept()
{
    auto module = connectTo(QStringLiteral("VQ7_E4"));
    module->setOutput(5, 0);
    module->setOutput(9, 0);
    frmE4 &panel = Forms::get<frmE4>();
    bool pressedFirst = false, pressedSecond = false;
    monitor(*module, [&](const QStringList &sent) {
        if (!pressedFirst && sent.size() >= 1 + 2 * 32 + 2) {
            panel.cmdOut(5)->click();
            pressedFirst = true;
        }
        if (!pressedSecond && sent.last() == QLatin1String("D051")) {
            panel.cmdOut(9)->click(); // while the first write waits for its reply
            pressedSecond = true;
        }
        return pressedSecond && module->output(9) == 1;
    });
    QCOMPARE(module->output(5), 1);
    QCOMPARE(module->output(9), 1);
    QCOMPARE(G.PendingOutput, int16_t(0));
}

void TestMonitoring::e4FailedPressIsToldOnceAndDropped_data()
{
    QTest::addColumn<QString>("fault");
    QTest::addColumn<QStringList>("boxes");
    QTest::addColumn<int>("state"); // the output afterwards, as the module has it
    QTest::newRow("refused") << "refuse:item=7,writes"
                             << QStringList{"Parameter Write", "Descrete Down"} << 0;
    // The module switched but echoes another state.
    QTest::newRow("wrong echo") << "wrong-echo:item=7,text=0" << QStringList{"Descrete Down"} << 1;
}

// A module that never confirms the write: one press, one report, and monitoring goes on.
void TestMonitoring::e4FailedPressIsToldOnceAndDropped()
{
    QFETCH(QString, fault);
    QFETCH(QStringList, boxes);
    QFETCH(int, state);
    auto module = connectTo(QStringLiteral("VQ7_E4"));
    module->setOutput(7, 0);
    QVERIFY(module->addFault(fault));
    frmE4 &panel = Forms::get<frmE4>();
    MsgRecorder recorder;
    int pressedAt = -1;
    monitor(*module, [&](const QStringList &sent) {
        if (pressedAt < 0 && sent.size() >= 1 + 2 * 32 + 2) {
            panel.cmdOut(7)->click();
            pressedAt = int(sent.size());
        }
        // Two more whole sweeps after the press.
        return pressedAt >= 0 && sent.size() >= pressedAt + 2 * 2 * 32 + 2;
    });
    QCOMPARE(module->output(7), state);
    QCOMPARE(CommandsOf(*module).count(QStringLiteral("D071")), 1);
    QStringList titles;
    for (const MsgRecord &box : recorder.boxes())
        titles << box.title;
    QCOMPARE(titles, boxes);
    QVERIFY2(recorder.boxes().last().prompt.startsWith(
                 QStringLiteral("Download Incomplete\r\nOut= 071\r In= ")),
             qPrintable(recorder.boxes().last().prompt));
    QCOMPARE(G.PendingOutput, int16_t(0));
    QCOMPARE(panel.Label1(7)->text(), state ? QStringLiteral("ON") : QStringLiteral("OFF"));
}

void TestMonitoring::silentModuleMidSweep()
{
    auto module = connectTo(QStringLiteral("VQ7_UT5"));
    frmMain &main = Forms::get<frmMain>();
    frmUt5 &panel = Forms::get<frmUt5>();
    main.Timer1().setInterval(200);
    // Silent from the middle of channel 5 on (exchanges are counted from the module's start).
    module->addFault(SimFault::silence().afterExchanges(module->exchangeCount() + 1 + 4 * 10 + 6));
    MsgRecorder boxes;
    monitor(*module, [](const QStringList &) { return false; });
    QCOMPARE(boxes.prompts(), (QStringList{"Timeout", "Upload Incomplete"}));
    QCOMPARE(boxes.boxes().last().title, QStringLiteral("Monitoring"));
    QVERIFY(main.mnuMonitorStart->isEnabled());
    QVERIFY(!main.mnuMonitorStop->isEnabled());
    // Still connected: the menu is back, offering Disconnect and not Connect.
    QVERIFY(main.mnuConn->isEnabled());
    QVERIFY(main.mnuConnDisConn->isEnabled());
    QVERIFY(!main.mnuConnConn->isEnabled());
    QVERIFY(!panel.lblReal(4)->text().isEmpty()); // last captions kept
    QCOMPARE(panel.shpOut(1)->fillColor(), NeutralLampColour());
    QVERIFY(panel.cmdCh(1)->isEnabled());
    QVERIFY(!G.MonitorOn); // ended as a loop ended by Stop ends
}

void TestMonitoring::garbledReplyEndsMonitoring()
{
    auto module = connectTo(QStringLiteral("VQ7_F9"));
    frmMain &main = Forms::get<frmMain>();
    main.Timer1().setInterval(200);
    module->addFault(SimFault::garble().afterExchanges(module->exchangeCount() + 10).limit(1));
    MsgRecorder boxes;
    monitor(*module, [](const QStringList &) { return false; });
    QVERIFY(!boxes.boxes().isEmpty());
    QCOMPARE(boxes.boxes().last().prompt, QStringLiteral("Upload Incomplete"));
    QVERIFY(main.mnuMonitorStart->isEnabled());
}

void TestMonitoring::droppedLineWhileMonitoring()
{
    auto module = connectTo(QStringLiteral("VQ7_UT5"));
    frmMain &main = Forms::get<frmMain>();
    frmUt5 &panel = Forms::get<frmUt5>();
    MsgRecorder boxes;
    bool dropped = false;
    monitor(*module, [&](const QStringList &sent) {
        if (!dropped && sent.size() >= 30) {
            dropped = true;
            QTimer::singleShot(0, module.get(), [module] { module->dropConnection(); });
        }
        return false;
    });
    QVERIFY(dropped);
    // One message, naming the port; nothing after it.
    QCOMPARE(boxes.count(), 1);
    QCOMPARE(boxes.boxes()[0].title, QStringLiteral("Send/Receive"));
    QVERIFY2(boxes.boxes()[0].prompt.startsWith(
                 QStringLiteral("The connection to the module was lost: COM1")),
             qPrintable(boxes.boxes()[0].prompt));
    // Disconnected, with the panel and the configuration kept.
    QVERIFY(!main.MSComm1().isOpen());
    QVERIFY(!G.LinkUp);
    QVERIFY(!G.MonitorOn);
    QVERIFY(main.mnuConnConn->isEnabled());
    QVERIFY(!main.mnuConnDisConn->isEnabled());
    QVERIFY(!main.mnuMonitor->isEnabled());
    QVERIFY(!main.mnuAdjustment->isEnabled());
    QVERIFY(!main.button(QStringLiteral("MonitorStart"))->isEnabled());
    QVERIFY(!panel.isHidden());
    QCOMPARE(G.curKind(), int(KindUt5));
    QVERIFY(!panel.lblType(1)->text().isEmpty());

    // With the module back, Connect opens the port afresh.
    boxes.clear();
    ModalAnswerer answers;
    answers.expect<frmCommPort>([](frmCommPort &dialog) { dialog.cmdOK->click(); });
    main.mnuConnConn->trigger();
    QVERIFY2(boxes.boxes().isEmpty(), qPrintable(boxes.prompts().join(" / ")));
    QVERIFY(G.LinkUp);
    QCOMPARE(main.lblData(1)->text(), QStringLiteral("VQ7_UT5"));
}

QTEST_MAIN(TestMonitoring)
#include "tst_monitoring.moc"
