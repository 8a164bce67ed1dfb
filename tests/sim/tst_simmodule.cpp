// The simulated module on the wire: what each model answers, what it refuses, what it keeps, and
// how its live values behave.

#include "link/ItemMap.h"
#include "model/Catalogue.h"
#include "sim/SimModule.h"
#include "sim/SimPhysics.h"

#include <QTest>

#include <memory>

namespace {

const QByteArray Illegal = "illegal OPE";
const QByteArray Invalid = "invalid data";
const QByteArray NoReply = "(no reply)";

// A deterministic module spoken to one command at a time; each call gives the payload of the
// reply, or NoReply when the module stays silent.
struct Wire
{
    explicit Wire(const QString &model) : module(model) { module.setDeterministic(true); }

    QByteArray operator()(const QByteArray &command)
    {
        const QByteArray reply = module.reply(command + '\r');
        if (reply.isEmpty())
            return NoReply;
        if (!reply.startsWith('D') || !reply.endsWith('\r'))
            return "(malformed) " + reply;
        return reply.mid(1, reply.size() - 2);
    }
    // Selects the item, then sends the data command.
    QByteArray at(int item, const QByteArray &data)
    {
        (*this)("I" + QByteArray::number(item).rightJustified(2, '0'));
        return (*this)(data);
    }

    SimModule module;
};

QString modelName(std::size_t i)
{
    return QString::fromLatin1(Catalogue[i].name.data(), qsizetype(Catalogue[i].name.size()));
}

// How the program reads an item: module-level items without channel digits, everything else
// with a channel (module-wide values of the analog kinds with channel 01).
QByteArray readCommand(int kind, int16_t item)
{
    switch (item) {
    case Item::PulseEdge:
    case Item::CountZero:
    case Item::RateMemory:
    case Item::LineNoise:
    case Item::FilterConst:
    case Item::CjmTemp:
    case Item::CjmVolt:
        return "D";
    case Item::Burnout:
        return kind == 6 ? "D" : "D01";
    default:
        return item >= Item::ModbusNode ? "D" : "D01";
    }
}

double number(const QByteArray &payload)
{
    bool ok = false;
    const double v = payload.toDouble(&ok);
    return ok ? v : qQNaN();
}

} // namespace

class TestSimModule : public QObject
{
    Q_OBJECT
private slots:
    void identity_data();
    void identity();
    void itemsOfEachKind_data();
    void itemsOfEachKind();
    void writesReadBack_data();
    void writesReadBack();
    void refusals_data();
    void refusals();
    void optionCodeAndNodeAddress();
    void countItemsNeedNewFirmwareOnF9_data();
    void countItemsNeedNewFirmwareOnF9();
    void restartSequence();
    void groupSelect();

    void thermocoupleValues();
    void coldJunctionSwitch();
    void voltageValuesFollowTheRange();
    void rtdValuesAndLineCompensation();
    void resistancePercentCompensation();
    void openChannel_data();
    void openChannel();
    void zeroAndSpanAdjustment();
    void countersCountAtTheirRate();
    void countZero();
    void discreteInputsChange();
    void valuesMoveWhenLive();
};

void TestSimModule::identity_data()
{
    QTest::addColumn<QString>("model");
    for (std::size_t i = 0; i < Catalogue.size(); ++i)
        QTest::newRow(qPrintable(modelName(i))) << modelName(i);
}

void TestSimModule::identity()
{
    QFETCH(QString, model);
    Wire wire(model);
    const int kind = wire.module.kind();
    QCOMPARE(wire("G01"), QByteArray("enter item"));
    QCOMPARE(wire.at(90, "D"), model.toLatin1());
    QCOMPARE(wire.at(92, "D"), QByteArray("V3.00"));
    for (int item : {91, 93, 94}) {
        const QByteArray text = wire.at(item, "D");
        QVERIFY2(!text.isEmpty() && text != Illegal && text != NoReply, text.constData());
    }
    const bool hasCalibrationDate = kind == 1 || kind == 2 || kind == 5;
    QCOMPARE(wire.at(95, "D") != Illegal, hasCalibrationDate);

    wire.module.setModelText(model + QLatin1Char(' '));
    wire.module.setFirmware(QStringLiteral("V2.99"));
    QCOMPARE(wire.at(90, "D"), model.toLatin1() + ' ');
    QCOMPARE(wire.at(92, "D"), QByteArray("V2.99"));
}

