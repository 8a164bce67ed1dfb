// The analog monitor panels: their state after loading, the commands they set on the main window,
// and the refill from the configuration model after a file has been opened.

#include "app/Forms.h"
#include "app/Resources.h"
#include "app/frmMain.h"
#include "connection/DisplayRules.h"
#include "editors/frmType.h"
#include "model/Globals.h"
#include "panels/AnalogPanel.h"
#include "panels/PanelOfKind.h"
#include "panels/DiscretePanel.h"
#include "panels/Lamp.h"
#include "tests/panels/PanelTestSupport.h"
#include "tests/support/TestSupport.h"

#include <QComboBox>
#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QTest>

namespace {

AnalogPanel &loadPanel(int kind)
{
    return *AnalogPanelOfKind(kind);
}

QColor textColour(const QLabel *label)
{
    return label->palette().color(QPalette::WindowText);
}

} // namespace

class TestAnalogPanels : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        ResetProgramState();
        Forms::get<frmMain>(); // loaded first, as at start-up (its load resets the variables)
    }

    void loadResetsCaptionsAndModel_data();
    void loadResetsCaptionsAndModel();
    void headings_data();
    void headings();
    void lampIsRoundAndFilled();

    void commandRules_data();
    void commandRules();
    void showOnlyHidesThePanelOnView();

    void noReloadLeavesCaptions_data();
    void noReloadLeavesCaptions();
    void refillChannel_data();
    void refillChannel();
    void refillModuleFields_data();
    void refillModuleFields();

    void channelButtonSelectsItsChannel_data();
    void channelButtonSelectsItsChannel();
};

void TestAnalogPanels::loadResetsCaptionsAndModel_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("channels");
    QTest::newRow("UT5") << int(KindUt5) << 16;
    QTest::newRow("UT8") << int(KindUt8) << 8;
    QTest::newRow("K6") << int(KindK6) << 8;
}

void TestAnalogPanels::loadResetsCaptionsAndModel()
{
    QFETCH(int, kind);
    QFETCH(int, channels);
    // What an earlier panel or a file left behind.
    G.ChTypeCode.fill(99);
    G.ChGroup.fill(6);
    G.ChSub.fill(3);
    G.ChCjcSw.fill(1);
    G.BurnoutType = 2;
    G.LineNoiseSel = 2;
    G.FilterConst = QStringLiteral("3.5");

    AnalogPanel &panel = loadPanel(kind);

    QCOMPARE(panel.channels(), channels);
    QCOMPARE(panel.parentWidget(), Forms::get<frmMain>().childArea());
    QVERIFY(panel.isHidden()); // until ShowOnly
    for (int ch = 1; ch <= channels; ++ch) {
        const auto c = std::size_t(ch);
        for (QLabel *label : {panel.lblType(ch), panel.lblReal(ch), panel.lblUnit1(ch),
                              panel.lblRaw(ch), panel.lblUnit2(ch)})
            QVERIFY2(label->text().isEmpty(), qPrintable(label->objectName()));
        QCOMPARE(panel.shpOut(ch)->fillColor(), NeutralLampColour());
        QCOMPARE(panel.cmdCh(ch)->text(), QStringLiteral("%1").arg(ch, 2));
        if (kind == KindK6) {
            QCOMPARE(panel.lblCjmSw(ch), nullptr);
            QCOMPARE(G.ChTypeCode[c], 48);
            QCOMPARE(G.ChGroup[c], 3);
            QCOMPARE(G.ChSub[c], 0);
            QCOMPARE(G.ChCjcSw[c], 1); // the K6 kind has no cold-junction switch
        } else {
            QVERIFY(panel.lblCjmSw(ch)->text().isEmpty());
            QCOMPARE(G.ChTypeCode[c], 0);
            QCOMPARE(G.ChGroup[c], 0);
            QCOMPARE(G.ChSub[c], 0);
            QCOMPARE(G.ChCjcSw[c], 0);
        }
    }
    for (std::size_t c = std::size_t(channels) + 1; c <= MaxChannel; ++c)
        QCOMPARE(G.ChTypeCode[c], 99); // channels the panel does not have are left alone
    for (QLabel *label : {panel.lblDiscInput, panel.lblBurnout, panel.lblFilter})
        QVERIFY(label->text().isEmpty());
    QCOMPARE(G.BurnoutType, 0);
    if (kind == KindUt8) {
        QVERIFY(panel.lblDiscOutput->text().isEmpty());
        QVERIFY(panel.lblLineNoise->text().isEmpty());
        QCOMPARE(G.LineNoiseSel, std::optional<int16_t>(0));
        QVERIFY(G.FilterConst.isEmpty());
    } else {
        QCOMPARE(panel.lblDiscOutput, nullptr);
        QCOMPARE(G.LineNoiseSel, std::optional<int16_t>(2));
        QCOMPARE(G.FilterConst, QStringLiteral("3.5"));
    }
}

