// Zero and span adjustment as the engineer does it: the channel window, the setting window with
// its live value, what goes over the wire and what the windows show, and the link going away
// while a calibration runs.

#include "adjust/frmSetZeroSpan.h"
#include "adjust/frmZeroSpan.h"
#include "app/Resources.h"
#include "link/ModuleCommand.h"
#include "tests/adjust/AdjustTestSupport.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>

#include <cmath>

namespace {

const QString AdjTitle = QStringLiteral("Zero/Span Adj.");

QList<QWidget *> channelControls(const frmZeroSpan &w)
{
    return {w.cboChannel, w.cmdNext, w.cmdPrev, w.cmdReset, w.cmdZero, w.cmdSpan, w.cmdExit};
}

bool allEnabled(const QList<QWidget *> &controls, bool enabled)
{
    for (const QWidget *c : controls) {
        if (c->isEnabled() != enabled)
            return false;
    }
    return true;
}

// What the test saw of the windows before they were unloaded.
struct Seen
{
    QString title, retCaption, retdata, inputreal, unit1, unit2, unit3, entry;
    bool channelsDisabledWhileOpen = false;
    bool channelsEnabledAfter = false;
    bool belowChannelWindow = false;
};

void capture(frmSetZeroSpan &w, Seen &seen)
{
    seen.title = w.Label1->text();
    seen.retCaption = w.lblRet->text();
    seen.retdata = w.lblRetdata->text();
    seen.inputreal = w.lblInputreal->text();
    seen.unit1 = w.lblUnit1->text();
    seen.unit2 = w.lblUnit2->text();
    seen.unit3 = w.lblUnit3->text();
    seen.entry = w.txtReal->text();
    if (frmZeroSpan *channels = Forms::ifLoaded<frmZeroSpan>()) {
        seen.channelsDisabledWhileOpen = allEnabled(channelControls(*channels), false);
        const QRect above = channels->frameGeometry();
        seen.belowChannelWindow = w.pos() == QPoint(above.left(), above.top() + above.height());
    }
}

// Answers the channel window: picks the channel, presses the button, then Exit (unless the window
// is gone by then).
void answerChannelWindow(ModalAnswerer &answers, int channel, QPushButton *frmZeroSpan::*button,
                         Seen *seen = nullptr)
{
    answers.expect<frmZeroSpan>([=](frmZeroSpan &w) {
        QPointer<frmZeroSpan> guard(&w);
        w.cboChannel->setCurrentIndex(channel - 1);
        (w.*button)->click();
        if (!guard)
            return;
        if (seen)
            seen->channelsEnabledAfter = allEnabled(channelControls(w), true);
        w.cmdExit->click();
    });
}

// Exit, once the live loop waits after its nth reading from now (the reading of `dataCommand`).
void exitAfterReading(SimModule &module, frmSetZeroSpan &w, const QByteArray &dataCommand, int nth,
                      Seen *seen = nullptr)
{
    QPointer<frmSetZeroSpan> window(&w);
    OnCommand(module, dataCommand, nth, [window, seen] {
        if (!window)
            return;
        WhenWaiting(*window, [window, seen] {
            if (seen)
                capture(*window, *seen);
            window->cmdExit->click();
        });
    });
}

// Types the entry and presses OK.
void pressOk(const QPointer<frmSetZeroSpan> &window, const QString &entry)
{
    if (!window)
        return;
    window->txtReal->setText(entry);
    window->cmdOK->click();
}

QByteArray dataCommand(int channel)
{
    return "D" + QByteArray::number(channel).rightJustified(2, '0');
}

} // namespace

class TestZeroSpan : public QObject
{
    Q_OBJECT

private slots:
    void init() { ResetProgramState(); }
    void cleanup()
    {
        QVERIFY(!ModuleCommand::Running());
        QVERIFY(!Forms::ifLoaded<frmSetZeroSpan>());
        QVERIFY(!Forms::ifLoaded<frmZeroSpan>());
    }

