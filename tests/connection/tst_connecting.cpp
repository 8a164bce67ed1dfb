// Connecting to a module of every kind, and what is left when a connect fails: against the
// simulated module, through the real windows, answering the port dialog through the test seam.

#include "app/Forms.h"
#include "app/frmCommPort.h"
#include "app/frmMain.h"
#include "connection/DisplayRules.h"
#include "model/Catalogue.h"
#include "model/Globals.h"
#include "panels/AnalogPanel.h"
#include "panels/DiscretePanel.h"
#include "panels/Lamp.h"
#include "sim/SimModule.h"
#include "sim/SimSerialPort.h"
#include "tests/support/SimFixture.h"
#include "tests/support/TestSupport.h"

#include <QLabel>
#include <QPushButton>
#include <QTest>

namespace {

void answerPortDialog(ModalAnswerer &answers)
{
    answers.expect<frmCommPort>([](frmCommPort &dialog) { dialog.cmdOK->click(); });
}

QString kindCode(int kind)
{
    static const char *codes[] = {"", "UT5", "K6", "E4", "F9", "L7", "UT8"};
    return QString::fromLatin1(codes[kind]);
}

QString nn(int n)
{
    return QStringLiteral("%1").arg(n, 2, 10, QLatin1Char('0'));
}

// The commands of one read: the item select, then the data request with its channel field
// (none for channel 0).
QStringList read(int item, int channel)
{
    return {QStringLiteral("I") + nn(item),
            channel == 0 ? QStringLiteral("D") : QStringLiteral("D") + nn(channel)};
}

// What a connect reads of a kind after its identity: the per-channel items for every channel in
// turn, then the module-level reads as (item, channel field).
struct KindReads
{
    int kind;
    int channels;
    QList<int> perChannel;
    QList<std::pair<int, int>> moduleLevel;
};

const KindReads ConnectReads[] = {
    {1, 16, {5, 25}, {{6, 1}, {20, 1}, {16, 0}}},                 // UT5
    {2, 8, {5}, {{6, 1}, {20, 1}, {16, 0}}},                      // K6
    {3, 32, {7}, {}},                                             // E4
    {4, 32, {6}, {}},                                             // F9
    {5, 8, {6, 7, 8, 9, 13}, {}},                                 // L7
    {6, 8, {5, 25}, {{6, 1}, {7, 1}, {20, 0}, {15, 0}, {16, 0}}}, // UT8
};

// Every command of a successful connect to a module of the kind, in order.
QStringList connectCommands(int kind)
{
    QStringList commands{QStringLiteral("G01")};
    for (int item = 90; item <= 94; ++item)
        commands << read(item, 0);
    if (kind == 1 || kind == 2 || kind == 5)
        commands << read(95, 0); // the calibration date
    if (kind == 6)
        commands << QStringLiteral("I02") << QStringLiteral("D00"); // the option code
    for (const KindReads &reads : ConnectReads) {
        if (reads.kind != kind)
            continue;
        for (int ch = 1; ch <= reads.channels; ++ch) {
            for (int item : reads.perChannel)
                commands << read(item, ch);
        }
        for (const auto &[item, channel] : reads.moduleLevel)
            commands << read(item, channel);
    }
    return commands;
}

} // namespace

class TestConnecting : public QObject
{
    Q_OBJECT

private slots:
    void init() { ResetProgramState(); }

    void connectsEveryKind_data();
    void connectsEveryKind();
    void connectCommandsInOrder_data();
    void connectCommandsInOrder();
    void analogConfigurationIsStoredAndShown();
    void ut8OptionCode_data();
    void ut8OptionCode();
    void countPresetButton_data();
    void countPresetButton();
    void e4OutputButtonsEndDisabled();
    void counterConfiguration();
    void modelNameMatching_data();
    void modelNameMatching();
    void noPortChosen();
    void silentModule();
    void failingConfigurationReadKeepsWhatWasRead();
    void failedOptionReadShowsNoPanel();
    void disconnectKeepsPanelAndModel();

private:
    // Connects the main window to the module; returns the boxes shown.
    QList<MsgRecord> connect(frmMain &main);
};