void TestAnalogPanels::headings_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<bool>("japanese");
    QTest::addColumn<QStringList>("upper");  // lblTitle1(0, 1, 2, 3, 5), "-" where there is none
    QTest::addColumn<QStringList>("lower");  // lblTitle2(0, 1, 2, 3, 5, 6)
    QTest::addColumn<QStringList>("fields"); // Label2, Label4, Label1, Label3, Label5, Label7

    QTest::newRow("UT5")
        << int(KindUt5) << false << QStringList{"Ch.", "Input", "Input", "Raw", "CJC"}
        << QStringList{"No.", "Type", "Real", "Input", "SW", "Status"}
        << QStringList{"Trigger Input", "Burnout Type", "Filter Time Const.", "Sec.", "-", "-"};
    QTest::newRow("UT8") << int(KindUt8) << false
                         << QStringList{"Ch.", "Input", "Input", "Raw", "CJC"}
                         << QStringList{"No.", "Type", "Real", "Input", "SW", "Status"}
                         << QStringList{"Trigger Input", "Burnout Type", "Filter Time Const.",
                                        "Sec.",          "Alarm Output", "Line Noise Filter Type"};
    QTest::newRow("K6")
        << int(KindK6) << false << QStringList{"Ch.", "Input", "Input", "Raw", "-"}
        << QStringList{"No.", "Type", "Real", "Input", "-", "Status"}
        << QStringList{"Trigger Input", "Burnout Type", "Filter Time Const.", "Sec.", "-", "-"};
    // Numbered captions follow the table; the untagged ones keep their design text.
    QTest::newRow("UT8 Japanese") << int(KindUt8) << true
                                  << QStringList{"ﾁｬﾝﾈﾙ", "入力", "入力", "生", "CJC"}
                                  << QStringList{"番号", "ﾀｲﾌﾟ", "実値", "入力値", "SW", "状態"}
                                  << QStringList{"ﾄﾘｶﾞ入力", "断線検出", "Filter Time Const.",
                                                 "Sec.",     "警報出力", "Line Noise Filter Type"};
}

void TestAnalogPanels::headings()
{
    QFETCH(int, kind);
    QFETCH(bool, japanese);
    QFETCH(QStringList, upper);
    QFETCH(QStringList, lower);
    QFETCH(QStringList, fields);
    SetUiLanguage(japanese ? UiLanguage::Japanese : UiLanguage::English);
    const AnalogPanel &panel = loadPanel(kind);

    auto caption = [](const QLabel *label) { return label ? label->text() : QStringLiteral("-"); };
    QStringList upperShown, lowerShown, fieldsShown;
    for (int i : {0, 1, 2, 3, 5})
        upperShown << caption(panel.lblTitle1(i));
    for (int i : {0, 1, 2, 3, 5, 6})
        lowerShown << caption(panel.lblTitle2(i));
    for (const QLabel *label :
         {panel.Label2, panel.Label4, panel.Label1, panel.Label3, panel.Label5, panel.Label7})
        fieldsShown << caption(label);
    QCOMPARE(upperShown, upper);
    QCOMPARE(lowerShown, lower);
    QCOMPARE(fieldsShown, fields);
    QCOMPARE(panel.lblTitle1(6), nullptr); // the status column has a one-line heading
}

void TestAnalogPanels::lampIsRoundAndFilled()
{
    Lamp lamp;
    lamp.resize(lamp.sizeHint());
    lamp.setFillColor(LampInFault);
    QImage picture(lamp.size(), QImage::Format_ARGB32);
    picture.fill(Qt::transparent);
    lamp.render(&picture, QPoint(), QRegion(), QWidget::DrawChildren);
    QCOMPARE(picture.pixelColor(picture.rect().center()), LampInFault);
    QCOMPARE(picture.pixelColor(0, 0).alpha(), 0); // a circle leaves the corners unpainted
}