    void prevNextWrapAround_data();
    void prevNextWrapAround();
    void zeroAdjustment_data();
    void zeroAdjustment();
    void spanRefusedBeforeZero();
    void spanOnAMillivoltChannel();
    void realEntry_data();
    void realEntry();
    void settingWindowNotShown_data();
    void settingWindowNotShown();
    void reset_data();
    void reset();
    void pressWritesBetweenTwoReadings_data();
    void pressWritesBetweenTwoReadings();
    void exitWaitsForWhatIsUnderWay();
    void timeoutStopsTheLiveLoop();
    void endedQuietly_data();
    void endedQuietly();
};

void TestZeroSpan::prevNextWrapAround_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("button");
    QTest::addColumn<int>("from");
    QTest::addColumn<int>("to");
    QTest::addColumn<int>("channels");
    QTest::newRow("UT5 Prev. on 1") << int(KindUt5) << "cmdPrev" << 1 << 16 << 16;
    QTest::newRow("UT5 Next on 16") << int(KindUt5) << "cmdNext" << 16 << 1 << 16;
    QTest::newRow("UT5 Next on 8") << int(KindUt5) << "cmdNext" << 8 << 9 << 16;
    QTest::newRow("K6 Prev. on 1") << int(KindK6) << "cmdPrev" << 1 << 8 << 8;
    QTest::newRow("UT8 Next on 8") << int(KindUt8) << "cmdNext" << 8 << 1 << 8;
    QTest::newRow("UT8 Prev. on 5") << int(KindUt8) << "cmdPrev" << 5 << 4 << 8;
    QTest::newRow("E4: nothing to adjust") << int(KindE4) << "cmdNext" << 0 << 0 << 0;
}

void TestZeroSpan::prevNextWrapAround()
{
    QFETCH(int, kind);
    QFETCH(QString, button);
    QFETCH(int, from);
    QFETCH(int, to);
    QFETCH(int, channels);
    frmMain &main = Forms::get<frmMain>();
    G.CurModelKind = int16_t(kind);
    int count = -1;
    QString shown;
    bool offersChannels = false;
    ModalAnswerer answers;
    answers.expect<frmZeroSpan>([&](frmZeroSpan &w) {
        count = w.cboChannel->count();
        QCOMPARE(w.cboChannel->isEditable(), false);
        w.cboChannel->setCurrentIndex(from - 1);
        w.findChild<QPushButton *>(button)->click();
        shown = w.cboChannel->currentText();
        offersChannels = w.cmdZero->isEnabled() && w.cmdSpan->isEnabled() &&
                         w.cmdReset->isEnabled() && w.cboChannel->isEnabled();
        QVERIFY(w.cmdExit->isEnabled());
        w.cmdExit->click();
    });
    main.mnuAdjZeroSpan->trigger();
    QVERIFY(answers.problems().isEmpty());
    QCOMPARE(count, channels);
    QCOMPARE(shown, to == 0 ? QString() : QString::number(to));
    QCOMPARE(offersChannels, channels > 0);
}

void TestZeroSpan::zeroAdjustment_data()
{
    QTest::addColumn<QString>("model");
    QTest::addColumn<int>("channel");
    QTest::addColumn<int>("type");
    QTest::addColumn<double>("before"); // the applied input, in the unit of the module
    QTest::addColumn<QString>("entry");
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<double>("after"); // applied after the adjustment (NaN: unchanged)
    QTest::addColumn<QString>("offset");
    QTest::addColumn<QString>("live");
    QTest::addColumn<QString>("unit");
    QTest::newRow("12.5 on a V channel 3")
        << "VQ7_UT5" << 3 << 0 << 12.3 << "12.5" << QByteArray("D0312.500") << qQNaN() << "-0.200"
        << "12.500"
        << "V";
    QTest::newRow("5 on an mV channel 2: sent in volts, shown in mV")
        << "VQ7_UT5" << 2 << 5 << 0.007 << "5" << QByteArray("D020.005") << 0.0171 << "2.000"
        << "15.100"
        << "mV";
    QTest::newRow("30 on a K6 resistance range")
        << "VQ7_K6" << 7 << 64 << 30.0 << "30" << QByteArray("D0730.000") << qQNaN() << "0.400"
        << "30.000"
        << "%";
}

