#pragma once

// A simulated module on a pseudo-terminal: the program (or anything else that opens the device,
// through its path or a symlink) talks to it as to a module on a serial line. The device stays
// usable across the program's disconnects and reconnects. A drop fault hangs the line up; the
// module comes back on a fresh device a moment later, and the symlink is moved to it.

#include <QObject>
#include <QString>
#include <QTimer>

class QSocketNotifier;
class SimLine;
class SimModule;

class PtyServer : public QObject
{
    Q_OBJECT
public:
    explicit PtyServer(SimModule &module, QObject *parent = nullptr);
    ~PtyServer() override;

    // Opens the pseudo-terminal, raw (no echo, no CR/NL translation); false with *error set.
    bool open(QString *error = nullptr);
    // Closes the device and removes the symlink if there is one.
    void close();
    bool isOpen() const { return m_master >= 0; }
    QString devicePath() const { return m_path; }

    // Keeps a symlink at path pointing at the device (an existing symlink there is replaced).
    bool setLink(const QString &path, QString *error = nullptr);
    QString linkPath() const { return m_link; }

    // Whether a program holds the device open.
    bool peerPresent() const { return m_peer; }

    // How long the line stays down after a drop before a new device appears (default 500 ms).
    void setRedialMs(int ms) { m_redialMs = ms; }

signals:
    void peerChanged(bool present);
    void deviceChanged(const QString &path); // a new device after a drop

private:
    bool openDevice(QString *error);
    void closeDevice();
    bool pointLink(QString *error);
    void onReadable();
    void onPoll();
    void onDeliver(const QByteArray &bytes);
    void onDropped();
    void setPeer(bool present);

    SimModule &m_module;
    SimLine *m_line;
    int m_master = -1;
    QString m_path;
    QString m_link;
    QSocketNotifier *m_notifier = nullptr;
    QTimer m_poll; // watches for a program to open the device while none has it
    bool m_peer = false;
    int m_redialMs = 500;
    bool m_stopped = false; // closed for good: no redial after a drop
};
