#include "sim/SimModule.h"

#include "link/ItemMap.h"
#include "model/Catalogue.h"
#include "sim/SimPhysics.h"

#include <QRegularExpression>

#include <cmath>
#include <numbers>
#include <stdexcept>

using sim::FindInputType;
using sim::InputClass;
using sim::InputType;

struct SimModule::DataCommand
{
    bool write = false;
    int channel = -1; // -1: module level
    QByteArray value;
    bool malformed = false; // channel digits missing, not digits, or a channel the kind lacks
};

struct SimModule::Shape
{
    bool perChannel = false;
    int channels = 0;
    bool bareIsChannel1 = false; // module-wide values that are read with channel 01
    bool channelZero = false;    // UT8 option code: item 2 with channel 00
};

namespace {

const QByteArray IllegalOpe = QByteArrayLiteral("illegal OPE");
const QByteArray InvalidData = QByteArrayLiteral("invalid data");
const QByteArray EnterItem = QByteArrayLiteral("enter item");
const QByteArray Reset = QByteArrayLiteral("RESET");

QByteArray dec(qint64 value)
{
    return QByteArray::number(value);
}

QByteArray nn(int value)
{
    return QByteArray::number(value).rightJustified(2, '0');
}

bool allDigits(const QByteArray &text)
{
    if (text.isEmpty())
        return false;
    for (char c : text) {
        if (c < '0' || c > '9')
            return false;
    }
    return true;
}

// A whole number of at most 9 digits, no sign (leading zeros allowed, as in "0300").
std::optional<qint64> wholeNumber(const QByteArray &text)
{
    if (!allDigits(text) || text.size() > 9)
        return std::nullopt;
    return text.toLongLong();
}

std::optional<int> inRange(const QByteArray &text, int low, int high)
{
    const auto n = wholeNumber(text);
    if (!n || *n < low || *n > high)
        return std::nullopt;
    return int(*n);
}

// A decimal number with "." as decimal point and an optional sign.
std::optional<double> decimal(const QByteArray &text)
{
    static const QRegularExpression pattern(QStringLiteral("^[+-]?(\\d+(\\.\\d*)?|\\.\\d+)$"));
    const QString s = QString::fromLatin1(text);
    if (!pattern.match(s).hasMatch())
        return std::nullopt;
    return s.toDouble();
}

// The number after the last "V" of a version text ("V3.00" -> 3.0), or of the whole text.
double versionNumber(const QString &text)
{
    const qsizetype v = text.lastIndexOf(QLatin1Char('V'));
    bool ok = false;
    const double n = (v < 0 ? text : text.mid(v + 1)).trimmed().toDouble(&ok);
    return ok ? n : 0.0;
}

QByteArray fixed(double value, int decimals)
{
    if (std::abs(value) < 0.5 * std::pow(10.0, -decimals))
        value = 0.0; // no "-0.000"
    return QByteArray::number(value, 'f', decimals);
}

// Another value than the one a write should echo: what a module with a wrong echo sends.
QByteArray changedEcho(const QByteArray &payload)
{
    bool ok = false;
    const qlonglong n = payload.toLongLong(&ok);
    if (ok)
        return dec(n == 0 ? 1 : n - 1);
    const double d = payload.toDouble(&ok);
    if (ok) {
        const qsizetype point = payload.indexOf('.');
        return fixed(d + 1.0, point < 0 ? 0 : int(payload.size() - point - 1));
    }
    return payload + 'X';
}

QList<QByteArray> split(const QByteArray &bytes, int pieces)
{
    QList<QByteArray> parts;
    const qsizetype n = std::max<qsizetype>(1, std::min<qsizetype>(pieces, bytes.size()));
    qsizetype start = 0;
    for (qsizetype i = 0; i < n; ++i) {
        const qsizetype end = bytes.size() * (i + 1) / n;
        parts << bytes.mid(start, end - start);
        start = end;
    }
    return parts;
}

std::size_t modbusIndex(int16_t item)
{
    switch (item) {
    case Item::ModbusBaud:
        return 0;
    case Item::ModbusParity:
        return 2;
    case Item::ModbusStopBits:
        return 3;
    case Item::ModbusFloat:
        return 4;
    default:
        return 1; // the bit length, never on the wire
    }
}

// Input types a fresh module of a kind has on its channels: a spread that shows every unit.
int16_t defaultType(int kind, int ch)
{
    static constexpr std::array<int16_t, 16> Ut5{17, 17, 17, 17, 19, 19, 20, 25,
                                                 0,  1,  2,  3,  4,  5,  6,  22};
    static constexpr std::array<int16_t, 8> Ut8{17, 17, 17, 17, 19, 20, 0, 0};
    static constexpr std::array<int16_t, 8> K6{49, 50, 48, 51, 52, 53, 64, 66};
    switch (kind) {
    case 1:
        return Ut5[std::size_t(ch - 1)];
    case 6:
        return Ut8[std::size_t(ch - 1)];
    case 2:
        return K6[std::size_t(ch - 1)];
    default:
        return 0;
    }
}

} // namespace

