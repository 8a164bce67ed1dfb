// The one-setting editors opened from the Configuration and Alarm menus: burnout, filter time
// constant, line noise filter and alarm output. What each shows at opening, what a choice changes
// in the configuration and the panel, and what Download writes to a simulated module.

#include "app/Resources.h"
#include "editors/frmAlarm.h"
#include "editors/frmBurnout.h"
#include "editors/frmLineNoise.h"
#include "editors/frmTimeCon.h"
#include "tests/editors/EditorFixture.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QTest>

namespace {

void Pick(QComboBox *list, const QString &text)
{
    const int index = list->findText(text, Qt::MatchExactly);
    QVERIFY2(index >= 0, qPrintable(text));
    list->setCurrentIndex(index);
    emit list->activated(index);
}

int KindOf(const QString &model)
{
    return model.contains(QLatin1String("UT8")) ? KindUt8
           : model.contains(QLatin1String("K6")) ? KindK6
                                                 : KindUt5;
}

QColor TextColour(const QLabel *label)
{
    return label->palette().color(QPalette::WindowText);
}

const QString Incomplete = QStringLiteral(" | critical | Download Incomplete");

} // namespace

class TestSettingEditors : public QObject
{
    Q_OBJECT
private slots:
    void init() { ResetProgramState(); }

    void burnoutOpening_data();
    void burnoutOpening();
    void burnoutPick();
    void burnoutDownload_data();
    void burnoutDownload();

    void filterExit_data();
    void filterExit();
    void filterDownload_data();
    void filterDownload();

    void lineNoise_data();
    void lineNoise();
    void alarmOpening_data();
    void alarmOpening();
    void alarmDownload_data();
    void alarmDownload();
    void ut8EditorsOnlyForUt8();

    void offlineDownloadsDisabled();
};

void TestSettingEditors::burnoutOpening_data()
{
    QTest::addColumn<QString>("model");
    QTest::addColumn<int>("moduleBurnout"); // -1: the panel's caption emptied after connecting
    QTest::addColumn<QString>("shown");
    QTest::newRow("UT5 Up") << "VQ7_UT5" << 1 << "Up";
    QTest::newRow("K6 None") << "VQ7_K6" << 0 << "None";
    QTest::newRow("UT8 Down") << "VQ7S_UT8" << 2 << "Down";
    QTest::newRow("empty caption shows None") << "VQ7_UT5" << -1 << "None";
}

// Opening shows the panel's burnout; showing it changes nothing.
void TestSettingEditors::burnoutOpening()
{
    QFETCH(QString, model);
    QFETCH(int, moduleBurnout);
    QFETCH(QString, shown);
    auto module = InstallSim(model);
    module->setBurnout(moduleBurnout < 0 ? 2 : moduleBurnout);
    Connect(*module);
    QVERIFY(G.LinkUp);
    AnalogPanel &panel = PanelOf(KindOf(model));
    if (moduleBurnout < 0)
        panel.lblBurnout->clear();
    const int16_t before = G.BurnoutType;
    const QString captionBefore = panel.lblBurnout->text();

    QStringList entries;
    QString text;
    bool downloadEnabled = false;
    ModalAnswerer answers;
    WithWindow<frmBurnout>(answers, [&](frmBurnout &w) {
        for (int i = 0; i < w.cboBurnout->count(); ++i)
            entries << w.cboBurnout->itemText(i);
        text = w.cboBurnout->currentText();
        downloadEnabled = w.cmdDownload->isEnabled();
    });
    Forms::get<frmMain>().mnuConfigBurnout->trigger();

    QCOMPARE(answers.shown(), QStringList{"frmBurnout"});
    QCOMPARE(entries, (QStringList{"None", "Up", "Down"}));
    QCOMPARE(text, shown);
    QVERIFY(downloadEnabled);
    QCOMPARE(G.BurnoutType, before);
    QCOMPARE(panel.lblBurnout->text(), captionBefore);
    QVERIFY(module->transcript().isEmpty());
}

