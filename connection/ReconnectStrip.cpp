#include "connection/ReconnectStrip.h"

#include "app/Resources.h"
#include "link/Communication.h"
#include "link/LinkRecovery.h"
#include "link/PortNames.h"
#include "model/Globals.h"

#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

ReconnectStrip::ReconnectStrip(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("ReconnectStrip"));
    lblLinkLost = new QLabel(LoadResString(4640), this);
    lblLinkLost->setObjectName(QStringLiteral("lblLinkLost"));
    lblLinkLost->setWordWrap(true);
    QPalette warning = lblLinkLost->palette();
    warning.setColor(QPalette::WindowText, QColor(176, 0, 0));
    lblLinkLost->setPalette(warning);
    QFont bold = lblLinkLost->font();
    bold.setBold(true);
    lblLinkLost->setFont(bold);

    cmdReconnect = new QPushButton(this);
    cmdReconnect->setObjectName(QStringLiteral("cmdReconnect"));

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 4, 0, 4);
    layout->addWidget(lblLinkLost);
    layout->addWidget(cmdReconnect, 0, Qt::AlignLeft);

    m_poll.setInterval(PollMs);
    connect(&m_poll, &QTimer::timeout, this, &ReconnectStrip::Refresh);
    connect(&LinkRecovery::Instance(), &LinkRecovery::changed, this, &ReconnectStrip::Refresh);
    Refresh();
}

void ReconnectStrip::Refresh()
{
    const auto lost = LinkRecovery::Instance().lostPort();
    setVisible(lost.has_value());
    if (!lost) {
        m_poll.stop();
        return;
    }
    if (!m_poll.isActive())
        m_poll.start();
    const auto back = LinkRecovery::Instance().portBack();
    if (back) {
        const QString port = QStringLiteral("COM%1").arg(*back);
        cmdReconnect->setText(LoadResString(4641).arg(port));
        cmdReconnect->setToolTip(LoadResString(4642).arg(port, PortDeviceName(*back)));
        cmdReconnect->setAccessibleName(cmdReconnect->text());
    }
    cmdReconnect->setVisible(back.has_value());
}