SimModule::SimModule(const QString &model, QObject *parent) : QObject(parent), m_model(model)
{
    for (std::size_t i = 0; i < Catalogue.size(); ++i) {
        if (QString::fromLatin1(Catalogue[i].name.data(), qsizetype(Catalogue[i].name.size())) ==
            model) {
            m_kind = Catalogue[i].kind;
            m_catalogueIndex = int(i) + 1;
            break;
        }
    }
    if (m_kind == 0)
        throw std::invalid_argument("not a catalogue model: " + model.toStdString());

    m_identity = {model,
                  QStringLiteral("V1.10"),
                  QStringLiteral("V3.00"),
                  QStringLiteral("A24%1").arg(1000 + 37 * m_catalogueIndex),
                  QStringLiteral("2024/04/15"),
                  QStringLiteral("2024/04/18")};
    const auto &modbus = m_kind == 6 ? ModbusDefaultsUt8 : ModbusDefaults;
    std::copy(modbus.begin(), modbus.end(), m_modbusSet.begin());

    static constexpr std::array<double, 8> L7Rates{1, 2, 5, 10, 20, 50, 100, 0};
    for (int ch = 1; ch <= MaxPoints; ++ch) {
        const std::size_t i = std::size_t(ch);
        m_coef[i] = 1.0;
        m_cjc[i] = 1;
        m_burnout[i] = 1;
        m_fullPct[i] = 100.0;
        m_temp[i] = 24.0 + 0.25 * (ch - 1);
        m_voltShare[i] = ((ch * 37) % 100 - 50) / 100.0;
        m_percent[i] = 10.0 + 11.25 * (ch - 1);
        m_lead[i] = 0.4;
        m_preset[i] = quint32(100 * ch);
        if (ch <= channelCount() && (m_kind == 1 || m_kind == 2 || m_kind == 6))
            m_type[i] = defaultType(m_kind, ch);
        if (m_kind == 5 && ch <= 8)
            m_rate[i] = L7Rates[i - 1];
        if (m_kind == 4 && ch <= 16)
            m_rate[i] = 500.0 / halfPeriodMs(ch); // one rising edge per period of the input
    }
    m_wall.start();
    m_random.seed(std::random_device{}());
}

bool SimModule::IsCatalogueModel(const QString &name)
{
    for (const CatalogueEntry &e : Catalogue) {
        if (QString::fromLatin1(e.name.data(), qsizetype(e.name.size())) == name)
            return true;
    }
    return false;
}

std::size_t SimModule::idx(int ch)
{
    // Out-of-range channels land on the unused element 0 instead of outside the arrays.
    return ch >= 1 && ch <= MaxPoints ? std::size_t(ch) : 0;
}

int SimModule::channelCount() const
{
    return ChannelCount(m_kind);
}

// ---------------------------------------------------------------- identity and state

void SimModule::setIdentityText(int16_t item, const QString &text)
{
    if (item >= Item::ModelName && item <= Item::CalibrationDate)
        m_identity[std::size_t(item - Item::ModelName)] = text;
}

