#pragma once

// Which device stands for COM1 and COM2.
//
// In this order: the environment variable TARVIK_COM1 / TARVIK_COM2 when it names a device; else
// the adapter the user chose for the port number (remembered between runs by its USB identity and
// its device path, and found by its identity when it comes back under another name, as a USB
// adapter does after a replug: ttyUSB0 -> ttyUSB1); else the standard device, /dev/ttyS0 and
// /dev/ttyS1 on Linux, COM1 and COM2 on Windows.

#include <QList>
#include <QString>
#include <QtGlobal>

#include <functional>
#include <optional>

// A serial port present on this computer, as the system lists it.
struct PortEntry
{
    QString device;       // what is opened: /dev/ttyUSB0, COM7
    QString description;  // "FT232R USB UART"
    QString maker;        // "FTDI"
    QString serialNumber; // the adapter's own serial number; many adapters have none
    quint16 vendorId = 0; // USB vendor and product; 0 for a port that is no USB device
    quint16 productId = 0;
};

// The adapter the user chose for a port number.
struct RememberedAdapter
{
    QString device; // its device path when it was chosen
    quint16 vendorId = 0;
    quint16 productId = 0;
    QString serialNumber;
    QString description;
    QString maker;

    // A USB adapter can be recognised wherever it appears; any other port only by its path.
    bool hasIdentity() const { return vendorId != 0 || productId != 0; }
    bool isAdapter(const PortEntry &port) const;
};

// The serial ports present now. Test seam: SetPortLister replaces the system's list (empty
// function: the system's list again).
QList<PortEntry> PresentPorts();
using PortLister = std::function<QList<PortEntry>()>;
void SetPortLister(PortLister lister);

// Where the remembered choices are kept. Empty: the user's own settings of this program. Tests
// point it at a file of their own so that they never touch the user's settings.
void SetPortSettingsFile(const QString &path);

std::optional<RememberedAdapter> RememberedAdapterOf(int portNumber);
void RememberAdapter(int portNumber, const PortEntry &port);
void ForgetAdapter(int portNumber);

// The environment variable that names the device of a port number ("TARVIK_COM1").
QString PortVariable(int portNumber);

// The device behind a port number, and how it was found.
struct PortDevice
{
    enum class Source
    {
        None,
        Environment,
        Remembered,
        Standard
    };
    Source source = Source::None;
    QString device;                           // empty for no port number
    std::optional<RememberedAdapter> adapter; // with Source::Remembered
    // With Source::Remembered: the adapter is among the present ports (always true for an
    // adapter without identity, which is only its path).
    bool found = false;
    std::optional<PortEntry> present; // the present port it is, when the system lists it
};
PortDevice ResolvePort(int portNumber);

// The device of a port number when nothing else is set: /dev/ttyS0 for COM1 on Linux.
QString StandardPortDevice(int portNumber);

// ResolvePort(portNumber).device.
QString PortDeviceName(int portNumber);

// Whether the device of a port number is there to be opened now: a remembered USB adapter is
// among the present ports, any other device path exists.
bool PortDevicePresent(int portNumber);

// "COM1 (/dev/ttyUSB0)".
QString PortLabel(int portNumber, const QString &device);

// One present port as a line for the user: "/dev/ttyUSB0  FT232R USB UART, FTDI, serial A10K".
QString PortEntryText(const PortEntry &port);
// A remembered adapter the same way, with the device path it had.
QString AdapterText(const RememberedAdapter &adapter);
