// The discrete input and output panels and the counter panel: load state, the commands they set,
// the counter panel's refill, and the switching of a discrete output on the wire.

#include "app/Forms.h"
#include "app/Resources.h"
#include "app/frmMain.h"
#include "model/Globals.h"
#include "panels/AnalogPanel.h"
#include "panels/DiscretePanel.h"
#include "settings/CounterSettings.h"
#include "tests/panels/PanelTestSupport.h"
#include "tests/support/LinkFixture.h"
#include "tests/support/TestSupport.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QTest>

namespace {

// The E4 panel on a scripted module, talking through the main window's port as the program does.
struct E4OnLink
{
    explicit E4OnLink(int replyTimeoutMs = 2000)
        : link(replyTimeoutMs), panel(Forms::get<frmE4>()), main(Forms::get<frmMain>())
    {
        // The main window was made after the fixture, so link.port is the main window's port.
        G.CommForm = &main;
        main.Timer1().setInterval(replyTimeoutMs);
        link.openPort();
        G.LinkUp = true;
    }
    LinkFixture link;
    frmE4 &panel;
    frmMain &main;
};

} // namespace

class TestDiscretePanels : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        ResetProgramState();
        Forms::get<frmMain>(); // loaded first, as at start-up (its load resets the variables)
    }

    void pointPanelsAfterLoad_data();
    void pointPanelsAfterLoad();
    void counterPanelAfterLoad_data();
    void counterPanelAfterLoad();

    void commandRules_data();
    void commandRules();
    void pointPanelsLeaveTheReloadToOthers();

    void counterRefill();
    void counterWithoutReloadLeavesCaptions();
    void counterChannelButtonSelectsItsChannel();

    void discreteDown_data();
    void discreteDown();
    void outputButtonOnlyRemembers();
    void secondPressReplacesTheFirst();
};

void TestDiscretePanels::pointPanelsAfterLoad_data()
{
    QTest::addColumn<bool>("outputs");
    QTest::addColumn<bool>("japanese");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("countData"); // F9 only
    QTest::newRow("F9") << false << false << "Input Contacts"
                        << "Count Data";
    QTest::newRow("E4") << true << false << "Output Contacts"
                        << "";
    QTest::newRow("F9 Japanese") << false << true << "入力接点"
                                 << "ｶｳﾝﾄﾃﾞｰﾀ";
    QTest::newRow("E4 Japanese") << true << true << "出力接点"
                                 << "";
}

void TestDiscretePanels::pointPanelsAfterLoad()
{
    QFETCH(bool, outputs);
    QFETCH(bool, japanese);
    QFETCH(QString, title);
    QFETCH(QString, countData);
    SetUiLanguage(japanese ? UiLanguage::Japanese : UiLanguage::English);
    DiscretePanel &panel = outputs ? static_cast<DiscretePanel &>(Forms::get<frmE4>())
                                   : static_cast<DiscretePanel &>(Forms::get<frmF9>());

    QVERIFY(panel.isHidden());
    QCOMPARE(panel.lblTitle->text(), title);
    for (int p = 1; p <= DiscretePanel::Points; ++p) {
        QCOMPARE(panel.lblNo(p)->text(), QStringLiteral("%1:").arg(p));
        QVERIFY(panel.Label1(p)->text().isEmpty());
        if (outputs) {
            QPushButton *button = static_cast<frmE4 &>(panel).cmdOut(p);
            QVERIFY(button->text().isEmpty());
            QVERIFY(!button->isEnabled()); // only the monitoring loop switches outputs
        }
    }
    if (!outputs)
        QCOMPARE(static_cast<frmF9 &>(panel).cmdCntPre->text(), countData);
}