// A pick changes the panel's caption and BurnoutType at once, in the user's language.
void TestSettingEditors::burnoutPick()
{
    SetUiLanguage(UiLanguage::Japanese);
    InitData();
    auto module = ConnectTo(QStringLiteral("VQ7_K6"));
    QVERIFY(G.LinkUp);
    ModalAnswerer answers;
    WithWindow<frmBurnout>(answers, [&](frmBurnout &w) {
        Pick(w.cboBurnout, QStringLiteral("下方"));
        w.cmdExit->click();
    });
    Forms::get<frmMain>().mnuConfigBurnout->trigger();
    QCOMPARE(PanelOf(KindK6).lblBurnout->text(), QStringLiteral("下方"));
    QCOMPARE(G.BurnoutType, 2);
    QVERIFY(module->transcript().isEmpty());
}

void TestSettingEditors::burnoutDownload_data()
{
    QTest::addColumn<QString>("model");
    QTest::addColumn<QString>("pick");
    QTest::addColumn<QString>("fault");
    QTest::addColumn<QStringList>("commands");
    QTest::addColumn<QStringList>("boxes");

    QStringList sixteen{"G01"};
    for (int ch = 1; ch <= 16; ++ch)
        sixteen << "I20" << QStringLiteral("D%1%2").arg(ch, 2, 10, QLatin1Char('0')).arg(1);
    QStringList eight{"G01"};
    for (int ch = 1; ch <= 8; ++ch)
        eight << "I20" << QStringLiteral("D%1%2").arg(ch, 2, 10, QLatin1Char('0')).arg(2);

    QTest::newRow("UT5 Up: every channel, 011 to 161") << "VQ7_UT5" << "Up" << "" << sixteen << QStringList{};
    QTest::newRow("UT5 refusal at channel 3 ends the series") << "VQ7_UT5" << "Up" << "refuse:cmd=D031"
        << QStringList{"G01", "I20", "D011", "I20", "D021", "I20", "D031"}
        << QStringList{"Parameter Write | critical | invalid data D031\r\r\nat item 20", "Cfg. Download" + Incomplete};
    QTest::newRow("UT5 wrong echo on channel 1") << "VQ7_UT5" << "None" << "wrong-echo:item=20,times=1"
        << QStringList{"G01", "I20", "D010"} << QStringList{"Cfg. Download" + Incomplete};
    QTest::newRow("K6 Down: eight channels") << "VQ7_K6" << "Down" << "" << eight << QStringList{};
    QTest::newRow("UT8 Down: once, no channel") << "VQ7S_UT8" << "Down" << ""
        << QStringList{"G01", "I20", "D2"} << QStringList{};
    QTest::newRow("UT8 echo 02 is not 2") << "VQ7S_UT8" << "Down" << "wrong-echo:item=20,text=02"
        << QStringList{"G01", "I20", "D2"} << QStringList{"Cfg. Download" + Incomplete};
}

void TestSettingEditors::burnoutDownload()
{
    QFETCH(QString, model);
    QFETCH(QString, pick);
    QFETCH(QString, fault);
    QFETCH(QStringList, commands);
    QFETCH(QStringList, boxes);
    auto module = ConnectTo(model);
    QVERIFY(G.LinkUp);
    if (!fault.isEmpty())
        QVERIFY(module->addFault(fault));

    QString confirmation;
    bool open = false;
    ModalAnswerer answers;
    MsgRecorder recorder;
    WithWindow<frmBurnout>(answers, [&](frmBurnout &w) {
        Pick(w.cboBurnout, pick);
        w.cmdDownload->click();
    }, &open);
    Confirm(answers, true, &confirmation);
    Forms::get<frmMain>().mnuConfigBurnout->trigger();

    QCOMPARE(confirmation, QStringLiteral("Starting download for Burnout Type."));
    QCOMPARE(Commands(*module), commands);
    QCOMPARE(Boxes(recorder), boxes);
    QVERIFY(open);
}