// The engineer picks the channel, watches the live value, types the true value and presses OK:
// the write goes between two readings, the new offset is shown, and the live value responds.
void TestZeroSpan::zeroAdjustment()
{
    QFETCH(QString, model);
    QFETCH(int, channel);
    QFETCH(int, type);
    QFETCH(double, before);
    QFETCH(QString, entry);
    QFETCH(QByteArray, data);
    QFETCH(double, after);
    QFETCH(QString, offset);
    QFETCH(QString, live);
    QFETCH(QString, unit);
    auto module = ConnectModule(model, [&](SimModule &m) {
        QVERIFY(m.setTypeCode(channel, int16_t(type)));
        m.setInput(channel, before);
    });
    QVERIFY(G.LinkUp);
    const QByteArray d = dataCommand(channel);
    Seen seen;
    ModalAnswerer answers;
    answerChannelWindow(answers, channel, &frmZeroSpan::cmdZero, &seen);
    answers.expect<frmSetZeroSpan>([&](frmSetZeroSpan &w) {
        QPointer<frmSetZeroSpan> window(&w);
        OnCommand(*module, d, 1, [window, entry] { pressOk(window, entry); });
        if (!std::isnan(after))
            OnCommand(*module, data, 1,
                      [module, channel, after] { module->setInput(channel, after); });
        exitAfterReading(*module, w, d, 2, &seen);
    });
    MsgRecorder boxes;
    Forms::get<frmMain>().mnuAdjZeroSpan->trigger();

    QVERIFY2(answers.problems().isEmpty(), qPrintable(answers.problems().join(" / ")));
    QVERIFY2(boxes.boxes().isEmpty(), qPrintable(boxes.prompts().join(" / ")));
    const QString c = QString::fromLatin1(d);
    QCOMPARE(CommandsOf(*module), (QStringList{"I18", c, "I03", c, "I03", c, "I18",
                                               QString::fromLatin1(data), "I03", c}));
    QCOMPARE(seen.title, QStringLiteral("Zero Adj. Setting"));
    QCOMPARE(seen.retCaption, QStringLiteral("Offset data"));
    QCOMPARE(seen.retdata, offset);
    QCOMPARE(seen.inputreal, live);
    QCOMPARE(seen.unit1, unit);
    QCOMPARE(seen.unit2, unit);
    QCOMPARE(seen.unit3, unit);
    QVERIFY(seen.channelsDisabledWhileOpen);
    QVERIFY(seen.belowChannelWindow);
    QVERIFY(seen.channelsEnabledAfter);
    QVERIFY(!G.AdjLoopOn);
}

// Span asks the module first whether the channel has its zero: with none, a warning and no window.
// While it asks, the channel window's controls are away and its frame does not close it.
void TestZeroSpan::spanRefusedBeforeZero()
{
    auto module = ConnectModule(QStringLiteral("VQ7_UT5"));
    bool awayWhileAsking = false;
    OnCommand(*module, "D05", 1, [&awayWhileAsking] {
        frmZeroSpan *w = Forms::ifLoaded<frmZeroSpan>();
        static_cast<QDialog *>(w)->reject(); // the frame's close button
        awayWhileAsking = allEnabled(channelControls(*w), false) && w->isVisible();
    });
    Seen seen;
    ModalAnswerer answers;
    answerChannelWindow(answers, 5, &frmZeroSpan::cmdSpan, &seen);
    MsgRecorder boxes;
    Forms::get<frmMain>().mnuAdjZeroSpan->trigger();

    QVERIFY(awayWhileAsking);

    QCOMPARE(answers.shown(), QStringList{"frmZeroSpan"});
    QCOMPARE(CommandsOf(*module), (QStringList{"G01", "I17", "D05"}));
    QCOMPARE(boxes.count(), 1);
    QCOMPARE(boxes.boxes()[0].prompt, QStringLiteral("First, you set Zero adj."));
    QCOMPARE(boxes.boxes()[0].title, AdjTitle);
    QCOMPARE(boxes.boxes()[0].icon, MsgIcon::Exclamation);
    QVERIFY(seen.channelsEnabledAfter);
}