void TestSimModule::itemsOfEachKind_data()
{
    identity_data();
}

// Every item of the map: the kinds that have it answer a read in the form the program uses, the
// others refuse it.
void TestSimModule::itemsOfEachKind()
{
    QFETCH(QString, model);
    Wire wire(model);
    const int kind = wire.module.kind();
    for (const ItemInfo &info : ItemTable) {
        if (info.group != Group::Items || info.item == Item::CompRequest)
            continue;
        const bool offered = (info.kindMask & (1u << kind)) != 0;
        const QByteArray payload = wire.at(info.item, readCommand(kind, info.item));
        const QByteArray what = QByteArray::number(info.item) + ": " + payload;
        QVERIFY2(payload != NoReply, what.constData());
        if (offered)
            QVERIFY2(payload != Illegal && payload != Invalid, what.constData());
        else
            QVERIFY2(payload == Illegal, what.constData());
    }
}

void TestSimModule::writesReadBack_data()
{
    QTest::addColumn<QString>("model");
    QTest::addColumn<int>("item");
    QTest::addColumn<QByteArray>("value");   // the value text of the data command
    QTest::addColumn<QByteArray>("echo");    // the payload of the reply
    QTest::addColumn<QByteArray>("read");    // the data command that reads it back
    QTest::addColumn<QByteArray>("readBack");

    QTest::newRow("UT5 type ch3 K") << "VQ7_UT5" << 5 << QByteArray("0317") << QByteArray("17")
                                    << QByteArray("D03") << QByteArray("17");
    QTest::newRow("UT5 type ch16 -10 to 10mV")
        << "VQ2_UT5" << 5 << QByteArray("1606") << QByteArray("6") << QByteArray("D16")
        << QByteArray("6");
    QTest::newRow("UT5 type 0 echoes 0, not 00")
        << "VQ7_UT5" << 5 << QByteArray("0100") << QByteArray("0") << QByteArray("D01")
        << QByteArray("0");
    QTest::newRow("UT8 type ch8 P(Platinel2)")
        << "VQ7S_UT8" << 5 << QByteArray("0828") << QByteArray("28") << QByteArray("D08")
        << QByteArray("28");
    QTest::newRow("K6 type ch2 0 to 10Kohm")
        << "VQ7_K6" << 5 << QByteArray("0267") << QByteArray("67") << QByteArray("D02")
        << QByteArray("67");
    QTest::newRow("UT5 cjc switch off") << "VQ7_UT5" << 25 << QByteArray("050") << QByteArray("0")
                                        << QByteArray("D05") << QByteArray("0");
    QTest::newRow("UT8 cjc switch off") << "VQ7S_UT8" << 25 << QByteArray("080")
                                        << QByteArray("0") << QByteArray("D08") << QByteArray("0");
    QTest::newRow("UT5 burnout per channel, read with 01")
        << "VQ4_UT5" << 20 << QByteArray("012") << QByteArray("2") << QByteArray("D01")
        << QByteArray("2");
    QTest::newRow("K6 burnout none") << "VQ7_K6" << 20 << QByteArray("010") << QByteArray("0")
                                     << QByteArray("D01") << QByteArray("0");
    QTest::newRow("UT8 burnout module level")
        << "VQ7S_UT8" << 20 << QByteArray("2") << QByteArray("2") << QByteArray("D")
        << QByteArray("2");
    QTest::newRow("UT8 line noise 60Hz") << "VQ7S_UT8" << 15 << QByteArray("2") << QByteArray("2")
                                         << QByteArray("D") << QByteArray("2");
    QTest::newRow("UT8 line noise as NN") << "VQ7S_UT8" << 15 << QByteArray("01")
                                          << QByteArray("1") << QByteArray("D") << QByteArray("1");
    QTest::newRow("filter kept as written") << "VQ7_UT5" << 16 << QByteArray("2.50")
                                            << QByteArray("2.50") << QByteArray("D")
                                            << QByteArray("2.50");
    QTest::newRow("K6 filter") << "VQ7_K6" << 16 << QByteArray("0.5") << QByteArray("0.5")
                               << QByteArray("D") << QByteArray("0.5");
    QTest::newRow("UT8 alarm output on") << "VQ7S_UT8" << 7 << QByteArray("011")
                                         << QByteArray("1") << QByteArray("D01") << QByteArray("1");
    QTest::newRow("E4 point 32 on") << "VQ7_E4W2" << 7 << QByteArray("321") << QByteArray("1")
                                    << QByteArray("D32") << QByteArray("1");
    QTest::newRow("L7 output ch8 on") << "VQ7_L7" << 7 << QByteArray("081") << QByteArray("1")
                                      << QByteArray("D08") << QByteArray("1");
    QTest::newRow("L7 preset 9 digits") << "VQ7_L7" << 9 << QByteArray("03999999999")
                                        << QByteArray("999999999") << QByteArray("D03")
                                        << QByteArray("999999999");
    QTest::newRow("F9 preset ch16") << "VQ7_F9W2" << 9 << QByteArray("16123") << QByteArray("123")
                                    << QByteArray("D16") << QByteArray("123");
    QTest::newRow("L7 pulse edge") << "VQ7_L7" << 10 << QByteArray("1") << QByteArray("1")
                                   << QByteArray("D") << QByteArray("1");
    QTest::newRow("L7 rate memory") << "VQ7_L7" << 14 << QByteArray("1") << QByteArray("1")
                                    << QByteArray("D") << QByteArray("1");
    QTest::newRow("CJM temperature") << "VQ7_UT5" << 23 << QByteArray("25.500")
                                     << QByteArray("25.500") << QByteArray("D")
                                     << QByteArray("25.500");
    QTest::newRow("CJM voltage") << "VQ7_UT5" << 24 << QByteArray("0.600") << QByteArray("0.600")
                                 << QByteArray("D") << QByteArray("0.600");
    QTest::newRow("baud 19200") << "VQ7_E4" << 81 << QByteArray("1") << QByteArray("1")
                                << QByteArray("D") << QByteArray("1");
    QTest::newRow("UT8 baud 57600") << "VQ7S_UT8" << 81 << QByteArray("3") << QByteArray("3")
                                    << QByteArray("D") << QByteArray("3");
    QTest::newRow("parity") << "VQ7_F9" << 83 << QByteArray("2") << QByteArray("2")
                            << QByteArray("D") << QByteArray("2");
    QTest::newRow("stop bits") << "VQ7_L7" << 84 << QByteArray("1") << QByteArray("1")
                               << QByteArray("D") << QByteArray("1");
    QTest::newRow("float type") << "VQ7_K6" << 86 << QByteArray("1") << QByteArray("1")
                                << QByteArray("D") << QByteArray("1");
    QTest::newRow("UT8 node address") << "VQ7S_UT8" << 80 << QByteArray("247")
                                      << QByteArray("247") << QByteArray("D")
                                      << QByteArray("247");
    QTest::newRow("zero/span reset") << "VQ7_UT5" << 17 << QByteArray("030") << QByteArray("0")
                                     << QByteArray("D03") << QByteArray("0");
}

