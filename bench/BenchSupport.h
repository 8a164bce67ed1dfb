#pragma once

// Pieces the benchmark programs share: a serial port that counts what passes, the simulator on a
// pseudo-terminal, the plainest possible client for the same commands, processor time and
// resident memory.

#include "link/QtSerialPort.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QList>
#include <QProcess>
#include <QStringList>

// The real port, counting the bytes that pass and (while `recording`) the commands written.
class CountingPort : public SerialPort
{
public:
    bool open() override;
    void close() override { m_port.close(); }
    bool isOpen() const override { return m_port.isOpen(); }
    bool output(const QByteArray &text) override;
    qint64 inBufferCount() const override { return m_port.inBufferCount(); }
    QByteArray input() override;
    QString errorString() const override { return m_port.errorString(); }

    static void resetCounts();
    // Seconds the counted bytes take on a 9600-baud line at 10 bits a byte.
    static double wireSeconds() { return double(bytes) * 10.0 / 9600.0; }

    static inline qint64 bytes = 0;
    static inline qint64 programNs = 0;     // from a reply's CR to the next command
    static inline qint64 exchangeNs = 0;    // from a command to its reply's CR
    static inline qint64 exchangeBytes = 0; // bytes of those exchanges, both ways
    static inline qint64 exchanges = 0;
    static inline qint64 lastReplyNs = 0, sentNs = 0, sentBytes = 0, replyBytes = 0;
    static inline QElapsedTimer clock;
    static inline bool recording = false;
    static inline QList<QByteArray> commands;

private:
    QtSerialPort m_port;
};

// The program's processor time so far, user and system.
double CpuSeconds();
// Resident memory of the program now.
long ResidentKiB();

// `tarvik-sim` beside the benchmark in the build folder, or TARVIK_SIM.
QString SimulatorPath();

// A running simulator on a pseudo-terminal with no turnaround time of its own; its device
// becomes COM1.
struct Simulator
{
    QProcess process;
    bool start(const QString &model, bool paced, const QStringList &more = {});
    ~Simulator();
};

// The same commands sent by the plainest client there is: blocking writes and reads on the
// device, no event loop. What it takes is what the simulated line itself costs on this machine.
// A command written with no reply expected is not in the list. -1 when the device does not open.
double PlainClientSeconds(const QByteArray &device, const QList<QByteArray> &commands);