QString SimModule::identityText(int16_t item) const
{
    if (item >= Item::ModelName && item <= Item::CalibrationDate)
        return m_identity[std::size_t(item - Item::ModelName)];
    return {};
}

void SimModule::setModelText(const QString &text)
{
    setIdentityText(Item::ModelName, text);
}

void SimModule::setFirmware(const QString &text)
{
    setIdentityText(Item::FirmwareVersion, text);
}

bool SimModule::hasItem(int16_t item) const
{
    const ItemInfo *info = FindItem(Group::Items, item);
    if (!info || !(info->kindMask & (1u << m_kind)))
        return false;
    if (m_kind == 4 && (item == Item::Count32 || item == Item::CountPreset))
        return m_model == QLatin1String("VQ7_F9W2") ||
               versionNumber(m_identity[std::size_t(Item::FirmwareVersion - Item::ModelName)]) >=
                   3.0;
    return true;
}

bool SimModule::setTypeCode(int ch, int16_t code)
{
    if (!FindInputType(m_kind, code))
        return false;
    m_type[idx(ch)] = code;
    return true;
}

void SimModule::setBurnout(int value)
{
    for (int ch = 1; ch <= MaxPoints; ++ch)
        m_burnout[std::size_t(ch)] = value;
}

void SimModule::setZeroSpan(int ch, int state, double offset, double coefficient)
{
    m_zsState[idx(ch)] = state;
    m_offset[idx(ch)] = offset;
    m_coef[idx(ch)] = coefficient;
}

int SimModule::modbus(int16_t item) const
{
    if (item == Item::ModbusNode)
        return m_nodeAddress;
    return m_modbusSet[modbusIndex(item)];
}

void SimModule::setModbus(int16_t item, int value)
{
    if (item == Item::ModbusNode)
        m_nodeAddress = value;
    else
        m_modbusSet[modbusIndex(item)] = value;
}

// ---------------------------------------------------------------- live values

qint64 SimModule::clockMs() const
{
    return (m_deterministic ? 0 : m_wall.elapsed()) + m_clockOffsetMs;
}

void SimModule::setDeterministic(bool on, quint32 seed)
{
    // Counts keep their present values across the change of clock.
    std::array<quint32, MaxPoints + 1> counts{};
    for (int ch = 1; ch <= MaxPoints; ++ch)
        counts[std::size_t(ch)] = count(ch);
    m_deterministic = on;
    m_clockOffsetMs = 0;
    m_noisy = !on || seed != 0;
    m_random.seed(on ? seed : std::random_device{}());
    for (int ch = 1; ch <= MaxPoints; ++ch)
        setCount(ch, counts[std::size_t(ch)]);
}

double SimModule::noise(double amplitude)
{
    if (!m_noisy)
        return 0.0;
    std::uniform_real_distribution<double> d(-amplitude, amplitude);
    return d(m_random);
}

double SimModule::drift(int ch, double amplitude) const
{
    if (m_deterministic)
        return 0.0;
    return amplitude * std::sin(2 * std::numbers::pi * double(clockMs()) / 90000.0 + ch);
}

double SimModule::input(int ch) const
{
    const auto type = FindInputType(m_kind, m_type[idx(ch)]);
    if (!type)
        return 0.0;
    switch (type->cls) {
    case InputClass::Voltage:
        return m_voltShare[idx(ch)] * type->high;
    case InputClass::Resistance:
        return m_percent[idx(ch)];
    default:
        return m_temp[idx(ch)];
    }
}

void SimModule::setInput(int ch, double value)
{
    const auto type = FindInputType(m_kind, m_type[idx(ch)]);
    if (!type)
        return;
    switch (type->cls) {
    case InputClass::Voltage:
        m_voltShare[idx(ch)] = value / type->high;
        break;
    case InputClass::Resistance:
        m_percent[idx(ch)] = value;
        break;
    default:
        m_temp[idx(ch)] = value;
        break;
    }
}