void TestAnalogPanels::commandRules_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<bool>("linkUp");
    QTest::addColumn<bool>("monitorOn");
    QTest::addColumn<bool>("ut8Option");
    QTest::addColumn<QString>("model"); // lblData(1)
    QTest::addColumn<bool>("start");    // every command's state before the call
    QTest::addColumn<QStringList>("enabled");

    const QString vq7 = QStringLiteral("VQ7_UT5");
    QTest::newRow("UT5 connected")
        << int(KindUt5) << true << false << false << vq7 << false
        << QStringList{"cjm", "zero", "modbus", "filter", "burnout", "save"};
    QTest::newRow("UT5 connected, commands on before")
        << int(KindUt5) << true << false << false << vq7 << true
        << QStringList{"cjm", "adjust", "zero", "modbus", "filter", "burnout", "save", "updown"};
    QTest::newRow("VQ4_UT5 has no Modbus")
        << int(KindUt5) << true << false << false << "VQ4_UT5" << true
        << QStringList{"cjm", "adjust", "zero", "filter", "burnout", "save", "updown"};
    QTest::newRow("UT5 offline") << int(KindUt5) << false << false << false << QString() << true
                                 << QStringList{"adjust", "zero", "filter", "burnout", "save"};
    QTest::newRow("UT5 while monitoring leaves Save alone")
        << int(KindUt5) << true << true << false << vq7 << false
        << QStringList{"cjm", "zero", "modbus", "filter", "burnout"};
    QTest::newRow("UT8 with settings option")
        << int(KindUt8) << true << false << true << "VQ7S_UT8" << false
        << QStringList{"zero", "modbus", "filter", "noise", "burnout", "alarm", "save"};
    QTest::newRow("UT8 without settings option")
        << int(KindUt8) << true << false << false << "VQ7S_UT8" << true
        << QStringList{"adjust", "zero", "modbus", "filter", "alarm", "save", "updown"};
    QTest::newRow("UT8 offline") << int(KindUt8) << false << false << false << QString() << true
                                 << QStringList{"adjust", "zero", "filter", "alarm", "save"};
    QTest::newRow("K6 leaves Modbus off")
        << int(KindK6) << true << false << false << "VQ7_K6" << false
        << QStringList{"zero", "comp", "filter", "burnout", "save"};
    QTest::newRow("K6 leaves Modbus on")
        << int(KindK6) << true << false << false << "VQ7_K6" << true
        << QStringList{"adjust", "zero", "comp", "modbus", "filter", "burnout", "save", "updown"};
    QTest::newRow("K6 offline") << int(KindK6) << false << false << false << QString() << true
                                << QStringList{"adjust", "zero",    "comp",
                                               "filter", "burnout", "save"};
}

void TestAnalogPanels::commandRules()
{
    QFETCH(int, kind);
    QFETCH(bool, linkUp);
    QFETCH(bool, monitorOn);
    QFETCH(bool, ut8Option);
    QFETCH(QString, model);
    QFETCH(bool, start);
    QFETCH(QStringList, enabled);
    frmMain &main = Forms::get<frmMain>();
    loadPanel(kind);
    SetAllPanelCommands(main, start);
    main.lblData(1)->setText(model);
    G.LinkUp = linkUp;
    G.MonitorOn = monitorOn;
    G.Ut8SettingsOption = ut8Option;

    ShowPanelOfKind(kind);

    QCOMPARE(EnabledPanelCommands(main), enabled);
    QVERIFY(!loadPanel(kind).isHidden());
    const char *family = kind == KindUt5 ? "UT5" : kind == KindUt8 ? "UT8" : "K6";
    QCOMPARE(main.lblData(0)->text(), QLatin1String(family));
}

void TestAnalogPanels::showOnlyHidesThePanelOnView()
{
    frmUt5 &ut5 = Forms::get<frmUt5>();
    frmK6 &k6 = Forms::get<frmK6>();
    ut5.Ut5();
    QVERIFY(!ut5.isHidden());
    QVERIFY(k6.isHidden());
    k6.K6();
    QVERIFY(ut5.isHidden());
    QVERIFY(!k6.isHidden());
    Forms::get<frmF9>().F9();
    QVERIFY(k6.isHidden());
    QCOMPARE(Forms::get<frmMain>().lblData(0)->text(), QStringLiteral("F9"));
}

void TestAnalogPanels::noReloadLeavesCaptions_data()
{
    QTest::addColumn<int>("kind");
    QTest::newRow("UT5") << int(KindUt5);
    QTest::newRow("UT8") << int(KindUt8);
    QTest::newRow("K6") << int(KindK6);
}

