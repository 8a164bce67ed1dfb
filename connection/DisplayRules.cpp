#include "connection/DisplayRules.h"

#include "model/Catalogue.h"
#include "model/Globals.h"

#include <QLabel>
#include <QRegularExpression>

#include <cmath>

namespace {

template <std::size_t N>
QString entry(const std::array<QString, N> &names, int index)
{
    return index >= 0 && index < int(N) ? names[std::size_t(index)] : QString();
}

// The name of a type code in a kind's table; empty for a code the table does not list.
template <std::size_t N>
QString typeName(const std::array<TypeEntry, N> &types, const std::array<QString, N> &names,
                 int typeCode)
{
    for (std::size_t i = 0; i < N; ++i) {
        if (types[i].code == typeCode)
            return names[i];
    }
    return {};
}

} // namespace

QString TypeCaption(int kind, int typeCode)
{
    switch (kind) {
    case KindUt5:
        return typeName(VoltTcTypes, G.VoltTcNames, typeCode);
    case KindUt8:
        return typeName(WideVoltTcTypes, G.WideVoltTcNames, typeCode);
    case KindK6:
        return typeName(RtdResTypes, G.RtdResNames, typeCode);
    default:
        return {};
    }
}

QString CjcCaption(int typeCode, int cjcSwitch)
{
    if (typeCode >= 16 && (cjcSwitch == 0 || cjcSwitch == 1))
        return G.OnOffNames[std::size_t(cjcSwitch)];
    return {};
}

ColouredCaption DiscreteCaption(int value)
{
    if (value == 1)
        return {QStringLiteral("ON"), OnColour};
    if (value == 0)
        return {QStringLiteral("OFF"), OffColour};
    return {};
}

ColouredCaption DiscreteCaption(const std::optional<int16_t> &value)
{
    return value ? DiscreteCaption(int(*value)) : ColouredCaption{};
}

QColor LampColour(const QString &payload)
{
    return payload == QLatin1String("0") ? LampInOrder : LampInFault;
}

double MeasuredValue(const QString &payload)
{
    static const QRegularExpression leadingNumber(
        QStringLiteral(R"(^[+-]?(\d+\.?\d*|\.\d+)([eE][+-]?\d+)?)"));
    const auto match = leadingNumber.match(payload.trimmed());
    if (!match.hasMatch())
        return 0.0;
    bool ok = false;
    const double value = match.captured(0).toDouble(&ok);
    return ok && std::isfinite(value) ? value : 0.0;
}

QString ValueText(double value)
{
    // A value too large to scale (a payload such as 9e306 read in mV) is no number: 0, as a
    // payload that is no number gives 0.
    if (!std::isfinite(value * 1000.0))
        value = 0.0;
    // Rounded to three decimals; a negative zero shows as 0.000.
    const double rounded = std::round(value * 1000.0) / 1000.0;
    return ToDecimalPoint(QString::number(rounded == 0.0 ? 0.0 : rounded, 'f', 3));
}

namespace {

ValueWithUnit analogValue(int kind, int typeCode, const QString &payload, bool raw)
{
    const double v = MeasuredValue(payload);
    if (kind == KindUt5 || kind == KindUt8) {
        if (typeCode >= 0 && typeCode <= 2)
            return {ValueText(v), QStringLiteral("V")};
        if (typeCode >= 3 && typeCode <= 15)
            return {ValueText(v * 1000.0), QStringLiteral("mV")};
        if (typeCode >= 16)
            return raw ? ValueWithUnit{ValueText(v * 1000.0), QStringLiteral("mV")}
                       : ValueWithUnit{ValueText(v), QStringLiteral("degC")};
        return {ValueText(v), QString()};
    }
    if (kind == KindK6) {
        if (typeCode < 64)
            return {ValueText(v), raw ? QStringLiteral("ohm") : QStringLiteral("degC")};
        return {ValueText(v), QStringLiteral("%")};
    }
    return {ValueText(v), QString()};
}

} // namespace

ValueWithUnit RealValue(int kind, int typeCode, const QString &payload)
{
    return analogValue(kind, typeCode, payload, false);
}

ValueWithUnit RawValue(int kind, int typeCode, const QString &payload)
{
    return analogValue(kind, typeCode, payload, true);
}

QString BurnoutCaption(int value)
{
    return entry(G.BurnoutNames, value);
}

QString LineNoiseCaption(int value)
{
    return entry(G.LineNoiseNames, value);
}

QString OutputModeCaption(int value)
{
    return entry(G.OnOffNames2, value);
}

void ShowCaption(QLabel *label, const ColouredCaption &caption)
{
    if (!label)
        return;
    label->setText(caption.text);
    if (caption.colour) {
        QPalette palette = label->palette();
        palette.setColor(QPalette::WindowText, *caption.colour);
        label->setPalette(palette);
    }
}
