// Line resistance compensation of a K6 module as the engineer does it: the channel's buttons, the
// requests on the wire between two readings, the live values responding, and the failures.

#include "adjust/frmSetComp.h"
#include "app/Twips.h"
#include "link/ModuleCommand.h"
#include "panels/AnalogPanel.h"
#include "tests/adjust/AdjustTestSupport.h"

#include <QComboBox>
#include <QLabel>

namespace {

struct Seen
{
    QString cmd0, inputreal, rawreal, unit1, unit2;
    bool cmd100Visible = false;
    int cmd0WidthTwips = 0;
    QString channel;
};

void capture(frmSetComp &w, Seen &seen)
{
    seen.cmd0 = w.cmd0->text();
    seen.cmd100Visible = w.cmd100->isVisible();
    for (int twips : {1095, 2425}) {
        if (w.cmd0->minimumWidth() == TwipsToPixels(twips, &w) &&
            w.cmd0->maximumWidth() == TwipsToPixels(twips, &w))
            seen.cmd0WidthTwips = twips;
    }
    seen.inputreal = w.lblInputreal->text();
    seen.rawreal = w.lblRawreal->text();
    seen.unit1 = w.lblUnit1->text();
    seen.unit2 = w.lblUnit2->text();
    seen.channel = w.cboChannel->currentText();
}

QByteArray dataCommand(int channel)
{
    return "D" + QByteArray::number(channel).rightJustified(2, '0');
}

// Picks a channel as the user does, from the list.
void pick(frmSetComp &w, int channel)
{
    w.cboChannel->setCurrentIndex(channel - 1);
    w.cboChannel_Click();
}

// Exit once the live loop waits after the nth raw reading (of `data`) from now.
void exitAfterPass(SimModule &module, frmSetComp &w, const QByteArray &data, int nth, Seen *seen)
{
    QPointer<frmSetComp> window(&w);
    OnCommand(module, data, nth, [window, seen] {
        if (!window)
            return;
        WhenWaiting(*window, [window, seen] {
            if (seen)
                capture(*window, *seen);
            window->cmdExit->click();
        });
    });
}

void openCompensation()
{
    Forms::get<frmSetComp>().SetComp();
    Forms::unload<frmSetComp>();
}

} // namespace

class TestCompensation : public QObject
{
    Q_OBJECT

private slots:
    void init() { ResetProgramState(); }
    void cleanup()
    {
        QVERIFY(!ModuleCommand::Running());
        QVERIFY(!Forms::ifLoaded<frmSetComp>());
    }

    void requests_data();
    void requests();
    void channelChange_data();
    void channelChange();
    void unitsAreThePanels();
    void requestRefusedTwice();
    void rawReadingFailureEndsTheLoop();
    void withoutALink();
    void portLost();
};

void TestCompensation::requests_data()
{
    QTest::addColumn<int>("channel");
    QTest::addColumn<int>("type");
    QTest::addColumn<double>("input");
    QTest::addColumn<QString>("button");
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("live"); // after the request
    QTest::addColumn<QString>("units");
    QTest::newRow("Line Res. on a thermometer")
        << 1 << 49 << 24.0 << "cmd0" << QByteArray("D011") << "Line Res."
        << "24.000"
        << "degC ohm";
    QTest::newRow("0% on a resistance range")
        << 7 << 64 << 20.0 << "cmd0" << QByteArray("D071") << "0%"
        << "0.000"
        << "% %";
    QTest::newRow("100% on channel 5") << 5 << 65 << 70.0 << "cmd100" << QByteArray("D052") << "0%"
                                       << "100.000"
                                       << "% %";
    QTest::newRow("Reset on a thermometer")
        << 2 << 50 << 24.0 << "cmdReset" << QByteArray("D020") << "Line Res."
        << ""
        << "degC ohm";
    QTest::newRow("Reset on a resistance range")
        << 8 << 66 << 50.0 << "cmdReset" << QByteArray("D080") << "0%"
        << ""
        << "% %";
}