SimModule::Reading SimModule::reading(int ch)
{
    Reading r;
    const std::size_t i = idx(ch);
    const auto type = FindInputType(m_kind, m_type[i]);
    if (!type)
        return r;
    const bool open = m_open[i];
    const int burnout = m_kind == 6 ? m_burnout[1] : m_burnout[i];
    const auto driven = [&](double up, double down, double none) {
        return burnout == 1 ? up : burnout == 2 ? down : none;
    };
    double measured = 0.0;
    switch (type->cls) {
    case InputClass::Voltage: {
        r.realDecimals = r.rawDecimals = 6;
        const double v = open ? driven(type->high, type->low, 0.0)
                              : m_voltShare[i] * type->high + noise(0.0002 * type->high) +
                                    drift(ch, 0.002 * type->high);
        r.raw = measured = v;
        break;
    }
    case InputClass::Thermocouple: {
        r.rawDecimals = 6;
        const double junction = sim::ThermoVolts(*type, m_terminalTemp);
        if (open) {
            measured = driven(type->high, type->low, 0.0);
            r.raw = driven(0.1, -0.1, 0.0); // the input amplifier saturates
        } else {
            const double t = m_temp[i] + noise(0.05) + drift(ch, 0.4);
            r.raw = sim::ThermoVolts(*type, t) - junction;
            measured = sim::ThermoTemperature(*type, r.raw + (m_cjc[i] == 1 ? junction : 0.0));
        }
        break;
    }
    case InputClass::Rtd: {
        if (open) {
            measured = driven(type->high, type->low, type->low);
            r.raw = sim::RtdOhm(*type, measured);
        } else {
            const double t = m_temp[i] + noise(0.02) + drift(ch, 0.3);
            r.raw = sim::RtdOhm(*type, t) + m_lead[i];
            measured = sim::RtdTemperature(*type, r.raw - m_leadComp[i]);
        }
        break;
    }
    case InputClass::Resistance: {
        if (open) {
            r.raw = measured = driven(type->high, type->low, 0.0);
        } else {
            const double pct = m_percent[i] + noise(0.02) + drift(ch, 0.2);
            r.raw = pct + m_lead[i] / type->r0 * 100.0;
            const double span = m_fullPct[i] - m_zeroPct[i];
            measured = (r.raw - m_zeroPct[i]) / span * 100.0;
        }
        break;
    }
    }
    r.measured = measured;
    r.real = open ? measured : (measured - m_offset[i]) * m_coef[i];
    return r;
}

QByteArray SimModule::realText(int ch)
{
    const Reading r = reading(ch);
    return fixed(r.real, r.realDecimals);
}

QByteArray SimModule::rawText(int ch)
{
    const Reading r = reading(ch);
    return fixed(r.raw, r.rawDecimals);
}

QByteArray SimModule::statusText(int ch) const
{
    if (!m_statusText[idx(ch)].isEmpty())
        return m_statusText[idx(ch)].toLatin1();
    return m_open[idx(ch)] ? "1" : "0";
}

int SimModule::halfPeriodMs(int ch) const
{
    if (m_kind == 4)
        return 600 + 200 * ((ch - 1) % 10);
    return 4000;
}

int SimModule::discreteInput(int ch) const
{
    const std::size_t i = idx(ch);
    int toggle = 0;
    if (m_inputsChanging) {
        if (m_kind == 5) {
            // The counter input follows its pulse train: high for the first half of each period.
            if (m_rate[i] > 0)
                toggle = std::fmod(double(clockMs()) * m_rate[i] / 1000.0, 1.0) < 0.5 ? 1 : 0;
        } else {
            toggle = int((clockMs() / halfPeriodMs(ch)) % 2);
        }
    }
    return m_inputBase[i] ^ toggle;
}

void SimModule::setDiscreteInput(int ch, int value)
{
    const std::size_t i = idx(ch);
    const int toggle = discreteInput(ch) ^ m_inputBase[i];
    m_inputBase[i] = (value ? 1 : 0) ^ toggle;
}