void TestSettingEditors::filterExit_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("how"); // "exit", or "frame": closed by its frame
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("filterConst");
    QTest::addColumn<QStringList>("boxes");
    QTest::addColumn<bool>("open");
    const QString refused = QStringLiteral(
        "Filter Time Const. | exclamation | Filter Time Const.: the text \"%1\" holds a character "
        "the module cannot take (a control character, a double quote or a non-ASCII character); "
        "nothing was stored.");

    QTest::newRow("1,5 kept as 1.5, shown as typed") << "1,5" << "exit" << "1,5" << "1.5" << QStringList{} << false;
    QTest::newRow("text kept unchecked") << "abc" << "exit" << "abc" << "abc" << QStringList{} << false;
    QTest::newRow("closed by the frame: discarded") << "2.5" << "frame" << "1.0" << "1.0" << QStringList{} << false;
    QTest::newRow("control character refused") << "1\t5" << "exit" << "1.0" << "1.0" << QStringList{refused.arg("1<09>5")} << true;
    QTest::newRow("double quote refused") << "1\"5" << "exit" << "1.0" << "1.0" << QStringList{refused.arg("1\"5")} << true;
    QTest::newRow("non-ASCII refused") << QString::fromUtf8("１.５") << "exit" << "1.0" << "1.0"
        << QStringList{refused.arg("<U+FF11>.<U+FF15>")} << true;
}

// Exit commits the typed text (after refusing what the module cannot take); the frame discards it.
void TestSettingEditors::filterExit()
{
    QFETCH(QString, typed);
    QFETCH(QString, how);
    QFETCH(QString, caption);
    QFETCH(QString, filterConst);
    QFETCH(QStringList, boxes);
    QFETCH(bool, open);
    auto module = ConnectTo(QStringLiteral("VQ7_UT5"));
    QVERIFY(G.LinkUp);
    QCOMPARE(G.FilterConst, QStringLiteral("1.0"));

    QString shown;
    bool stillOpen = false;
    ModalAnswerer answers;
    MsgRecorder recorder;
    WithWindow<frmTimeCon>(answers, [&](frmTimeCon &w) {
        shown = w.txtFilter->text();
        w.txtFilter->setText(typed);
        if (how == QLatin1String("exit"))
            w.cmdExit->click();
        else
            w.close();
    }, &stillOpen);
    Forms::get<frmMain>().mnuConfigFilter->trigger();

    QCOMPARE(shown, QStringLiteral("1.0")); // the panel's caption
    QCOMPARE(PanelOf(KindUt5).lblFilter->text(), caption);
    QCOMPARE(G.FilterConst, filterConst);
    QCOMPARE(Boxes(recorder), boxes);
    QCOMPARE(stillOpen, open);
    QVERIFY(module->transcript().isEmpty());
}

void TestSettingEditors::filterDownload_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("fault");
    QTest::addColumn<QStringList>("commands");
    QTest::addColumn<QStringList>("boxes");
    QTest::addColumn<QString>("filterConst");

    QTest::newRow("1,5 written as 1.5") << "1,5" << "" << QStringList{"G01", "I16", "D1.5"} << QStringList{} << "1.5";
    QTest::newRow("echo 1.54 agrees to one decimal") << "1.5" << "wrong-echo:item=16,text=1.54"
        << QStringList{"G01", "I16", "D1.5"} << QStringList{} << "1.5";
    QTest::newRow("echo 1.6 differs") << "1.5" << "wrong-echo:item=16,text=1.6"
        << QStringList{"G01", "I16", "D1.5"} << QStringList{"Filter Download" + Incomplete} << "1.5";
    QTest::newRow("abc answered 0 agrees as 0.0") << "abc" << "wrong-echo:item=16,text=0"
        << QStringList{"G01", "I16", "Dabc"} << QStringList{} << "abc";
    QTest::newRow("abc refused by the module") << "abc" << ""
        << QStringList{"G01", "I16", "Dabc"}
        << QStringList{"Parameter Write | critical | invalid data Dabc\r\r\nat item 16", "Filter Download" + Incomplete}
        << "abc";
    // A bare "D" would read the value instead of writing one.
    QTest::newRow("empty text is not sent") << "" << "" << QStringList{}
        << QStringList{"Filter Download | exclamation | Enter a filter time constant first: an "
                       "empty value cannot be written to the module."} << "1.0";
}