// Each button sends its request for the channel in the box, between two passes of readings (here
// pressed while the raw reading waits for its reply), and the live value shows the effect.
void TestCompensation::requests()
{
    QFETCH(int, channel);
    QFETCH(int, type);
    QFETCH(double, input);
    QFETCH(QString, button);
    QFETCH(QByteArray, data);
    QFETCH(QString, caption);
    QFETCH(QString, live);
    QFETCH(QString, units);
    auto module = ConnectModule(QStringLiteral("VQ7_K6"), [&](SimModule &m) {
        QVERIFY(m.setTypeCode(channel, int16_t(type)));
        m.setInput(channel, input);
    });
    const QByteArray d = dataCommand(channel);
    Seen seen;
    ModalAnswerer answers;
    answers.expect<frmSetComp>([&](frmSetComp &w) {
        pick(w, channel);
        QPointer<frmSetComp> window(&w);
        OnCommand(*module, d, 2, [window, button] {
            if (window)
                window->findChild<QPushButton *>(button)->click();
        });
        exitAfterPass(*module, w, d, 4, &seen);
    });
    MsgRecorder boxes;
    openCompensation();

    QVERIFY2(answers.problems().isEmpty(), qPrintable(answers.problems().join(" / ")));
    QVERIFY2(boxes.boxes().isEmpty(), qPrintable(boxes.prompts().join(" / ")));
    const QString c = QString::fromLatin1(d);
    QCOMPARE(CommandsOf(*module), (QStringList{"I03", c, "I04", c, "I21", QString::fromLatin1(data),
                                               "I03", c, "I04", c}));
    QCOMPARE(seen.cmd0, caption);
    const bool lineResistance = caption == QLatin1String("Line Res.");
    QCOMPARE(seen.cmd100Visible, !lineResistance);
    QCOMPARE(seen.cmd0WidthTwips, lineResistance ? 2425 : 1095);
    QCOMPARE(seen.unit1 + QLatin1Char(' ') + seen.unit2, units);
    if (!live.isEmpty())
        QCOMPARE(seen.inputreal, live);
}

void TestCompensation::channelChange_data()
{
    QTest::addColumn<int>("from");
    QTest::addColumn<QString>("button");
    QTest::addColumn<int>("to");
    QTest::newRow("Prev. on 1") << 1 << "cmdPrev" << 8;
    QTest::newRow("Next on 8") << 8 << "cmdNext" << 1;
    QTest::newRow("Next on 3") << 3 << "cmdNext" << 4;
    QTest::newRow("Prev. on 7") << 7 << "cmdPrev" << 6;
}

// A channel change ends the wait: the next pass reads the new channel at once, with the new
// channel's buttons and units.
void TestCompensation::channelChange()
{
    QFETCH(int, from);
    QFETCH(QString, button);
    QFETCH(int, to);
    auto module = ConnectModule(QStringLiteral("VQ7_K6"));
    CommandClock clock(*module);
    qint64 pressedAt = -1;
    const QByteArray f = dataCommand(from), t = dataCommand(to);
    Seen seen;
    ModalAnswerer answers;
    answers.expect<frmSetComp>([&](frmSetComp &w) {
        pick(w, from);
        QPointer<frmSetComp> window(&w);
        OnCommand(*module, f, 2, [window, button, &pressedAt, &clock] {
            if (window)
                WhenWaiting(*window, [window, button, &pressedAt, &clock] {
                    pressedAt = clock.clock.elapsed();
                    window->findChild<QPushButton *>(button)->click();
                });
        });
        exitAfterPass(*module, w, t, 2, &seen);
    });
    MsgRecorder boxes;
    openCompensation();

    QVERIFY2(boxes.boxes().isEmpty(), qPrintable(boxes.prompts().join(" / ")));
    const QString a = QString::fromLatin1(f), b = QString::fromLatin1(t);
    QCOMPARE(CommandsOf(*module), (QStringList{"I03", a, "I04", a, "I03", b, "I04", b}));
    QVERIFY2(clock.time("I03", 2) - pressedAt < 250,
             qPrintable(QString::number(clock.time("I03", 2) - pressedAt)));
    QCOMPARE(seen.channel, QString::number(to));
    const int code = G.ChTypeCode[std::size_t(to)];
    QCOMPARE(seen.cmd0, code < 64 ? QStringLiteral("Line Res.") : QStringLiteral("0%"));
    QCOMPARE(seen.unit1, code < 64 ? QStringLiteral("degC") : QStringLiteral("%"));
}

// The units are those the K6 panel last showed beside the channel's values.
void TestCompensation::unitsAreThePanels()
{
    auto module = ConnectModule(QStringLiteral("VQ7_K6"));
    frmK6 &panel = Forms::get<frmK6>();
    panel.lblUnit1(4)->setText(QStringLiteral("U1"));
    panel.lblUnit2(4)->setText(QStringLiteral("U2"));
    Seen seen;
    ModalAnswerer answers;
    answers.expect<frmSetComp>([&](frmSetComp &w) {
        pick(w, 4);
        capture(w, seen);
        w.cmdExit->click();
    });
    openCompensation();
    QCOMPARE(seen.unit1, QStringLiteral("U1"));
    QCOMPARE(seen.unit2, QStringLiteral("U2"));
}