void TestDiscretePanels::counterPanelAfterLoad_data()
{
    QTest::addColumn<bool>("japanese");
    QTest::addColumn<QStringList>("upper");
    QTest::addColumn<QStringList>("lower");
    const QStringList upper{"Discrete", "Discrete", "32bit", "Count", "Count"};
    const QStringList lower{"Input", "Output", "Count", "Preset", "Rate"};
    QTest::newRow("English") << false << (QStringList{"Ch."} + upper)
                             << (QStringList{"No."} + lower);
    // Only the channel column's heading is numbered.
    QTest::newRow("Japanese") << true << (QStringList{"ﾁｬﾝﾈﾙ"} + upper)
                              << (QStringList{"番号"} + lower);
}

void TestDiscretePanels::counterPanelAfterLoad()
{
    QFETCH(bool, japanese);
    QFETCH(QStringList, upper);
    QFETCH(QStringList, lower);
    SetUiLanguage(japanese ? UiLanguage::Japanese : UiLanguage::English);
    const frmL7 &panel = Forms::get<frmL7>();

    QStringList upperShown, lowerShown;
    for (int i : {0, 1, 2, 3, 4, 6}) {
        upperShown << panel.lblTitle1(i)->text();
        lowerShown << panel.lblTitle2(i)->text();
    }
    QCOMPARE(upperShown, upper);
    QCOMPARE(lowerShown, lower);
    for (int ch = 1; ch <= frmL7::Channels; ++ch) {
        QCOMPARE(panel.cmdCh(ch)->text(), QStringLiteral(" %1").arg(ch));
        for (QLabel *label : {panel.lblDI(ch), panel.lblDO(ch), panel.lbl32bit(ch),
                              panel.lblPreset(ch), panel.lblRate(ch)})
            QVERIFY2(label->text().isEmpty(), qPrintable(label->objectName()));
    }
}

void TestDiscretePanels::commandRules_data()
{
    QTest::addColumn<QString>("panel");
    QTest::addColumn<bool>("start");
    QTest::addColumn<QStringList>("enabled");
    QTest::newRow("F9") << "F9" << true << QStringList{"adjust", "modbus", "updown"};
    QTest::newRow("E4") << "E4" << true << QStringList{"adjust", "modbus", "updown"};
    QTest::newRow("E4 from off") << "E4" << false << QStringList{};
    QTest::newRow("L7") << "L7" << true << QStringList{"count", "zero", "comp", "modbus", "updown"};
    QTest::newRow("L7 from off") << "L7" << false << QStringList{"count"};
}

void TestDiscretePanels::commandRules()
{
    QFETCH(QString, panel);
    QFETCH(bool, start);
    QFETCH(QStringList, enabled);
    frmMain &main = Forms::get<frmMain>();
    QWidget *shown = nullptr;
    SetAllPanelCommands(main, start);
    // Neither the link nor monitoring changes what these panels set.
    G.LinkUp = false;
    G.MonitorOn = false;
    if (panel == QLatin1String("F9")) {
        Forms::get<frmF9>().F9();
        shown = &Forms::get<frmF9>();
    } else if (panel == QLatin1String("E4")) {
        Forms::get<frmE4>().E4();
        shown = &Forms::get<frmE4>();
    } else {
        Forms::get<frmL7>().L7();
        shown = &Forms::get<frmL7>();
    }
    QCOMPARE(EnabledPanelCommands(main), enabled);
    QCOMPARE(main.lblData(0)->text(), panel);
    QVERIFY(!shown->isHidden());
}

void TestDiscretePanels::pointPanelsLeaveTheReloadToOthers()
{
    // Opening a file asks for a refill; of these panels only the counter panel consumes it.
    G.PanelReload = true;
    Forms::get<frmF9>().F9();
    Forms::get<frmE4>().E4();
    QVERIFY(G.PanelReload);
    Forms::get<frmL7>().L7();
    QVERIFY(!G.PanelReload);
}

