// The configuration file's bytes: what is written for each kind, what reads back, and every file
// that must not be taken for a configuration.

#include "files/ConfigFile.h"
#include "model/Globals.h"
#include "tests/support/TestSupport.h"

#include <QTest>

namespace {

QByteArray lines(const QList<QByteArray> &list)
{
    QByteArray out;
    for (const QByteArray &line : list)
        out += line + "\r\n";
    return out;
}

// The lines of a file whose channels are all 0,0.
QList<QByteArray> zeroChannels()
{
    QList<QByteArray> list;
    for (int ch = 1; ch <= 16; ++ch)
        list << "0,0";
    return list;
}

ConfigSnapshot ut8Example()
{
    ConfigSnapshot c;
    c.kind = KindUt8;
    c.typeCode[1] = 17;
    c.cjcSwitch[1] = 1;
    c.modbus = {2, 0, 1, 1, 0};
    c.cjmTemp = QStringLiteral("25.000");
    c.cjmVolt = QStringLiteral("0.550");
    c.burnout = 1;
    c.filter = QStringLiteral("1.0");
    c.lineNoise = 0;
    c.alarm = 0;
    return c;
}

} // namespace

class TestConfigFile : public QObject
{
    Q_OBJECT
private slots:
    void init() { ResetProgramState(); }

    void savedRightAfterStartUp();
    void ut8Example();
    void roundTripPerKind_data();
    void roundTripPerKind();
    void fieldsSpreadOverLines();
    void emptyLineNoiseValue();
    void filesThatDoNotRead_data();
    void filesThatDoNotRead();
    void textsThatCannotBeStored_data();
    void textsThatCannotBeStored();
    void captureAndApply();
};

void TestConfigFile::savedRightAfterStartUp()
{
    InitData();
    const auto bytes = FormatConfigFile(CaptureConfig());
    QVERIFY(bytes);
    QList<QByteArray> expected{""};
    expected << zeroChannels() << "2" << "0" << "1" << "0" << "0" << "\"\",\"\"";
    QCOMPARE(*bytes, lines(expected));
    QCOMPARE(bytes->count("\r\n"), 23);
}

void TestConfigFile::ut8Example()
{
    QList<QByteArray> expected{"6", "17,1"};
    expected << zeroChannels().mid(1) << "2" << "0" << "1" << "1" << "0"
             << "\"25.000\",\"0.550\"" << "1,\"1.0\",0,0";
    const auto bytes = FormatConfigFile(::ut8Example());
    QVERIFY(bytes);
    QCOMPARE(*bytes, lines(expected));
    QCOMPARE(bytes->count("\r\n"), 24);
    QCOMPARE(ParseConfigFile(*bytes), std::optional<ConfigSnapshot>(::ut8Example()));
}

void TestConfigFile::roundTripPerKind_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("lineCount");
    QTest::newRow("UT5") << 1 << 24;
    QTest::newRow("K6") << 2 << 24;
    QTest::newRow("E4") << 3 << 23;
    QTest::newRow("F9") << 4 << 23;
    QTest::newRow("L7") << 5 << 23;
    QTest::newRow("UT8") << 6 << 24;
}

void TestConfigFile::roundTripPerKind()
{
    QFETCH(int, kind);
    QFETCH(int, lineCount);
    ConfigSnapshot c;
    c.kind = int16_t(kind);
    for (int ch = 1; ch <= 16; ++ch) {
        c.typeCode[std::size_t(ch)] = int16_t(ch + 15);
        c.cjcSwitch[std::size_t(ch)] = int16_t(ch % 2);
    }
    c.modbus = {3, 1, 2, 0, 1};
    c.cjmTemp = QStringLiteral("24.500");
    c.cjmVolt = QStringLiteral("0.612");
    c.burnout = 2;
    c.filter = QStringLiteral("2.50");
    c.lineNoise = 2;
    c.alarm = 1;
    const auto bytes = FormatConfigFile(c);
    QVERIFY(bytes);
    QCOMPARE(bytes->count("\r\n"), lineCount);
    const auto back = ParseConfigFile(*bytes);
    QVERIFY(back);
    if (!c.hasModuleSettings()) {
        // Not stored for these kinds: what reads back is the untouched start value.
        c.burnout = 0;
        c.filter.clear();
        c.lineNoise.reset();
        c.alarm = 0;
    }
    QCOMPARE(*back, c);
}

void TestConfigFile::fieldsSpreadOverLines()
{
    // One field a line, spaces around numbers, LF or CR alone as line ends, a record split over
    // lines and records joined on one: the fields count, not the lines.
    QByteArray text = "6\r\n17\r\n 1 \r\n";
    for (int ch = 2; ch <= 16; ++ch)
        text += ch % 2 ? "0\n0\n" : "0\r0\r";
    text += "2,0,1,1,0\r\n\"25.000\"\r\n\"0.550\",1,\"1.0\"\r\n0,0\r\n";
    QString error;
    const auto c = ParseConfigFile(text, &error);
    QVERIFY2(c, qPrintable(error));
    QCOMPARE(*c, ::ut8Example());
}

