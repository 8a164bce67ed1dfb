#include "link/PortNames.h"

#include "app/Resources.h"

#include <QFileInfo>
#include <QSerialPortInfo>
#include <QSettings>

#include <memory>

namespace {

PortLister &listerSlot()
{
    static PortLister lister;
    return lister;
}

QString &settingsFileSlot()
{
    static QString path;
    return path;
}

std::unique_ptr<QSettings> openSettings()
{
    if (!settingsFileSlot().isEmpty())
        return std::make_unique<QSettings>(settingsFileSlot(), QSettings::IniFormat);
    return std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope,
                                       QStringLiteral("Tarvik"), QStringLiteral("tarvik"));
}

QString groupOf(int portNumber)
{
    return QStringLiteral("Ports/COM%1").arg(portNumber);
}

QList<PortEntry> systemPorts()
{
    QList<PortEntry> ports;
    for (const QSerialPortInfo &info : QSerialPortInfo::availablePorts()) {
        PortEntry port;
        port.device = info.systemLocation();
        port.description = info.description();
        port.maker = info.manufacturer();
        port.serialNumber = info.serialNumber();
        port.vendorId = info.hasVendorIdentifier() ? info.vendorIdentifier() : 0;
        port.productId = info.hasProductIdentifier() ? info.productIdentifier() : 0;
        ports.append(port);
    }
    return ports;
}

bool sameDevice(const QString &a, const QString &b)
{
#ifdef Q_OS_WIN
    return a.compare(b, Qt::CaseInsensitive) == 0;
#else
    return a == b;
#endif
}

// A device path that exists now (a symlink counts when its target does).
bool deviceExists(const QString &device)
{
#ifdef Q_OS_WIN
    for (const PortEntry &port : PresentPorts()) {
        if (sameDevice(port.device, device))
            return true;
    }
    return false;
#else
    // The serial port looks for a name that is no absolute path in /dev.
    return QFileInfo::exists(device.startsWith(QLatin1Char('/')) ? device : "/dev/" + device);
#endif
}

// Among the present ports, the remembered adapter: by identity, the one at its old path first
// when several alike adapters carry no serial number of their own.
std::optional<PortEntry> findAdapter(const RememberedAdapter &adapter,
                                     const QList<PortEntry> &ports)
{
    std::optional<PortEntry> first;
    for (const PortEntry &port : ports) {
        if (!adapter.isAdapter(port))
            continue;
        if (sameDevice(port.device, adapter.device))
            return port;
        if (!first)
            first = port;
    }
    return first;
}

std::optional<PortEntry> entryAt(const QString &device, const QList<PortEntry> &ports)
{
    for (const PortEntry &port : ports) {
        if (sameDevice(port.device, device))
            return port;
    }
    return std::nullopt;
}

} // namespace

bool RememberedAdapter::isAdapter(const PortEntry &port) const
{
    if (!hasIdentity())
        return sameDevice(port.device, device);
    return port.vendorId == vendorId && port.productId == productId &&
           port.serialNumber == serialNumber;
}

QList<PortEntry> PresentPorts()
{
    return listerSlot() ? listerSlot()() : systemPorts();
}

void SetPortLister(PortLister lister)
{
    listerSlot() = std::move(lister);
}

void SetPortSettingsFile(const QString &path)
{
    settingsFileSlot() = path;
}

std::optional<RememberedAdapter> RememberedAdapterOf(int portNumber)
{
    const auto settings = openSettings();
    settings->beginGroup(groupOf(portNumber));
    RememberedAdapter adapter;
    adapter.device = settings->value(QStringLiteral("device")).toString();
    if (adapter.device.isEmpty())
        return std::nullopt;
    adapter.vendorId = quint16(settings->value(QStringLiteral("vendor")).toUInt());
    adapter.productId = quint16(settings->value(QStringLiteral("product")).toUInt());
    adapter.serialNumber = settings->value(QStringLiteral("serial")).toString();
    adapter.description = settings->value(QStringLiteral("description")).toString();
    adapter.maker = settings->value(QStringLiteral("maker")).toString();
    return adapter;
}

void RememberAdapter(int portNumber, const PortEntry &port)
{
    const auto settings = openSettings();
    settings->remove(groupOf(portNumber));
    settings->beginGroup(groupOf(portNumber));
    settings->setValue(QStringLiteral("device"), port.device);
    settings->setValue(QStringLiteral("vendor"), port.vendorId);
    settings->setValue(QStringLiteral("product"), port.productId);
    settings->setValue(QStringLiteral("serial"), port.serialNumber);
    settings->setValue(QStringLiteral("description"), port.description);
    settings->setValue(QStringLiteral("maker"), port.maker);
}

void ForgetAdapter(int portNumber)
{
    openSettings()->remove(groupOf(portNumber));
}

QString PortVariable(int portNumber)
{
    return QStringLiteral("TARVIK_COM%1").arg(portNumber);
}

PortDevice ResolvePort(int portNumber)
{
    PortDevice port;
    if (portNumber < 1)
        return port;
#ifndef Q_OS_WIN
    const QString overridden =
        qEnvironmentVariable(PortVariable(portNumber).toLatin1().constData());
    if (!overridden.isEmpty()) {
        port.source = PortDevice::Source::Environment;
        port.device = overridden;
        return port;
    }
#endif
    if (const auto adapter = RememberedAdapterOf(portNumber)) {
        port.source = PortDevice::Source::Remembered;
        port.adapter = adapter;
        port.device = adapter->device;
        const QList<PortEntry> ports = PresentPorts();
        if (adapter->hasIdentity()) {
            port.present = findAdapter(*adapter, ports);
            port.found = port.present.has_value();
            if (port.found)
                port.device = port.present->device;
        } else {
            port.found = true;
            port.present = entryAt(port.device, ports);
        }
        return port;
    }
    port.source = PortDevice::Source::Standard;
    port.device = StandardPortDevice(portNumber);
    return port;
}

QString StandardPortDevice(int portNumber)
{
#ifdef Q_OS_WIN
    return QStringLiteral("COM%1").arg(portNumber);
#else
    return QStringLiteral("/dev/ttyS%1").arg(portNumber - 1);
#endif
}

QString PortDeviceName(int portNumber)
{
    return ResolvePort(portNumber).device;
}

bool PortDevicePresent(int portNumber)
{
    const PortDevice port = ResolvePort(portNumber);
    if (port.device.isEmpty())
        return false;
    if (port.adapter && port.adapter->hasIdentity())
        return port.found;
    return deviceExists(port.device);
}

QString PortLabel(int portNumber, const QString &device)
{
    return QStringLiteral("COM%1 (%2)").arg(portNumber).arg(device);
}

QString PortEntryText(const PortEntry &port)
{
    QStringList about;
    if (!port.description.isEmpty())
        about << port.description;
    if (!port.maker.isEmpty() && port.maker != port.description)
        about << port.maker;
    if (!port.serialNumber.isEmpty())
        about << LoadResString(4611).arg(port.serialNumber);
    if (about.isEmpty())
        return port.device;
    return port.device + QStringLiteral("  ") + about.join(QStringLiteral(", "));
}

QString AdapterText(const RememberedAdapter &adapter)
{
    PortEntry entry;
    entry.device = adapter.device;
    entry.description = adapter.description;
    entry.maker = adapter.maker;
    entry.serialNumber = adapter.serialNumber;
    return PortEntryText(entry);
}
