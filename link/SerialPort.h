#pragma once

// The serial port as the link layer uses it: fixed line settings, a port number, open and close,
// write a text, count and read the characters waiting. Implementations: QtSerialPort (hardware),
// MemorySerialPort (tests) and the module simulator's port.

#include <QByteArray>
#include <QObject>
#include <QString>

class SerialPort : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;
    ~SerialPort() override = default;

    // Line settings as "baud,parity,data bits,stop bits", for example "9600,n,8,1".
    void setSettings(const QString &settings) { m_settings = settings; }
    QString settings() const { return m_settings; }

    // 1 = COM1, 2 = COM2; 0 = none chosen.
    void setCommPort(int number) { m_commPort = number; }
    int commPort() const { return m_commPort; }

    // Opens with the settings and port number given; false with errorString() set on failure.
    virtual bool open() = 0;
    virtual void close() = 0;
    virtual bool isOpen() const = 0;

    // Writes the whole text; false with errorString() set on failure (for instance when closed).
    virtual bool output(const QByteArray &text) = 0;

    // Received characters waiting to be read.
    virtual qint64 inBufferCount() const = 0;

    // Every waiting character, removed from the receive buffer.
    virtual QByteArray input() = 0;

    // The description of the last failure.
    virtual QString errorString() const = 0;

    // The device behind the port number ("/dev/ttyUSB0"), as opened or as it would be opened.
    virtual QString deviceName() const;

    // Whether the device of a port number is there to be opened now (after it went away: whether
    // it is back).
    virtual bool devicePresent(int portNumber) const;

    // The device went away while open (cable pulled, adapter unplugged, peer gone): the port has
    // closed itself, errorString() says why, and portLost() was emitted. Cleared by a good open().
    bool lost() const { return m_lost; }

signals:
    void portLost();

protected:
    // For implementations: record the loss once and tell whoever listens.
    void markLost()
    {
        if (m_lost)
            return;
        m_lost = true;
        emit portLost();
    }
    void clearLost() { m_lost = false; }

private:
    bool m_lost = false;
    QString m_settings;
    int m_commPort = 0;
};

// Parsed line settings.
struct LineSettings
{
    int baud = 0;
    char parity = 'n'; // n, e, o, m, s
    int dataBits = 0;
    int stopBits = 0;
};

// Parses "9600,n,8,1"; false for a text of another shape.
bool ParseLineSettings(const QString &text, LineSettings &out);