// A request refused twice: "Download Incomplete" titled "Compensation Request"; the live loop
// goes on.
void TestCompensation::requestRefusedTwice()
{
    auto module = ConnectModule(QStringLiteral("VQ7_K6"));
    module->addFault(SimFault::refuse(true).onItem(21).limit(2));
    ModalAnswerer answers;
    answers.expect<frmSetComp>([&](frmSetComp &w) {
        QPointer<frmSetComp> window(&w);
        OnCommand(*module, "D01", 2, [window] {
            if (window)
                WhenWaiting(*window, [window] { window->cmd0->click(); });
        });
        exitAfterPass(*module, w, "D01", 4, nullptr);
    });
    MsgRecorder boxes;
    openCompensation();

    QCOMPARE(CommandsOf(*module), (QStringList{"I03", "D01", "I04", "D01", "I21", "D011", "I21",
                                               "D011", "I03", "D01", "I04", "D01"}));
    QCOMPARE(boxes.count(), 3);
    QCOMPARE(boxes.boxes()[2].prompt, QStringLiteral("Download Incomplete"));
    QCOMPARE(boxes.boxes()[2].title, QStringLiteral("Compensation Request"));
    QCOMPARE(boxes.boxes()[2].icon, MsgIcon::Critical);
}

// The raw reading times out: the loop ends although the engineering value of that pass was read
// (and stays shown); the buttons and Exit keep working.
void TestCompensation::rawReadingFailureEndsTheLoop()
{
    auto module = ConnectModule(QStringLiteral("VQ7_K6"), [](SimModule &m) {
        m.setLeadResistance(1, 0.0);
        m.setInput(1, 30.0);
    });
    Forms::get<frmMain>().Timer1().setInterval(200);
    // The raw reading of the second pass stays unanswered; its engineering value is 35 degC.
    module->addFault(SimFault::silence().onItem(4).afterExchanges(module->exchangeCount() + 4));
    Seen seen;
    ModalAnswerer answers;
    answers.expect<frmSetComp>([&](frmSetComp &w) {
        QPointer<frmSetComp> window(&w);
        OnCommand(*module, "D01", 2, [module] { module->setInput(1, 35.0); });
        QTimer::singleShot(1500, &w, [window] { window->cmdReset->click(); });
        OnCommand(*module, "D010", 1, [window, &seen] {
            QTimer::singleShot(100, window.data(), [window, &seen] {
                capture(*window, seen);
                window->cmdExit->click();
            });
        });
    });
    MsgRecorder boxes;
    openCompensation();

    QVERIFY2(answers.problems().isEmpty(), qPrintable(answers.problems().join(" / ")));
    QCOMPARE(CommandsOf(*module),
             (QStringList{"I03", "D01", "I04", "D01", "I03", "D01", "I04", "D01", "I21", "D010"}));
    QCOMPARE(boxes.prompts(), QStringList{"Timeout"});
    QCOMPARE(seen.inputreal, QStringLiteral("35.000"));
    QVERIFY(!seen.rawreal.isEmpty());
}

// Opened with no link at all: the first reading fails through the link's own report, the loop
// ends, a request is reported as incomplete, and the window still closes.
void TestCompensation::withoutALink()
{
    frmMain &main = Forms::get<frmMain>();
    main.mnuModelModel(2)->trigger();
    QCOMPARE(G.curKind(), int(KindK6));
    ModalAnswerer answers;
    answers.expect<frmSetComp>([&](frmSetComp &w) {
        QPointer<frmSetComp> window(&w);
        QTimer::singleShot(300, &w, [window] {
            window->cmd0->click();
            window->cmdExit->click();
        });
    });
    MsgRecorder boxes;
    openCompensation();

    QVERIFY2(answers.problems().isEmpty(), qPrintable(answers.problems().join(" / ")));
    QCOMPARE(boxes.prompts(), (QStringList{"Port is not open.", "Port is not open.",
                                           "Port is not open.", "Download Incomplete"}));
}

// The port goes away while the loop waits: one box, the window closes, the program disconnects.
void TestCompensation::portLost()
{
    auto module = ConnectModule(QStringLiteral("VQ7_K6"));
    ModalAnswerer answers;
    answers.expect<frmSetComp>([&](frmSetComp &w) {
        QPointer<frmSetComp> window(&w);
        OnCommand(*module, "D01", 2, [window, module] {
            if (window)
                WhenWaiting(*window, [module] { module->dropConnection(); });
        });
    });
    MsgRecorder boxes;
    openCompensation();

    QCOMPARE(CommandsOf(*module), (QStringList{"I03", "D01", "I04", "D01"}));
    QCOMPARE(boxes.count(), 1);
    QVERIFY(!G.LinkUp);
    QVERIFY(!G.AdjLoopOn);
    QVERIFY(Forms::get<frmMain>().mnuConnConn->isEnabled());
}

QTEST_MAIN(TestCompensation)
#include "tst_compensation.moc"
