#include "files/ConfigFile.h"

#include "app/Resources.h"
#include "link/Communication.h"
#include "link/TxtBus.h"

#include <QList>

namespace {

// Names of the stored values, as the user reads them in a message.
QString fieldName(int resource, int index = 0)
{
    const QString name = LoadResString(resource);
    return name.contains(QLatin1String("%1")) ? name.arg(index) : name;
}

enum FieldName {
    NameKind = 4410,
    NameTypeCode = 4411,
    NameCjcSwitch = 4412,
    NameModbus = 4413,
    NameCjmTemp = 4414,
    NameCjmVolt = 4415,
    NameBurnout = 4416,
    NameFilter = 4417,
    NameLineNoise = 4418,
    NameAlarm = 4419,
};

QByteArray quoted(const QString &text)
{
    return '"' + text.toLatin1() + '"';
}

// A text can be stored when it holds neither a double quote (the file's own delimiter) nor a
// character that would not read back as itself.
bool storable(const QString &text)
{
    return IsPlainText(text) && !text.contains(QLatin1Char('"'));
}

struct Field
{
    QByteArray text;
    bool quoted = false;
    int line = 0;
};

// Splits the bytes into fields: a comma or a line end (CR LF, CR or LF) closes a field, an empty
// line is one empty field, spaces around an unquoted field are not part of it, the quotes of a
// text are removed.
bool splitFields(const QByteArray &bytes, QList<Field> &fields, QString *error)
{
    int line = 1;
    qsizetype i = 0;
    const qsizetype n = bytes.size();
    auto isLineEnd = [&](qsizetype at) { return at < n && (bytes[at] == '\r' || bytes[at] == '\n'); };
    auto skipLineEnd = [&] {
        if (bytes[i] == '\r' && i + 1 < n && bytes[i + 1] == '\n')
            ++i;
        ++i;
        ++line;
    };
    while (i < n) {
        Field field;
        field.line = line;
        while (i < n && (bytes[i] == ' ' || bytes[i] == '\t'))
            ++i;
        if (i < n && bytes[i] == '"') {
            const qsizetype close = bytes.indexOf('"', i + 1);
            const qsizetype lineEnd = [&] {
                qsizetype at = i + 1;
                while (at < n && !isLineEnd(at))
                    ++at;
                return at;
            }();
            if (close < 0 || close > lineEnd) {
                if (error)
                    *error = LoadResString(4403).arg(line);
                return false;
            }
            field.text = bytes.mid(i + 1, close - i - 1);
            field.quoted = true;
            i = close + 1;
            while (i < n && (bytes[i] == ' ' || bytes[i] == '\t'))
                ++i;
            if (i < n && bytes[i] != ',' && !isLineEnd(i)) {
                if (error)
                    *error = LoadResString(4403).arg(line);
                return false;
            }
        } else {
            const qsizetype start = i;
            while (i < n && bytes[i] != ',' && !isLineEnd(i))
                ++i;
            field.text = bytes.mid(start, i - start).trimmed();
            // A double quote inside a value would not be written back as it was read.
            if (field.text.contains('"')) {
                if (error)
                    *error = LoadResString(4403).arg(line);
                return false;
            }
        }
        for (const char c : field.text) {
            const auto u = static_cast<unsigned char>(c);
            if (u < 0x20 || u > 0x7E) {
                if (error)
                    *error = LoadResString(4404).arg(line);
                return false;
            }
        }
        fields.append(field);
        if (i >= n)
            break;
        if (bytes[i] == ',') {
            ++i;
            // A comma at the end of a line leaves an empty field before the line end.
            if (i >= n || isLineEnd(i)) {
                fields.append(Field{{}, false, line});
                if (i < n)
                    skipLineEnd();
            }
        } else {
            skipLineEnd();
        }
    }
    return true;
}

class FieldReader
{
public:
    FieldReader(const QList<Field> &fields, QString *error) : m_fields(fields), m_error(error) {}

    bool whole(int16_t &value, const QString &name)
    {
        const Field *f = next(name);
        if (!f)
            return false;
        const std::optional<int16_t> number = parseWhole(f->text);
        if (!number)
            return fail(LoadResString(4402).arg(f->line).arg(QString::fromLatin1(f->text), name));
        value = *number;
        return true;
    }

    bool optionalWhole(std::optional<int16_t> &value, const QString &name)
    {
        const Field *f = next(name);
        if (!f)
            return false;
        if (f->text.isEmpty()) {
            value.reset();
            return true;
        }
        const std::optional<int16_t> number = parseWhole(f->text);
        if (!number)
            return fail(LoadResString(4402).arg(f->line).arg(QString::fromLatin1(f->text), name));
        value = number;
        return true;
    }

    bool text(QString &value, const QString &name)
    {
        const Field *f = next(name);
        if (!f)
            return false;
        value = QString::fromLatin1(f->text);
        return true;
    }

    int line() const { return m_at < m_fields.size() ? m_fields[m_at].line : lastLine() + 1; }

private:
    const Field *next(const QString &name)
    {
        if (m_at >= m_fields.size()) {
            fail(LoadResString(4401).arg(name).arg(lastLine() + 1));
            return nullptr;
        }
        return &m_fields[m_at++];
    }

    int lastLine() const { return m_fields.isEmpty() ? 0 : m_fields.last().line; }

    bool fail(const QString &message)
    {
        if (m_error)
            *m_error = message;
        return false;
    }

