// The whole upload and download against the simulated module: the exact exchanges per kind, what
// is stored and shown, and failures that leave the program and its configuration standing.

#include "app/Forms.h"
#include "app/frmCommPort.h"
#include "app/frmDialog.h"
#include "app/frmMain.h"
#include "files/ConfigFile.h"
#include "link/ModuleCommand.h"
#include "model/Globals.h"
#include "panels/AnalogPanel.h"
#include "panels/DiscretePanel.h"
#include "sim/SimModule.h"
#include "sim/SimSerialPort.h"
#include "tests/support/SimFixture.h"
#include "tests/support/TestSupport.h"

#include <QLabel>
#include <QPushButton>
#include <QTest>

namespace {

QString nn(int n)
{
    return QStringLiteral("%1").arg(n, 2, 10, QLatin1Char('0'));
}

QStringList read(int item, int channel)
{
    return {QStringLiteral("I") + nn(item),
            channel == 0 ? QStringLiteral("D") : QStringLiteral("D") + nn(channel)};
}

QStringList write(int item, const QString &value)
{
    return {QStringLiteral("I") + nn(item), QStringLiteral("D") + value};
}

// What a whole upload sends for a model's kind, from the per-kind read lists.
QStringList uploadCommands(int kind)
{
    QStringList c{QStringLiteral("G01")};
    for (int item = 90; item <= 94; ++item)
        c << read(item, 0);
    if (kind == KindUt5 || kind == KindK6 || kind == KindL7)
        c << read(95, 0);
    switch (kind) {
    case KindUt5:
    case KindUt8:
        for (int ch = 1; ch <= (kind == KindUt5 ? 16 : 8); ++ch)
            c << read(5, ch) << read(25, ch);
        c << read(6, 1);
        if (kind == KindUt8)
            c << read(7, 1) << read(20, 0) << read(15, 0);
        else
            c << read(20, 1);
        c << read(16, 0);
        break;
    case KindK6:
        for (int ch = 1; ch <= 8; ++ch)
            c << read(5, ch);
        c << read(6, 1) << read(20, 1) << read(16, 0);
        break;
    case KindL7:
        for (int ch = 1; ch <= 8; ++ch)
            c << read(6, ch) << read(7, ch) << read(8, ch) << read(9, ch) << read(13, ch);
        break;
    case KindE4:
    case KindF9:
        for (int p = 1; p <= 32; ++p)
            c << read(kind == KindE4 ? 7 : 6, p);
        break;
    }
    return c;
}

} // namespace

class TestTransfer : public QObject
{
    Q_OBJECT
private slots:
    void init() { ResetProgramState(); }
    void cleanup() { QVERIFY(!ModuleCommand::Running()); }

    void uploadPerModel_data();
    void uploadPerModel();
    void uploadStoresWhatItReads();
    void uploadReplacesTheKindOfAnOfflineFile();
    void uploadFailure();
    void downloadPerKind_data();
    void downloadPerKind();
    void downloadFailureKeepsTheProgram_data();
    void downloadFailureKeepsTheProgram();
    void downloadNeedsConfirmation();
    void downloadShowsItsProgress();
    void transferDuringMonitoringIsHeldBack();

private:
    std::shared_ptr<SimModule> connectTo(const QString &model, int optionCode = 48)
    {
        auto module = InstallSimModule(model);
        module->setDeterministic(true);
        module->setOptionCode(optionCode);
        ModalAnswerer answers;
        answers.expect<frmCommPort>([](frmCommPort &dialog) { dialog.cmdOK->click(); });
        MsgRecorder boxes;
        Forms::get<frmMain>().mnuConnConn->trigger();
        if (!boxes.boxes().isEmpty() || !G.LinkUp)
            qWarning("connect failed: %s", qPrintable(boxes.prompts().join(" / ")));
        module->clearTranscript();
        return module;
    }
    // Runs Download, confirming it.
    void download(MsgRecorder &boxes)
    {
        ModalAnswerer answers;
        answers.expect<frmDialog>([](frmDialog &dialog) { dialog.OKButton->click(); });
        Q_UNUSED(boxes);
        Forms::get<frmMain>().button(QStringLiteral("ConfigDownload"))->trigger();
        QVERIFY(answers.problems().isEmpty());
    }
};

void TestTransfer::uploadPerModel_data()
{
    QTest::addColumn<QString>("model");
    QTest::addColumn<int>("kind");
    QTest::newRow("VQ7_UT5") << "VQ7_UT5" << 1;
    QTest::newRow("VQ7_K6") << "VQ7_K6" << 2;
    QTest::newRow("VQ7_E4") << "VQ7_E4" << 3;
    QTest::newRow("VQ7_F9") << "VQ7_F9" << 4;
    QTest::newRow("VQ7_L7") << "VQ7_L7" << 5;
    QTest::newRow("VQ7S_UT8") << "VQ7S_UT8" << 6;
}