void TestSettingEditors::filterDownload()
{
    QFETCH(QString, typed);
    QFETCH(QString, fault);
    QFETCH(QStringList, commands);
    QFETCH(QStringList, boxes);
    QFETCH(QString, filterConst);
    auto module = ConnectTo(QStringLiteral("VQ7_K6"));
    QVERIFY(G.LinkUp);
    if (!fault.isEmpty())
        QVERIFY(module->addFault(fault));

    bool open = false;
    ModalAnswerer answers;
    MsgRecorder recorder;
    WithWindow<frmTimeCon>(answers, [&](frmTimeCon &w) {
        w.txtFilter->setText(typed);
        w.cmdDownload->click();
    }, &open);
    if (!commands.isEmpty())
        Confirm(answers, true);
    Forms::get<frmMain>().mnuConfigFilter->trigger();

    QVERIFY2(answers.problems().isEmpty(), qPrintable(answers.problems().join(" / ")));
    QCOMPARE(Commands(*module), commands);
    QCOMPARE(Boxes(recorder), boxes);
    QCOMPARE(G.FilterConst, filterConst);
    if (!commands.isEmpty())
        QCOMPARE(PanelOf(KindK6).lblFilter->text(), typed);
    QVERIFY(open);
}

void TestSettingEditors::lineNoise_data()
{
    QTest::addColumn<int>("moduleNoise"); // -1: the panel's caption emptied after connecting
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QString>("pick");
    QTest::addColumn<int>("sel");
    QTest::addColumn<QString>("fault");
    QTest::addColumn<QStringList>("commands");
    QTest::addColumn<QStringList>("boxes");

    QTest::newRow("60Hz to 50Hz") << 2 << "60Hz" << "50Hz" << 1 << ""
        << QStringList{"G01", "I15", "D01"} << QStringList{};
    QTest::newRow("50Hz to 50/60Hz") << 1 << "50Hz" << "50/60Hz" << 0 << ""
        << QStringList{"G01", "I15", "D00"} << QStringList{};
    QTest::newRow("empty caption shows 50/60Hz; 60Hz") << -1 << "50/60Hz" << "60Hz" << 2 << ""
        << QStringList{"G01", "I15", "D02"} << QStringList{};
    QTest::newRow("echo 01 is not the digit 1") << 2 << "60Hz" << "50Hz" << 1 << "wrong-echo:item=15,text=01"
        << QStringList{"G01", "I15", "D01"} << QStringList{"Cfg. Download" + Incomplete};
}

void TestSettingEditors::lineNoise()
{
    QFETCH(int, moduleNoise);
    QFETCH(QString, shown);
    QFETCH(QString, pick);
    QFETCH(int, sel);
    QFETCH(QString, fault);
    QFETCH(QStringList, commands);
    QFETCH(QStringList, boxes);
    auto module = InstallSim(QStringLiteral("VQ7S_UT8"));
    module->setLineNoise(moduleNoise < 0 ? 1 : moduleNoise);
    Connect(*module);
    QVERIFY(G.LinkUp);
    if (moduleNoise < 0)
        PanelOf(KindUt8).lblLineNoise->clear();
    if (!fault.isEmpty())
        QVERIFY(module->addFault(fault));
    const auto selBefore = G.LineNoiseSel;

    QString opened;
    std::optional<int16_t> selAtOpening;
    QString confirmation;
    ModalAnswerer answers;
    MsgRecorder recorder;
    WithWindow<frmLineNoise>(answers, [&](frmLineNoise &w) {
        opened = w.cboLineNoise->currentText();
        selAtOpening = G.LineNoiseSel;
        Pick(w.cboLineNoise, pick);
        w.cmdDownload->click();
    });
    Confirm(answers, true, &confirmation);
    Forms::get<frmMain>().mnuConfigLineNoise->trigger();

    QCOMPARE(opened, shown);
    QCOMPARE(selAtOpening, selBefore);
    QCOMPARE(G.LineNoiseSel, std::optional<int16_t>(int16_t(sel)));
    QCOMPARE(PanelOf(KindUt8).lblLineNoise->text(), pick);
    QCOMPARE(confirmation, QStringLiteral("Starting download for Line Noise Filter Type."));
    QCOMPARE(Commands(*module), commands);
    QCOMPARE(Boxes(recorder), boxes);
}

