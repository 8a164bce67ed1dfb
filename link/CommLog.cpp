#include "link/CommLog.h"

#include "app/Resources.h"
#include "link/TxtBus.h"

#include <QDateTime>
#include <QStringList>

#include <algorithm>
#include <cstring>

namespace {

constexpr quint8 Elsewhere = 0xFF;

// Fits in a slot's own bytes?
bool fits(const QByteArray &bytes, std::size_t room)
{
    return std::size_t(bytes.size()) <= room;
}

// A reply of the shape "D" payload CR with nothing but printable characters between.
bool wellFormed(const QByteArray &reply)
{
    if (reply.size() < 3 || reply.front() != 'D' || reply.back() != '\r')
        return false;
    for (qsizetype i = 1; i + 1 < reply.size(); ++i) {
        const auto c = static_cast<unsigned char>(reply[i]);
        if (c < 0x20 || c > 0x7E)
            return false;
    }
    return true;
}

bool refusal(const QByteArray &reply)
{
    const QByteArray payload = reply.mid(1, reply.size() - 2).trimmed();
    return payload == "illegal OPE" || payload == "invalid data";
}

// The port's own text of a failure, without the advice that follows it.
QString firstLine(const QString &text)
{
    return text.section(QLatin1Char('\n'), 0, 0);
}

} // namespace

CommLog &CommLog::Instance()
{
    static CommLog log;
    return log;
}

void CommLog::setRecording(bool on)
{
    if (on == m_recording)
        return;
    if (on && m_ring.empty())
        m_ring.assign(Capacity, Slot{}); // once, so that the footprint never grows afterwards
    if (on && m_everRecorded)
        add(Kind::Resumed, LinkRecord{});
    if (!on)
        add(Kind::Paused, LinkRecord{});
    m_recording = on;
    m_everRecorded = m_everRecorded || on;
    SetLinkObserver(on ? this : nullptr);
}

void CommLog::clear()
{
    m_extra.clear();
    m_first = m_end;
    m_counters = {};
    m_items.reset();
    m_lastWasPortError = false;
    ++m_generation;
}

void CommLog::reset()
{
    if (CurrentLinkObserver() == this)
        SetLinkObserver(nullptr);
    m_recording = false;
    m_everRecorded = false;
    m_selected = NoItem;
    clear();
}

void CommLog::linkRecord(const LinkRecord &record)
{
    static constexpr Kind kinds[] = {Kind::Exchange, Kind::Opened, Kind::OpenFailed, Kind::Closed,
                                     Kind::Lost};
    add(kinds[int(record.kind)], record);
}

qint16 CommLog::itemFor(const QByteArray &command)
{
    if (command.startsWith('G')) {
        m_selected = NoItem;
        return GroupSelect;
    }
    if (command.startsWith('I')) {
        bool ok = false;
        const int item = command.mid(1).trimmed().toInt(&ok);
        m_selected = ok && item >= 0 && item < int(m_items.size()) ? qint16(item) : NoItem;
        return m_selected;
    }
    return m_selected;
}

void CommLog::add(Kind kind, const LinkRecord &record)
{
    if (m_ring.empty())
        return;
    if (m_end - m_first >= Capacity) {
        const Slot &oldest = m_ring[std::size_t(m_first % Capacity)];
        if (oldest.extra)
            m_extra.remove(oldest.seq);
        ++m_first;
    }
    Slot &slot = m_ring[std::size_t(m_end % Capacity)];
    slot.seq = m_end++;
    slot.kind = kind;
    slot.atMs = record.atMs != 0 ? record.atMs : QDateTime::currentMSecsSinceEpoch();
    slot.roundTripUs = record.roundTripUs;
    slot.staleCount = qint32(record.stale.size());
    slot.marks = record.flags;
    slot.item = NoItem;
    slot.extra = false;

    Extra extra;
    if (kind == Kind::Exchange) {
        // A command that never went out selected nothing in the module.
        slot.item = (record.flags & NotSent) ? NoItem : itemFor(record.command);
        if (slot.item >= 0)
            m_items.set(std::size_t(slot.item));
        const bool answered = !(record.flags & (NotSent | NoReplyAwaited | Abandoned | PortError));
        if (answered && !(record.flags & TimedOut)) {
            if (!wellFormed(record.reply))
                slot.marks |= Invalid;
            else if (refusal(record.reply))
                slot.marks |= Refused;
        }
        if (!record.stale.isEmpty())
            slot.marks |= Stale;
    }
    if (fits(record.command, sizeof slot.command)) {
        slot.commandLength = quint8(record.command.size());
        std::memcpy(slot.command, record.command.constData(), std::size_t(record.command.size()));
    } else {
        slot.commandLength = Elsewhere;
        extra.command = record.command;
    }
    if (fits(record.reply, sizeof slot.reply)) {
        slot.replyLength = quint8(record.reply.size());
        std::memcpy(slot.reply, record.reply.constData(), std::size_t(record.reply.size()));
    } else {
        slot.replyLength = Elsewhere;
        extra.reply = record.reply;
    }
    extra.stale = record.stale;
    extra.text = record.text;
    if (slot.commandLength == Elsewhere || slot.replyLength == Elsewhere ||
        !extra.stale.isEmpty() || !extra.text.isEmpty()) {
        slot.extra = true;
        m_extra.insert(slot.seq, extra);
    }
    count(slot);
}

