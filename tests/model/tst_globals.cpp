#include "app/Resources.h"
#include "model/Catalogue.h"
#include "model/Globals.h"
#include "tests/support/TestSupport.h"

#include <QTest>

class TestGlobals : public QObject
{
    Q_OBJECT
private slots:
    void init() { ResetProgramState(); }

    void toDecimalPoint_data();
    void toDecimalPoint();
    void checkPositive_data();
    void checkPositive();
    void splitTypeCode_data();
    void splitTypeCode();
    void modelLookup_data();
    void modelLookup();
    void initDataFillsTablesAndResetsState();
    void burnoutNamesFollowTheStringTable();
};

void TestGlobals::toDecimalPoint_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");
    QTest::newRow("comma") << "12,345" << "12.345";
    QTest::newRow("only the first comma") << "1,2,3" << "1.2,3";
    QTest::newRow("point unchanged") << "12.5" << "12.5";
    QTest::newRow("empty") << "" << "";
    QTest::newRow("leading comma") << ",5" << ".5";
}

void TestGlobals::toDecimalPoint()
{
    QFETCH(QString, text);
    QFETCH(QString, expected);
    QCOMPARE(ToDecimalPoint(text), expected);
}

void TestGlobals::checkPositive_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("expected");
    QTest::addColumn<bool>("told");
    QTest::newRow("empty") << "" << -1 << false;
    QTest::newRow("number") << "12" << 12 << false;
    QTest::newRow("zero") << "0" << 0 << false;
    QTest::newRow("largest 32-bit") << "2147483647" << 2147483647 << false;
    QTest::newRow("point") << "1.5" << 0 << true;
    QTest::newRow("minus") << "-3" << 0 << true;
    QTest::newRow("plus") << "+3" << 0 << true;
    QTest::newRow("letters") << "abc" << 0 << true;
    QTest::newRow("beyond 32 bits") << "2147483648" << 0 << true;
    QTest::newRow("sign after digits") << "12-" << 0 << true;
    QTest::newRow("space before digits") << " 5" << 0 << true;
    QTest::newRow("space after digits") << "5 " << 0 << true;
    QTest::newRow("full-width digits") << QString::fromUtf8("\xef\xbc\x91\xef\xbc\x92") << 0 << true;
}

void TestGlobals::checkPositive()
{
    QFETCH(QString, text);
    QFETCH(int, expected);
    QFETCH(bool, told);
    MsgRecorder boxes;
    QCOMPARE(CheckPositive(text), expected);
    if (!told) {
        QCOMPARE(boxes.count(), 0);
        return;
    }
    QCOMPARE(boxes.count(), 1);
    QCOMPARE(boxes.boxes()[0].prompt, QStringLiteral("Please enter positive number."));
    QCOMPARE(boxes.boxes()[0].icon, MsgIcon::Information);
    QCOMPARE(boxes.boxes()[0].title, QStringLiteral("TARVIK"));
}

void TestGlobals::splitTypeCode_data()
{
    QTest::addColumn<int>("channel");
    QTest::addColumn<int>("code");
    QTest::addColumn<int>("group");
    QTest::addColumn<int>("index");
    QTest::newRow("17") << 3 << 17 << 1 << 1;
    QTest::newRow("67") << 8 << 67 << 4 << 3;
    QTest::newRow("0") << 1 << 0 << 0 << 0;
    QTest::newRow("48, channel 16") << 16 << 48 << 3 << 0;
    QTest::newRow("negative code floors") << 2 << -1 << -1 << 15;
}

void TestGlobals::splitTypeCode()
{
    QFETCH(int, channel);
    QFETCH(int, code);
    QFETCH(int, group);
    QFETCH(int, index);
    SplitTypeCode(int16_t(channel), int16_t(code));
    QCOMPARE(int(G.ChGroup[channel]), group);
    QCOMPARE(int(G.ChSub[channel]), index);
    QCOMPARE(16 * G.ChGroup[channel] + G.ChSub[channel], code);
}

