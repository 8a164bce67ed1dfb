// The counter settings windows against a simulated L7 module: the per-channel window opened from
// the panel's channel buttons (DO and preset written through to the panel and the model, the
// preset entry checks, Prev/Next, Copy/Paste, the download of one channel) and the module-wide
// window opened from the Configuration menu.

#include "app/Forms.h"
#include "app/frmMain.h"
#include "link/ModuleCommand.h"
#include "model/Globals.h"
#include "app/frmCommPort.h"
#include "panels/DiscretePanel.h"
#include "settings/CounterSettings.h"
#include "tests/settings/SettingsTestSupport.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

namespace {

// Presses the panel's button of the channel and hands the window to `act`, which closes it.
void openChannel(ModalAnswerer &answers, int ch, std::function<void(frmCount &)> act)
{
    answers.expect<frmCount>([act](frmCount &window) { act(window); });
    Forms::get<frmL7>().cmdCh(ch)->click();
}

void openModuleWide(ModalAnswerer &answers, std::function<void(frmCountSet &)> act)
{
    answers.expect<frmCountSet>([act](frmCountSet &window) { act(window); });
    Forms::get<frmMain>().mnuConfigCount->trigger();
}

// What the window shows for its channel: "6 ON 4321".
QString shown(const frmCount &w)
{
    return QStringLiteral("%1 %2 %3")
        .arg(w.cboChannel->currentText(), w.optDO(1)->isChecked() ? "ON" : "OFF", w.txtPreset->text());
}

// What the panel and the model hold for a channel: "ON 100 / 1 100".
QString held(int ch)
{
    const frmL7 &panel = Forms::get<frmL7>();
    return QStringLiteral("%1 %2 / %3 %4")
        .arg(panel.lblDO(ch)->text(), panel.lblPreset(ch)->text())
        .arg(G.ChDoMode[std::size_t(ch)])
        .arg(G.ChPreset[std::size_t(ch)]);
}

} // namespace

class TestCounterSettings : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        ResetProgramState();
        module = ConnectSimModule(QStringLiteral("VQ7_L7"));
    }
    void cleanup()
    {
        QVERIFY(!ModuleCommand::Running());
        module.reset();
    }

    void channelButtonOpensItsChannel_data();
    void channelButtonOpensItsChannel();
    void prevAndNext_data();
    void prevAndNext();
    void presetEntry_data();
    void presetEntry();
    void doOptionWritesThrough();
    void copyAndPaste();
    void pasteBeforeAnyCopy();
    void channelDownload_data();
    void channelDownload();
    void moduleWideReading_data();
    void moduleWideReading();
    void moduleWideDownload_data();
    void moduleWideDownload();
    void commandsDuringConnectAreHeldBack();

private:
    std::shared_ptr<SimModule> module;
};

void TestCounterSettings::channelButtonOpensItsChannel_data()
{
    QTest::addColumn<QString>("doLabel");
    QTest::addColumn<QString>("presetLabel");
    QTest::addColumn<QString>("expected");
    QTest::newRow("ON") << "ON" << "4321" << "6 ON 4321";
    QTest::newRow("OFF") << "OFF" << "5" << "6 OFF 5";
    QTest::newRow("empty DO label shows OFF") << "" << "" << "6 OFF ";
}

// The channel's button opens the window on that channel with the panel's values; opening alone
// changes neither the panel nor the model, nor talks to the module.
void TestCounterSettings::channelButtonOpensItsChannel()
{
    QFETCH(QString, doLabel);
    QFETCH(QString, presetLabel);
    QFETCH(QString, expected);
    frmL7 &panel = Forms::get<frmL7>();
    panel.lblDO(6)->setText(doLabel);
    panel.lblPreset(6)->setText(presetLabel);
    G.ChDoMode[6] = 7; // neither 0 nor 1: shows whether opening wrote it
    G.ChPreset[6] = QStringLiteral("model");
    const QString before = held(6);

    QString seen;
    ModalAnswerer answers;
    MsgRecorder boxes;
    openChannel(answers, 6, [&](frmCount &w) {
        seen = shown(w);
        w.cmdExit->click();
    });

    QVERIFY2(answers.problems().isEmpty(), qPrintable(answers.problems().join(" / ")));
    QCOMPARE(seen, expected);
    QCOMPARE(held(6), before);
    QVERIFY(boxes.boxes().isEmpty());
    QCOMPARE(Wire(*module), QString());
    QVERIFY(!G.CountFilling);
    QVERIFY(!Forms::ifLoaded<frmCount>());
}

