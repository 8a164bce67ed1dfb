#pragma once

// The line between a transport and a simulated module. It collects the program's bytes into
// commands (a command ends with CR, however many writes it took), hands each command to the
// module, and delivers the reply through the event loop at the time a serial line would: after
// the module's reply delay and any delay fault, piece by piece for the chunk fault, and byte by
// byte at 9600 baud when the module is paced. Never synchronously inside receive().

#include <QByteArray>
#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

#include <deque>

class SimModule;

class SimLine : public QObject
{
    Q_OBJECT
public:
    // About 1.04 ms: one byte of 10 bits (start, 8 data, stop) at 9600 baud.
    static constexpr qint64 ByteNs = 10'000'000'000LL / 9600;

    explicit SimLine(SimModule &module, QObject *parent = nullptr);

    // Bytes from the program, in whatever pieces they come.
    void receive(const QByteArray &bytes);
    // Forgets a partial command and every reply not yet delivered (the line was closed).
    void reset();

signals:
    void deliver(const QByteArray &bytes); // bytes for the program
    void dropped();                        // the connection is gone (pulled cable)

private:
    struct Pending
    {
        qint64 dueNs;
        QByteArray bytes;
        bool drop = false;
    };
    void command(const QByteArray &text, qint64 receivedNs);
    void queue(Pending pending);
    void arm();
    void onTimer();
    // Sends the first pending piece; false when it was the line dropping.
    bool deliverFront();

    SimModule &m_module;
    QByteArray m_in;
    qint64 m_inFreeNs = 0;  // when the last byte from the program has fully arrived (paced)
    qint64 m_outFreeNs = 0; // when the reply line is free again
    std::deque<Pending> m_pending;
    QTimer m_timer;
    QElapsedTimer m_clock;
};