QList<MsgRecord> TestConnecting::connect(frmMain &main)
{
    ModalAnswerer answers;
    answerPortDialog(answers);
    MsgRecorder boxes;
    main.mnuConnConn->trigger();
    [&] { QVERIFY2(answers.problems().isEmpty(), qPrintable(answers.problems().join('\n'))); }();
    return boxes.boxes();
}

void TestConnecting::connectsEveryKind_data()
{
    QTest::addColumn<QString>("model");
    QTest::addColumn<int>("kind");
    QTest::addColumn<bool>("calibrationRow");

    for (int i = 1; i <= ModelCount; ++i) {
        const QString name = QString::fromLatin1(Catalogue[std::size_t(i - 1)].name);
        const int kind = Catalogue[std::size_t(i - 1)].kind;
        QTest::newRow(qPrintable(name)) << name << kind << (kind == 1 || kind == 2 || kind == 5);
    }
}

void TestConnecting::connectsEveryKind()
{
    QFETCH(QString, model);
    QFETCH(int, kind);
    QFETCH(bool, calibrationRow);

    auto module = InstallSimModule(model);
    module->setDeterministic(true);
    frmMain &main = Forms::get<frmMain>();
    main.lblTitle(6)->setText(QStringLiteral("left over"));
    main.lblData(6)->setText(QStringLiteral("left over"));

    const auto boxes = connect(main);
    QVERIFY2(boxes.isEmpty(), qPrintable(boxes.isEmpty() ? QString() : boxes.first().prompt));

    QVERIFY(G.LinkUp);
    QCOMPARE(G.curKind(), kind);
    QCOMPARE(main.lblData(0)->text(), kindCode(kind));
    const char *captions[] = {"", "Model Name", "Hardware Version", "Firmware Version",
                              "Serial Number", "Manufacture Date", "Calibration Date"};
    for (int row = 1; row <= 5; ++row) {
        QCOMPARE(main.lblTitle(row)->text(), QString::fromLatin1(captions[row]));
        QCOMPARE(main.lblData(row)->text(), module->identityText(int16_t(89 + row)));
    }
    QCOMPARE(main.lblData(1)->text(), model);
    if (calibrationRow) {
        QCOMPARE(main.lblTitle(6)->text(), QStringLiteral("Calibration Date"));
        QCOMPARE(main.lblData(6)->text(), module->identityText(95));
    } else if (kind == 6) {
        QCOMPARE(main.lblData(6)->text(), QStringLiteral("left over")); // left as it was
    } else {
        QVERIFY(main.lblTitle(6)->text().isEmpty());
        QVERIFY(main.lblData(6)->text().isEmpty());
    }

    // The panel of the kind is the one on view.
    QWidget *shown = nullptr;
    for (QWidget *w : Forms::loaded()) {
        if (w != &main && !w->isHidden())
            shown = w;
    }
    QVERIFY(shown);
    QCOMPARE(shown->objectName(), QStringLiteral("frm") + (kind == 6 ? QStringLiteral("Ut8")
                                                            : kind == 1 ? QStringLiteral("Ut5")
                                                                        : kindCode(kind)));

    // Connected command states.
    QVERIFY(main.mnuConnDisConn->isEnabled());
    QVERIFY(!main.mnuConnConn->isEnabled());
    QVERIFY(!main.mnuModel->isEnabled());
    QVERIFY(main.mnuMonitor->isEnabled());
    QVERIFY(!main.mnuMonitorStop->isEnabled());
    QVERIFY(main.button(QStringLiteral("MonitorStart"))->isEnabled());
    QVERIFY(main.button(QStringLiteral("ConfigUpload"))->isEnabled());
    QCOMPARE(main.mnuConfigCJM->isEnabled(), kind == 1);
    QCOMPARE(main.mnuConfigCount->isEnabled(), kind == 5);
    QCOMPARE(main.mnuAlarm->isEnabled(), kind == 6);
    QCOMPARE(main.mnuConfigModBus->isEnabled(), model != QLatin1String("VQ4_UT5"));
    // The connect never reads live values.
    QVERIFY(!module->commandsText().contains(QLatin1String("I03")));
}

