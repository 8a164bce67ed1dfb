#pragma once

// The serial link: one port, opened with fixed line settings on the port the user picks, one
// command/reply exchange at a time under a 2000 ms reply time-out.

#include "link/SerialPort.h"

#include <QString>
#include <QTimer>

#include <functional>
#include <memory>

inline const QString LineSettingsText = QStringLiteral("9600,n,8,1");
inline constexpr int ReplyTimeoutMs = 2000;

// The owner of the serial port control and the reply timer: the main window, or in tests a host
// of its own. The program-wide CommForm points at it.
class CommHost
{
public:
    CommHost();
    virtual ~CommHost();
    CommHost(const CommHost &) = delete;
    CommHost &operator=(const CommHost &) = delete;

    SerialPort &MSComm1() { return *m_port; }
    QTimer &Timer1() { return m_timer; }

    // The reply timer's tick: switches the timer off and records the time-out.
    void Timer1_Timer();

private:
    std::unique_ptr<SerialPort> m_port;
    QTimer m_timer;
};

// Test seam: makes the serial port of every CommHost created afterwards. Empty: the hardware port.
using SerialPortFactory = std::function<std::unique_ptr<SerialPort>()>;
void SetSerialPortFactory(SerialPortFactory factory);

// Opens the link if needed (asking for the port when the module has not answered yet) and enters
// group 1. Afterwards LinkUp tells whether the module answered.
void CommOpen();

// Closes the port and resets the link state.
void CommClose();

// One exchange: writes the command and collects the reply until a chunk ends with CR or the reply
// time-out passes. Returns the raw reply; empty after a port failure (TimeoutFlag is then set).
// Characters that arrived before the command are discarded, and an exchange asked for while
// another waits for its reply is refused: one command on the line at a time.
QString SendReceive(const QString &command);

// How many received bytes were thrown away because they came before their command.
quint64 DiscardedInputBytes();

// True when every character is printable ASCII (space to tilde): text the module can take.
bool IsPlainText(const QString &text);