void TestSimModule::writesReadBack()
{
    QFETCH(QString, model);
    QFETCH(int, item);
    QFETCH(QByteArray, value);
    QFETCH(QByteArray, echo);
    QFETCH(QByteArray, read);
    QFETCH(QByteArray, readBack);
    Wire wire(model);
    QCOMPARE(wire.at(item, "D" + value), echo);
    QCOMPARE(wire.at(item, read), readBack);
}

void TestSimModule::refusals_data()
{
    QTest::addColumn<QString>("model");
    QTest::addColumn<int>("item");
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<QByteArray>("reply");

    QTest::newRow("UT5 type of another kind") << "VQ7_UT5" << 5 << QByteArray("D0148") << Invalid;
    QTest::newRow("UT5 type between groups") << "VQ7_UT5" << 5 << QByteArray("D0107") << Invalid;
    QTest::newRow("UT8 has one voltage range") << "VQ7S_UT8" << 5 << QByteArray("D0101")
                                               << Invalid;
    QTest::newRow("K6 thermocouple") << "VQ7_K6" << 5 << QByteArray("D0117") << Invalid;
    QTest::newRow("K6 beyond its table") << "VQ7_K6" << 5 << QByteArray("D0168") << Invalid;
    QTest::newRow("UT8 channel 9") << "VQ7S_UT8" << 5 << QByteArray("D0917") << Invalid;
    QTest::newRow("UT8 read channel 9") << "VQ7S_UT8" << 3 << QByteArray("D09") << Invalid;
    QTest::newRow("UT5 channel 17") << "VQ7_UT5" << 3 << QByteArray("D17") << Invalid;
    QTest::newRow("UT5 channel 00") << "VQ7_UT5" << 3 << QByteArray("D00") << Invalid;
    QTest::newRow("E4 point 33") << "VQ7_E4" << 7 << QByteArray("D331") << Invalid;
    QTest::newRow("E4 state 2") << "VQ7_E4" << 7 << QByteArray("D012") << Invalid;
    QTest::newRow("F9 preset channel 17") << "VQ7_F9W2" << 9 << QByteArray("D175") << Invalid;
    QTest::newRow("preset of 10 digits") << "VQ7_L7" << 9 << QByteArray("D011234567890")
                                         << Invalid;
    QTest::newRow("preset not a number") << "VQ7_L7" << 9 << QByteArray("D01-5") << Invalid;
    QTest::newRow("cjc switch 2") << "VQ7_UT5" << 25 << QByteArray("D012") << Invalid;
    QTest::newRow("burnout 3") << "VQ7_UT5" << 20 << QByteArray("D013") << Invalid;
    QTest::newRow("line noise 3") << "VQ7S_UT8" << 15 << QByteArray("D3") << Invalid;
    QTest::newRow("filter not a number") << "VQ7_UT5" << 16 << QByteArray("Dabc") << Invalid;
    QTest::newRow("UT5 baud 57600") << "VQ7_UT5" << 81 << QByteArray("D3") << Invalid;
    QTest::newRow("parity 3") << "VQ7_UT5" << 83 << QByteArray("D3") << Invalid;
    QTest::newRow("node address 248") << "VQ7S_UT8" << 80 << QByteArray("D248") << Invalid;
    QTest::newRow("node address 0") << "VQ7S_UT8" << 80 << QByteArray("D0") << Invalid;
    QTest::newRow("node address on a UT5") << "VQ7_UT5" << 80 << QByteArray("D5") << Illegal;
    QTest::newRow("count zero with 0") << "VQ7_L7" << 11 << QByteArray("D0") << Invalid;
    QTest::newRow("zero/span state set to 1") << "VQ7_UT5" << 17 << QByteArray("D031") << Invalid;
    QTest::newRow("write the model name") << "VQ7_UT5" << 90 << QByteArray("DX") << Illegal;
    QTest::newRow("write a real value") << "VQ7_UT5" << 3 << QByteArray("D0125.0") << Illegal;
    QTest::newRow("write a count") << "VQ7_L7" << 8 << QByteArray("D015") << Illegal;
    QTest::newRow("write a discrete input") << "VQ7_F9" << 6 << QByteArray("D011") << Illegal;
    QTest::newRow("read a compensation request") << "VQ7_K6" << 21 << QByteArray("D01")
                                                 << Illegal;
    QTest::newRow("item of no kind") << "VQ7_UT5" << 50 << QByteArray("D") << Illegal;
    QTest::newRow("E4 has no input type") << "VQ7_E4" << 5 << QByteArray("D01") << Illegal;
    QTest::newRow("F9 has no outputs") << "VQ7_F9" << 7 << QByteArray("D011") << Illegal;
    QTest::newRow("K6 has no cjc switch") << "VQ7_K6" << 25 << QByteArray("D011") << Illegal;
    QTest::newRow("UT5 has no line noise filter") << "VQ7_UT5" << 15 << QByteArray("D1")
                                                  << Illegal;
    QTest::newRow("UT8 has no compensation") << "VQ7S_UT8" << 21 << QByteArray("D011")
                                             << Illegal;
}

