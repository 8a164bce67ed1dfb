#include "app/frmPortDevice.h"

#include "app/Forms.h"
#include "app/Modal.h"
#include "app/Resources.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {
enum Column
{
    DeviceColumn,
    DescriptionColumn,
    MakerColumn,
    SerialColumn,
    UsbColumn,
    Columns
};

QString usbId(const PortEntry &port)
{
    if (port.vendorId == 0 && port.productId == 0)
        return {};
    return QStringLiteral("%1:%2")
        .arg(port.vendorId, 4, 16, QLatin1Char('0'))
        .arg(port.productId, 4, 16, QLatin1Char('0'));
}
} // namespace

frmPortDevice::frmPortDevice()
{
    setObjectName(QStringLiteral("frmPortDevice"));
    setWindowTitle(LoadResString(4621));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);

    lblPorts = new QLabel(LoadResString(4622), this);
    lblPorts->setObjectName(QStringLiteral("lblPorts"));

    lstPorts = new QTreeWidget(this);
    lstPorts->setObjectName(QStringLiteral("lstPorts"));
    lstPorts->setAccessibleName(LoadResString(4622));
    lstPorts->setRootIsDecorated(false);
    lstPorts->setAllColumnsShowFocus(true);
    lstPorts->setUniformRowHeights(true);
    lstPorts->setHeaderLabels({LoadResString(4623), LoadResString(4624), LoadResString(4625),
                               LoadResString(4626), LoadResString(4627)});
    lstPorts->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    lblPorts->setBuddy(lstPorts);
    connect(lstPorts, &QTreeWidget::itemSelectionChanged, this, &frmPortDevice::selectionChanged);
    connect(lstPorts, &QTreeWidget::itemDoubleClicked, this, &frmPortDevice::cmdOK_Click);

    lblEmpty = new QLabel(LoadResString(4633), this);
    lblEmpty->setObjectName(QStringLiteral("lblEmpty"));
    lblEmpty->setWordWrap(true);

    lblTarget = new QLabel(LoadResString(4628), this);
    lblTarget->setObjectName(QStringLiteral("lblTarget"));
    auto *targetRow = new QHBoxLayout;
    targetRow->addWidget(lblTarget);
    for (int i = 1; i <= 2; ++i) {
        m_target[std::size_t(i)] = new QRadioButton(QStringLiteral("COM%1").arg(i), this);
        m_target[std::size_t(i)]->setObjectName(QStringLiteral("optTarget_%1").arg(i));
        connect(m_target[std::size_t(i)], &QRadioButton::toggled, this, [this](bool on) {
            if (on)
                showTarget();
        });
        targetRow->addWidget(m_target[std::size_t(i)]);
    }
    targetRow->addStretch(1);

    lblEnvironment = new QLabel(this);
    lblEnvironment->setObjectName(QStringLiteral("lblEnvironment"));
    lblEnvironment->setWordWrap(true);

    cmdRefresh = new QPushButton(LoadResString(4629), this);
    cmdRefresh->setObjectName(QStringLiteral("cmdRefresh"));
    cmdRefresh->setAutoDefault(false);
    connect(cmdRefresh, &QPushButton::clicked, this, &frmPortDevice::cmdRefresh_Click);
    cmdStandard = new QPushButton(LoadResString(4630), this);
    cmdStandard->setObjectName(QStringLiteral("cmdStandard"));
    cmdStandard->setAutoDefault(false);
    connect(cmdStandard, &QPushButton::clicked, this, &frmPortDevice::cmdStandard_Click);
    cmdOK = new QPushButton(LoadResString(4631), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setDefault(true);
    connect(cmdOK, &QPushButton::clicked, this, &frmPortDevice::cmdOK_Click);
    cmdCancel = new QPushButton(LoadResString(4632), this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    cmdCancel->setAutoDefault(false);
    connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(cmdRefresh);
    buttons->addWidget(cmdStandard);
    buttons->addStretch(1);
    buttons->addWidget(cmdOK);
    buttons->addWidget(cmdCancel);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(lblPorts);
    layout->addWidget(lstPorts, 1);
    layout->addWidget(lblEmpty);
    layout->addLayout(targetRow);
    layout->addWidget(lblEnvironment);
    layout->addLayout(buttons);
    resize(640, 300);
}

int frmPortDevice::ChooseDevice(int portNumber)
{
    auto &dialog = Forms::get<frmPortDevice>();
    dialog.prepare(portNumber);
    ShowModal(dialog);
    const int assigned = dialog.m_assigned;
    Forms::unload<frmPortDevice>();
    return assigned;
}

void frmPortDevice::prepare(int portNumber)
{
    m_target[portNumber == 2 ? 2 : 1]->setChecked(true);
    cmdRefresh_Click();
}

int frmPortDevice::target() const
{
    return m_target[2]->isChecked() ? 2 : 1;
}

void frmPortDevice::cmdRefresh_Click()
{
    m_ports = PresentPorts();
    lstPorts->clear();
    for (const PortEntry &port : m_ports) {
        auto *row = new QTreeWidgetItem(lstPorts);
        row->setText(DeviceColumn, port.device);
        row->setText(DescriptionColumn, port.description);
        row->setText(MakerColumn, port.maker);
        row->setText(SerialColumn, port.serialNumber);
        row->setText(UsbColumn, usbId(port));
    }
    lblEmpty->setVisible(m_ports.isEmpty());
    showTarget();
}

// Selects the device the target port stands for now, and says when the environment decides.
void frmPortDevice::showTarget()
{
    const int port = target();
    const PortDevice device = ResolvePort(port);
    lstPorts->clearSelection();
    lstPorts->setCurrentItem(nullptr); // no row looks chosen when none is
    for (int i = 0; i < m_ports.size(); ++i) {
        const bool current = device.adapter && device.found
                                 ? device.present && m_ports[i].device == device.present->device
                                 : m_ports[i].device == device.device;
        if (current)
            lstPorts->setCurrentItem(lstPorts->topLevelItem(i));
    }
    const bool fromEnvironment = device.source == PortDevice::Source::Environment;
    lblEnvironment->setVisible(fromEnvironment);
    if (fromEnvironment)
        lblEnvironment->setText(LoadResString(4634).arg(
            PortVariable(port), QStringLiteral("COM%1").arg(port), device.device));
    cmdStandard->setEnabled(device.source == PortDevice::Source::Remembered);
    cmdStandard->setToolTip(
        LoadResString(4637).arg(QStringLiteral("COM%1").arg(port), StandardPortDevice(port)));
    selectionChanged();
}

void frmPortDevice::selectionChanged()
{
    cmdOK->setEnabled(!lstPorts->selectedItems().isEmpty());
}

void frmPortDevice::cmdOK_Click()
{
    const QList<QTreeWidgetItem *> selected = lstPorts->selectedItems();
    if (selected.isEmpty())
        return;
    const int row = lstPorts->indexOfTopLevelItem(selected.first());
    if (row < 0 || row >= m_ports.size())
        return;
    RememberAdapter(target(), m_ports[row]);
    m_assigned = target();
    accept();
}

void frmPortDevice::cmdStandard_Click()
{
    ForgetAdapter(target());
    m_assigned = target();
    accept();
}
