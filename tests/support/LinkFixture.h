#pragma once

// A serial link on an in-memory port, for tests of the link and the item protocol: a CommHost
// whose port is a MemorySerialPort, set as CommForm, with the port open on COM1.

#include "link/Communication.h"
#include "link/MemorySerialPort.h"
#include "model/Globals.h"
#include "tests/support/TestSupport.h"

#include <QByteArrayList>
#include <memory>

class LinkFixture
{
public:
    // replyTimeoutMs shortens the reply timer so that time-out tests stay quick.
    explicit LinkFixture(int replyTimeoutMs = 2000)
    {
        ResetProgramState();
        SetSerialPortFactory([this] {
            auto port = std::make_unique<MemorySerialPort>();
            this->port = port.get();
            return port;
        });
        host = std::make_unique<CommHost>();
        host->Timer1().setInterval(replyTimeoutMs);
        G.CommForm = host.get();
    }
    ~LinkFixture()
    {
        G.CommForm = nullptr;
        SetSerialPortFactory({});
    }

    void openPort(int number = 1)
    {
        port->setSettings(LineSettingsText);
        port->setCommPort(number);
        port->open();
    }

    // Answers the written texts in order with the given replies, one reply per write; a reply
    // may be split into chunks with "|" ("D23|45\r"); an empty entry means silence.
    void replyInOrder(const QByteArrayList &replies)
    {
        auto queue = std::make_shared<QByteArrayList>(replies);
        port->setResponder([queue](const QByteArray &) -> QList<QByteArray> {
            if (queue->isEmpty())
                return {};
            const QByteArray next = queue->takeFirst();
            if (next.isEmpty())
                return {};
            return next.split('|');
        });
    }

    MemorySerialPort *port = nullptr;
    std::unique_ptr<CommHost> host;
};
