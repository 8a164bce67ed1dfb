// The rules that turn a module's reply into what the panels show.

#include "connection/DisplayRules.h"
#include "connection/frmLoading.h"
#include "model/Globals.h"
#include "tests/support/TestSupport.h"

#include <QLabel>
#include <QLocale>
#include <QTest>

class TestDisplayRules : public QObject
{
    Q_OBJECT

private slots:
    void init() { ResetProgramState(); }

    void typeCaption_data();
    void typeCaption();
    void cjcCaption_data();
    void cjcCaption();
    void discreteCaptionKeepsColourForOtherValues();
    void lampColour_data();
    void lampColour();
    void values_data();
    void values();
    void valueTextIgnoresLocale();
    void burnoutAndLineNoise_data();
    void burnoutAndLineNoise();
    void versionNumber_data();
    void versionNumber();
};

void TestDisplayRules::typeCaption_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("expected"); // empty: a code the kind does not document

    // Each side of every boundary of the documented codes: UT5 0-6 and 16-28, UT8 0 and 16-28,
    // K6 48-53 and 64-67.
    QTest::newRow("UT5 -1 undocumented") << 1 << -1 << "";
    QTest::newRow("UT5 -9 undocumented") << 1 << -9 << "";
    QTest::newRow("UT5 0 first voltage range") << 1 << 0 << "-20 to 20V";
    QTest::newRow("UT5 6 last voltage range") << 1 << 6 << "-10 to 10mV";
    QTest::newRow("UT5 7 undocumented") << 1 << 7 << "";
    QTest::newRow("UT5 15 undocumented") << 1 << 15 << "";
    QTest::newRow("UT5 16 first thermocouple") << 1 << 16 << "(PR)";
    QTest::newRow("UT5 20 fifth thermocouple") << 1 << 20 << "T(CC)";
    QTest::newRow("UT5 28 last thermocouple") << 1 << 28 << "P(Platinel2)";
    QTest::newRow("UT5 29 undocumented") << 1 << 29 << "";
    QTest::newRow("UT5 48 (a K6 code) undocumented") << 1 << 48 << "";
    QTest::newRow("UT8 -1 undocumented") << 6 << -1 << "";
    QTest::newRow("UT8 0 voltage range") << 6 << 0 << "-10 to 10V";
    QTest::newRow("UT8 1 undocumented") << 6 << 1 << "";
    QTest::newRow("UT8 6 (a UT5 range) undocumented") << 6 << 6 << "";
    QTest::newRow("UT8 15 undocumented") << 6 << 15 << "";
    QTest::newRow("UT8 16 first thermocouple") << 6 << 16 << "(PR)";
    QTest::newRow("UT8 28 last thermocouple") << 6 << 28 << "P(Platinel2)";
    QTest::newRow("UT8 29 undocumented") << 6 << 29 << "";
    QTest::newRow("K6 -1 undocumented") << 2 << -1 << "";
    QTest::newRow("K6 0 undocumented") << 2 << 0 << "";
    QTest::newRow("K6 47 undocumented") << 2 << 47 << "";
    QTest::newRow("K6 48 first thermometer") << 2 << 48 << "JPt100(JIS'89)";
    QTest::newRow("K6 53 last thermometer") << 2 << 53 << "Pt1000";
    QTest::newRow("K6 54 undocumented") << 2 << 54 << "";
    QTest::newRow("K6 63 undocumented") << 2 << 63 << "";
    QTest::newRow("K6 64 first resistance range") << 2 << 64 << "0 to 100ohm";
    QTest::newRow("K6 67 last resistance range") << 2 << 67 << "0 to 10Kohm";
    QTest::newRow("K6 68 undocumented") << 2 << 68 << "";
    QTest::newRow("discrete kind has no types") << 3 << 0 << "";
    QTest::newRow("no kind has no types") << 0 << 16 << "";
}

void TestDisplayRules::typeCaption()
{
    QFETCH(int, kind);
    QFETCH(int, code);
    QFETCH(QString, expected);
    QCOMPARE(TypeCaption(kind, code), expected);
}

void TestDisplayRules::cjcCaption_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<int>("sw");
    QTest::addColumn<QString>("expected");
    QTest::newRow("thermocouple, off") << 16 << 0 << "OFF";
    QTest::newRow("thermocouple, on") << 20 << 1 << "ON";
    QTest::newRow("thermocouple, switch 2") << 20 << 2 << "";
    QTest::newRow("voltage range") << 5 << 1 << "";
    QTest::newRow("code 15") << 15 << 0 << "";
}

void TestDisplayRules::cjcCaption()
{
    QFETCH(int, code);
    QFETCH(int, sw);
    QFETCH(QString, expected);
    QCOMPARE(CjcCaption(code, sw), expected);
}

void TestDisplayRules::discreteCaptionKeepsColourForOtherValues()
{
    QLabel label;
    ShowCaption(&label, DiscreteCaption(1));
    QCOMPARE(label.text(), QStringLiteral("ON"));
    QCOMPARE(label.palette().color(QPalette::WindowText), QColor(255, 0, 0));
    ShowCaption(&label, DiscreteCaption(0));
    QCOMPARE(label.text(), QStringLiteral("OFF"));
    QCOMPARE(label.palette().color(QPalette::WindowText), QColor(0, 128, 0));
    ShowCaption(&label, DiscreteCaption(2));
    QCOMPARE(label.text(), QString());
    QCOMPARE(label.palette().color(QPalette::WindowText), QColor(0, 128, 0));
    ShowCaption(&label, DiscreteCaption(std::nullopt)); // not a number: no state
    QCOMPARE(label.text(), QString());
}