    // A decimal whole number of 16 bits, with an optional minus sign; nothing else.
    static std::optional<int16_t> parseWhole(const QByteArray &text)
    {
        if (text.isEmpty())
            return std::nullopt;
        for (qsizetype i = 0; i < text.size(); ++i) {
            const char c = text[i];
            if (!(c >= '0' && c <= '9') && !(c == '-' && i == 0 && text.size() > 1))
                return std::nullopt;
        }
        bool ok = false;
        const int value = text.toInt(&ok);
        if (!ok || value < -32768 || value > 32767)
            return std::nullopt;
        return int16_t(value);
    }

    const QList<Field> &m_fields;
    QString *m_error;
    qsizetype m_at = 0;
};

} // namespace

bool ConfigSnapshot::hasModuleSettings() const
{
    const int k = kind.value_or(KindNone);
    return k == KindUt5 || k == KindK6 || k == KindUt8;
}

ConfigSnapshot CaptureConfig()
{
    ConfigSnapshot c;
    c.kind = G.CurModelKind;
    c.typeCode = G.ChTypeCode;
    c.cjcSwitch = G.ChCjcSw;
    c.modbus = G.curKind() == KindUt8 ? G.ModbusSetUt8 : G.ModbusSet;
    c.cjmTemp = G.CjmTemp;
    c.cjmVolt = G.CjmVolt;
    c.burnout = G.BurnoutType;
    c.filter = G.FilterConst;
    c.lineNoise = G.LineNoiseSel;
    c.alarm = G.AlarmOut;
    return c;
}

void ApplyConfig(const ConfigSnapshot &c)
{
    G.CurModelKind = c.kind;
    for (int ch = 1; ch <= MaxChannel; ++ch) {
        const auto i = std::size_t(ch);
        G.ChTypeCode[i] = c.typeCode[i];
        G.ChCjcSw[i] = c.cjcSwitch[i];
    }
    (c.kind.value_or(KindNone) == KindUt8 ? G.ModbusSetUt8 : G.ModbusSet) = c.modbus;
    G.CjmTemp = c.cjmTemp;
    G.CjmVolt = c.cjmVolt;
    if (c.hasModuleSettings()) {
        G.BurnoutType = c.burnout;
        G.FilterConst = c.filter;
        G.LineNoiseSel = c.lineNoise;
        G.AlarmOut = c.alarm;
    }
}

std::optional<QByteArray> FormatConfigFile(const ConfigSnapshot &c, QString *error)
{
    const std::pair<const QString *, int> texts[] = {
        {&c.cjmTemp, NameCjmTemp}, {&c.cjmVolt, NameCjmVolt}, {&c.filter, NameFilter}};
    for (const auto &[text, name] : texts) {
        if (name == NameFilter && !c.hasModuleSettings())
            continue;
        if (!storable(*text)) {
            if (error)
                *error = LoadResString(4405).arg(fieldName(name), VisibleText(*text));
            return std::nullopt;
        }
    }

    const QByteArray crlf("\r\n");
    QByteArray out;
    if (c.kind)
        out += QByteArray::number(*c.kind);
    out += crlf;
    for (int ch = 1; ch <= MaxChannel; ++ch) {
        out += QByteArray::number(c.typeCode[std::size_t(ch)]) + ',' +
               QByteArray::number(c.cjcSwitch[std::size_t(ch)]) + crlf;
    }
    for (const int16_t position : c.modbus)
        out += QByteArray::number(position) + crlf;
    out += quoted(c.cjmTemp) + ',' + quoted(c.cjmVolt) + crlf;
    if (c.hasModuleSettings()) {
        out += QByteArray::number(c.burnout) + ',' + quoted(c.filter) + ',' +
               (c.lineNoise ? QByteArray::number(*c.lineNoise) : QByteArray()) + ',' +
               QByteArray::number(c.alarm) + crlf;
    }
    return out;
}

std::optional<ConfigSnapshot> ParseConfigFile(const QByteArray &bytes, QString *error)
{
    QList<Field> fields;
    if (!splitFields(bytes, fields, error))
        return std::nullopt;
    FieldReader read(fields, error);
    ConfigSnapshot c;

    std::optional<int16_t> kind;
    const int kindLine = read.line();
    if (!read.optionalWhole(kind, fieldName(NameKind)))
        return std::nullopt;
    if (kind && (*kind < KindNone || *kind > KindUt8)) {
        if (error)
            *error = LoadResString(4406).arg(kindLine).arg(*kind);
        return std::nullopt;
    }
    c.kind = kind;
    for (int ch = 1; ch <= MaxChannel; ++ch) {
        if (!read.whole(c.typeCode[std::size_t(ch)], fieldName(NameTypeCode, ch)) ||
            !read.whole(c.cjcSwitch[std::size_t(ch)], fieldName(NameCjcSwitch, ch)))
            return std::nullopt;
    }
    for (std::size_t i = 0; i < c.modbus.size(); ++i) {
        if (!read.whole(c.modbus[i], fieldName(NameModbus, int(i))))
            return std::nullopt;
    }
    if (!read.text(c.cjmTemp, fieldName(NameCjmTemp)) ||
        !read.text(c.cjmVolt, fieldName(NameCjmVolt)))
        return std::nullopt;
    if (c.hasModuleSettings()) {
        if (!read.whole(c.burnout, fieldName(NameBurnout)) ||
            !read.text(c.filter, fieldName(NameFilter)) ||
            !read.optionalWhole(c.lineNoise, fieldName(NameLineNoise)) ||
            !read.whole(c.alarm, fieldName(NameAlarm)))
            return std::nullopt;
    }
    return c;
}
