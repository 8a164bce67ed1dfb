#pragma once

#include "link/SerialPort.h"

#include <QList>

#include <functional>

// A serial port in memory, for tests. What the program writes is recorded; what the "module"
// sends is either fed by the test or produced by a responder, and arrives through the event loop
// after a delay, never inside output(), so the program's wait path runs as it does on a real line.
class MemorySerialPort : public SerialPort
{
    Q_OBJECT
public:
    explicit MemorySerialPort(QObject *parent = nullptr);

    bool open() override;
    void close() override;
    bool isOpen() const override;
    bool output(const QByteArray &text) override;
    qint64 inBufferCount() const override;
    QByteArray input() override;
    QString errorString() const override;
    bool devicePresent(int portNumber) const override { return portNumber >= 1 && m_present; }

    // --- test side ---
    // Called with every text the program writes; returns the chunks to send back (may be empty).
    using Responder = std::function<QList<QByteArray>(const QByteArray &written)>;
    void setResponder(Responder responder) { m_responder = std::move(responder); }
    // Delay before each chunk of a reply arrives (default 1 ms).
    void setReplyDelay(int ms) { m_delayMs = ms; }
    // Puts characters into the receive buffer at once.
    void feed(const QByteArray &chunk) { m_in += chunk; }
    // Makes the next open() fail with this description.
    void failNextOpen(const QString &description) { m_openFailure = description; }
    // The peer goes away: the port closes with this description.
    void drop(const QString &description);
    // Whether the device is there to be opened (false: unplugged; open() still works).
    void setDevicePresent(bool present) { m_present = present; }

    // Every text written, in order.
    const QList<QByteArray> &written() const { return m_written; }
    QByteArray writtenJoined() const { return m_written.join(); }
    void clearWritten() { m_written.clear(); }
    int openCount() const { return m_openCount; }
    // The port number and settings in force at the last successful open().
    int openedCommPort() const { return m_openedPort; }
    QString openedSettings() const { return m_openedSettings; }

private:
    Responder m_responder;
    QByteArray m_in;
    QList<QByteArray> m_written;
    QString m_error;
    QString m_openFailure;
    QString m_openedSettings;
    int m_delayMs = 1;
    int m_openCount = 0;
    int m_openedPort = 0;
    bool m_open = false;
    bool m_present = true;
    quint64 m_generation = 0; // replies of an earlier connection never arrive
};