void TestGlobals::modelLookup_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("index");
    QTest::addColumn<int>("kind");
    QTest::newRow("VQ7_UT5") << "VQ7_UT5" << 1 << 1;
    QTest::newRow("VQ7S_UT8") << "VQ7S_UT8" << 2 << 6;
    QTest::newRow("VQ2_UT5") << "VQ2_UT5" << 6 << 1;
    QTest::newRow("VQ4_UT5") << "VQ4_UT5" << 7 << 1;
    QTest::newRow("VQ7_E4W2") << "VQ7_E4W2" << 8 << 3;
    QTest::newRow("VQ7_F9W2") << "VQ7_F9W2" << 9 << 4;
    QTest::newRow("VQ7_L7") << "VQ7_L7" << 10 << 5;
    QTest::newRow("trailing space") << "VQ7_UT5 " << 0 << 0;
    QTest::newRow("lower case") << "vq7_ut5" << 0 << 0;
    QTest::newRow("prefix only") << "VQ7_E4W" << 0 << 0;
    QTest::newRow("empty") << "" << 0 << 0;
}

void TestGlobals::modelLookup()
{
    QFETCH(QString, name);
    QFETCH(int, index);
    QFETCH(int, kind);
    QCOMPARE(ModelIndex(name), index);
    if (index > 0)
        QCOMPARE(int(G.ModelKind[index]), kind);
}

void TestGlobals::initDataFillsTablesAndResetsState()
{
    G.LinkUp = true;
    G.MonitorOn = true;
    G.PendingOutput = 7;
    G.CurModelKind = 3;
    G.ForceChannelField = true;
    InitData();
    QVERIFY(!G.LinkUp);
    QVERIFY(!G.MonitorOn);
    QVERIFY(!G.ForceChannelField);
    QCOMPARE(G.PendingOutput, int16_t(0));
    QVERIFY(!G.CurModelKind.has_value());
    QVERIFY(!G.PortNumber.has_value());

    QCOMPARE(G.VoltTcNames[0], QStringLiteral("-20 to 20V"));
    QCOMPARE(G.VoltTcNames[11], QStringLiteral("T(CC)"));
    QCOMPARE(G.VoltTcNames[19], QStringLiteral("P(Platinel2)"));
    QCOMPARE(G.WideVoltTcNames[0], QStringLiteral("-10 to 10V"));
    // The UT8 thermocouples are the UT5 ones, in the same order.
    for (int i = 1; i <= 13; ++i)
        QCOMPARE(G.WideVoltTcNames[i], G.VoltTcNames[i + 6]);
    QCOMPARE(G.RtdResNames[0], QStringLiteral("JPt100(JIS'89)"));
    QCOMPARE(G.RtdResNames[9], QStringLiteral("0 to 10Kohm"));
    QCOMPARE(G.LineNoiseNames[0], QStringLiteral("50/60Hz"));
    QCOMPARE(G.OnOffNames2[1], QStringLiteral("ON"));
    QCOMPARE(G.ModbusSet, (std::array<int16_t, 5>{2, 0, 1, 0, 0}));
    QCOMPARE(G.ModbusSetUt8, (std::array<int16_t, 5>{2, 0, 1, 1, 0}));
    QCOMPARE(G.ModelName[0], QString());
}

void TestGlobals::burnoutNamesFollowTheStringTable()
{
    QCOMPARE(G.BurnoutNames[1], QStringLiteral("Up"));
    SetUiLanguage(UiLanguage::Japanese);
    InitData();
    QCOMPARE(G.BurnoutNames[0], QStringLiteral("なし"));
    QCOMPARE(G.BurnoutNames[1], QStringLiteral("上方"));
    QCOMPARE(G.BurnoutNames[2], QStringLiteral("下方"));
    QCOMPARE(G.OnOffNames[0], QStringLiteral("OFF"));
    QCOMPARE(G.LineNoiseNames[1], QStringLiteral("50Hz"));
}

QTEST_MAIN(TestGlobals)
#include "tst_globals.moc"