void TestAnalogPanels::noReloadLeavesCaptions()
{
    QFETCH(int, kind);
    AnalogPanel &panel = loadPanel(kind);
    // As a connect or a sweep shows them.
    panel.lblType(1)->setText(QStringLiteral("K(CA)"));
    panel.lblBurnout->setText(QStringLiteral("Up"));
    panel.lblFilter->setText(QStringLiteral("1.50"));
    G.ChTypeCode[1] = 64;
    G.BurnoutType = 2;
    G.FilterConst = QStringLiteral("7");
    G.PanelReload = false;

    ShowPanelOfKind(kind);

    QCOMPARE(panel.lblType(1)->text(), QStringLiteral("K(CA)"));
    QCOMPARE(panel.lblBurnout->text(), QStringLiteral("Up"));
    QCOMPARE(panel.lblFilter->text(), QStringLiteral("1.50"));
    QVERIFY(!G.PanelReload);
}

void TestAnalogPanels::refillChannel_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("code");
    QTest::addColumn<int>("cjc");
    QTest::addColumn<QString>("type");
    QTest::addColumn<QString>("cjcShown"); // "-": the panel has no switch column
    QTest::addColumn<int>("group");
    QTest::addColumn<int>("sub");

    QTest::newRow("UT5 thermocouple") << int(KindUt5) << 20 << 1 << "T(CC)"
                                      << "ON" << 1 << 4;
    QTest::newRow("UT5 voltage has no switch") << int(KindUt5) << 5 << 1 << "-50 to 50mV"
                                               << "" << 0 << 5;
    QTest::newRow("UT5 code without a name") << int(KindUt5) << 48 << 0 << ""
                                             << "OFF" << 3 << 0;
    QTest::newRow("UT5 switch out of range") << int(KindUt5) << 17 << 2 << "K(CA)"
                                             << "" << 1 << 1;
    QTest::newRow("UT8 thermocouple") << int(KindUt8) << 17 << 0 << "K(CA)"
                                      << "OFF" << 1 << 1;
    QTest::newRow("UT8 voltage") << int(KindUt8) << 0 << 0 << "-10 to 10V"
                                 << "" << 0 << 0;
    QTest::newRow("K6 stored 0 shown as 48") << int(KindK6) << 0 << 0 << "JPt100(JIS'89)"
                                             << "-" << 3 << 0;
    QTest::newRow("K6 resistance") << int(KindK6) << 65 << 0 << "0 to 500ohm"
                                   << "-" << 4 << 1;
}

void TestAnalogPanels::refillChannel()
{
    QFETCH(int, kind);
    QFETCH(int, code);
    QFETCH(int, cjc);
    QFETCH(QString, type);
    QFETCH(QString, cjcShown);
    QFETCH(int, group);
    QFETCH(int, sub);
    AnalogPanel &panel = loadPanel(kind);
    const int last = panel.channels();
    // Live columns as the last sweep left them; a refill does not touch them.
    panel.lblReal(last)->setText(QStringLiteral("12.345"));
    panel.lblUnit1(last)->setText(QStringLiteral("degC"));
    panel.shpOut(last)->setFillColor(LampInOrder);
    panel.lblDiscInput->setText(QStringLiteral("ON"));
    // As a configuration file leaves the model.
    G.ChTypeCode[std::size_t(last)] = int16_t(code);
    G.ChCjcSw[std::size_t(last)] = int16_t(cjc);
    G.ChGroup[std::size_t(last)] = 9;
    G.ChSub[std::size_t(last)] = 9;
    G.PanelReload = true;

    ShowPanelOfKind(kind);

    QCOMPARE(panel.lblType(last)->text(), type);
    if (QLabel *sw = panel.lblCjmSw(last))
        QCOMPARE(sw->text(), cjcShown);
    else
        QCOMPARE(cjcShown, QStringLiteral("-"));
    QCOMPARE(G.ChGroup[std::size_t(last)], group);
    QCOMPARE(G.ChSub[std::size_t(last)], sub);
    QCOMPARE(G.ChTypeCode[std::size_t(last)], code); // the stored code is never rewritten
    QCOMPARE(panel.lblReal(last)->text(), QStringLiteral("12.345"));
    QCOMPARE(panel.lblUnit1(last)->text(), QStringLiteral("degC"));
    QCOMPARE(panel.shpOut(last)->fillColor(), LampInOrder);
    QCOMPARE(panel.lblDiscInput->text(), QStringLiteral("ON"));
    QVERIFY(!G.PanelReload);
}