// Span on a zero-adjusted mV channel: the entry goes out in volts, the coefficient is a ratio and
// is never scaled, its unit is "%".
void TestZeroSpan::spanOnAMillivoltChannel()
{
    auto module = ConnectModule(QStringLiteral("VQ7_UT5"), [](SimModule &m) {
        QVERIFY(m.setTypeCode(5, 5));
        m.setZeroSpan(5, 1, 0.0, 1.0);
        m.setInput(5, 0.008);
    });
    Seen opened, seen;
    ModalAnswerer answers;
    answerChannelWindow(answers, 5, &frmZeroSpan::cmdSpan, &seen);
    answers.expect<frmSetZeroSpan>([&](frmSetZeroSpan &w) {
        capture(w, opened);
        QPointer<frmSetZeroSpan> window(&w);
        OnCommand(*module, "D05", 1, [window] { pressOk(window, QStringLiteral("10")); });
        exitAfterReading(*module, w, "D05", 2, &seen);
    });
    MsgRecorder boxes;
    Forms::get<frmMain>().mnuAdjZeroSpan->trigger();

    QVERIFY2(boxes.boxes().isEmpty(), qPrintable(boxes.prompts().join(" / ")));
    QCOMPARE(CommandsOf(*module), (QStringList{"G01", "I17", "D05", "I19", "D05", "I03", "D05",
                                               "I03", "D05", "I19", "D050.010", "I03", "D05"}));
    QCOMPARE(opened.title, QStringLiteral("Span Adj. Setting"));
    QCOMPARE(opened.retCaption, QStringLiteral("Span coefficient"));
    QCOMPARE(opened.retdata, QStringLiteral("1.000"));
    QCOMPARE(opened.inputreal, QStringLiteral("8.000"));
    QCOMPARE(seen.retdata, QStringLiteral("1.250"));
    QCOMPARE(seen.inputreal, QStringLiteral("10.000"));
    QCOMPARE(seen.unit1, QStringLiteral("%"));
    QCOMPARE(seen.unit2, QStringLiteral("mV"));
    QCOMPARE(seen.unit3, QStringLiteral("mV"));
    QCOMPARE(module->zeroSpanState(5), 2);
    QVERIFY(seen.channelsEnabledAfter);
}

void TestZeroSpan::realEntry_data()
{
    QTest::addColumn<QString>("entry");
    QTest::addColumn<QByteArray>("data"); // empty: refused, nothing written
    QTest::addColumn<QString>("shownEntry");
    QTest::newRow("comma as decimal point") << "1,5" << QByteArray("D031.500") << "1,5";
    QTest::newRow("empty: 0") << "" << QByteArray("D030.000") << "0";
    QTest::newRow("sign and blanks") << " -2.25 " << QByteArray("D03-2.250") << " -2.25 ";
    QTest::newRow("full-width digits") << QString::fromUtf8("１２．５") << QByteArray("D0312.500")
                                       << QString::fromUtf8("１２．５");
    QTest::newRow("rounded to three decimals") << "0.12345" << QByteArray("D030.123") << "0.12345";
    QTest::newRow("a letter after the number") << "12.5x" << QByteArray() << "12.5x";
    QTest::newRow("an exponent") << "1e3" << QByteArray() << "1e3";
    QTest::newRow("two points") << "1.2.3" << QByteArray() << "1.2.3";
}

