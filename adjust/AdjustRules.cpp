#include "adjust/AdjustRules.h"

#include "connection/DisplayRules.h"
#include "link/TxtBus.h"
#include "model/Globals.h"

#include <QRegularExpression>

#include <cmath>

QString AdjUnit(int kind, int typeCode)
{
    if (kind == KindUt5 || kind == KindUt8) {
        if (typeCode < 3)
            return QStringLiteral("V");
        if (typeCode <= 15)
            return QStringLiteral("mV");
        return QStringLiteral("degC");
    }
    if (kind == KindK6)
        return typeCode >= 64 ? QStringLiteral("%") : QStringLiteral("degC");
    return {};
}

QString AdjValueText(const QString &payload, bool scaled)
{
    const double value = MeasuredValue(payload);
    return ValueText(scaled ? value * 1000.0 : value);
}

std::optional<double> RealEntry(const QString &text)
{
    static const QRegularExpression number(QStringLiteral(R"(^[+-]?(\d+\.?\d*|\.\d+)$)"));
    // Full-width digits and signs, as a Japanese input method types them, count as their ASCII
    // forms.
    const QString entry = ToDecimalPoint(text.normalized(QString::NormalizationForm_KC)).trimmed();
    if (!number.match(entry).hasMatch())
        return std::nullopt;
    bool ok = false;
    const double value = entry.toDouble(&ok);
    // No input range reaches a billion; a larger entry is a slip of the keyboard.
    if (!ok || !std::isfinite(value) || std::abs(value) >= 1e9)
        return std::nullopt;
    return value;
}

QString AdjustmentData(int channel, double value)
{
    return NN(channel) + ValueText(value);
}