void TestAnalogPanels::refillModuleFields_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("burnout");
    QTest::addColumn<QString>("filter");
    QTest::addColumn<QVariant>("lineNoise"); // invalid: never read
    QTest::addColumn<int>("alarm");
    QTest::addColumn<QString>("burnoutShown");
    QTest::addColumn<QString>("filterShown");
    QTest::addColumn<QString>("lineNoiseShown");
    QTest::addColumn<QString>("alarmShown");
    QTest::addColumn<QColor>("alarmColour");

    const QColor before(1, 2, 3);
    QTest::newRow("UT5 filter as value text")
        << int(KindUt5) << 1 << "1.5" << QVariant() << 0 << "Up"
        << "1.500"
        << ""
        << "" << before;
    QTest::newRow("UT5 empty filter, burnout out of range")
        << int(KindUt5) << 3 << "" << QVariant() << 0 << ""
        << "0.000"
        << ""
        << "" << before;
    QTest::newRow("K6 filter with trailing text")
        << int(KindK6) << 2 << "0.25s" << QVariant() << 0 << "Down"
        << "0.250"
        << ""
        << "" << before;
    QTest::newRow("UT8 alarm on") << int(KindUt8) << 0 << "10" << QVariant(2) << 1 << "None"
                                  << "10.000"
                                  << "60Hz"
                                  << "ON" << OnColour;
    QTest::newRow("UT8 alarm off") << int(KindUt8) << 0 << "10" << QVariant(1) << 0 << "None"
                                   << "10.000"
                                   << "50Hz"
                                   << "OFF" << OffColour;
    QTest::newRow("UT8 alarm out of range keeps its colour, noise never read")
        << int(KindUt8) << 0 << "10" << QVariant() << 2 << "None"
        << "10.000"
        << "50/60Hz"
        << "" << before;
}

void TestAnalogPanels::refillModuleFields()
{
    QFETCH(int, kind);
    QFETCH(int, burnout);
    QFETCH(QString, filter);
    QFETCH(QVariant, lineNoise);
    QFETCH(int, alarm);
    QFETCH(QString, burnoutShown);
    QFETCH(QString, filterShown);
    QFETCH(QString, lineNoiseShown);
    QFETCH(QString, alarmShown);
    QFETCH(QColor, alarmColour);
    AnalogPanel &panel = loadPanel(kind);
    if (panel.lblDiscOutput) {
        QPalette palette = panel.lblDiscOutput->palette();
        palette.setColor(QPalette::WindowText, QColor(1, 2, 3));
        panel.lblDiscOutput->setPalette(palette);
    }
    G.BurnoutType = int16_t(burnout);
    G.FilterConst = filter;
    G.LineNoiseSel =
        lineNoise.isValid() ? std::optional<int16_t>(int16_t(lineNoise.toInt())) : std::nullopt;
    G.AlarmOut = int16_t(alarm);
    G.PanelReload = true;

    ShowPanelOfKind(kind);

    QCOMPARE(panel.lblBurnout->text(), burnoutShown);
    QCOMPARE(panel.lblFilter->text(), filterShown);
    QCOMPARE(G.FilterConst, filter);
    if (kind == KindUt8) {
        QCOMPARE(panel.lblLineNoise->text(), lineNoiseShown);
        QCOMPARE(panel.lblDiscOutput->text(), alarmShown);
        QCOMPARE(textColour(panel.lblDiscOutput), alarmColour);
    }
}

void TestAnalogPanels::channelButtonSelectsItsChannel_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("channel");
    QTest::newRow("UT5 12") << int(KindUt5) << 12;
    QTest::newRow("UT5 16") << int(KindUt5) << 16;
    QTest::newRow("UT8 8") << int(KindUt8) << 8;
    QTest::newRow("K6 1") << int(KindK6) << 1;
}

void TestAnalogPanels::channelButtonSelectsItsChannel()
{
    QFETCH(int, kind);
    QFETCH(int, channel);
    G.CurModelKind = int16_t(kind);
    AnalogPanel &panel = loadPanel(kind);
    ShowPanelOfKind(kind);
    QString shown;
    ModalAnswerer answers;
    answers.expect<frmType>([&shown](frmType &editor) {
        shown = editor.cboChannel->currentText();
        editor.cmdExit->click();
    });
    QTest::mouseClick(panel.cmdCh(channel), Qt::LeftButton);
    QCOMPARE(G.SelChannel, channel);
    QCOMPARE(answers.shown(), QStringList{"frmType"});
    QCOMPARE(shown, QString::number(channel)); // the input type editor opens on that channel
}

QTEST_MAIN(TestAnalogPanels)
#include "tst_analogpanels.moc"