// What the engineer types is the value the module is told, or nothing is sent at all.
void TestZeroSpan::realEntry()
{
    QFETCH(QString, entry);
    QFETCH(QByteArray, data);
    QFETCH(QString, shownEntry);
    auto module = ConnectModule(QStringLiteral("VQ7_UT5"), [](SimModule &m) {
        QVERIFY(m.setTypeCode(3, 0));
        m.setInput(3, 1.0);
    });
    Seen seen;
    ModalAnswerer answers;
    answerChannelWindow(answers, 3, &frmZeroSpan::cmdZero);
    answers.expect<frmSetZeroSpan>([&](frmSetZeroSpan &w) {
        QPointer<frmSetZeroSpan> window(&w);
        OnCommand(*module, "D03", 1, [window, entry] { pressOk(window, entry); });
        exitAfterReading(*module, w, "D03", 2, &seen);
    });
    MsgRecorder boxes;
    Forms::get<frmMain>().mnuAdjZeroSpan->trigger();

    QStringList expected{"I18", "D03", "I03", "D03", "I03", "D03"};
    if (!data.isEmpty())
        expected << "I18" << QString::fromLatin1(data);
    expected << "I03"
             << "D03";
    QCOMPARE(CommandsOf(*module), expected);
    QCOMPARE(seen.entry, shownEntry);
    if (data.isEmpty()) {
        QCOMPARE(boxes.prompts(), QStringList{LoadResString(4200)});
        QCOMPARE(boxes.boxes()[0].title, AdjTitle);
        QCOMPARE(module->zeroSpanState(3), 0);
    } else {
        QVERIFY2(boxes.boxes().isEmpty(), qPrintable(boxes.prompts().join(" / ")));
    }
}

void TestZeroSpan::settingWindowNotShown_data()
{
    QTest::addColumn<bool>("span");
    QTest::addColumn<int>("item");   // the item whose reads stay unanswered
    QTest::addColumn<int>("silent"); // how many of them
    QTest::addColumn<QStringList>("commands");
    QTest::addColumn<bool>("shown");
    QTest::newRow("offset read fails twice")
        << false << 18 << 2 << QStringList{"I18", "D03", "I18", "D03"} << false;
    QTest::newRow("coefficient read fails twice")
        << true << 19 << 2 << QStringList{"G01", "I17", "D03", "I19", "D03", "I19", "D03"} << false;
    QTest::newRow("first live value fails")
        << false << 3 << 1 << QStringList{"I18", "D03", "I03", "D03"} << false;
    QTest::newRow("offset read fails once: read again")
        << false << 18 << 1 << QStringList{"I18", "D03", "I18", "D03", "I03", "D03"} << true;
}

// A preparing read that fails (after its one retry) leaves the setting window unshown and the
// channel window usable again; only the link's own time-out boxes are shown.
void TestZeroSpan::settingWindowNotShown()
{
    QFETCH(bool, span);
    QFETCH(int, item);
    QFETCH(int, silent);
    QFETCH(QStringList, commands);
    QFETCH(bool, shown);
    auto module = ConnectModule(QStringLiteral("VQ7_UT5"),
                                [](SimModule &m) { m.setZeroSpan(3, 1, 0.0, 1.0); });
    Forms::get<frmMain>().Timer1().setInterval(150);
    module->addFault(SimFault::silence().onItem(item).limit(silent));
    Seen seen;
    ModalAnswerer answers;
    answerChannelWindow(answers, 3, span ? &frmZeroSpan::cmdSpan : &frmZeroSpan::cmdZero, &seen);
    if (shown)
        answers.expect<frmSetZeroSpan>([](frmSetZeroSpan &w) { w.cmdExit->click(); });
    MsgRecorder boxes;
    Forms::get<frmMain>().mnuAdjZeroSpan->trigger();

    QVERIFY2(answers.problems().isEmpty(), qPrintable(answers.problems().join(" / ")));
    QCOMPARE(CommandsOf(*module), commands);
    QCOMPARE(answers.shown().contains(QStringLiteral("frmSetZeroSpan")), shown);
    QCOMPARE(boxes.prompts(), QStringList(silent, QStringLiteral("Timeout")));
    QVERIFY(seen.channelsEnabledAfter);
}

void TestZeroSpan::reset_data()
{
    QTest::addColumn<int>("refusals");
    QTest::addColumn<QStringList>("commands");
    QTest::addColumn<int>("boxes");
    QTest::newRow("accepted") << 0 << QStringList{"G01", "I17", "D090"} << 0;
    QTest::newRow("refused once: written again")
        << 1 << QStringList{"G01", "I17", "D090", "I17", "D090"} << 1;
    QTest::newRow("refused twice") << 2 << QStringList{"G01", "I17", "D090", "I17", "D090"} << 3;
}