void TestConnecting::connectCommandsInOrder_data()
{
    QTest::addColumn<QString>("model");
    QTest::addColumn<QStringList>("expected");

    const std::pair<const char *, int> models[] = {
        {"VQ7_UT5", 1},  {"VQ2_UT5", 1}, {"VQ4_UT5", 1},  {"VQ7_K6", 2}, {"VQ7_E4", 3},
        {"VQ7_E4W2", 3}, {"VQ7_F9", 4},  {"VQ7_F9W2", 4}, {"VQ7_L7", 5}, {"VQ7S_UT8", 6},
    };
    for (const auto &[model, kind] : models)
        QTest::newRow(model) << QString::fromLatin1(model) << connectCommands(kind);
}

// The whole wire transcript of a connect, so that a missing, doubled or reordered read shows.
void TestConnecting::connectCommandsInOrder()
{
    QFETCH(QString, model);
    QFETCH(QStringList, expected);
    auto module = InstallSimModule(model);
    module->setDeterministic(true);
    frmMain &main = Forms::get<frmMain>();
    const auto boxes = connect(main);
    QVERIFY2(boxes.isEmpty(), qPrintable(boxes.isEmpty() ? QString() : boxes.first().prompt));
    QCOMPARE(CommandsOf(*module), expected);
}

void TestConnecting::analogConfigurationIsStoredAndShown()
{
    auto module = InstallSimModule(QStringLiteral("VQ7_UT5"));
    module->setDeterministic(true);
    QVERIFY(module->setTypeCode(3, 20));
    QVERIFY(module->setTypeCode(4, 5));
    module->setCjcSwitch(3, 1);
    module->setBurnout(2);
    module->setFilterText(QStringLiteral("2.50"));
    module->setDiscreteInput(1, 1);
    module->setInputsChanging(false);

    frmMain &main = Forms::get<frmMain>();
    QVERIFY(connect(main).isEmpty());
    frmUt5 &panel = Forms::get<frmUt5>();
    QCOMPARE(G.ChTypeCode[3], int16_t(20));
    QCOMPARE(G.ChGroup[3], int16_t(1));
    QCOMPARE(G.ChSub[3], int16_t(4));
    QCOMPARE(panel.lblType(3)->text(), G.VoltTcNames[11]);
    QCOMPARE(panel.lblType(4)->text(), G.VoltTcNames[5]);
    QCOMPARE(G.ChCjcSw[3], int16_t(1));
    QCOMPARE(panel.lblCjmSw(3)->text(), QStringLiteral("ON"));
    QVERIFY(panel.lblCjmSw(4)->text().isEmpty()); // a voltage range has no switch
    QCOMPARE(G.BurnoutType, int16_t(2));
    QCOMPARE(panel.lblBurnout->text(), G.BurnoutNames[2]);
    QCOMPARE(G.FilterConst, QStringLiteral("2.50"));
    QCOMPARE(panel.lblFilter->text(), QStringLiteral("2.50")); // the module's own text
    QCOMPARE(panel.lblDiscInput->text(), QStringLiteral("ON"));
    QCOMPARE(panel.lblDiscInput->palette().color(QPalette::WindowText), QColor(255, 0, 0));
    // Live columns and lamps wait for monitoring.
    QVERIFY(panel.lblReal(1)->text().isEmpty());
    QCOMPARE(panel.shpOut(1)->fillColor(), NeutralLampColour());
}