quint32 SimModule::count(int ch) const
{
    const std::size_t i = idx(ch);
    const double pulses = std::floor(m_rate[i] * double(clockMs() - m_countSince[i]) / 1000.0);
    return quint32(quint64(m_countBase[i] + qint64(pulses)) & 0xFFFFFFFFu);
}

void SimModule::setCount(int ch, quint32 value)
{
    m_countBase[idx(ch)] = value;
    m_countSince[idx(ch)] = clockMs();
}

void SimModule::setCountRate(int ch, double perSecond)
{
    setCount(ch, count(ch));
    m_rate[idx(ch)] = perSecond;
}

// ---------------------------------------------------------------- the wire

bool SimModule::restarting() const
{
    return m_restarting && m_wall.elapsed() < m_restartEndsAt;
}

std::optional<SimModule::Shape> SimModule::shapeOf(int16_t item) const
{
    if (!hasItem(item))
        return std::nullopt;
    const int n = channelCount();
    const auto channels = [](int count, bool bare = false) {
        return Shape{true, count, bare, false};
    };
    switch (item) {
    case Item::ChannelStatus:
        return Shape{true, n, false, m_kind == 6};
    case Item::RealValue:
    case Item::RawValue:
    case Item::InputType:
    case Item::ZeroSpanState:
    case Item::ZeroOffset:
    case Item::SpanCoefficient:
    case Item::CompRequest:
    case Item::CjcSwitch:
        return channels(n);
    case Item::DiscreteInput:
        return m_kind == 4 || m_kind == 5 ? channels(n) : channels(1, true);
    case Item::DiscreteOutput:
        return m_kind == 6 ? channels(1, true) : channels(n);
    case Item::Count32:
    case Item::CountPreset:
        return channels(m_kind == 4 ? 16 : n);
    case Item::CountRate:
        return channels(n);
    case Item::Burnout:
        if (m_kind != 6)
            return channels(n, true);
        return Shape{};
    default:
        return Shape{};
    }
}

std::optional<SimModule::DataCommand> SimModule::classify(const QByteArray &command) const
{
    if (!command.startsWith('D'))
        return std::nullopt;
    const QByteArray rest = command.mid(1);
    DataCommand d;
    const auto shape = m_group == Group::Items && m_item >= 0 ? shapeOf(int16_t(m_item))
                                                              : std::optional<Shape>{};
    if (!shape || !shape->perChannel) {
        d.write = !rest.isEmpty();
        d.value = rest;
        return d;
    }
    // Per channel: "D" NN reads channel NN, "D" NN value writes it.
    if (rest.isEmpty()) {
        d.channel = 1;
        d.malformed = !shape->bareIsChannel1;
        return d;
    }
    d.write = rest.size() > 2;
    if (rest.size() < 2 || !allDigits(rest.left(2))) {
        d.malformed = true;
        return d;
    }
    d.channel = rest.left(2).toInt();
    d.value = rest.mid(2);
    const bool zeroAllowed = shape->channelZero && !d.write && d.channel == 0;
    d.malformed = !zeroAllowed && (d.channel < 1 || d.channel > shape->channels);
    return d;
}

std::optional<QByteArray> SimModule::process(const QByteArray &command)
{
    if (restarting())
        return std::nullopt;
    m_restarting = false;
    const char first = command.front();
    if (first == 'G') {
        const auto group = inRange(command.mid(1), 0, 999);
        if (group == Group::Items || group == Group::Restart) {
            m_group = *group;
            m_item = -1;
            return EnterItem;
        }
        return IllegalOpe;
    }
    if (m_group == 0)
        return std::nullopt; // not in item mode: only a group select is heard
    if (first == 'I') {
        const QByteArray digits = command.mid(1);
        if (!allDigits(digits) || digits.size() > 3)
            return InvalidData;
        m_item = digits.toInt();
        return nn(m_item);
    }
    if (first == 'D')
        return dataCommand(command);
    return IllegalOpe;
}