void CommLog::count(const Slot &slot)
{
    Counters &c = m_counters;
    switch (slot.kind) {
    case Kind::Exchange:
        if (slot.marks & NotSent) {
            ++c.notSent;
            break;
        }
        ++c.exchanges;
        c.timeouts += (slot.marks & TimedOut) ? 1 : 0;
        c.refusals += (slot.marks & Refused) ? 1 : 0;
        c.retries += (slot.marks & Retry) ? 1 : 0;
        c.portErrors += (slot.marks & PortError) ? 1 : 0;
        c.invalid += (slot.marks & Invalid) ? 1 : 0;
        c.staleBytes += slot.staleCount;
        break;
    case Kind::OpenFailed:
        ++c.portErrors;
        break;
    case Kind::Lost:
        if (!m_lastWasPortError)
            ++c.portErrors;
        break;
    default:
        break;
    }
    m_lastWasPortError = slot.kind == Kind::Exchange && (slot.marks & PortError);
}

const CommLog::Slot *CommLog::slotOf(qint64 seq) const
{
    if (seq < m_first || seq >= m_end || m_ring.empty())
        return nullptr;
    return &m_ring[std::size_t(seq % Capacity)];
}

CommLog::Line CommLog::line(qint64 seq) const
{
    Line line;
    const Slot *slot = slotOf(seq);
    if (!slot)
        return line;
    line.seq = slot->seq;
    line.kind = slot->kind;
    line.marks = slot->marks;
    line.item = slot->item;
    line.atMs = slot->atMs;
    line.roundTripUs = slot->roundTripUs;
    line.staleCount = slot->staleCount;
    const Extra extra = slot->extra ? m_extra.value(seq) : Extra{};
    line.command = slot->commandLength == Elsewhere
                       ? extra.command
                       : QByteArray(slot->command, slot->commandLength);
    line.reply =
        slot->replyLength == Elsewhere ? extra.reply : QByteArray(slot->reply, slot->replyLength);
    line.stale = extra.stale;
    line.text = extra.text;
    return line;
}

qint16 CommLog::itemOf(qint64 seq) const
{
    const Slot *slot = slotOf(seq);
    return slot ? slot->item : NoItem;
}

CommLog::Kind CommLog::kindOf(qint64 seq) const
{
    const Slot *slot = slotOf(seq);
    return slot ? slot->kind : Kind::Exchange;
}

QList<qint16> CommLog::items() const
{
    QList<qint16> list;
    for (std::size_t i = 0; i < m_items.size(); ++i) {
        if (m_items.test(i))
            list << qint16(i);
    }
    return list;
}

QString CommLog::visible(const QByteArray &bytes)
{
    return VisibleText(QString::fromLatin1(bytes));
}

QString CommLog::notesText(const Line &line)
{
    switch (line.kind) {
    case Kind::Opened:
        return LoadResString(4679).arg(line.text);
    case Kind::Closed:
        return LoadResString(4680).arg(line.text);
    case Kind::OpenFailed:
        return LoadResString(4681).arg(firstLine(line.text));
    case Kind::Lost:
        return LoadResString(4682).arg(firstLine(line.text));
    case Kind::Paused:
        return LoadResString(4683);
    case Kind::Resumed:
        return LoadResString(4684);
    case Kind::Exchange:
        break;
    }
    QStringList notes;
    const auto mark = [&](quint16 which, int text) {
        if (line.marks & which)
            notes << LoadResString(text);
    };
    mark(TimedOut, 4672);
    mark(Refused, 4673);
    mark(Invalid, 4678);
    mark(Retry, 4674);
    mark(NoReplyAwaited, 4688);
    mark(Abandoned, 4689);
    if (line.marks & Stale)
        notes << LoadResString(4675).arg(line.staleCount).arg(visible(line.stale));
    if (line.marks & PortError)
        notes << LoadResString(4676).arg(firstLine(line.text));
    if (line.marks & NotSent)
        notes << LoadResString(4677).arg(firstLine(line.text));
    return notes.join(QStringLiteral("; "));
}

QString CommLog::lineText(const Line &line)
{
    const QString time = QDateTime::fromMSecsSinceEpoch(line.atMs).toString(
        QStringLiteral("yyyy-MM-dd HH:mm:ss.zzz"));
    const QString roundTrip =
        line.roundTripUs >= 0 ? QStringLiteral("%1 ms").arg(line.roundTripUs / 1000.0, 0, 'f', 1)
                              : QString();
    QString text = time + QStringLiteral("  ") + visible(line.command).leftJustified(16) +
                   QStringLiteral("  ") + visible(line.reply).leftJustified(24) +
                   QStringLiteral("  ") + roundTrip.leftJustified(10) + QStringLiteral("  ") +
                   notesText(line);
    while (text.endsWith(QLatin1Char(' ')))
        text.chop(1);
    return text;
}
