#include "model/Globals.h"

#include "app/MsgBox.h"
#include "app/Resources.h"
#include "model/Catalogue.h"

Globals G;

namespace {

template <std::size_t N, typename Table>
void fillNames(std::array<QString, N> &names, const Table &table)
{
    static_assert(N == std::tuple_size_v<Table>);
    for (std::size_t i = 0; i < N; ++i)
        names[i] = QString::fromLatin1(table[i].name.data(), qsizetype(table[i].name.size()));
}

} // namespace

void InitData()
{
    G = Globals{};

    for (int i = 1; i <= ModelCount; ++i) {
        const auto &entry = Catalogue[std::size_t(i - 1)];
        G.ModelName[i] = QString::fromLatin1(entry.name.data(), qsizetype(entry.name.size()));
        G.ModelKind[i] = entry.kind;
    }
    fillNames(G.VoltTcNames, VoltTcTypes);
    fillNames(G.RtdResNames, RtdResTypes);
    fillNames(G.WideVoltTcNames, WideVoltTcTypes);
    for (int i = 0; i < 3; ++i)
        G.BurnoutNames[i] = LoadResString(2037 + i);
    G.OnOffNames = {QStringLiteral("OFF"), QStringLiteral("ON")};
    G.OnOffNames2 = {QStringLiteral("OFF"), QStringLiteral("ON")};
    G.LineNoiseNames = {QStringLiteral("50/60Hz"), QStringLiteral("50Hz"), QStringLiteral("60Hz")};
    G.ModbusSet = ModbusDefaults;
    G.ModbusSetUt8 = ModbusDefaultsUt8;
}

QString ToDecimalPoint(const QString &text)
{
    const qsizetype comma = text.indexOf(QLatin1Char(','));
    if (comma < 0)
        return text;
    QString result = text;
    result[comma] = QLatin1Char('.');
    return result;
}

bool IsPositiveEntry(const QString &text)
{
    // Digits only: a sign, a point, a space or any other character is refused, so that an
    // accepted entry is exactly the text the module takes.
    for (const QChar c : text) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
    }
    bool ok = true;
    if (!text.isEmpty())
        text.toInt(&ok);
    return ok;
}

int32_t CheckPositive(const QString &text)
{
    if (text.isEmpty())
        return -1;
    if (!IsPositiveEntry(text)) {
        MsgBox(QStringLiteral("Please enter positive number."), MsgIcon::Information);
        return 0;
    }
    return text.toInt();
}

void SplitTypeCode(int16_t channel, int16_t typeCode)
{
    if (channel < 0 || channel > MaxChannel)
        return;
    // Floor division, so that a negative code still satisfies code = 16 * group + index.
    int group = typeCode / 16;
    if (typeCode % 16 < 0)
        --group;
    G.ChGroup[channel] = int16_t(group);
    G.ChSub[channel] = int16_t(typeCode - 16 * group);
}

int ModelIndex(const QString &modelName)
{
    for (int i = 1; i <= ModelCount; ++i) {
        if (G.ModelName[i] == modelName)
            return i;
    }
    return 0;
}