std::optional<QByteArray> SimModule::dataCommand(const QByteArray &command)
{
    if (m_group == Group::Restart) {
        if (m_item == Item::RestartRequest && command.mid(1) == Reset) {
            m_restarting = true;
            m_restartEndsAt = m_wall.elapsed() + m_restartMs;
            m_group = 0;
            m_item = -1;
            m_countZero = 0;
            return std::nullopt; // the restart request is not answered
        }
        return IllegalOpe;
    }
    if (m_item < 0 || !hasItem(int16_t(m_item)))
        return IllegalOpe;
    const auto item = int16_t(m_item);
    const ItemInfo *info = FindItem(Group::Items, item);
    const DataCommand d = *classify(command);
    if (d.write && !info->writable)
        return IllegalOpe;
    if (!d.write && item == Item::CompRequest)
        return IllegalOpe; // a request, nothing to read back
    if (d.malformed)
        return InvalidData;
    return d.write ? writeItem(item, d.channel, d.value) : readItem(item, d.channel);
}

QByteArray SimModule::readItem(int16_t item, int ch)
{
    const std::size_t i = idx(ch);
    switch (item) {
    case Item::ChannelStatus:
        return ch == 0 ? dec(m_optionCode) : statusText(ch);
    case Item::RealValue:
        return realText(ch);
    case Item::RawValue:
        return rawText(ch);
    case Item::InputType:
        return dec(m_type[i]);
    case Item::DiscreteInput:
        return dec(discreteInput(ch));
    case Item::DiscreteOutput:
        return dec(m_output[i]);
    case Item::Count32:
        return dec(count(ch));
    case Item::CountPreset:
        return dec(m_preset[i]);
    case Item::PulseEdge:
        return dec(m_pulseEdge);
    case Item::CountZero:
        return dec(m_countZero);
    case Item::CountRate:
        return m_rate[i] == std::floor(m_rate[i]) ? dec(qint64(m_rate[i])) : fixed(m_rate[i], 1);
    case Item::RateMemory:
        return dec(m_rateMemory);
    case Item::LineNoise:
        return dec(m_lineNoise);
    case Item::FilterConst:
        return m_filter.toLatin1();
    case Item::ZeroSpanState:
        return dec(m_zsState[i]);
    case Item::ZeroOffset:
        return fixed(m_offset[i], 6);
    case Item::SpanCoefficient:
        return fixed(m_coef[i], 6);
    case Item::Burnout:
        return dec(m_burnout[ch < 1 ? 1 : i]);
    case Item::CjmTemp:
        return fixed(m_cjmTemp, 3);
    case Item::CjmVolt:
        return fixed(m_cjmVolt, 3);
    case Item::CjcSwitch:
        return dec(m_cjc[i]);
    case Item::ModbusNode:
    case Item::ModbusBaud:
    case Item::ModbusParity:
    case Item::ModbusStopBits:
    case Item::ModbusFloat:
        return dec(modbus(item));
    default:
        if (item >= Item::ModelName && item <= Item::CalibrationDate)
            return identityText(item).toLatin1();
        return IllegalOpe;
    }
}