void TestConnecting::ut8OptionCode_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<bool>("settingsBefore");
    QTest::addColumn<bool>("addressBefore");
    QTest::addColumn<bool>("settings");
    QTest::addColumn<bool>("address");
    QTest::newRow("48") << 48 << false << false << true << true;
    QTest::newRow("16") << 16 << false << true << true << false;
    QTest::newRow("32") << 32 << true << false << false << true;
    QTest::newRow("0") << 0 << true << true << false << false;
    QTest::newRow("17 leaves both (off)") << 17 << false << false << false << false;
    QTest::newRow("17 leaves both (on)") << 17 << true << true << true << true;
}

void TestConnecting::ut8OptionCode()
{
    QFETCH(int, code);
    auto module = InstallSimModule(QStringLiteral("VQ7S_UT8"));
    module->setDeterministic(true);
    module->setOptionCode(code);
    frmMain &main = Forms::get<frmMain>();
    QFETCH(bool, settingsBefore);
    QFETCH(bool, addressBefore);
    G.Ut8SettingsOption = settingsBefore;
    G.Ut8AddressOption = addressBefore;

    QVERIFY(connect(main).isEmpty());
    QTEST(G.Ut8SettingsOption, "settings");
    QTEST(G.Ut8AddressOption, "address");
    QVERIFY(!G.ForceChannelField);
    // The option read carries the channel field 00; the other module-level reads carry none.
    QVERIFY(module->commandsText().contains(QLatin1String("I02 D00")));
    QVERIFY(module->commandsText().contains(QLatin1String("I16 D ")) ||
            module->commandsText().endsWith(QLatin1String("I16 D")));
    QCOMPARE(main.mnuConfigBurnout->isEnabled(), G.Ut8SettingsOption);
    QCOMPARE(main.mnuConfigLineNoise->isEnabled(), G.Ut8SettingsOption);
}

void TestConnecting::countPresetButton_data()
{
    QTest::addColumn<QString>("model");
    QTest::addColumn<QString>("firmware");
    QTest::addColumn<bool>("offered");
    QTest::newRow("W2, old firmware") << "VQ7_F9W2" << "V1.00" << true;
    QTest::newRow("V3.00") << "VQ7_F9" << "V3.00" << true;
    QTest::newRow("V2.99") << "VQ7_F9" << "V2.99" << false;
    QTest::newRow("3.5 without V") << "VQ7_F9" << "3.5" << true;
    QTest::newRow("no number") << "VQ7_F9" << "V" << false;
}

void TestConnecting::countPresetButton()
{
    QFETCH(QString, model);
    QFETCH(QString, firmware);
    QFETCH(bool, offered);
    auto module = InstallSimModule(model);
    module->setDeterministic(true);
    module->setFirmware(firmware);
    frmMain &main = Forms::get<frmMain>();
    QVERIFY(connect(main).isEmpty());
    QCOMPARE(!Forms::get<frmF9>().cmdCntPre->isHidden(), offered);
}

void TestConnecting::e4OutputButtonsEndDisabled()
{
    auto module = InstallSimModule(QStringLiteral("VQ7_E4"));
    module->setDeterministic(true);
    module->setOutput(5, 1);
    frmMain &main = Forms::get<frmMain>();
    frmE4 &panel = Forms::get<frmE4>();
    for (int p = 1; p <= 32; ++p)
        panel.cmdOut(p)->setEnabled(true);
    QVERIFY(connect(main).isEmpty());
    for (int p = 1; p <= 32; ++p)
        QVERIFY(!panel.cmdOut(p)->isEnabled());
    QCOMPARE(panel.Label1(5)->text(), QStringLiteral("ON"));
    QCOMPARE(panel.Label1(6)->text(), QStringLiteral("OFF"));
    QCOMPARE(panel.Label1(6)->palette().color(QPalette::WindowText), QColor(0, 128, 0));
}

