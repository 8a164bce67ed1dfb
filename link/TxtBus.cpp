#include "link/TxtBus.h"

#include "app/MsgBox.h"
#include "app/Resources.h"
#include "link/Communication.h"
#include "link/LinkObserver.h"
#include "model/Globals.h"

#include <QDateTime>

#include <limits>

namespace {
const QString CR = QStringLiteral("\r");
const QString CRLF = QStringLiteral("\r\n");

// Removes spaces (only spaces) at both ends.
QString trimSpaces(const QString &text)
{
    qsizetype first = 0;
    qsizetype last = text.size();
    while (first < last && text[first] == QLatin1Char(' '))
        ++first;
    while (last > first && text[last - 1] == QLatin1Char(' '))
        --last;
    return text.mid(first, last - first);
}
} // namespace

QString NN(int value)
{
    const QString digits = QString::number(value < 0 ? -qint64(value) : qint64(value));
    return (value < 0 ? QStringLiteral("-") : QString()) + digits.rightJustified(2, QLatin1Char('0'));
}

QString VisibleText(const QString &text)
{
    QString shown;
    shown.reserve(text.size());
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (u == u'\r')
            shown += QLatin1String("<CR>");
        else if (u == u'\n')
            shown += QLatin1String("<LF>");
        else if (u < 0x20 || (u >= 0x7F && u <= 0xFF))
            shown += QStringLiteral("<%1>").arg(int(u), 2, 16, QLatin1Char('0')).toUpper();
        else if (u > 0xFF)
            shown += QStringLiteral("<U+%1>").arg(int(u), 4, 16, QLatin1Char('0')).toUpper();
        else
            shown += c;
    }
    return shown;
}

bool ReplyCheck(QString &reply)
{
    if (G.TimeoutFlag) {
        G.TimeoutFlag = false;
        return false;
    }
    if (reply.size() >= 3 && reply.front() == QLatin1Char('D') && reply.back() == QLatin1Char('\r')) {
        const QString inner = reply.mid(1, reply.size() - 2);
        // Two replies run together, line noise or a late reply in front: never a value.
        if (!IsPlainText(inner))
            return false;
        reply = trimSpaces(inner);
        return true;
    }
    return false;
}

bool GroupCommand(int16_t group, QString &reply)
{
    const QString command = QStringLiteral("G") + NN(group) + CR;
    for (int attempt = 0; attempt < 3; ++attempt) {
        if (attempt > 0)
            NoteRetry();
        reply = SendReceive(command);
        if (ReplyCheck(reply) && reply == QLatin1String("enter item"))
            return true;
    }
    MsgBox(QStringLiteral("Out=") + command + CRLF + QStringLiteral("In =") + VisibleText(reply),
           MsgIcon::Exclamation, QStringLiteral("Group Command Error"));
    return false;
}

bool ItemCommand(int16_t item)
{
    QString reply = SendReceive(QStringLiteral("I") + NN(item) + CR);
    return ReplyCheck(reply);
}

bool DataRead(int16_t item, int16_t channel, QString &reply)
{
    if (!ItemCommand(item))
        return false;
    QString command = QStringLiteral("D");
    if (G.ForceChannelField || channel != 0)
        command += NN(channel);
    command += CR;
    reply = SendReceive(command);
    return ReplyCheck(reply);
}

bool ParameterWrite(int16_t item, const QString &value, QString &reply)
{
    const QString text = ToDecimalPoint(value);
    if (!IsPlainText(text)) {
        const QString why = LoadResString(4504).arg(VisibleText(text));
        if (CurrentLinkObserver()) {
            LinkRecord record;
            record.atMs = QDateTime::currentMSecsSinceEpoch();
            record.flags = LinkRecord::NotSent;
            // What would have gone out, as far as a text can hold it.
            record.command = (QStringLiteral("D") + text + CR).toUtf8();
            record.text = why;
            TellLinkObserver(record);
        }
        MsgBox(why, MsgIcon::Critical, QStringLiteral("Parameter Write"));
        return false;
    }
    if (!ItemCommand(item))
        return false;
    const QString command = QStringLiteral("D") + text + CR;
    reply = SendReceive(command);
    if (!ReplyCheck(reply))
        return false;
    if (reply == QLatin1String("illegal OPE") || reply == QLatin1String("invalid data")) {
        MsgBox(QStringLiteral("invalid data ") + command + CRLF + QStringLiteral("at item ") +
                   QString::number(item),
               MsgIcon::Critical, QStringLiteral("Parameter Write"));
        return false;
    }
    return true;
}

std::optional<int16_t> WholeNumber(const QString &payload)
{
    bool ok = false;
    const int value = payload.trimmed().toInt(&ok, 10);
    if (!ok || value < std::numeric_limits<int16_t>::min() ||
        value > std::numeric_limits<int16_t>::max())
        return std::nullopt;
    return int16_t(value);
}
