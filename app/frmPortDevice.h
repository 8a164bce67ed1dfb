#pragma once

#include "link/PortNames.h"

#include <QDialog>
#include <QList>

#include <array>

class QLabel;
class QPushButton;
class QRadioButton;
class QTreeWidget;

// The device chooser of the port dialog: lists the serial ports present (device, description,
// maker, serial number, USB identity) and assigns one to COM1 or COM2. The choice is remembered
// between runs; "Standard device" forgets it.
class frmPortDevice : public QDialog
{
    Q_OBJECT
public:
    frmPortDevice();

    // Shows the chooser modally with `portNumber` as the port to assign. Returns the port number
    // a device was assigned to (or forgotten for), 0 when the chooser was cancelled.
    static int ChooseDevice(int portNumber);

    QLabel *lblPorts;
    QTreeWidget *lstPorts;
    QLabel *lblEmpty;
    QLabel *lblTarget;
    QRadioButton *optTarget(int index) const { return m_target.at(std::size_t(index)); }
    QLabel *lblEnvironment;
    QPushButton *cmdRefresh;
    QPushButton *cmdStandard;
    QPushButton *cmdOK;
    QPushButton *cmdCancel;

    // Lists the ports present again.
    void cmdRefresh_Click();

private:
    void prepare(int portNumber);
    int target() const;
    void showTarget();
    void selectionChanged();
    void cmdOK_Click();
    void cmdStandard_Click();

    std::array<QRadioButton *, 3> m_target{};
    QList<PortEntry> m_ports;
    int m_assigned = 0;
};