void TestSimModule::refusals()
{
    QFETCH(QString, model);
    QFETCH(int, item);
    QFETCH(QByteArray, data);
    QFETCH(QByteArray, reply);
    Wire wire(model);
    QCOMPARE(wire.at(item, data), reply);
}

void TestSimModule::optionCodeAndNodeAddress()
{
    Wire wire(QStringLiteral("VQ7S_UT8"));
    QCOMPARE(wire.at(2, "D00"), QByteArray("48"));
    QCOMPARE(wire.at(2, "D01"), QByteArray("0")); // channel status, in order
    wire.module.setOptionCode(16);
    QCOMPARE(wire.at(2, "D00"), QByteArray("16"));
    // Without the node address option the address is read but cannot be set.
    QCOMPARE(wire.at(80, "D"), QByteArray("1"));
    QCOMPARE(wire.at(80, "D7"), Illegal);
    wire.module.setOptionCode(32);
    QCOMPARE(wire.at(80, "D7"), QByteArray("7"));
    // Channel 00 is the option code only on the UT8.
    Wire ut5(QStringLiteral("VQ7_UT5"));
    QCOMPARE(ut5.at(2, "D00"), Invalid);
}

void TestSimModule::countItemsNeedNewFirmwareOnF9_data()
{
    QTest::addColumn<QString>("model");
    QTest::addColumn<QString>("firmware");
    QTest::addColumn<bool>("counts");
    QTest::newRow("F9 V3.00") << "VQ7_F9" << "V3.00" << true;
    QTest::newRow("F9 V2.99") << "VQ7_F9" << "V2.99" << false;
    QTest::newRow("F9 3.5 without V") << "VQ7_F9" << "3.5" << true;
    QTest::newRow("F9W2 V2.99") << "VQ7_F9W2" << "V2.99" << true;
}