void TestDiscretePanels::counterRefill()
{
    frmL7 &panel = Forms::get<frmL7>();
    for (int ch = 1; ch <= frmL7::Channels; ++ch) {
        panel.lblDI(ch)->setText(QStringLiteral("ON"));
        panel.lbl32bit(ch)->setText(QStringLiteral("123456"));
        panel.lblRate(ch)->setText(QStringLiteral("50"));
        panel.lblDO(ch)->setText(QStringLiteral("old"));
        G.ChPreset[std::size_t(ch)] = QStringLiteral("%1000").arg(ch);
    }
    G.ChDoMode[1] = 1;
    G.ChDoMode[2] = 0;
    G.ChDoMode[3] = 2; // a mode with no name, as a file may hold
    G.ChDoMode[4] = -1;
    G.PanelReload = true;

    panel.L7();

    const QStringList modes{"ON", "OFF", "", "", "OFF", "OFF", "OFF", "OFF"};
    for (int ch = 1; ch <= frmL7::Channels; ++ch) {
        QCOMPARE(panel.lblDO(ch)->text(), modes[ch - 1]);
        QCOMPARE(panel.lblPreset(ch)->text(), QStringLiteral("%1000").arg(ch));
        QCOMPARE(panel.lblDI(ch)->text(), QStringLiteral("ON"));
        QCOMPARE(panel.lbl32bit(ch)->text(), QStringLiteral("123456"));
        QCOMPARE(panel.lblRate(ch)->text(), QStringLiteral("50"));
    }
    QCOMPARE(G.ChDoMode[3], 2); // shown empty, kept as read
    QCOMPARE(G.ChDoMode[4], -1);
    QVERIFY(!G.PanelReload);
}

void TestDiscretePanels::counterWithoutReloadLeavesCaptions()
{
    frmL7 &panel = Forms::get<frmL7>();
    panel.lblDO(1)->setText(QStringLiteral("ON"));
    panel.lblPreset(1)->setText(QStringLiteral("77"));
    G.ChDoMode[1] = 0;
    G.ChPreset[1] = QStringLiteral("5");
    G.PanelReload = false;

    panel.L7();

    QCOMPARE(panel.lblDO(1)->text(), QStringLiteral("ON"));
    QCOMPARE(panel.lblPreset(1)->text(), QStringLiteral("77"));
    QVERIFY(!G.PanelReload);
}

void TestDiscretePanels::counterChannelButtonSelectsItsChannel()
{
    frmL7 &panel = Forms::get<frmL7>();
    panel.L7();
    QString shownChannel;
    ModalAnswerer answers;
    answers.expect<frmCount>([&shownChannel](frmCount &editor) {
        shownChannel = editor.cboChannel->currentText();
        editor.cmdExit->click();
    });
    QTest::mouseClick(panel.cmdCh(6), Qt::LeftButton);
    QCOMPARE(G.SelChannel, 6);
    QCOMPARE(shownChannel, QStringLiteral("6")); // the counter editor opened on it
    QVERIFY(answers.problems().isEmpty());
}