void TestSettingEditors::alarmOpening_data()
{
    QTest::addColumn<QString>("caption"); // the panel's alarm caption before opening
    QTest::addColumn<QString>("selected");
    QTest::addColumn<QColor>("colour");
    QTest::newRow("empty: ON, red at once") << "" << "ON" << QColor(255, 0, 0);
    QTest::newRow("OFF") << "OFF" << "OFF" << QColor(0, 128, 0);
    QTest::newRow("ON") << "ON" << "ON" << QColor(255, 0, 0);
}

// The opening choice shows in the panel before any download; AlarmOut keeps the module's value.
void TestSettingEditors::alarmOpening()
{
    QFETCH(QString, caption);
    QFETCH(QString, selected);
    QFETCH(QColor, colour);
    auto module = ConnectTo(QStringLiteral("VQ7S_UT8"));
    QVERIFY(G.LinkUp);
    QLabel *label = PanelOf(KindUt8).lblDiscOutput;
    label->setText(caption);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, QColor(1, 2, 3));
    label->setPalette(palette);
    const int16_t alarmOut = G.AlarmOut;

    QString chosen, captionWhileOpen;
    QColor colourWhileOpen;
    ModalAnswerer answers;
    WithWindow<frmAlarm>(answers, [&](frmAlarm &w) {
        chosen = w.optAlarm(0)->isChecked() ? "OFF" : w.optAlarm(1)->isChecked() ? "ON" : "";
        captionWhileOpen = label->text();
        colourWhileOpen = TextColour(label);
    });
    Forms::get<frmMain>().mnuAlarmOutput->trigger();

    QCOMPARE(chosen, selected);
    QCOMPARE(captionWhileOpen, selected);
    QCOMPARE(colourWhileOpen, colour);
    QCOMPARE(G.AlarmOut, alarmOut);
    QVERIFY(module->transcript().isEmpty());
}

void TestSettingEditors::alarmDownload_data()
{
    QTest::addColumn<int>("option");
    QTest::addColumn<QString>("fault");
    QTest::addColumn<QStringList>("commands");
    QTest::addColumn<QStringList>("boxes");
    QTest::addColumn<QColor>("colour");

    QTest::newRow("OFF writes 010") << 0 << "" << QStringList{"G01", "I07", "D010"} << QStringList{} << QColor(0, 128, 0);
    QTest::newRow("ON writes 011") << 1 << "" << QStringList{"G01", "I07", "D011"} << QStringList{} << QColor(255, 0, 0);
    QTest::newRow("echo 00 is the number 0") << 0 << "wrong-echo:item=7,text=00"
        << QStringList{"G01", "I07", "D010"} << QStringList{} << QColor(0, 128, 0);
    QTest::newRow("echo 1 for OFF fails") << 0 << "wrong-echo:item=7,text=1"
        << QStringList{"G01", "I07", "D010"} << QStringList{"Alarm Output Download" + Incomplete} << QColor(0, 128, 0);
}