void TestSimModule::countItemsNeedNewFirmwareOnF9()
{
    QFETCH(QString, model);
    QFETCH(QString, firmware);
    QFETCH(bool, counts);
    Wire wire(model);
    wire.module.setFirmware(firmware);
    QCOMPARE(wire.at(8, "D01") != Illegal, counts);
    QCOMPARE(wire.at(9, "D0142") == "42", counts);
}

// G99, I90, DRESET: no answer, silence while the module restarts, then only a group select is
// heard until the program enters group 1 again.
void TestSimModule::restartSequence()
{
    Wire wire(QStringLiteral("VQ7_UT5"));
    wire.module.setRestartMs(100);
    wire.at(5, "D0317");
    QCOMPARE(wire("G99"), QByteArray("enter item"));
    QVERIFY(wire("I90") != NoReply);
    QCOMPARE(wire("DRESET"), NoReply);
    QVERIFY(wire.module.restarting());
    QCOMPARE(wire("G01"), NoReply);
    QTest::qWait(130);
    QVERIFY(!wire.module.restarting());
    QCOMPARE(wire("I90"), NoReply);
    QCOMPARE(wire("D"), NoReply);
    QCOMPARE(wire("G01"), QByteArray("enter item"));
    QCOMPARE(wire.at(90, "D"), QByteArray("VQ7_UT5"));
    QCOMPARE(wire.at(5, "D03"), QByteArray("17")); // settings survive a restart
    // In group 99 nothing but the restart is accepted.
    QCOMPARE(wire("G99"), QByteArray("enter item"));
    QCOMPARE(wire.at(90, "D"), Illegal);
    QCOMPARE(wire.at(90, "DRES"), Illegal);
}