void TestConfigFile::emptyLineNoiseValue()
{
    ConfigSnapshot c = ::ut8Example();
    c.lineNoise.reset();
    const auto bytes = FormatConfigFile(c);
    QVERIFY(bytes);
    QVERIFY(bytes->endsWith("1,\"1.0\",,0\r\n"));
    const auto back = ParseConfigFile(*bytes);
    QVERIFY(back);
    QVERIFY(!back->lineNoise.has_value());
}

void TestConfigFile::filesThatDoNotRead_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("says"); // part of the description
    const QByteArray good = *FormatConfigFile(::ut8Example());
    QTest::newRow("empty file") << QByteArray() << "ends too early";
    QTest::newRow("one line short") << good.left(good.lastIndexOf("1,\"1.0\"")) << "ends too early";
    QTest::newRow("alarm missing") << good.left(good.lastIndexOf(",0\r\n")) << "the alarm output";
    QTest::newRow("letters for a type code")
        << QByteArray(good).replace("17,1", "K,1") << "\"K\" is not a whole number for the type code of channel 1";
    QTest::newRow("decimal for a switch") << QByteArray(good).replace("17,1", "17,1.5")
                                          << "the cold-junction switch of channel 1";
    QTest::newRow("beyond 16 bits") << QByteArray(good).replace("17,1", "40000,1") << "Line 2";
    QTest::newRow("kind 7") << QByteArray(good).replace("6\r\n17", "7\r\n17") << "not a model kind";
    QTest::newRow("quote not closed") << QByteArray(good).replace("\"25.000\"", "\"25.000")
                                      << "not closed";
    QTest::newRow("control character") << QByteArray(good).replace("25.000", "25\x01.000")
                                       << "not plain text";
    QTest::newRow("non-ASCII") << QByteArray(good).replace("1.0", "1\xe9") << "not plain text";
    QTest::newRow("text after a closing quote") << QByteArray(good).replace("\"0.550\"", "\"0.550\"x")
                                                << "Line 23";
}

void TestConfigFile::filesThatDoNotRead()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, says);
    QString error;
    QVERIFY(!ParseConfigFile(bytes, &error));
    QVERIFY2(error.contains(says), qPrintable(error));
}

void TestConfigFile::textsThatCannotBeStored_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("says");
    QTest::newRow("quote in the filter") << "filter" << "1\"5" << "the filter time constant";
    QTest::newRow("CR in the temperature") << "cjmTemp" << "25\r" << "the cold-junction temperature";
    QTest::newRow("non-ASCII in the voltage") << "cjmVolt" << QString::fromUtf8("0.5\xc2\xb5")
                                              << "the cold-junction voltage";
}

void TestConfigFile::textsThatCannotBeStored()
{
    QFETCH(QString, field);
    QFETCH(QString, value);
    QFETCH(QString, says);
    ConfigSnapshot c = ::ut8Example();
    (field == QLatin1String("filter") ? c.filter
     : field == QLatin1String("cjmTemp") ? c.cjmTemp
                                         : c.cjmVolt) = value;
    QString error;
    QVERIFY(!FormatConfigFile(c, &error));
    QVERIFY2(error.contains(says), qPrintable(error));
    QVERIFY2(error.contains(QStringLiteral("Nothing was saved")), qPrintable(error));
}

// The snapshot takes the Modbus set of its kind and leaves the module settings alone for the kinds
// whose file does not carry them.
void TestConfigFile::captureAndApply()
{
    InitData();
    G.BurnoutType = 2;
    G.FilterConst = QStringLiteral("3.0");
    ConfigSnapshot e4;
    e4.kind = KindE4;
    e4.modbus = {4, 1, 1, 1, 1};
    ApplyConfig(e4);
    QCOMPARE(G.curKind(), int(KindE4));
    QCOMPARE(G.ModbusSet, (std::array<int16_t, 5>{4, 1, 1, 1, 1}));
    QCOMPARE(G.BurnoutType, int16_t(2));
    QCOMPARE(G.FilterConst, QStringLiteral("3.0"));

    ApplyConfig(::ut8Example());
    QCOMPARE(G.ModbusSetUt8, (std::array<int16_t, 5>{2, 0, 1, 1, 0}));
    QCOMPARE(G.ModbusSet, (std::array<int16_t, 5>{4, 1, 1, 1, 1}));
    QCOMPARE(CaptureConfig(), ::ut8Example());
}

QTEST_MAIN(TestConfigFile)
#include "tst_configfile.moc"
