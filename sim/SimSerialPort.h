#pragma once

// The simulated module as the program's serial port, in-process. Replies arrive through the event
// loop after the module's reply delay (never inside output()), so the program's wait path runs as
// it does on a real line.
//
// Installing it for a test:
//   auto module = InstallSimModule("VQ7_K6");   // every CommHost made from now on talks to it
//   module->setDeterministic(true);
//   ... CommOpen(), DataRead(...), or the windows that call them ...
// ResetProgramState() (tests/support) removes it again.

#include "link/SerialPort.h"

#include <memory>

class SimLine;
class SimModule;

class SimSerialPort : public SerialPort
{
    Q_OBJECT
public:
    explicit SimSerialPort(std::shared_ptr<SimModule> module, QObject *parent = nullptr);
    ~SimSerialPort() override;

    SimModule &module() const { return *m_module; }

    // Opens when a port number is chosen and the module is wired to it (SimModule::cablePort).
    bool open() override;
    void close() override;
    bool isOpen() const override;
    bool output(const QByteArray &text) override;
    qint64 inBufferCount() const override;
    QByteArray input() override;
    QString errorString() const override;
    // The module is there on the port number it is wired to.
    bool devicePresent(int portNumber) const override;

private:
    void onDropped();

    std::shared_ptr<SimModule> m_module;
    SimLine *m_line;
    QByteArray m_in;
    QString m_error;
    bool m_open = false;
};

// Makes every serial port created from now on (SetSerialPortFactory) a SimSerialPort on this
// module, and returns the module.
std::shared_ptr<SimModule> InstallSimModule(std::shared_ptr<SimModule> module);
// The same for a new module of a catalogue model.
std::shared_ptr<SimModule> InstallSimModule(const QString &model = QStringLiteral("VQ7_UT5"));