QByteArray SimModule::writeItem(int16_t item, int ch, const QByteArray &value)
{
    const std::size_t i = idx(ch);
    // Stores a whole number in low..high and echoes it as plain decimal text.
    const auto setWhole = [&](int &target, int low, int high) -> QByteArray {
        const auto n = inRange(value, low, high);
        if (!n)
            return InvalidData;
        target = *n;
        return dec(*n);
    };
    // Stores a decimal number inside (low, high) and echoes the text as written.
    const auto setDecimal = [&](double &target, double low, double high) -> QByteArray {
        const auto v = decimal(value);
        if (!v || *v <= low || *v >= high)
            return InvalidData;
        target = *v;
        return value;
    };
    switch (item) {
    case Item::InputType: {
        const auto code = inRange(value, 0, 32767);
        if (!code || !setTypeCode(ch, int16_t(*code)))
            return InvalidData;
        return dec(*code);
    }
    case Item::DiscreteOutput:
        return setWhole(m_output[i], 0, 1);
    case Item::CountPreset: {
        const auto n = inRange(value, 0, 999999999);
        if (!n)
            return InvalidData;
        m_preset[i] = quint32(*n);
        return dec(*n);
    }
    case Item::PulseEdge:
        return setWhole(m_pulseEdge, 0, 1);
    case Item::CountZero:
        if (value != "1")
            return InvalidData;
        for (int c = 1; c <= MaxPoints; ++c)
            setCount(c, 0);
        m_countZero = 1;
        return QByteArrayLiteral("OK");
    case Item::RateMemory:
        return setWhole(m_rateMemory, 0, 1);
    case Item::LineNoise:
        return setWhole(m_lineNoise, 0, 2);
    case Item::FilterConst: {
        const auto v = decimal(value);
        if (!v || *v < 0.0 || *v > 100.0)
            return InvalidData;
        m_filter = QString::fromLatin1(value);
        return value;
    }
    case Item::ZeroSpanState:
        if (value != "0")
            return InvalidData;
        setZeroSpan(ch, 0, 0.0, 1.0);
        return value;
    case Item::ZeroOffset:
    case Item::SpanCoefficient:
        return writeAdjustment(item, ch, value);
    case Item::Burnout:
        return setWhole(m_burnout[ch < 1 ? 1 : i], 0, 2);
    case Item::CompRequest:
        return writeCompensation(ch, value);
    case Item::CjmTemp:
        return setDecimal(m_cjmTemp, 0.0, 100.0);
    case Item::CjmVolt:
        return setDecimal(m_cjmVolt, 0.4, 0.7);
    case Item::CjcSwitch:
        return setWhole(m_cjc[i], 0, 1);
    case Item::ModbusNode:
        // Only a UT8 with the node address option lets the address be set over this link.
        if (m_kind != 6 || !(m_optionCode & 32))
            return IllegalOpe;
        return setWhole(m_nodeAddress, 1, 247);
    case Item::ModbusBaud:
        return setWhole(m_modbusSet[0], 0, m_kind == 6 ? 3 : 2);
    case Item::ModbusParity:
        return setWhole(m_modbusSet[2], 0, 2);
    case Item::ModbusStopBits:
        return setWhole(m_modbusSet[3], 0, 1);
    case Item::ModbusFloat:
        return setWhole(m_modbusSet[4], 0, 1);
    default:
        return IllegalOpe;
    }
}

// Zero: the offset that makes the present reading the true value given. Span: the coefficient
// that does the same. The reply is the new offset or coefficient.
QByteArray SimModule::writeAdjustment(int16_t item, int ch, const QByteArray &value)
{
    const auto truth = decimal(value);
    if (!truth || m_open[idx(ch)])
        return InvalidData;
    const std::size_t i = idx(ch);
    // What the module measures now, as the engineer sees it (drift and noise included).
    const double measured = reading(ch).measured;
    if (item == Item::ZeroOffset) {
        m_offset[i] = measured - *truth / m_coef[i];
        m_zsState[i] = std::max(m_zsState[i], 1);
        return fixed(m_offset[i], 6);
    }
    const double span = measured - m_offset[i];
    if (std::abs(span) < 1e-9 || *truth == 0.0)
        return InvalidData;
    m_coef[i] = *truth / span;
    m_zsState[i] = 2;
    return fixed(m_coef[i], 6);
}

// Line resistance (resistance thermometers): the user shorts the sensor, the module keeps the
// lead resistance it then measures. 0 % / 100 % (resistance ranges): the user connects zero and
// full-scale resistance, the module keeps the raw reading it then sees (leads included) as that
// end point, whatever the input is; end points that would coincide are refused.
QByteArray SimModule::writeCompensation(int ch, const QByteArray &value)
{
    const auto request = inRange(value, 0, 2);
    const auto type = FindInputType(m_kind, m_type[idx(ch)]);
    if (!request || !type || m_open[idx(ch)])
        return InvalidData;
    const std::size_t i = idx(ch);
    if (type->cls == InputClass::Rtd) {
        if (*request == 2)
            return InvalidData;
        m_leadComp[i] = *request == 1 ? m_lead[i] : 0.0;
    } else if (*request == 0) {
        m_zeroPct[i] = 0.0;
        m_fullPct[i] = 100.0;
    } else {
        const double raw = reading(ch).raw;
        const double other = *request == 1 ? m_fullPct[i] : m_zeroPct[i];
        if (std::abs(raw - other) < 0.01)
            return InvalidData;
        (*request == 1 ? m_zeroPct[i] : m_fullPct[i]) = raw;
    }
    return dec(*request);
}