// Reset clears channel 9's adjustment: one retry, then "Zero/Span Adj. Reset Incomplete".
void TestZeroSpan::reset()
{
    QFETCH(int, refusals);
    QFETCH(QStringList, commands);
    QFETCH(int, boxes);
    auto module = ConnectModule(QStringLiteral("VQ7_UT5"),
                                [](SimModule &m) { m.setZeroSpan(9, 2, 0.25, 1.5); });
    if (refusals > 0)
        module->addFault(SimFault::refuse(true).onItem(17).writesOnly().limit(refusals));
    ModalAnswerer answers;
    answerChannelWindow(answers, 9, &frmZeroSpan::cmdReset);
    MsgRecorder told;
    Forms::get<frmMain>().mnuAdjZeroSpan->trigger();

    QCOMPARE(CommandsOf(*module), commands);
    QCOMPARE(told.count(), boxes);
    QCOMPARE(module->zeroSpanState(9), refusals < 2 ? 0 : 2);
    if (refusals == 2) {
        QCOMPARE(told.boxes().last().prompt, QStringLiteral("Zero/Span Adj. Reset Incomplete"));
        QCOMPARE(told.boxes().last().title, AdjTitle);
        QCOMPARE(told.boxes().last().icon, MsgIcon::Critical);
    }
}

void TestZeroSpan::pressWritesBetweenTwoReadings_data()
{
    QTest::addColumn<QString>("when");
    QTest::newRow("while the loop waits") << "wait";
    QTest::newRow("while a reading's item select waits for its reply") << "I03";
    QTest::newRow("while a reading's data command waits for its reply") << "D03";
}

// OK pressed at any moment of the live loop: the write never comes between a reading's item
// select and its data command, it goes out right after the reading (a wait ends at once), and the
// next reading follows the write at once.
void TestZeroSpan::pressWritesBetweenTwoReadings()
{
    QFETCH(QString, when);
    auto module = ConnectModule(QStringLiteral("VQ7_UT5"), [](SimModule &m) {
        QVERIFY(m.setTypeCode(3, 0));
        m.setInput(3, 12.3);
    });
    CommandClock clock(*module);
    qint64 pressedAt = -1;
    ModalAnswerer answers;
    answerChannelWindow(answers, 3, &frmZeroSpan::cmdZero);
    answers.expect<frmSetZeroSpan>([&](frmSetZeroSpan &w) {
        QPointer<frmSetZeroSpan> window(&w);
        auto press = [window, &pressedAt, &clock] {
            pressedAt = clock.clock.elapsed();
            pressOk(window, QStringLiteral("12.5"));
        };
        if (when == QLatin1String("wait"))
            OnCommand(*module, "D03", 1, [window, press] {
                if (window)
                    WhenWaiting(*window, press);
            });
        else
            OnCommand(*module, when.toLatin1(), 1, press);
        exitAfterReading(*module, w, "D03", 2);
    });
    MsgRecorder boxes;
    Forms::get<frmMain>().mnuAdjZeroSpan->trigger();

    QVERIFY2(boxes.boxes().isEmpty(), qPrintable(boxes.prompts().join(" / ")));
    QCOMPARE(CommandsOf(*module), (QStringList{"I18", "D03", "I03", "D03", "I03", "D03", "I18",
                                               "D0312.500", "I03", "D03"}));
    const qint64 written = clock.time("I18", 2);
    const qint64 nextReading = clock.time("I03", 3);
    QVERIFY(pressedAt >= 0);
    QVERIFY2(written - pressedAt < 250, qPrintable(QString::number(written - pressedAt)));
    QVERIFY2(nextReading - clock.time("D0312.500") < 250,
             qPrintable(QString::number(nextReading - clock.time("D0312.500"))));
}

