#pragma once

#include "link/SerialPort.h"

#include <QSerialPort>

// The serial port on real hardware (and on pseudo-terminals), through QSerialPort.
class QtSerialPort : public SerialPort
{
    Q_OBJECT
public:
    explicit QtSerialPort(QObject *parent = nullptr);

    bool open() override;
    void close() override;
    bool isOpen() const override;
    bool output(const QByteArray &text) override;
    qint64 inBufferCount() const override;
    QByteArray input() override;
    QString errorString() const override;
    QString deviceName() const override;
    bool devicePresent(int portNumber) const override;

private:
    void onError(QSerialPort::SerialPortError error);
    bool applyLineSettings(const LineSettings &line);

    QSerialPort m_port;
    QString m_error;
    QString m_device; // the device of the last open
};
