#pragma once

// The lost-module line of the status strip: after the port went away it says so, and once the
// same device is back it offers a button that connects again on that port (the Connect command,
// without the port dialog). Monitoring is not restarted by it.

#include <QTimer>
#include <QWidget>

class QLabel;
class QPushButton;

class ReconnectStrip : public QWidget
{
    Q_OBJECT
public:
    explicit ReconnectStrip(QWidget *parent = nullptr);

    QLabel *lblLinkLost;
    QPushButton *cmdReconnect;

    // How often the device is looked for while the module is lost.
    static constexpr int PollMs = 1000;

    // Looks at the lost link and its device now.
    void Refresh();

private:
    QTimer m_poll;
};
