#include "app/frmCommPort.h"

#include "app/Forms.h"
#include "app/Modal.h"
#include "app/Resources.h"
#include "app/frmPortDevice.h"
#include "link/PortNames.h"
#include "model/Globals.h"

#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

frmCommPort::frmCommPort()
{
    setObjectName(QStringLiteral("frmCommPort"));
    setWindowTitle(QString());
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);

    Label1 = new QLabel(QStringLiteral("Communication Port"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    SetTag(Label1, 3001);

    Frame1 = new QGroupBox(this);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    auto *grid = new QGridLayout(Frame1);
    for (int i = 1; i <= 2; ++i) {
        m_option[i] = new QRadioButton(Frame1);
        m_option[i]->setObjectName(QStringLiteral("Option1_%1").arg(i));
        m_label2[i] = new QLabel(QStringLiteral("COM%1").arg(i), Frame1);
        m_label2[i]->setObjectName(QStringLiteral("Label2_%1").arg(i));
        m_label2[i]->installEventFilter(this); // a click on the name picks the port too
        m_device[i] = new QLabel(Frame1);
        m_device[i]->setObjectName(QStringLiteral("lblDevice_%1").arg(i));
        m_device[i]->setForegroundRole(QPalette::PlaceholderText); // it tells, it is no choice
        m_device[i]->installEventFilter(this);
        grid->addWidget(m_option[i], i - 1, 0);
        grid->addWidget(m_label2[i], i - 1, 1);
        grid->addWidget(m_device[i], i - 1, 2);
    }
    grid->setColumnStretch(2, 1);

    cmdDevice = new QPushButton(LoadResString(4620), this);
    cmdDevice->setObjectName(QStringLiteral("cmdDevice"));
    cmdDevice->setAutoDefault(false);
    connect(cmdDevice, &QPushButton::clicked, this, &frmCommPort::cmdDevice_Click);

    cmdOK = new QPushButton(QStringLiteral("OK"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setDefault(true);
    connect(cmdOK, &QPushButton::clicked, this, &frmCommPort::cmdOK_Click);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(Label1);
    layout->addWidget(Frame1);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(cmdDevice);
    buttons->addStretch(1);
    buttons->addWidget(cmdOK);
    buttons->addStretch(1);
    layout->addLayout(buttons);
    setMinimumWidth(220);

    // Load
    ApplyResCaptions(this);
    m_option[1]->setChecked(true);
    ShowDevices();
}

void frmCommPort::ShowDevices()
{
    for (int i = 1; i <= 2; ++i) {
        const PortDevice port = ResolvePort(i);
        QString text;
        switch (port.source) {
        case PortDevice::Source::Environment:
            text = LoadResString(4635).arg(port.device, PortVariable(i));
            break;
        case PortDevice::Source::Remembered:
            if (!port.found)
                text = LoadResString(4636).arg(AdapterText(*port.adapter));
            else if (port.present)
                text = PortEntryText(*port.present);
            else
                text = port.device;
            break;
        default:
            text = port.device;
            break;
        }
        m_device[i]->setText(text);
    }
}

void frmCommPort::cmdDevice_Click()
{
    const int current = m_option[2]->isChecked() ? 2 : 1;
    const int chosen = frmPortDevice::ChooseDevice(current);
    ShowDevices();
    if (chosen >= 1)
        m_option[chosen]->setChecked(true);
}

bool frmCommPort::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::MouseButtonRelease) {
        for (int i = 1; i <= 2; ++i) {
            if (watched == m_label2[i] || watched == m_device[i])
                m_option[i]->setChecked(true);
        }
    }
    return QDialog::eventFilter(watched, event);
}

void frmCommPort::cmdOK_Click()
{
    if (m_option[1]->isChecked())
        G.PortNumber = 1;
    else if (m_option[2]->isChecked())
        G.PortNumber = 2;
    m_chosen = true;
    accept();
}

bool frmCommPort::CommPort()
{
    auto &dialog = Forms::get<frmCommPort>();
    ShowModal(dialog);
    const bool chosen = dialog.m_chosen;
    Forms::unload<frmCommPort>();
    return chosen;
}