// The exchanges of an upload, in order; the E4 output buttons and the F9 count presets button
// keep the state they had.
void TestTransfer::uploadPerModel()
{
    QFETCH(QString, model);
    QFETCH(int, kind);
    auto module = connectTo(model);
    frmMain &main = Forms::get<frmMain>();
    if (kind == KindE4)
        Forms::get<frmE4>().cmdOut(3)->setEnabled(true);
    if (kind == KindF9)
        Forms::get<frmF9>().cmdCntPre->setVisible(false);
    main.lblData(6)->setText(QStringLiteral("stale"));

    MsgRecorder boxes;
    main.button(QStringLiteral("ConfigUpload"))->trigger();
    QVERIFY2(boxes.boxes().isEmpty(), qPrintable(boxes.prompts().join(" / ")));
    QCOMPARE(CommandsOf(*module), uploadCommands(kind));
    QCOMPARE(G.curKind(), kind);
    QVERIFY(main.button(8)->isEnabled());
    if (kind == KindE4)
        QVERIFY(Forms::get<frmE4>().cmdOut(3)->isEnabled());
    if (kind == KindF9)
        QVERIFY(Forms::get<frmF9>().cmdCntPre->isHidden());
    if (kind == KindE4 || kind == KindF9)
        QVERIFY(main.lblData(6)->text().isEmpty());
    if (kind == KindUt8)
        QCOMPARE(main.lblData(6)->text(), QStringLiteral("stale")); // row 6 is not UT8's
    QVERIFY(main.lblNotice->text().isEmpty()); // the progress is gone with the transfer
}

void TestTransfer::uploadStoresWhatItReads()
{
    auto module = connectTo(QStringLiteral("VQ7_K6"));
    module->setTypeCode(2, 50);
    module->setBurnout(2);
    module->setFilterText(QStringLiteral("4.00"));
    // A module that reports a code outside the resistance types (as 12) is stored as 48.
    module->addFault(QStringLiteral("wrong-echo:cmd=D03,text=12,times=1"));
    G.ChTypeCode[3] = 53;
    MsgRecorder boxes;
    Forms::get<frmMain>().mnuConfigUpload->trigger();
    QVERIFY2(boxes.boxes().isEmpty(), qPrintable(boxes.prompts().join(" / ")));
    QCOMPARE(G.ChTypeCode[2], int16_t(50));
    QCOMPARE(G.ChTypeCode[3], int16_t(48));
    QCOMPARE(G.BurnoutType, int16_t(2));
    QCOMPARE(G.FilterConst, QStringLiteral("4.00"));
    QCOMPARE(Forms::get<frmK6>().lblFilter->text(), QStringLiteral("4.00"));
}

void TestTransfer::uploadReplacesTheKindOfAnOfflineFile()
{
    auto module = connectTo(QStringLiteral("VQ7_UT5"));
    frmMain &main = Forms::get<frmMain>();
    main.mnuConnDisConn->trigger();
    ConfigSnapshot k6;
    k6.kind = KindK6;
    ApplyConfig(k6); // as a K6 file opened offline leaves it
    main.mnuModelModel(2)->trigger();
    MsgRecorder boxes;
    ModalAnswerer answers;
    answers.expect<frmCommPort>([](frmCommPort &dialog) { dialog.cmdOK->click(); });
    main.mnuConfigUpload->setEnabled(true); // as the Upload button is once connected
    main.mnuConfigUpload->trigger();
    QVERIFY2(boxes.boxes().isEmpty(), qPrintable(boxes.prompts().join(" / ")));
    QCOMPARE(G.curKind(), int(KindUt5));
    QVERIFY(!Forms::get<frmUt5>().isHidden());
    QVERIFY(main.mnuConnDisConn->isEnabled());
    QVERIFY(!main.mnuConnConn->isEnabled());
}

void TestTransfer::uploadFailure()
{
    auto module = connectTo(QStringLiteral("VQ7_UT5"));
    Forms::get<frmMain>().Timer1().setInterval(100);
    module->addFault(SimFault::silence().afterExchanges(module->exchangeCount() + 20));
    MsgRecorder boxes;
    Forms::get<frmMain>().mnuConfigUpload->trigger();
    QCOMPARE(boxes.prompts(), (QStringList{"Timeout", "Upload Incomplete"}));
    QCOMPARE(boxes.boxes()[1].title, QStringLiteral("Monitoring"));
    QCOMPARE(boxes.boxes()[1].icon, MsgIcon::Critical);
}

