#pragma once

// A link to a simulated module in the same process: the module installed as the serial port of
// every CommHost, a host set as CommForm, and CommOpen with the port dialog answered.

#include "app/frmCommPort.h"
#include "link/Communication.h"
#include "model/Globals.h"
#include "sim/SimModule.h"
#include "sim/SimSerialPort.h"
#include "tests/support/TestSupport.h"

#include <QPushButton>
#include <QRadioButton>

#include <memory>

// The commands the module received, in order, without their CR.
inline QStringList CommandsOf(const SimModule &module)
{
    QStringList list;
    for (const SimExchange &e : module.transcript())
        list << QString::fromLatin1(e.command);
    return list;
}

class SimFixture
{
public:
    // replyTimeoutMs shortens the reply timer so that time-out tests stay quick.
    explicit SimFixture(const QString &model = QStringLiteral("VQ7_UT5"), int replyTimeoutMs = 2000)
    {
        ResetProgramState();
        module = InstallSimModule(model);
        module->setDeterministic(true);
        host = std::make_unique<CommHost>();
        host->Timer1().setInterval(replyTimeoutMs);
        G.CommForm = host.get();
    }
    ~SimFixture()
    {
        G.CommForm = nullptr;
        host.reset();
        SetSerialPortFactory({});
    }

    // CommOpen, answering the port dialog with the port given; true when the link is up.
    bool open(int port = 1)
    {
        ModalAnswerer answerer;
        answerer.expect<frmCommPort>([port](frmCommPort &dialog) {
            dialog.Option1(port)->setChecked(true);
            dialog.cmdOK->click();
        });
        CommOpen();
        return G.LinkUp;
    }

    std::shared_ptr<SimModule> module;
    std::unique_ptr<CommHost> host;
};
