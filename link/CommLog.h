#pragma once

// The communication log: the last 50 000 exchanges with the module and the port's openings,
// closings and losses, with counters of what went wrong. It is the link's observer while it
// records; a line costs a copy into a ring allocated once, so a week of monitoring keeps a flat
// footprint and the monitoring loop does not notice it.

#include "link/LinkObserver.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>

#include <bitset>
#include <vector>

class CommLog : public LinkObserver
{
public:
    static constexpr int Capacity = 50000;

    static CommLog &Instance();

    enum class Kind : quint8
    {
        Exchange,
        Opened,
        OpenFailed,
        Closed,
        Lost,
        Paused,
        Resumed
    };

    // How a line is marked: the link's flags (LinkRecord::Flag) and what the log finds itself.
    enum Mark : quint16
    {
        TimedOut = LinkRecord::TimedOut,
        Retry = LinkRecord::Retry,
        PortError = LinkRecord::PortError,
        NotSent = LinkRecord::NotSent,
        NoReplyAwaited = LinkRecord::NoReplyAwaited,
        Abandoned = LinkRecord::Abandoned,
        Refused = 1 << 8, // the module answered "illegal OPE" or "invalid data"
        Invalid = 1 << 9, // a reply that is no "D ... CR" of printable characters
        Stale = 1 << 10,  // bytes waiting before the command were thrown away
    };

    // Item of a line: the item selected when its command went (I and D commands), or one of these.
    static constexpr qint16 NoItem = -1;      // port events, a D command with no item selected
    static constexpr qint16 GroupSelect = -2; // G commands

    struct Line
    {
        qint64 seq = -1;
        Kind kind = Kind::Exchange;
        quint16 marks = 0;
        qint16 item = NoItem;
        qint64 atMs = 0;
        qint32 roundTripUs = -1;
        qint32 staleCount = 0;
        QByteArray command;
        QByteArray reply;
        QByteArray stale;
        QString text;
    };

    struct Counters
    {
        qint64 exchanges = 0;
        qint64 timeouts = 0;
        qint64 refusals = 0;
        qint64 retries = 0;
        qint64 staleBytes = 0;
        qint64 portErrors = 0;
        qint64 invalid = 0;
        qint64 notSent = 0;
    };

    // On: the link's observer, every exchange is kept. Off (paused): the link tells nobody. A
    // line says when the log was paused and resumed.
    void setRecording(bool on);
    bool recording() const { return m_recording; }

    // Empties the log and its counters.
    void clear();
    // Not recording, empty, as at start (for tests).
    void reset();

    // The lines kept are seq firstSeq() .. endSeq() - 1; seq counts every line ever added.
    qint64 firstSeq() const { return m_first; }
    qint64 endSeq() const { return m_end; }
    // Changes whenever the log is emptied.
    quint64 generation() const { return m_generation; }

    Line line(qint64 seq) const;
    qint16 itemOf(qint64 seq) const;
    Kind kindOf(qint64 seq) const;
    const Counters &counters() const { return m_counters; }
    // Lines whose long texts are kept beside the ring (bounded by the ring, like the lines).
    qsizetype sideEntries() const { return m_extra.size(); }
    // Item numbers that occur in the log, in order.
    QList<qint16> items() const;

    // The marks of a line in words ("time-out, retry"), and port texts; empty for a plain line.
    static QString notesText(const Line &line);
    // Bytes as the user may see them: CR as <CR>, other control and non-ASCII bytes as codes.
    static QString visible(const QByteArray &bytes);
    // A line as saved to a text file: date and time, command, reply, round trip, notes.
    static QString lineText(const Line &line);

    void linkRecord(const LinkRecord &record) override;

private:
    CommLog() = default;

    // One line in the ring: fixed size, no allocation for the usual short command and reply.
    struct Slot
    {
        qint64 seq;
        qint64 atMs;
        qint32 roundTripUs;
        qint32 staleCount;
        qint16 item;
        quint16 marks;
        Kind kind;
        quint8 commandLength; // 0xFF: kept in m_extra
        quint8 replyLength;   // 0xFF: kept in m_extra
        bool extra;           // stale bytes, a text or a long command or reply in m_extra
        char command[20];
        char reply[44];
    };
    struct Extra
    {
        QByteArray command;
        QByteArray reply;
        QByteArray stale;
        QString text;
    };

    void add(Kind kind, const LinkRecord &record);
    const Slot *slotOf(qint64 seq) const;
    qint16 itemFor(const QByteArray &command);
    void count(const Slot &slot);

    std::vector<Slot> m_ring; // Capacity slots once recording has begun
    QHash<qint64, Extra> m_extra;
    qint64 m_first = 0;
    qint64 m_end = 0;
    quint64 m_generation = 0;
    Counters m_counters;
    std::bitset<1000> m_items;
    qint16 m_selected = NoItem;      // the item the last I command selected
    bool m_lastWasPortError = false; // a loss right after a failed exchange is the same failure
    bool m_recording = false;
    bool m_everRecorded = false;
};
