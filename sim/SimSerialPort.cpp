#include "sim/SimSerialPort.h"

#include "link/Communication.h"
#include "sim/SimLine.h"
#include "sim/SimModule.h"

SimSerialPort::SimSerialPort(std::shared_ptr<SimModule> module, QObject *parent)
    : SerialPort(parent), m_module(std::move(module)), m_line(new SimLine(*m_module, this))
{
    connect(m_line, &SimLine::deliver, this, [this](const QByteArray &bytes) {
        if (m_open)
            m_in += bytes;
    });
    connect(m_line, &SimLine::dropped, this, &SimSerialPort::onDropped);
}

SimSerialPort::~SimSerialPort() = default;

bool SimSerialPort::open()
{
    if (commPort() < 1) {
        m_error = QStringLiteral("No communication port was chosen.");
        return false;
    }
    if (m_module->cablePort() != 0 && m_module->cablePort() != commPort()) {
        m_error = QStringLiteral("COM%1 cannot be opened: No such file or directory").arg(commPort());
        return false;
    }
    m_line->reset();
    m_in.clear();
    m_error.clear();
    m_open = true;
    clearLost();
    return true;
}

void SimSerialPort::close()
{
    m_open = false;
    m_line->reset();
    m_in.clear();
    m_error.clear();
}

bool SimSerialPort::isOpen() const
{
    return m_open;
}

bool SimSerialPort::output(const QByteArray &text)
{
    if (!m_open) {
        if (m_error.isEmpty())
            m_error = QStringLiteral("Port is not open.");
        return false;
    }
    m_line->receive(text);
    return true;
}

qint64 SimSerialPort::inBufferCount() const
{
    return m_open ? m_in.size() : 0;
}

QByteArray SimSerialPort::input()
{
    QByteArray all;
    all.swap(m_in);
    return all;
}

QString SimSerialPort::errorString() const
{
    return m_error;
}

bool SimSerialPort::devicePresent(int portNumber) const
{
    return portNumber >= 1 && (m_module->cablePort() == 0 || m_module->cablePort() == portNumber);
}

// As the hardware port reports a USB adapter pulled out: closed, with the reason.
void SimSerialPort::onDropped()
{
    if (!m_open)
        return;
    m_open = false;
    m_in.clear();
    m_error = QStringLiteral("COM%1: the port is no longer available (Input/output error)")
                  .arg(commPort());
    markLost();
}

std::shared_ptr<SimModule> InstallSimModule(std::shared_ptr<SimModule> module)
{
    SetSerialPortFactory([module] { return std::make_unique<SimSerialPort>(module); });
    return module;
}

std::shared_ptr<SimModule> InstallSimModule(const QString &model)
{
    return InstallSimModule(std::make_shared<SimModule>(model));
}