std::optional<SimFault> SimModule::takeFault(SimFault::Kind kind, const QByteArray &command,
                                             const std::optional<DataCommand> &data)
{
    for (SimFault &f : m_faults) {
        if (f.kind != kind || f.times == 0 || m_exchanges <= f.after)
            continue;
        if (f.command && *f.command != command)
            continue;
        if (f.item && (!data || m_group != Group::Items || m_item != *f.item))
            continue;
        if (f.ops == SimFault::Ops::Reads && (!data || data->write))
            continue;
        if (f.ops == SimFault::Ops::Writes && (!data || !data->write))
            continue;
        if (f.times > 0)
            --f.times;
        return f;
    }
    return std::nullopt;
}

SimResponse SimModule::respond(const QByteArray &raw)
{
    QByteArray command = raw;
    while (command.endsWith('\r'))
        command.chop(1);
    while (command.startsWith('\n'))
        command.remove(0, 1);
    SimResponse r;
    if (command.isEmpty())
        return r; // a bare CR is no command
    ++m_exchanges;
    const auto data = classify(command);
    using K = SimFault::Kind;
    if (takeFault(K::Drop, command, data)) {
        record(command, {}, false, true);
        r.drop = true;
        return r;
    }
    if (takeFault(K::Silence, command, data)) {
        record(command, {}, false, false);
        return r;
    }
    std::optional<QByteArray> payload;
    if (data && m_group != 0 && !restarting()) {
        if (const auto f = takeFault(K::Refuse, command, data))
            payload = f->refuseInvalid ? InvalidData : IllegalOpe;
    }
    if (!payload)
        payload = process(command);
    if (!payload) {
        record(command, {}, false, false);
        return r;
    }
    if (data && data->write) {
        if (const auto f = takeFault(K::WrongEcho, command, data))
            payload = f->echoText.isEmpty() ? changedEcho(*payload) : f->echoText;
    }
    QByteArray bytes = 'D' + *payload + '\r';
    if (takeFault(K::Garble, command, data))
        bytes = "\xff" + payload->toLower() + '\0' + '\r'; // lost start bit: no "D", junk bytes
    if (takeFault(K::Truncate, command, data))
        bytes = bytes.left(std::max<qsizetype>(1, bytes.size() / 2));
    if (const auto f = takeFault(K::Chunks, command, data)) {
        r.chunks = split(bytes, f->pieces);
        r.gapMs = f->gapMs;
    } else {
        r.chunks = {bytes};
    }
    if (const auto f = takeFault(K::Delay, command, data))
        r.delayMs = f->delayMs;
    record(command, bytes, true, false);
    return r;
}

QByteArray SimModule::reply(const QByteArray &command)
{
    return respond(command).chunks.join();
}

void SimModule::record(const QByteArray &command, const QByteArray &reply, bool answered,
                       bool dropped)
{
    SimExchange e{command, reply, answered, dropped, clockMs()};
    m_transcript.append(e);
    emit exchanged(e);
}

bool SimModule::addFault(const QString &faultText, QString *error)
{
    const auto fault = SimFault::parse(faultText, error);
    if (!fault)
        return false;
    m_faults.append(*fault);
    return true;
}

void SimModule::dropConnection()
{
    emit dropRequested();
}

QString SimModule::commandsText() const
{
    QStringList list;
    for (const SimExchange &e : m_transcript)
        list << QString::fromLatin1(e.command);
    return list.join(QLatin1Char(' '));
}
