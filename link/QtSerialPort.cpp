#include "link/QtSerialPort.h"

#include "link/PortFailure.h"
#include "link/PortNames.h"

QtSerialPort::QtSerialPort(QObject *parent) : SerialPort(parent)
{
    connect(&m_port, &QSerialPort::errorOccurred, this, &QtSerialPort::onError);
}

void QtSerialPort::onError(QSerialPort::SerialPortError error)
{
    switch (error) {
    case QSerialPort::NoError:
    case QSerialPort::UnsupportedOperationError: // modem lines on a pseudo-terminal
    case QSerialPort::TimeoutError:
        return;
    case QSerialPort::ReadError:
    case QSerialPort::ResourceError:
        // The device went away (cable pulled, peer exited). QSerialPort stays open and its
        // notifier fires without end; close it so that waits end instead of spinning.
        if (!m_port.isOpen())
            return;
        m_error = QStringLiteral("%1: the port is no longer available (%2)")
                      .arg(PortLabel(commPort(), m_device), m_port.errorString());
        m_port.close();
        markLost();
        return;
    default:
        m_error = QStringLiteral("%1: %2").arg(m_port.portName(), m_port.errorString());
        return;
    }
}

bool QtSerialPort::open()
{
    if (commPort() < 1) {
        m_error = QStringLiteral("No communication port was chosen.");
        return false;
    }
    LineSettings line;
    if (!ParseLineSettings(settings(), line)) {
        m_error = QStringLiteral("Invalid port settings \"%1\".").arg(settings());
        return false;
    }
    const PortDevice resolved = ResolvePort(commPort());
    m_device = resolved.device;
    const QString port = PortLabel(commPort(), m_device);
    m_port.setPortName(m_device);
    if (!m_port.open(QIODevice::ReadWrite)) {
        const PortFailure failure =
            DiagnosePortFailure(m_device, m_port.error() == QSerialPort::PermissionError);
        m_error = failure.kind == PortFailure::Kind::NotSerial
                      ? QStringLiteral("%1: not a serial port").arg(port)
                      : QStringLiteral("%1 cannot be opened: %2").arg(port, m_port.errorString());
        const QString advice = PortFailureAdvice(commPort(), resolved, failure);
        if (!advice.isEmpty())
            m_error += QStringLiteral("\n\n") + advice;
        return false;
    }
    // A pseudo-terminal takes 9600,n,8,1 (it refuses parity and other character sizes, and the
    // modem-line calls, which are not made here). A port that refuses the line is of no use.
    if (!applyLineSettings(line)) {
        m_error = QStringLiteral("%1: the line settings %2 were refused: %3")
                      .arg(port, settings(), m_port.errorString());
        m_port.close();
        return false;
    }
    m_port.clearError();
    m_error.clear();
    clearLost();
    return true;
}

bool QtSerialPort::applyLineSettings(const LineSettings &line)
{
    const auto parity = [&] {
        switch (line.parity) {
        case 'e':
            return QSerialPort::EvenParity;
        case 'o':
            return QSerialPort::OddParity;
        case 'm':
            return QSerialPort::MarkParity;
        case 's':
            return QSerialPort::SpaceParity;
        default:
            return QSerialPort::NoParity;
        }
    }();
    return m_port.setBaudRate(line.baud) && m_port.setParity(parity) &&
           m_port.setDataBits(static_cast<QSerialPort::DataBits>(line.dataBits)) &&
           m_port.setStopBits(line.stopBits == 2 ? QSerialPort::TwoStop : QSerialPort::OneStop);
}

void QtSerialPort::close()
{
    if (m_port.isOpen())
        m_port.close();
    m_error.clear();
}

bool QtSerialPort::isOpen() const
{
    return m_port.isOpen();
}

bool QtSerialPort::output(const QByteArray &text)
{
    if (!m_port.isOpen()) {
        if (m_error.isEmpty())
            m_error = QStringLiteral("Port is not open.");
        return false;
    }
    if (m_port.write(text) != text.size()) {
        m_error = QStringLiteral("%1: %2").arg(m_port.portName(), m_port.errorString());
        return false;
    }
    // Hand the text to the device now rather than at the next pass of the event loop.
    m_port.flush();
    return true;
}

qint64 QtSerialPort::inBufferCount() const
{
    return m_port.isOpen() ? m_port.bytesAvailable() : 0;
}

QByteArray QtSerialPort::input()
{
    return m_port.isOpen() ? m_port.readAll() : QByteArray();
}

QString QtSerialPort::errorString() const
{
    return m_error;
}

QString QtSerialPort::deviceName() const
{
    return m_device.isEmpty() ? SerialPort::deviceName() : m_device;
}

bool QtSerialPort::devicePresent(int portNumber) const
{
    return PortDevicePresent(portNumber);
}
