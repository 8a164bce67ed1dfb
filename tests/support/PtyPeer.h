#pragma once

// The far end of a pseudo-terminal, answering in the same process through the event loop: lets a
// test drive the real QSerialPort path without a module.

#include <QByteArray>
#include <QObject>
#include <QString>

#include <functional>

class QSocketNotifier;

class PtyPeer : public QObject
{
    Q_OBJECT
public:
    // Returns the reply to a complete command (CR included); an empty reply means silence.
    using Answer = std::function<QByteArray(const QByteArray &command)>;

    explicit PtyPeer(Answer answer, int replyDelayMs = 5, QObject *parent = nullptr);
    ~PtyPeer() override;

    bool isValid() const { return m_master >= 0; }
    QString devicePath() const { return m_path; } // the end the program opens
    // The peer goes away, as a module unplugged: the master end closes.
    void hangUp();
    QByteArray received() const { return m_received; }

private:
    void onReadable();

    Answer m_answer;
    int m_delayMs;
    int m_master = -1;
    int m_slave = -1; // kept open so the device stays usable between opens
    QString m_path;
    QSocketNotifier *m_notifier = nullptr;
    QByteArray m_pending;
    QByteArray m_received;
};