void TestTransfer::downloadPerKind_data()
{
    QTest::addColumn<QString>("model");
    QTest::addColumn<int>("optionCode");
    QTest::addColumn<QStringList>("commands");

    // UT5: channel by channel type, switch, burnout; then the filter.
    QStringList ut5{QStringLiteral("G01")};
    for (int ch = 1; ch <= 16; ++ch) {
        const int code = ch == 3 ? 17 : 0;
        ut5 << write(5, nn(ch) + nn(code)) << write(25, nn(ch) + (ch == 3 ? "1" : "0"))
            << write(20, nn(ch) + "2");
    }
    ut5 << write(16, QStringLiteral("1.5"));
    QTest::newRow("UT5") << "VQ7_UT5" << 0 << ut5;

    QStringList k6{QStringLiteral("G01")};
    for (int ch = 1; ch <= 8; ++ch)
        k6 << write(5, nn(ch) + "49") << write(20, nn(ch) + "2");
    k6 << write(16, QStringLiteral("1.5"));
    QTest::newRow("K6") << "VQ7_K6" << 0 << k6;

    QStringList ut8{QStringLiteral("G01")};
    for (int ch = 1; ch <= 8; ++ch)
        ut8 << write(5, nn(ch) + (ch == 3 ? "17" : "00")) << write(25, nn(ch) + (ch == 3 ? "1" : "0"));
    ut8 << write(20, QStringLiteral("2")) << write(7, QStringLiteral("011")) << write(15, QString());
    // The line noise filter was never set: its data command carries no value and the module's
    // answer to it cannot match, so the download ends there.
    QTest::newRow("UT8 with its settings option") << "VQ7S_UT8" << 48 << ut8;

    QStringList ut8Plain{QStringLiteral("G01")};
    for (int ch = 1; ch <= 8; ++ch)
        ut8Plain << write(5, nn(ch) + (ch == 3 ? "17" : "00"));
    ut8Plain << write(7, QStringLiteral("011")) << write(16, QStringLiteral("1.5"));
    QTest::newRow("UT8 without it") << "VQ7S_UT8" << 32 << ut8Plain;

    QStringList l7{QStringLiteral("G01")};
    for (int ch = 1; ch <= 8; ++ch)
        l7 << write(7, nn(ch) + (ch == 2 ? "1" : "0")) << write(9, nn(ch) + (ch == 2 ? "123456789" : "0"));
    QTest::newRow("L7") << "VQ7_L7" << 0 << l7;

    QTest::newRow("E4 writes nothing") << "VQ7_E4" << 0 << QStringList{"G01"};
    QTest::newRow("F9 writes nothing") << "VQ7_F9" << 0 << QStringList{"G01"};
}

void TestTransfer::downloadPerKind()
{
    QFETCH(QString, model);
    QFETCH(int, optionCode);
    QFETCH(QStringList, commands);
    auto module = connectTo(model, optionCode);
    for (int ch = 1; ch <= 16; ++ch) {
        const auto c = std::size_t(ch);
        G.ChTypeCode[c] = G.curKind() == KindK6 ? 49 : (ch == 3 ? 17 : 0);
        G.ChCjcSw[c] = ch == 3 ? 1 : 0;
        G.ChDoMode[c] = ch == 2 ? 1 : 0;
        G.ChPreset[c] = ch == 2 ? QStringLiteral("123456789") : QStringLiteral("0");
    }
    G.BurnoutType = 2;
    G.FilterConst = QStringLiteral("1.5");
    G.AlarmOut = 1;
    G.LineNoiseSel.reset();
    const ConfigSnapshot before = CaptureConfig();

    MsgRecorder boxes;
    download(boxes);
    QCOMPARE(CommandsOf(*module), commands);
    const bool stopsAtLineNoise = model == QLatin1String("VQ7S_UT8") && optionCode == 48;
    if (stopsAtLineNoise) {
        QCOMPARE(boxes.prompts().last(), QStringLiteral("Download Incomplete"));
        // Set, and the same download goes through to its end.
        G.LineNoiseSel = 1;
        module->clearTranscript();
        boxes.clear();
        download(boxes);
        QCOMPARE(CommandsOf(*module).mid(CommandsOf(*module).indexOf(QStringLiteral("I15"))),
                 (QStringList{"I15", "D1", "I16", "D1.5"}));
    }
    QVERIFY2(boxes.boxes().isEmpty(), qPrintable(boxes.prompts().join(" / ")));
    if (model == QLatin1String("VQ7_UT5")) {
        QCOMPARE(module->typeCode(3), int16_t(17));
        QCOMPARE(module->cjcSwitch(3), 1);
        QCOMPARE(module->burnout(16), 2);
        QCOMPARE(module->filterText(), QStringLiteral("1.5"));
    }
    if (model == QLatin1String("VQ7_L7"))
        QCOMPARE(module->preset(2), quint32(123456789));
    if (!stopsAtLineNoise)
        QCOMPARE(CaptureConfig(), before); // a download changes nothing in the model
}