void TestDiscretePanels::discreteDown_data()
{
    QTest::addColumn<int>("output");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QByteArrayList>("replies"); // item select, then the data command
    QTest::addColumn<QByteArray>("wire");
    QTest::addColumn<int>("pendingAfter"); // a failed press is dropped too: told once, not retried
    QTest::addColumn<QString>("box"); // the "Descrete Down" prompt, empty: none

    QTest::newRow("OFF is switched on")
        << 7 << "OFF" << QByteArrayList{"DOK\r", "D1\r"} << QByteArray("I07\rD071\r") << 0 << "";
    QTest::newRow("ON is switched off")
        << 7 << "ON" << QByteArrayList{"DOK\r", "D0\r"} << QByteArray("I07\rD070\r") << 0 << "";
    QTest::newRow("empty point is switched off")
        << 12 << "" << QByteArrayList{"DOK\r", "D0\r"} << QByteArray("I07\rD120\r") << 0 << "";
    QTest::newRow("echo compared as a number")
        << 32 << "OFF" << QByteArrayList{"DOK\r", "D01\r"} << QByteArray("I07\rD321\r") << 0 << "";
    QTest::newRow("other state echoed")
        << 5 << "OFF" << QByteArrayList{"DOK\r", "D0\r"} << QByteArray("I07\rD051\r") << 0
        << "Download Incomplete\r\nOut= 051\r In= 0";
    QTest::newRow("echo not a number")
        << 5 << "OFF" << QByteArrayList{"DOK\r", "DOK\r"} << QByteArray("I07\rD051\r") << 0
        << "Download Incomplete\r\nOut= 051\r In= OK";
    QTest::newRow("refused") << 9 << "ON" << QByteArrayList{"DOK\r", "Dinvalid data\r"}
                             << QByteArray("I07\rD090\r") << 0
                             << "Download Incomplete\r\nOut= 090\r In= invalid data";
    QTest::newRow("no answer") << 1 << "ON" << QByteArrayList{"DOK\r", ""}
                               << QByteArray("I07\rD010\r") << 0
                               << "Download Incomplete\r\nOut= 010\r In= ";
    QTest::newRow("reply bytes shown as codes")
        << 5 << "OFF" << QByteArrayList{"DOK\r", QByteArray("D1\x1b\r")} << QByteArray("I07\rD051\r")
        << 0 << "Download Incomplete\r\nOut= 051\r In= D1<1B><CR>";
}

void TestDiscretePanels::discreteDown()
{
    QFETCH(int, output);
    QFETCH(QString, shown);
    QFETCH(QByteArrayList, replies);
    QFETCH(QByteArray, wire);
    QFETCH(int, pendingAfter);
    QFETCH(QString, box);
    E4OnLink e4(200);
    MsgRecorder boxes;
    e4.link.replyInOrder(replies);
    e4.panel.Label1(output)->setText(shown);
    G.PendingOutput = int16_t(output);

    e4.panel.DiscreteDown();

    QCOMPARE(e4.link.port->writtenJoined(), wire);
    QCOMPARE(G.PendingOutput, pendingAfter);
    QCOMPARE(e4.panel.Label1(output)->text(), shown); // the next sweep shows the new state
    if (box.isEmpty()) {
        QCOMPARE(boxes.count(), 0);
        return;
    }
    // The link reports its own failures first; the summary comes last.
    QVERIFY(boxes.count() >= 1);
    const MsgRecord &summary = boxes.boxes().constLast();
    QCOMPARE(summary.prompt, box);
    QCOMPARE(summary.icon, MsgIcon::Critical);
    QCOMPARE(summary.title, QStringLiteral("Descrete Down"));
}

void TestDiscretePanels::outputButtonOnlyRemembers()
{
    E4OnLink e4;
    e4.panel.cmdOut(4)->setEnabled(true); // as when monitoring starts
    QTest::mouseClick(e4.panel.cmdOut(4), Qt::LeftButton);
    QCOMPARE(G.PendingOutput, 4);
    QVERIFY(e4.link.port->written().isEmpty());
}

void TestDiscretePanels::secondPressReplacesTheFirst()
{
    E4OnLink e4;
    MsgRecorder boxes;
    for (int p = 1; p <= DiscretePanel::Points; ++p) {
        e4.panel.cmdOut(p)->setEnabled(true);
        e4.panel.Label1(p)->setText(QStringLiteral("OFF"));
    }
    e4.panel.Label1(9)->setText(QStringLiteral("ON"));
    e4.link.replyInOrder({"DOK\r", "D0\r"});

    QTest::mouseClick(e4.panel.cmdOut(3), Qt::LeftButton);
    QTest::mouseClick(e4.panel.cmdOut(9), Qt::LeftButton);
    e4.panel.DiscreteDown();

    QCOMPARE(e4.link.port->writtenJoined(), QByteArray("I07\rD090\r"));
    QCOMPARE(G.PendingOutput, 0);
    QCOMPARE(boxes.count(), 0);
}

QTEST_MAIN(TestDiscretePanels)
#include "tst_discretepanels.moc"