void TestCounterSettings::prevAndNext_data()
{
    QTest::addColumn<int>("from");
    QTest::addColumn<QString>("button");
    QTest::addColumn<int>("to");
    QTest::newRow("Prev. on 1 gives 8") << 1 << "cmdPrev" << 8;
    QTest::newRow("Next on 8 gives 1") << 8 << "cmdNext" << 1;
    QTest::newRow("Prev. on 3") << 3 << "cmdPrev" << 2;
    QTest::newRow("Next on 3") << 3 << "cmdNext" << 4;
}

// Prev. and Next step through the channels round the ends and show the new channel's values.
void TestCounterSettings::prevAndNext()
{
    QFETCH(int, from);
    QFETCH(QString, button);
    QFETCH(int, to);
    frmL7 &panel = Forms::get<frmL7>();
    for (int ch = 1; ch <= 8; ++ch) {
        panel.lblDO(ch)->setText(ch % 2 ? "ON" : "OFF");
        panel.lblPreset(ch)->setText(QString::number(ch * 11));
    }
    QString seen;
    ModalAnswerer answers;
    openChannel(answers, from, [&](frmCount &w) {
        w.findChild<QPushButton *>(button)->click();
        seen = shown(w);
        w.cmdExit->click();
    });
    QCOMPARE(seen, QStringLiteral("%1 %2 %3").arg(to).arg(to % 2 ? "ON" : "OFF").arg(to * 11));
}

void TestCounterSettings::presetEntry_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("result");
    QTest::addColumn<QStringList>("told");
    QTest::newRow("nine digits") << "123456789" << "123456789" << QStringList{};
    QTest::newRow("a tenth digit is cut with the message")
        << "1234567890" << "123456789"
        << QStringList{"Preset Data Check: Output set point must be 0 to 999999999."};
    QTest::newRow("a sign is taken out") << "12-3" << "123"
                                         << QStringList{"TARVIK: Please enter positive number."};
}

// What the user types into the preset box reaches the panel and ChPreset at once, limited to nine
// digits and to digits only.
void TestCounterSettings::presetEntry()
{
    QFETCH(QString, typed);
    QFETCH(QString, result);
    QFETCH(QStringList, told);
    QString inBox;
    ModalAnswerer answers;
    MsgRecorder boxes;
    openChannel(answers, 4, [&](frmCount &w) {
        w.txtPreset->clear();
        QTest::keyClicks(w.txtPreset, typed);
        inBox = w.txtPreset->text();
        w.cmdExit->click();
    });
    QCOMPARE(inBox, result);
    QCOMPARE(Told(boxes), told);
    QCOMPARE(Forms::get<frmL7>().lblPreset(4)->text(), result);
    QCOMPARE(G.ChPreset[4], result);
    QCOMPARE(Wire(*module), QString());
}

// A click on a DO option sets the channel's panel label and ChDoMode at once.
void TestCounterSettings::doOptionWritesThrough()
{
    Forms::get<frmL7>().lblDO(2)->setText(QStringLiteral("OFF"));
    G.ChDoMode[2] = 0;
    QString afterOn, afterOff;
    ModalAnswerer answers;
    openChannel(answers, 2, [&](frmCount &w) {
        w.optDO(1)->click();
        afterOn = held(2);
        w.optDO(0)->click();
        afterOff = held(2);
        w.cmdExit->click();
    });
    const QString preset = Forms::get<frmL7>().lblPreset(2)->text();
    QCOMPARE(afterOn, QStringLiteral("ON %1 / 1 %2").arg(preset, G.ChPreset[2]));
    QCOMPARE(afterOff, QStringLiteral("OFF %1 / 0 %2").arg(preset, G.ChPreset[2]));
}

// Copy on channel 2 (ON, 100) and Paste on channel 5 set channel 5 in the panel and the model,
// without a word to the module; channel 2 stays as it was.
void TestCounterSettings::copyAndPaste()
{
    frmL7 &panel = Forms::get<frmL7>();
    panel.lblDO(5)->setText(QStringLiteral("OFF"));
    panel.lblPreset(5)->setText(QStringLiteral("77"));
    ModalAnswerer answers;
    MsgRecorder boxes;
    openChannel(answers, 2, [&](frmCount &w) {
        w.optDO(1)->click();
        w.txtPreset->setText(QStringLiteral("100"));
        w.cmdCopy->click();
        for (int i = 0; i < 3; ++i)
            w.cmdNext->click();
        w.cmdPaste->click();
        w.cmdExit->click();
    });
    QCOMPARE(held(5), QStringLiteral("ON 100 / 1 100"));
    QCOMPARE(held(2), QStringLiteral("ON 100 / 1 100"));
    QCOMPARE(G.CountClipDo, 1);
    QCOMPARE(G.CountClipPreset, QStringLiteral("100"));
    QCOMPARE(Wire(*module), QString());
    QVERIFY(boxes.boxes().isEmpty());
}

