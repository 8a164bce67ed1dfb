#pragma once

// What went over the line, for whoever keeps a record of it (the communication log). The link
// tells one observer about every exchange and about the port opening, closing and going away; with
// no observer set it tells nobody and builds nothing.

#include <QByteArray>
#include <QString>
#include <QtGlobal>

struct LinkRecord
{
    enum class Kind : quint8
    {
        Exchange,   // one command and its reply
        Opened,     // text: the port ("COM1 (/dev/ttyUSB0)")
        OpenFailed, // text: the port's failure description
        Closed,     // text: the port
        Lost,       // text: the port's description of the loss
    };
    enum Flag : quint16
    {
        TimedOut = 1 << 0,       // no complete reply within the reply time-out
        Retry = 1 << 1,          // the exchange repeats one that failed
        PortError = 1 << 2,      // the port failed during the exchange (text says how)
        NotSent = 1 << 3,        // refused before it reached the line (text says why)
        NoReplyAwaited = 1 << 4, // a data command the module does not answer
        Abandoned = 1 << 5,      // the command was ended before its reply came
    };

    Kind kind = Kind::Exchange;
    quint16 flags = 0;
    qint64 atMs = 0;         // wall clock (ms since the epoch) when the command went out
    qint32 roundTripUs = -1; // command written to the reply's last byte; -1: none
    QByteArray command;      // as written, CR included
    QByteArray reply;        // every byte received for it, in order
    QByteArray stale;        // bytes waiting before the command, thrown away
    QString text;
};

class LinkObserver
{
public:
    virtual ~LinkObserver() = default;
    virtual void linkRecord(const LinkRecord &record) = 0;
};

// The one observer; nullptr: none.
void SetLinkObserver(LinkObserver *observer);
LinkObserver *CurrentLinkObserver();

// Hands a record to the observer, if there is one.
void TellLinkObserver(const LinkRecord &record);

// The next exchange repeats one that failed (the group select's further tries).
void NoteRetry();
// Whether the exchange being recorded is such a repeat; the note is used up.
bool TakeRetryNote();