// Exit pressed while a reading waits for its reply, after two OK presses: the reading ends, both
// writes go out in order with the window still on view, a press after Exit is ignored, and the
// window closes with nothing more on the wire.
void TestZeroSpan::exitWaitsForWhatIsUnderWay()
{
    auto module = ConnectModule(QStringLiteral("VQ7_UT5"), [](SimModule &m) {
        QVERIFY(m.setTypeCode(3, 0));
        m.setInput(3, 1.5);
    });
    module->setReplyDelay(100);
    Seen seen;
    bool onViewDuringWrites = false;
    ModalAnswerer answers;
    answerChannelWindow(answers, 3, &frmZeroSpan::cmdZero, &seen);
    answers.expect<frmSetZeroSpan>([&](frmSetZeroSpan &w) {
        QPointer<frmSetZeroSpan> window(&w);
        OnCommand(*module, "I03", 1, [window] {
            pressOk(window, QStringLiteral("1"));
            pressOk(window, QStringLiteral("2"));
            window->cmdExit->click();
            pressOk(window, QStringLiteral("3"));
        });
        OnCommand(*module, "D032.000", 1, [window, &onViewDuringWrites, &seen] {
            onViewDuringWrites = window && window->isVisible();
            seen.channelsDisabledWhileOpen =
                allEnabled(channelControls(*Forms::ifLoaded<frmZeroSpan>()), false);
        });
    });
    MsgRecorder boxes;
    Forms::get<frmMain>().mnuAdjZeroSpan->trigger();

    QVERIFY2(answers.problems().isEmpty(), qPrintable(answers.problems().join(" / ")));
    QVERIFY2(boxes.boxes().isEmpty(), qPrintable(boxes.prompts().join(" / ")));
    QCOMPARE(CommandsOf(*module), (QStringList{"I18", "D03", "I03", "D03", "I03", "D03", "I18",
                                               "D031.000", "I18", "D032.000"}));
    QVERIFY(onViewDuringWrites);
    QVERIFY(seen.channelsDisabledWhileOpen);
    QVERIFY(seen.channelsEnabledAfter);
    QVERIFY(!G.AdjLoopOn);
}

// A reading that times out ends the live loop without further boxes; OK still writes (and shows
// the new offset), Exit still closes.
void TestZeroSpan::timeoutStopsTheLiveLoop()
{
    auto module = ConnectModule(QStringLiteral("VQ7_UT5"), [](SimModule &m) {
        QVERIFY(m.setTypeCode(3, 0));
        m.setInput(3, 2.0);
    });
    Forms::get<frmMain>().Timer1().setInterval(200);
    // The data command of the loop's first reading stays unanswered.
    module->addFault(
        SimFault::silence().onCommand("D03").afterExchanges(module->exchangeCount() + 5).limit(1));
    Seen seen;
    ModalAnswerer answers;
    answerChannelWindow(answers, 3, &frmZeroSpan::cmdZero, &seen);
    answers.expect<frmSetZeroSpan>([&](frmSetZeroSpan &w) {
        QPointer<frmSetZeroSpan> window(&w);
        // Well after the time-out: the loop would have read twice more by now.
        QTimer::singleShot(1500, &w, [window] { pressOk(window, QStringLiteral("1")); });
        OnCommand(*module, "D031.000", 1, [window, &seen] {
            QTimer::singleShot(100, window.data(), [window, &seen] {
                capture(*window, seen);
                window->cmdExit->click();
            });
        });
    });
    MsgRecorder boxes;
    Forms::get<frmMain>().mnuAdjZeroSpan->trigger();

    QVERIFY2(answers.problems().isEmpty(), qPrintable(answers.problems().join(" / ")));
    QCOMPARE(CommandsOf(*module),
             (QStringList{"I18", "D03", "I03", "D03", "I03", "D03", "I18", "D031.000"}));
    QCOMPARE(boxes.prompts(), QStringList{"Timeout"});
    QCOMPARE(seen.retdata, QStringLiteral("1.000"));   // the new offset
    QCOMPARE(seen.inputreal, QStringLiteral("2.000")); // the live value stopped
    QVERIFY(seen.channelsEnabledAfter);
}