void TestSimModule::groupSelect()
{
    Wire wire(QStringLiteral("VQ7_K6"));
    QCOMPARE(wire("G01"), QByteArray("enter item"));
    QCOMPARE(wire("G02"), Illegal);
    QCOMPARE(wire("G1"), QByteArray("enter item"));
    QCOMPARE(wire("X"), Illegal);
    QCOMPARE(wire.module.transcript().size(), 4);
    QCOMPARE(wire.module.commandsText(), QStringLiteral("G01 G02 G1 X"));
}

// A K thermocouple at 100 degC against terminals at 22.5 degC: the real value is the hot junction,
// the raw value the terminal voltage in V (about 3.2 mV).
void TestSimModule::thermocoupleValues()
{
    Wire wire(QStringLiteral("VQ7_UT5"));
    const auto k = sim::FindInputType(1, 17);
    QVERIFY(k);
    QCOMPARE(wire.at(5, "D0217"), QByteArray("17"));
    wire.module.setTerminalTemperature(22.5);
    wire.module.setInput(2, 100.0);
    QCOMPARE(wire.at(3, "D02"), QByteArray("100.000"));
    const double raw = number(wire.at(4, "D02"));
    QVERIFY(qAbs(raw - (sim::ThermoVolts(*k, 100.0) - sim::ThermoVolts(*k, 22.5))) < 1e-6);
    QVERIFY2(raw > 0.0030 && raw < 0.0034, qPrintable(QString::number(raw)));
    // The fitted curve stays close to the reference table (4.096 mV at 100 degC).
    QVERIFY(qAbs(sim::ThermoVolts(*k, 100.0) - 0.004096) < 0.00003);
    QVERIFY(qAbs(sim::ThermoTemperature(*k, sim::ThermoVolts(*k, 250.0)) - 250.0) < 1e-9);
}

// With the cold-junction switch off the module no longer adds the terminals' temperature.
void TestSimModule::coldJunctionSwitch()
{
    Wire wire(QStringLiteral("VQ7S_UT8"));
    wire.at(5, "D0119");
    wire.module.setTerminalTemperature(25.0);
    wire.module.setInput(1, 80.0);
    QCOMPARE(wire.at(3, "D01"), QByteArray("80.000"));
    QCOMPARE(wire.at(25, "D010"), QByteArray("0"));
    const double uncompensated = number(wire.at(3, "D01"));
    QVERIFY2(uncompensated > 53.0 && uncompensated < 57.0, qPrintable(QString::number(uncompensated)));
}

// A voltage input keeps its place in the range when the range changes.
void TestSimModule::voltageValuesFollowTheRange()
{
    Wire wire(QStringLiteral("VQ7_UT5"));
    QCOMPARE(wire.at(5, "D0901"), QByteArray("1"));
    wire.module.setInput(9, 2.5);
    QCOMPARE(number(wire.at(3, "D09")), 2.5);
    QCOMPARE(number(wire.at(4, "D09")), 2.5);
    QCOMPARE(wire.at(5, "D0906"), QByteArray("6"));
    QCOMPARE(number(wire.at(3, "D09")), 0.005);
}

// A Pt100 at 0 degC on leads of 0.4 ohm reads high until the line resistance is compensated; the
// raw value is the resistance at the terminals.
void TestSimModule::rtdValuesAndLineCompensation()
{
    Wire wire(QStringLiteral("VQ7_K6"));
    QCOMPARE(wire.at(5, "D0150"), QByteArray("50"));
    wire.module.setInput(1, 0.0);
    wire.module.setLeadResistance(1, 0.4);
    QCOMPARE(number(wire.at(4, "D01")), 100.4);
    const double before = number(wire.at(3, "D01"));
    QVERIFY2(before > 0.9 && before < 1.2, qPrintable(QString::number(before)));
    QCOMPARE(wire.at(21, "D011"), QByteArray("1"));
    QCOMPARE(wire.at(3, "D01"), QByteArray("0.000"));
    QCOMPARE(number(wire.at(4, "D01")), 100.4); // the raw value keeps the leads
    QCOMPARE(wire.at(21, "D012"), Invalid); // no 100 % point on a thermometer
    QCOMPARE(wire.at(21, "D010"), QByteArray("0"));
    QCOMPARE(number(wire.at(3, "D01")), before);
}

