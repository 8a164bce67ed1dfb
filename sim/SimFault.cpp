#include "sim/SimFault.h"

#include <QStringList>

#include <array>
#include <utility>

namespace {

constexpr std::array<std::pair<SimFault::Kind, const char *>, 8> KindNames{{
    {SimFault::Kind::Silence, "silence"},
    {SimFault::Kind::Garble, "garble"},
    {SimFault::Kind::Truncate, "truncate"},
    {SimFault::Kind::Chunks, "chunks"},
    {SimFault::Kind::WrongEcho, "wrong-echo"},
    {SimFault::Kind::Refuse, "refuse"},
    {SimFault::Kind::Delay, "delay"},
    {SimFault::Kind::Drop, "drop"},
}};

QString kindName(SimFault::Kind kind)
{
    for (const auto &[k, name] : KindNames) {
        if (k == kind)
            return QString::fromLatin1(name);
    }
    return {};
}

std::optional<int> number(const QString &text, int min, int max)
{
    bool ok = false;
    const int value = text.toInt(&ok);
    if (!ok || value < min || value > max)
        return std::nullopt;
    return value;
}

std::optional<SimFault> failed(QString *error, const QString &message)
{
    if (error)
        *error = message;
    return std::nullopt;
}

} // namespace

SimFault SimFault::make(Kind kind)
{
    SimFault f;
    f.kind = kind;
    return f;
}

SimFault SimFault::chunks(int pieces, int gapMs)
{
    SimFault f = make(Kind::Chunks);
    f.pieces = pieces;
    f.gapMs = gapMs;
    return f;
}

SimFault SimFault::wrongEcho(const QByteArray &text)
{
    SimFault f = make(Kind::WrongEcho);
    f.echoText = text;
    f.ops = Ops::Writes;
    return f;
}

SimFault SimFault::refuse(bool invalidData)
{
    SimFault f = make(Kind::Refuse);
    f.refuseInvalid = invalidData;
    return f;
}

SimFault SimFault::delay(int ms)
{
    SimFault f = make(Kind::Delay);
    f.delayMs = ms;
    return f;
}

SimFault &SimFault::onCommand(const QByteArray &text)
{
    command = text;
    return *this;
}

SimFault &SimFault::onItem(int number)
{
    item = number;
    return *this;
}

SimFault &SimFault::readsOnly()
{
    ops = Ops::Reads;
    return *this;
}

SimFault &SimFault::writesOnly()
{
    ops = Ops::Writes;
    return *this;
}

SimFault &SimFault::afterExchanges(int n)
{
    after = n;
    return *this;
}

SimFault &SimFault::limit(int hits)
{
    times = hits;
    return *this;
}

std::optional<SimFault> SimFault::parse(const QString &text, QString *error)
{
    const qsizetype colon = text.indexOf(QLatin1Char(':'));
    const QString name = text.left(colon).trimmed();
    SimFault f;
    bool known = false;
    for (const auto &[k, kname] : KindNames) {
        if (name == QLatin1String(kname)) {
            f = make(k);
            known = true;
        }
    }
    if (!known)
        return failed(error, QStringLiteral("unknown fault \"%1\"").arg(name));
    if (f.kind == Kind::WrongEcho)
        f.ops = Ops::Writes;

    const QStringList options =
        colon < 0 ? QStringList() : text.mid(colon + 1).split(QLatin1Char(','), Qt::SkipEmptyParts);
    bool haveDelay = false;
    for (const QString &option : options) {
        const qsizetype eq = option.indexOf(QLatin1Char('='));
        const QString key = option.left(eq).trimmed();
        const QString value = eq < 0 ? QString() : option.mid(eq + 1);
        const auto bad = [&] {
            return failed(error, QStringLiteral("fault \"%1\": bad option \"%2\"").arg(text, option));
        };
        if (key == QLatin1String("cmd") && !value.isEmpty()) {
            f.command = value.toLatin1();
        } else if (key == QLatin1String("item")) {
            f.item = number(value, 0, 999);
            if (!f.item)
                return bad();
        } else if (key == QLatin1String("reads") && eq < 0) {
            f.ops = Ops::Reads;
        } else if (key == QLatin1String("writes") && eq < 0) {
            f.ops = Ops::Writes;
        } else if (key == QLatin1String("after")) {
            const auto n = number(value, 0, 1 << 30);
            if (!n)
                return bad();
            f.after = *n;
        } else if (key == QLatin1String("times")) {
            const auto n = number(value, 1, 1 << 30);
            if (!n)
                return bad();
            f.times = *n;
        } else if (key == QLatin1String("n") && f.kind == Kind::Chunks) {
            const auto n = number(value, 2, 64);
            if (!n)
                return bad();
            f.pieces = *n;
        } else if (key == QLatin1String("gap") && f.kind == Kind::Chunks) {
            const auto n = number(value, 0, 60000);
            if (!n)
                return bad();
            f.gapMs = *n;
        } else if (key == QLatin1String("ms") && f.kind == Kind::Delay) {
            const auto n = number(value, 0, 600000);
            if (!n)
                return bad();
            f.delayMs = *n;
            haveDelay = true;
        } else if (key == QLatin1String("text") && f.kind == Kind::WrongEcho && !value.isEmpty()) {
            f.echoText = value.toLatin1();
        } else if (key == QLatin1String("reply") && f.kind == Kind::Refuse &&
                   (value == QLatin1String("illegal") || value == QLatin1String("invalid"))) {
            f.refuseInvalid = value == QLatin1String("invalid");
        } else {
            return bad();
        }
    }
    if (f.kind == Kind::Delay && !haveDelay)
        return failed(error, QStringLiteral("fault \"%1\": delay needs ms=MS").arg(text));
    return f;
}

QString SimFault::toString() const
{
    QStringList options;
    if (command)
        options << QStringLiteral("cmd=") + QString::fromLatin1(*command);
    if (item)
        options << QStringLiteral("item=%1").arg(*item);
    if (ops == Ops::Reads)
        options << QStringLiteral("reads");
    if (ops == Ops::Writes && kind != Kind::WrongEcho)
        options << QStringLiteral("writes");
    if (after > 0)
        options << QStringLiteral("after=%1").arg(after);
    if (times >= 0)
        options << QStringLiteral("times=%1").arg(times);
    switch (kind) {
    case Kind::Chunks:
        options << QStringLiteral("n=%1").arg(pieces) << QStringLiteral("gap=%1").arg(gapMs);
        break;
    case Kind::Delay:
        options << QStringLiteral("ms=%1").arg(delayMs);
        break;
    case Kind::WrongEcho:
        if (!echoText.isEmpty())
            options << QStringLiteral("text=") + QString::fromLatin1(echoText);
        break;
    case Kind::Refuse:
        if (refuseInvalid)
            options << QStringLiteral("reply=invalid");
        break;
    default:
        break;
    }
    const QString name = kindName(kind);
    return options.isEmpty() ? name : name + QLatin1Char(':') + options.join(QLatin1Char(','));
}
