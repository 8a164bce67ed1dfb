#include "link/MemorySerialPort.h"

#include <QTimer>

MemorySerialPort::MemorySerialPort(QObject *parent) : SerialPort(parent) {}

bool MemorySerialPort::open()
{
    if (!m_openFailure.isEmpty()) {
        m_error = m_openFailure;
        m_openFailure.clear();
        return false;
    }
    if (commPort() < 1) {
        m_error = QStringLiteral("No communication port was chosen.");
        return false;
    }
    m_open = true;
    m_error.clear();
    clearLost();
    ++m_openCount;
    m_openedPort = commPort();
    m_openedSettings = settings();
    return true;
}

void MemorySerialPort::close()
{
    m_open = false;
    m_error.clear();
    m_in.clear();
    ++m_generation;
}

bool MemorySerialPort::isOpen() const
{
    return m_open;
}

bool MemorySerialPort::output(const QByteArray &text)
{
    if (!m_open) {
        if (m_error.isEmpty())
            m_error = QStringLiteral("Port is not open.");
        return false;
    }
    m_written.append(text);
    if (!m_responder)
        return true;
    const QList<QByteArray> chunks = m_responder(text);
    int delay = 0;
    for (const QByteArray &chunk : chunks) {
        delay += m_delayMs;
        const quint64 generation = m_generation;
        QTimer::singleShot(delay, Qt::PreciseTimer, this, [this, chunk, generation] {
            if (m_open && generation == m_generation)
                m_in += chunk;
        });
    }
    return true;
}

qint64 MemorySerialPort::inBufferCount() const
{
    return m_open ? m_in.size() : 0;
}

QByteArray MemorySerialPort::input()
{
    QByteArray all;
    all.swap(m_in);
    return all;
}

QString MemorySerialPort::errorString() const
{
    return m_error;
}

void MemorySerialPort::drop(const QString &description)
{
    if (!m_open)
        return;
    m_error = description;
    m_open = false;
    m_in.clear();
    ++m_generation;
    markLost();
}