void TestConnecting::counterConfiguration()
{
    auto module = InstallSimModule(QStringLiteral("VQ7_L7"));
    module->setDeterministic(true);
    module->setOutput(2, 1);
    module->setPreset(2, 1500);
    frmMain &main = Forms::get<frmMain>();
    QVERIFY(connect(main).isEmpty());
    frmL7 &panel = Forms::get<frmL7>();
    QCOMPARE(G.ChDoMode[2], int16_t(1));
    QCOMPARE(panel.lblDO(2)->text(), QStringLiteral("ON"));
    QCOMPARE(G.ChPreset[2], QStringLiteral("1500"));
    QCOMPARE(panel.lblPreset(2)->text(), QStringLiteral("1500"));
    QVERIFY(!panel.lbl32bit(1)->text().isEmpty());
    QVERIFY(!panel.lblRate(1)->text().isEmpty());
    QVERIFY(!main.mnuAdjustment->isEnabled());
}

void TestConnecting::modelNameMatching_data()
{
    QTest::addColumn<QString>("modelText");
    QTest::addColumn<bool>("matches");
    QTest::newRow("exact") << "VQ7_K6" << true;
    QTest::newRow("blanks around (the payload is trimmed)") << "  VQ7_K6 " << true;
    QTest::newRow("lower case") << "vq7_k6" << false;
    QTest::newRow("unknown model") << "VQ9_K6" << false;
}

void TestConnecting::modelNameMatching()
{
    QFETCH(QString, modelText);
    QFETCH(bool, matches);
    auto module = InstallSimModule(QStringLiteral("VQ7_K6"));
    module->setDeterministic(true);
    module->setModelText(modelText);
    frmMain &main = Forms::get<frmMain>();

    const auto boxes = connect(main);
    if (matches) {
        QVERIFY(boxes.isEmpty());
        QCOMPARE(G.curKind(), 2);
        return;
    }
    QCOMPARE(boxes.size(), 1);
    QCOMPARE(boxes[0].prompt, QStringLiteral("Upload Incomplete"));
    QCOMPARE(boxes[0].title, QStringLiteral("Monitoring"));
    QCOMPARE(boxes[0].icon, MsgIcon::Critical);
    QVERIFY(!G.CurModelKind.has_value());
    QVERIFY(main.lblData(0)->text().isEmpty()); // no panel shown
    QCOMPARE(main.lblData(5)->text(), module->identityText(94));
    QVERIFY(main.mnuConnDisConn->isEnabled()); // connected all the same
}

void TestConnecting::noPortChosen()
{
    InstallSimModule(QStringLiteral("VQ7_UT5"));
    frmMain &main = Forms::get<frmMain>();
    ModalAnswerer answers;
    answers.expect<frmCommPort>([](frmCommPort &dialog) { dialog.close(); });
    MsgRecorder boxes;
    main.mnuConnConn->trigger();
    // The link's own message, then the commands are put back, which with no model yet says so.
    QCOMPARE(boxes.count(), 2);
    QCOMPARE(boxes.boxes()[0].prompt, QStringLiteral("No communication port was chosen."));
    QCOMPARE(boxes.boxes()[0].icon, MsgIcon::Exclamation);
    QCOMPARE(boxes.boxes()[1].prompt, QStringLiteral("No Model"));
    QVERIFY(!G.LinkUp);
    QVERIFY(main.mnuConnConn->isEnabled());
    QVERIFY(main.lblData(1)->text().isEmpty());
}

void TestConnecting::silentModule()
{
    auto module = InstallSimModule(QStringLiteral("VQ7_UT5"));
    module->addFault(SimFault::silence());
    frmMain &main = Forms::get<frmMain>();
    main.Timer1().setInterval(150);
    const auto boxes = connect(main);
    QVERIFY(!G.LinkUp);
    QStringList prompts;
    for (const MsgRecord &box : boxes)
        prompts << box.prompt;
    QCOMPARE(prompts.size(), 6);
    QCOMPARE(prompts.mid(0, 3), (QStringList{"Timeout", "Timeout", "Timeout"}));
    QCOMPARE(boxes[3].title, QStringLiteral("Group Command Error"));
    QCOMPARE(prompts.mid(4), (QStringList{"Communication failed", "No Model"}));
    // Stopping ran: the commands are in their state after monitoring.
    QVERIFY(main.mnuConnConn->isEnabled());
    QVERIFY(main.mnuMonitorStart->isEnabled());
    QVERIFY(main.lblData(1)->text().isEmpty());
    QVERIFY(!G.TimeoutFlag);
}