// On a resistance range the 0 % and 100 % requests take the raw readings present at the request
// as the end points, whatever the input then is; end points that would coincide are refused, and
// Reset goes back to the plain range.
void TestSimModule::resistancePercentCompensation()
{
    Wire wire(QStringLiteral("VQ7_K6"));
    QCOMPARE(wire.at(5, "D0364"), QByteArray("64"));
    wire.module.setLeadResistance(3, 1.0); // 1 % of the 100 ohm range
    wire.module.setInput(3, 20.0);
    QCOMPARE(number(wire.at(3, "D03")), 21.0);
    QCOMPARE(wire.at(21, "D031"), QByteArray("1")); // raw 21 % is the new 0 %
    QCOMPARE(number(wire.at(3, "D03")), 0.0);
    QCOMPARE(wire.at(21, "D032"), Invalid); // 100 % on the 0 % point
    wire.module.setInput(3, 70.0);
    QCOMPARE(wire.at(21, "D032"), QByteArray("2")); // raw 71 % is the new 100 %
    QCOMPARE(number(wire.at(3, "D03")), 100.0);
    wire.module.setInput(3, 45.0);
    QCOMPARE(number(wire.at(3, "D03")), 50.0); // kept across reads
    QCOMPARE(number(wire.at(4, "D03")), 46.0); // the raw value is what the terminals see
    QCOMPARE(wire.at(21, "D030"), QByteArray("0"));
    QCOMPARE(number(wire.at(3, "D03")), 46.0);
}

void TestSimModule::openChannel_data()
{
    QTest::addColumn<QString>("model");
    QTest::addColumn<QByteArray>("type");
    QTest::addColumn<QByteArray>("burnout"); // the burnout write
    QTest::addColumn<double>("real");
    QTest::newRow("UT5 K up") << "VQ7_UT5" << QByteArray("D0417") << QByteArray("D041") << 1372.0;
    QTest::newRow("UT5 K down") << "VQ7_UT5" << QByteArray("D0417") << QByteArray("D042")
                                << -270.0;
    QTest::newRow("UT8 J up") << "VQ7S_UT8" << QByteArray("D0419") << QByteArray("D1") << 1200.0;
    QTest::newRow("UT8 volts down") << "VQ7S_UT8" << QByteArray("D0400") << QByteArray("D2")
                                    << -10.0;
    QTest::newRow("K6 Pt100 up") << "VQ7_K6" << QByteArray("D0449") << QByteArray("D041")
                                 << 850.0;
}

// A broken sensor: status not "0", the value driven to the end its burnout type says.
void TestSimModule::openChannel()
{
    QFETCH(QString, model);
    QFETCH(QByteArray, type);
    QFETCH(QByteArray, burnout);
    QFETCH(double, real);
    Wire wire(model);
    QVERIFY(wire.at(5, type) != Invalid);
    QVERIFY(wire.at(20, burnout) != Invalid);
    QCOMPARE(wire.at(2, "D04"), QByteArray("0"));
    wire.module.setChannelOpen(4, true);
    QVERIFY(wire.at(2, "D04") != "0");
    QCOMPARE(number(wire.at(3, "D04")), real);
    QCOMPARE(wire.at(2, "D03"), QByteArray("0")); // the others stay in order
    wire.module.setChannelOpen(4, false);
    QCOMPARE(wire.at(2, "D04"), QByteArray("0"));
}