void TestSettingEditors::alarmDownload()
{
    QFETCH(int, option);
    QFETCH(QString, fault);
    QFETCH(QStringList, commands);
    QFETCH(QStringList, boxes);
    QFETCH(QColor, colour);
    auto module = ConnectTo(QStringLiteral("VQ7S_UT8"));
    QVERIFY(G.LinkUp);
    if (!fault.isEmpty())
        QVERIFY(module->addFault(fault));
    const int16_t alarmOut = G.AlarmOut;

    QString confirmation;
    ModalAnswerer answers;
    MsgRecorder recorder;
    WithWindow<frmAlarm>(answers, [&](frmAlarm &w) {
        w.optAlarm(option)->click();
        w.cmdDownload->click();
    });
    Confirm(answers, true, &confirmation);
    Forms::get<frmMain>().mnuAlarmOutput->trigger();

    QCOMPARE(confirmation, QStringLiteral("Starting download for Discrete Output."));
    QCOMPARE(Commands(*module), commands);
    QCOMPARE(Boxes(recorder), boxes);
    QCOMPARE(PanelOf(KindUt8).lblDiscOutput->text(), option ? QStringLiteral("ON") : QStringLiteral("OFF"));
    QCOMPARE(TextColour(PanelOf(KindUt8).lblDiscOutput), colour);
    QCOMPARE(G.AlarmOut, alarmOut);
}

// The line noise and alarm editors belong to the UT8 kind: for another kind nothing opens.
void TestSettingEditors::ut8EditorsOnlyForUt8()
{
    ChooseOffline(1);
    ModalAnswerer answers;
    MsgRecorder boxes;
    frmLineNoise::LineNoiseSet();
    frmAlarm::AlarmSet();
    QVERIFY(answers.shown().isEmpty());
    QVERIFY(boxes.boxes().isEmpty());
    QVERIFY(!Forms::ifLoaded<frmUt8>());
}

// Without a module every Download is disabled; the choices still change the panel and the
// configuration.
void TestSettingEditors::offlineDownloadsDisabled()
{
    ChooseOffline(3);
    frmMain &main = Forms::get<frmMain>();
    AnalogPanel &panel = PanelOf(KindUt8);
    // Without the module's options the UT8 panel leaves Burnout and Line noise off; an earlier
    // connection may have left them on.
    QVERIFY(!main.mnuConfigBurnout->isEnabled());
    QList<bool> downloads;
    ModalAnswerer answers;
    WithWindow<frmBurnout>(answers, [&](frmBurnout &w) {
        downloads << w.cmdDownload->isEnabled();
        Pick(w.cboBurnout, QStringLiteral("Up"));
    });
    WithWindow<frmTimeCon>(answers, [&](frmTimeCon &w) {
        downloads << w.cmdDownload->isEnabled();
        w.txtFilter->setText(QStringLiteral("2.0"));
        w.cmdExit->click();
    });
    WithWindow<frmLineNoise>(answers, [&](frmLineNoise &w) {
        downloads << w.cmdDownload->isEnabled();
        Pick(w.cboLineNoise, QStringLiteral("60Hz"));
    });
    WithWindow<frmAlarm>(answers, [&](frmAlarm &w) {
        downloads << w.cmdDownload->isEnabled();
        w.optAlarm(0)->click();
    });
    frmBurnout::BurnoutSet();
    frmTimeCon::FilterSet();
    frmLineNoise::LineNoiseSet();
    frmAlarm::AlarmSet();

    QCOMPARE(downloads, (QList<bool>{false, false, false, false}));
    QCOMPARE(panel.lblBurnout->text(), QStringLiteral("Up"));
    QCOMPARE(G.BurnoutType, 1);
    QCOMPARE(panel.lblFilter->text(), QStringLiteral("2.0"));
    QCOMPARE(G.FilterConst, QStringLiteral("2.0"));
    QCOMPARE(panel.lblLineNoise->text(), QStringLiteral("60Hz"));
    QCOMPARE(G.LineNoiseSel, std::optional<int16_t>(2));
    QCOMPARE(panel.lblDiscOutput->text(), QStringLiteral("OFF"));
}

QTEST_MAIN(TestSettingEditors)
#include "tst_settingeditors.moc"
