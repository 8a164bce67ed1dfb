#pragma once

// After the port went away (a cable pulled, an adapter unplugged): the port number of the lost
// link is kept until a port opens again, so that the module can be reconnected on the same port,
// without asking, once its device is back.

#include <QObject>

#include <optional>

class LinkRecovery : public QObject
{
    Q_OBJECT
public:
    static LinkRecovery &Instance();

    // The port of the link went away.
    void noteLost(int portNumber);
    // A port opened again, or the program starts afresh.
    void clear();

    // The port number of the lost link, until a port opens again.
    std::optional<int> lostPort() const { return m_lost; }

    // The lost port, when its device is there again; nullopt otherwise.
    std::optional<int> portBack() const;

signals:
    void changed();

private:
    std::optional<int> m_lost;
};