void TestZeroSpan::endedQuietly_data()
{
    QTest::addColumn<QString>("how");
    QTest::addColumn<QString>("when");
    QTest::newRow("Disconnect while the loop waits") << "disconnect"
                                                     << "wait";
    QTest::newRow("Disconnect during a reading") << "disconnect"
                                                 << "reading";
    QTest::newRow("File, End while the loop waits") << "exit"
                                                    << "wait";
    QTest::newRow("File, End during a reading") << "exit"
                                                << "reading";
    QTest::newRow("File, End during the preparing reads") << "exit"
                                                          << "preparing";
    QTest::newRow("File, End during Span's state read") << "exit"
                                                        << "span";
    QTest::newRow("closing the main window while the loop waits") << "close"
                                                                  << "wait";
    QTest::newRow("port lost while the loop waits") << "drop"
                                                    << "wait";
    QTest::newRow("port lost during a reading") << "drop"
                                                << "reading";
}

// Disconnect, Exit or a lost port while a calibration talks: it ends at once without a box of
// its own, its windows close, nothing more goes out, and the program then does as asked.
void TestZeroSpan::endedQuietly()
{
    QFETCH(QString, how);
    QFETCH(QString, when);
    auto module = ConnectModule(QStringLiteral("VQ7_UT5"),
                                [](SimModule &m) { m.setZeroSpan(3, 1, 0.0, 1.0); });
    frmMain &main = Forms::get<frmMain>();
    int exchangesAtEnd = -1;
    auto end = [&main, &module, how, &exchangesAtEnd] {
        exchangesAtEnd = module->exchangeCount();
        if (how == QLatin1String("disconnect"))
            main.mnuConnDisConn->trigger();
        else if (how == QLatin1String("exit"))
            main.mnuFileExit->trigger();
        else if (how == QLatin1String("close"))
            main.close();
        else
            module->dropConnection();
    };
    const bool span = when == QLatin1String("span");
    if (span)
        OnCommand(*module, "D03", 1, end);
    else if (when == QLatin1String("preparing"))
        OnCommand(*module, "I18", 1, end);
    ModalAnswerer answers;
    answerChannelWindow(answers, 3, span ? &frmZeroSpan::cmdSpan : &frmZeroSpan::cmdZero);
    if (!span && when != QLatin1String("preparing")) {
        answers.expect<frmSetZeroSpan>([&](frmSetZeroSpan &w) {
            QPointer<frmSetZeroSpan> window(&w);
            if (when == QLatin1String("reading"))
                OnCommand(*module, "D03", 1, end);
            else
                OnCommand(*module, "D03", 1, [window, end] {
                    if (window)
                        WhenWaiting(*window, end);
                });
        });
    }
    MsgRecorder boxes;
    main.mnuAdjZeroSpan->trigger();
    QTest::qWait(20); // a close of the main window is carried out from the event loop

    QVERIFY2(answers.problems().isEmpty(), qPrintable(answers.problems().join(" / ")));
    QVERIFY(exchangesAtEnd > 0);
    QCOMPARE(module->exchangeCount(), exchangesAtEnd); // nothing went out after the one waiting
    QVERIFY(!G.AdjLoopOn);
    if (how == QLatin1String("drop")) {
        QCOMPARE(boxes.count(), 1);
        QVERIFY2(boxes.boxes()[0].prompt.startsWith(
                     QStringLiteral("The connection to the module was lost")),
                 qPrintable(boxes.boxes()[0].prompt));
    } else {
        QVERIFY2(boxes.boxes().isEmpty(), qPrintable(boxes.prompts().join(" / ")));
    }
    if (how == QLatin1String("exit") || how == QLatin1String("close")) {
        QVERIFY(!main.isVisible());
    } else {
        QVERIFY(main.isVisible());
        QVERIFY(!G.LinkUp);
        QVERIFY(main.mnuConnConn->isEnabled());
        QVERIFY(!main.mnuConnDisConn->isEnabled());
    }
}

QTEST_MAIN(TestZeroSpan)
#include "tst_zerospan.moc"