void TestConnecting::failingConfigurationReadKeepsWhatWasRead()
{
    auto module = InstallSimModule(QStringLiteral("VQ7_UT5"));
    module->setDeterministic(true);
    QVERIFY(module->setTypeCode(1, 17));
    QVERIFY(module->setTypeCode(2, 18));
    // Channel 2's switch read goes unanswered.
    module->addFault(SimFault::silence().onCommand("D02").onItem(25));
    frmMain &main = Forms::get<frmMain>();
    main.Timer1().setInterval(150);
    const auto boxes = connect(main);
    QCOMPARE(boxes.size(), 2);
    QCOMPARE(boxes[0].prompt, QStringLiteral("Timeout"));
    QCOMPARE(boxes[1].prompt, QStringLiteral("Upload Incomplete"));
    QCOMPARE(boxes[1].title, QStringLiteral("Monitoring"));
    frmUt5 &panel = Forms::get<frmUt5>();
    QCOMPARE(G.ChTypeCode[2], int16_t(18));
    QCOMPARE(panel.lblType(2)->text(), G.VoltTcNames[9]);
    QCOMPARE(G.ChTypeCode[3], int16_t(0));
    QVERIFY(panel.lblType(3)->text().isEmpty());
    QCOMPARE(main.lblData(0)->text(), QStringLiteral("UT5"));
    QVERIFY(main.mnuConnDisConn->isEnabled());
}

void TestConnecting::failedOptionReadShowsNoPanel()
{
    auto module = InstallSimModule(QStringLiteral("VQ7S_UT8"));
    module->setDeterministic(true);
    module->addFault(SimFault::silence().onCommand("D00"));
    frmMain &main = Forms::get<frmMain>();
    main.Timer1().setInterval(150);
    G.Ut8SettingsOption = true;
    const auto boxes = connect(main);
    QCOMPARE(boxes.last().prompt, QStringLiteral("Upload Incomplete"));
    QCOMPARE(G.curKind(), 6);
    QVERIFY(G.Ut8SettingsOption); // unchanged
    QVERIFY(!G.ForceChannelField);
    QVERIFY(!Forms::ifLoaded<frmUt8>());
    QVERIFY(main.lblData(0)->text().isEmpty());
}

void TestConnecting::disconnectKeepsPanelAndModel()
{
    auto module = InstallSimModule(QStringLiteral("VQ7_K6"));
    module->setDeterministic(true);
    QVERIFY(module->setTypeCode(1, 64));
    frmMain &main = Forms::get<frmMain>();
    QVERIFY(connect(main).isEmpty());
    main.mnuConnDisConn->trigger();
    QVERIFY(!G.LinkUp);
    QVERIFY(!main.MSComm1().isOpen());
    QCOMPARE(G.ChTypeCode[1], int16_t(64));
    QCOMPARE(Forms::get<frmK6>().lblType(1)->text(), G.RtdResNames[6]);
    QVERIFY(!Forms::get<frmK6>().isHidden());
    QVERIFY(main.mnuConnConn->isEnabled());
    QVERIFY(main.mnuModel->isEnabled());
    QVERIFY(!main.mnuMonitor->isEnabled());
    QVERIFY(!main.button(QStringLiteral("MonitorStart"))->isEnabled());
    QVERIFY(main.lblData(1)->text().isEmpty());

    // And connect again.
    QVERIFY(connect(main).isEmpty());
    QVERIFY(G.LinkUp);
    QCOMPARE(main.lblData(1)->text(), QStringLiteral("VQ7_K6"));
}

QTEST_MAIN(TestConnecting)
#include "tst_connecting.moc"