// Zero: the offset that makes the present reading the true value. Span: the coefficient that does
// the same. Item 17 tells how far the channel is adjusted; writing 0 to it undoes both.
void TestSimModule::zeroAndSpanAdjustment()
{
    Wire wire(QStringLiteral("VQ7_UT5"));
    QCOMPARE(wire.at(5, "D0902"), QByteArray("2"));
    wire.module.setInput(9, 0.010);
    QCOMPARE(wire.at(17, "D09"), QByteArray("0"));
    QCOMPARE(number(wire.at(19, "D09")), 1.0);
    QCOMPARE(number(wire.at(18, "D090.000")), 0.010); // the reply is the new offset
    QCOMPARE(number(wire.at(18, "D09")), 0.010);
    QCOMPARE(number(wire.at(3, "D09")), 0.0);
    QVERIFY(wire.at(17, "D09") != "0");

    wire.module.setInput(9, 0.510);
    QCOMPARE(number(wire.at(3, "D09")), 0.5);
    QCOMPARE(number(wire.at(19, "D090.600")), 1.2); // the reply is the new coefficient
    QCOMPARE(number(wire.at(3, "D09")), 0.6);
    QCOMPARE(number(wire.at(3, "D09")), 0.6); // kept across reads
    // Per channel: the next channel is untouched.
    QCOMPARE(wire.at(17, "D10"), QByteArray("0"));
    QCOMPARE(number(wire.at(18, "D10")), 0.0);
    QCOMPARE(number(wire.at(19, "D10")), 1.0);

    QCOMPARE(wire.at(17, "D090"), QByteArray("0"));
    QCOMPARE(wire.at(17, "D09"), QByteArray("0"));
    QCOMPARE(number(wire.at(3, "D09")), 0.51);
    QCOMPARE(number(wire.at(18, "D09")), 0.0);
    QCOMPARE(number(wire.at(19, "D09")), 1.0);
}

void TestSimModule::countersCountAtTheirRate()
{
    Wire wire(QStringLiteral("VQ7_L7"));
    wire.module.setCount(2, 1000);
    wire.module.setCountRate(2, 50);
    QCOMPARE(wire.at(8, "D02"), QByteArray("1000"));
    wire.module.advanceClock(2000);
    QCOMPARE(wire.at(8, "D02"), QByteArray("1100"));
    QCOMPARE(wire.at(13, "D02"), QByteArray("50"));
    // The count is 32 bits wide and wraps.
    wire.module.setCount(2, 4294967290u);
    wire.module.advanceClock(200);
    QCOMPARE(wire.at(8, "D02"), QByteArray("4"));
}

void TestSimModule::countZero()
{
    Wire wire(QStringLiteral("VQ7_L7"));
    wire.module.advanceClock(5000);
    QVERIFY(wire.at(8, "D01") != "0");
    QCOMPARE(wire.at(11, "D"), QByteArray("0"));
    QCOMPARE(wire.at(11, "D1"), QByteArray("OK"));
    QCOMPARE(wire.at(8, "D01"), QByteArray("0"));
    QCOMPARE(wire.at(11, "D"), QByteArray("1"));
}

void TestSimModule::discreteInputsChange()
{
    Wire wire(QStringLiteral("VQ7_F9"));
    QByteArray states;
    for (int step = 0; step < 10; ++step) {
        states += wire.at(6, "D01");
        wire.module.advanceClock(500);
    }
    QVERIFY2(states.contains('0') && states.contains('1'), states.constData());
    wire.module.setInputsChanging(false);
    wire.module.setDiscreteInput(5, 1);
    QCOMPARE(wire.at(6, "D05"), QByteArray("1"));
    wire.module.advanceClock(10000);
    QCOMPARE(wire.at(6, "D05"), QByteArray("1"));
    wire.module.setDiscreteInput(5, 0);
    QCOMPARE(wire.at(6, "D05"), QByteArray("0"));
}

// Outside the deterministic mode a thermocouple near room temperature shows a little noise.
void TestSimModule::valuesMoveWhenLive()
{
    SimModule module(QStringLiteral("VQ7_UT5"));
    module.reply("I05\r");
    module.reply("D0117\r");
    module.setInput(1, 23.0);
    QSet<QByteArray> seen;
    for (int i = 0; i < 10; ++i) {
        module.reply("I03\r");
        const QByteArray r = module.reply("D01\r");
        const double v = number(r.mid(1, r.size() - 2));
        QVERIFY2(v > 21.5 && v < 24.5, r.constData());
        seen.insert(r);
    }
    QVERIFY(seen.size() > 1);
}

QTEST_MAIN(TestSimModule)
#include "tst_simmodule.moc"