void TestDisplayRules::lampColour_data()
{
    QTest::addColumn<QString>("payload");
    QTest::addColumn<QColor>("colour");
    QTest::newRow("in order") << "0" << QColor(0, 255, 0);
    QTest::newRow("00 is not 0") << "00" << QColor(255, 0, 0);
    QTest::newRow("fault") << "1" << QColor(255, 0, 0);
    QTest::newRow("empty") << "" << QColor(255, 0, 0);
}

void TestDisplayRules::lampColour()
{
    QFETCH(QString, payload);
    QFETCH(QColor, colour);
    QCOMPARE(LampColour(payload), colour);
}

void TestDisplayRules::values_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("payload");
    QTest::addColumn<QString>("real");
    QTest::addColumn<QString>("realUnit");
    QTest::addColumn<QString>("raw");
    QTest::addColumn<QString>("rawUnit");

    QTest::newRow("UT5 volts") << 1 << 2 << "1.2345" << "1.235" << "V" << "1.235" << "V";
    QTest::newRow("UT5 code 5 in mV") << 1 << 5 << "0.0123" << "12.300" << "mV" << "12.300"
                                      << "mV";
    QTest::newRow("UT5 code 15 in mV") << 1 << 15 << "-0.5" << "-500.000" << "mV" << "-500.000"
                                       << "mV";
    QTest::newRow("UT5 thermocouple") << 1 << 17 << "23.4" << "23.400" << "degC" << "23400.000"
                                      << "mV";
    QTest::newRow("UT8 code 5 in mV") << 6 << 5 << "0.5" << "500.000" << "mV" << "500.000" << "mV";
    QTest::newRow("UT8 thermocouple") << 6 << 17 << "0.001" << "0.001" << "degC" << "1.000"
                                      << "mV";
    QTest::newRow("K6 thermometer") << 2 << 48 << "21.5" << "21.500" << "degC" << "21.500"
                                    << "ohm";
    QTest::newRow("K6 resistance range") << 2 << 64 << "50" << "50.000" << "%" << "50.000" << "%";
    QTest::newRow("leading number only") << 1 << 0 << "1.5abc" << "1.500" << "V" << "1.500"
                                         << "V";
    QTest::newRow("not a number gives 0") << 1 << 0 << "abc" << "0.000" << "V" << "0.000" << "V";
    QTest::newRow("small negative rounds to 0.000") << 1 << 0 << "-0.0001" << "0.000" << "V"
                                                    << "0.000" << "V";
    QTest::newRow("exponent") << 1 << 0 << "1.5E1" << "15.000" << "V" << "15.000" << "V";
    QTest::newRow("too large to scale gives 0") << 1 << 17 << "9e306" << "0.000" << "degC"
                                                 << "0.000" << "mV";
}

void TestDisplayRules::values()
{
    QFETCH(int, kind);
    QFETCH(int, code);
    QFETCH(QString, payload);

    const ValueWithUnit real = RealValue(kind, code, payload);
    const ValueWithUnit raw = RawValue(kind, code, payload);
    QTEST(real.text, "real");
    QTEST(real.unit, "realUnit");
    QTEST(raw.text, "raw");
    QTEST(raw.unit, "rawUnit");
}

void TestDisplayRules::valueTextIgnoresLocale()
{
    const QLocale before;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    const QString text = ValueText(1234.5);
    QLocale::setDefault(before);
    QCOMPARE(text, QStringLiteral("1234.500"));
}

void TestDisplayRules::burnoutAndLineNoise_data()
{
    QTest::addColumn<int>("value");
    QTest::addColumn<int>("index"); // -1: empty
    for (int v : {-1, 0, 1, 2, 3})
        QTest::addRow("%d", v) << v << (v >= 0 && v <= 2 ? v : -1);
}

void TestDisplayRules::burnoutAndLineNoise()
{
    QFETCH(int, value);
    QFETCH(int, index);
    QCOMPARE(BurnoutCaption(value), index < 0 ? QString() : G.BurnoutNames[std::size_t(index)]);
    QCOMPARE(LineNoiseCaption(value),
             index < 0 ? QString() : G.LineNoiseNames[std::size_t(index)]);
}

void TestDisplayRules::versionNumber_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("number");
    QTest::newRow("V2.10") << "V2.10" << 2.1;
    QTest::newRow("3.00 without V") << "3.00" << 3.0;
    QTest::newRow("3.5 read whole") << "3.5" << 3.5;
    QTest::newRow("the last V counts") << "HV1 V3.01" << 3.01;
    QTest::newRow("V2.99") << "V2.99" << 2.99;
    QTest::newRow("ends in V") << "Ver2V" << 0.0;
    QTest::newRow("not a number after V") << "Vx" << 0.0;
    QTest::newRow("empty") << "" << 0.0;
    QTest::newRow("lower-case v is no V") << "v3.0" << 0.0;
}

void TestDisplayRules::versionNumber()
{
    QFETCH(QString, text);
    QFETCH(double, number);
    QCOMPARE(frmLoading::VersionNumber(text), number);
}

QTEST_MAIN(TestDisplayRules)
#include "tst_displayrules.moc"