void TestTransfer::downloadFailureKeepsTheProgram_data()
{
    QTest::addColumn<QString>("fault");
    QTest::addColumn<QStringList>("boxes");
    QTest::addColumn<QString>("lastCommand");
    QTest::newRow("refused") << "refuse:item=25,writes"
                             << QStringList{"invalid data D011\r\r\nat item 25", "Download Incomplete"}
                             << "D011";
    // The module answers 00 for a type code 0: not the expected echo "0".
    QTest::newRow("echo 00 for 0") << "wrong-echo:item=5,text=00"
                                   << QStringList{"Download Incomplete"} << "D0100";
}

void TestTransfer::downloadFailureKeepsTheProgram()
{
    QFETCH(QString, fault);
    QFETCH(QStringList, boxes);
    QFETCH(QString, lastCommand);
    auto module = connectTo(QStringLiteral("VQ7_UT5"));
    G.ChTypeCode[1] = 0;
    G.ChCjcSw[1] = 1;
    QVERIFY(module->addFault(fault));
    const ConfigSnapshot before = CaptureConfig();
    frmMain &main = Forms::get<frmMain>();
    main.show();

    MsgRecorder recorder;
    download(recorder);
    QCOMPARE(recorder.prompts(), boxes);
    QCOMPARE(recorder.boxes().last().title, QStringLiteral("Download all channels"));
    QCOMPARE(recorder.boxes().last().icon, MsgIcon::Critical);
    QCOMPARE(CommandsOf(*module).last(), lastCommand); // nothing after the failed write
    QVERIFY(main.isVisible());
    QCOMPARE(CaptureConfig(), before);
    QVERIFY(G.LinkUp);
    QVERIFY(main.mnuConnDisConn->isEnabled());
}

void TestTransfer::downloadNeedsConfirmation()
{
    auto module = connectTo(QStringLiteral("VQ7_UT5"));
    ModalAnswerer answers;
    QString message;
    answers.expect<frmDialog>([&message](frmDialog &dialog) {
        message = dialog.lblMsg->text();
        dialog.CancelButton->click();
    });
    MsgRecorder boxes;
    Forms::get<frmMain>().mnuConfigDownload->trigger();
    QCOMPARE(message, QStringLiteral("Starting download for All Channels."));
    QVERIFY(CommandsOf(*module).isEmpty());
    QVERIFY(boxes.boxes().isEmpty());
}

void TestTransfer::downloadShowsItsProgress()
{
    auto module = connectTo(QStringLiteral("VQ7_UT5"));
    frmMain &main = Forms::get<frmMain>();
    QStringList seen;
    QObject::connect(module.get(), &SimModule::exchanged, &main,
                     [&] { seen << main.lblNotice->text(); });
    MsgRecorder boxes;
    download(boxes);
    QVERIFY(seen.contains(QStringLiteral("Channel 1 of 16")));
    QVERIFY(seen.contains(QStringLiteral("Channel 16 of 16")));
    QVERIFY(main.lblNotice->text().isEmpty());
}

// Pressed while monitoring runs (the commands are disabled then, but a queued press or the
// toolbar can still arrive): held back, nothing written.
void TestTransfer::transferDuringMonitoringIsHeldBack()
{
    auto module = connectTo(QStringLiteral("VQ7_UT5"));
    frmMain &main = Forms::get<frmMain>();
    bool pressed = false;
    QObject::connect(module.get(), &SimModule::exchanged, &main, [&] {
        if (pressed || module->transcript().size() < 10)
            return;
        pressed = true;
        QTimer::singleShot(0, &main, [&main] {
            main.mnuConfigDownload->setEnabled(true);
            main.mnuConfigDownload->trigger();
            main.mnuMonitorStop->trigger();
        });
    });
    ModalAnswerer answers; // no confirmation may open
    MsgRecorder boxes;
    main.mnuMonitorStart->trigger();
    QVERIFY(pressed);
    QVERIFY(answers.shown().isEmpty());
    QVERIFY(boxes.boxes().isEmpty());
    QVERIFY(!CommandsOf(*module).contains(QStringLiteral("D0100")));
    QCOMPARE(main.lblNotice->text(), ModuleCommand::BusyText());
}

QTEST_MAIN(TestTransfer)
#include "tst_transfer.moc"