// Paste before any Copy selects OFF and empties the preset.
void TestCounterSettings::pasteBeforeAnyCopy()
{
    frmL7 &panel = Forms::get<frmL7>();
    panel.lblDO(3)->setText(QStringLiteral("ON"));
    panel.lblPreset(3)->setText(QStringLiteral("300"));
    QString seen;
    ModalAnswerer answers;
    openChannel(answers, 3, [&](frmCount &w) {
        w.cmdPaste->click();
        seen = shown(w);
        w.cmdExit->click();
    });
    QCOMPARE(seen, QStringLiteral("3 OFF "));
    QCOMPARE(held(3), QStringLiteral("OFF  / 0 "));
}

void TestCounterSettings::channelDownload_data()
{
    QTest::addColumn<QString>("preset");
    QTest::addColumn<QString>("fault");
    QTest::addColumn<QString>("wire");
    QTest::addColumn<QStringList>("told");
    const QStringList incomplete{"Count Download: Download Incomplete"};
    QTest::newRow("ON and preset 0") << "0" << "" << "G01 I07 D031 I09 D030" << QStringList{};
    QTest::newRow("nine digits") << "999999999" << "" << "G01 I07 D031 I09 D03999999999"
                                 << QStringList{};
    QTest::newRow("preset answered 00") << "0" << "wrong-echo:item=9,text=00"
                                        << "G01 I07 D031 I09 D030" << incomplete;
    QTest::newRow("DO answered 0: preset not written") << "0" << "wrong-echo:item=7,text=0"
                                                        << "G01 I07 D031" << incomplete;
    QTest::newRow("empty preset: nothing written") << "" << "" << ""
        << QStringList{"Preset Data Check: Output set point must be 0 to 999999999."};
}

// Download of one channel writes its DO setting and then its preset, each echoed exactly; a
// failure is told as "Download Incomplete" and the window stays open.
void TestCounterSettings::channelDownload()
{
    QFETCH(QString, preset);
    QFETCH(QString, fault);
    QFETCH(QString, wire);
    QFETCH(QStringList, told);
    if (!fault.isEmpty())
        QVERIFY(module->addFault(fault));
    QString asked;
    bool stillOpen = false;
    ModalAnswerer answers;
    MsgRecorder boxes;
    openChannel(answers, 3, [&](frmCount &w) {
        w.optDO(1)->click();
        w.txtPreset->setText(preset);
        if (!wire.isEmpty())
            AnswerConfirmation(answers, true, &asked);
        w.cmdDownload->click();
        stillOpen = w.isVisible();
        w.cmdExit->click();
    });
    QVERIFY2(answers.problems().isEmpty(), qPrintable(answers.problems().join(" / ")));
    QCOMPARE(Wire(*module), wire);
    QCOMPARE(Told(boxes), told);
    QVERIFY(stillOpen);
    if (!wire.isEmpty())
        QCOMPARE(asked, QStringLiteral("Starting download for Channel No.3"));
    if (told.isEmpty()) {
        QCOMPARE(module->output(3), 1);
        QCOMPARE(module->preset(3), preset.toUInt());
    }
}

void TestCounterSettings::moduleWideReading_data()
{
    QTest::addColumn<int>("edge");
    QTest::addColumn<int>("zero");
    QTest::addColumn<int>("memory");
    QTest::addColumn<QString>("selected"); // the options selected: edge, zero, memory
    QTest::newRow("all 0") << 0 << 0 << 0 << "0 1 0";
    QTest::newRow("all 1") << 1 << 1 << 1 << "1 0 1";
}

// Opening reads the pulse edge, the count zero and the rate memory and selects their options.
void TestCounterSettings::moduleWideReading()
{
    QFETCH(int, edge);
    QFETCH(int, zero);
    QFETCH(int, memory);
    QFETCH(QString, selected);
    module->setPulseEdge(edge);
    module->setCountZero(zero);
    module->setRateMemory(memory);
    QString seen, captions;
    ModalAnswerer answers;
    openModuleWide(answers, [&](frmCountSet &w) {
        seen = QStringLiteral("%1 %2 %3")
                   .arg(w.optEdge(1)->isChecked() ? 1 : 0)
                   .arg(w.optCntZero(1)->isChecked() ? 1 : 0)
                   .arg(w.optCntRate(1)->isChecked() ? 1 : 0);
        captions = w.optEdge(0)->text() + QLatin1Char('|') + w.optEdge(1)->text();
        w.cmdExit->click();
    });
    QVERIFY2(answers.problems().isEmpty(), qPrintable(answers.problems().join(" / ")));
    QCOMPARE(Wire(*module), QStringLiteral("G01 I10 D I11 D I14 D"));
    QCOMPARE(seen, selected);
    QCOMPARE(captions, QStringLiteral("\"H\"or\"OPEN\"-->\"GND\"|\"GND\"-->\"H\"or\"OPEN\""));
}

void TestCounterSettings::moduleWideDownload_data()
{
    QTest::addColumn<QString>("choice"); // the options chosen: edge, zero (0 Clear), memory
    QTest::addColumn<QString>("fault");
    QTest::addColumn<QString>("wire");
    QTest::addColumn<bool>("open"); // the window stays open
    QTest::newRow("Non Clear: no count zero") << "0 1 1" << "" << "I10 D0 I14 D1" << true;
    QTest::newRow("Clear between the two") << "1 0 0" << "" << "I10 D1 I11 D1 I14 D0" << true;
    QTest::newRow("Clear not answered OK") << "1 0 0" << "wrong-echo:item=11,text=1"
                                           << "I10 D1 I11 D1" << false;
    QTest::newRow("pulse edge echoed wrong") << "1 1 0" << "wrong-echo:item=10" << "I10 D1"
                                             << false;
}

// Download writes the pulse edge, the count zero only when Clear is chosen (answered "OK"), and
// the rate memory; the first step not accepted ends it and closes the window.
void TestCounterSettings::moduleWideDownload()
{
    QFETCH(QString, choice);
    QFETCH(QString, fault);
    QFETCH(QString, wire);
    QFETCH(bool, open);
    const QStringList c = choice.split(QLatin1Char(' '));
    bool stillOpen = false;
    QString asked;
    ModalAnswerer answers;
    MsgRecorder boxes;
    openModuleWide(answers, [&](frmCountSet &w) {
        module->clearTranscript();
        if (!fault.isEmpty())
            QVERIFY(module->addFault(fault));
        w.optEdge(c[0].toInt())->setChecked(true);
        w.optCntZero(c[1].toInt())->setChecked(true);
        w.optCntRate(c[2].toInt())->setChecked(true);
        AnswerConfirmation(answers, true, &asked);
        w.cmdDnload->click();
        stillOpen = w.isVisible();
        if (stillOpen)
            w.cmdExit->click();
    });
    QVERIFY2(answers.problems().isEmpty(), qPrintable(answers.problems().join(" / ")));
    QCOMPARE(asked, QStringLiteral("Starting download for Count Setting."));
    QCOMPARE(Wire(*module), wire);
    QCOMPARE(stillOpen, open);
    QCOMPARE(Told(boxes),
             open ? QStringList{} : QStringList{"Count Settings: Download Incomplete"});
    if (open)
        QCOMPARE(module->countZero(), c[1] == QLatin1String("0") ? 1 : 0);
}

// Count Set and a channel's Download pressed while Connect still reads the configuration are held
// back: the wire carries exactly a plain connect, the user is told the module is busy, and the
// channel window (which reads nothing to open) still opens.
void TestCounterSettings::commandsDuringConnectAreHeldBack()
{
    auto portDialog = [](ModalAnswerer &answers) {
        answers.expect<frmCommPort>([](frmCommPort &dialog) { dialog.cmdOK->click(); });
    };
    auto connectOnce = [](SimModule &m, std::function<void()> during) {
        if (during)
            AtExchange(m, 20, during); // the panel is on view, its channels are being read
        Forms::get<frmMain>().mnuConnConn->trigger();
    };
    QString expected;
    {
        ResetProgramState();
        auto plain = InstallSimModule(QStringLiteral("VQ7_L7"));
        plain->setDeterministic(true);
        ModalAnswerer answers;
        portDialog(answers);
        connectOnce(*plain, {});
        expected = Wire(*plain);
    }
    ResetProgramState();
    module = InstallSimModule(QStringLiteral("VQ7_L7"));
    module->setDeterministic(true);
    frmMain &main = Forms::get<frmMain>();
    QString notice;
    ModalAnswerer answers;
    MsgRecorder boxes;
    portDialog(answers);
    answers.expect<frmCount>([&](frmCount &w) {
        main.lblNotice->clear();
        w.cmdDownload->click();
        notice = main.lblNotice->text();
        w.cmdExit->click();
    });
    connectOnce(*module, [&main] {
        main.mnuConfigCount->trigger();
        Forms::get<frmL7>().cmdCh(2)->click();
    });

    QVERIFY2(answers.problems().isEmpty(), qPrintable(answers.problems().join(" / ")));
    QCOMPARE(Wire(*module), expected);
    QCOMPARE(answers.shown(), (QStringList{"frmCommPort", "frmCount"}));
    QCOMPARE(notice, ModuleCommand::BusyText());
    QVERIFY2(boxes.boxes().isEmpty(), qPrintable(boxes.prompts().join(" / ")));
    QVERIFY(G.LinkUp);
}

QTEST_MAIN(TestCounterSettings)
#include "tst_countersettings.moc"
