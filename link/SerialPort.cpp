#include "link/SerialPort.h"

#include "link/PortNames.h"

#include <QStringList>

bool ParseLineSettings(const QString &text, LineSettings &out)
{
    const QStringList parts = text.split(QLatin1Char(','));
    if (parts.size() != 4)
        return false;
    bool okBaud = false, okData = false, okStop = false;
    LineSettings s;
    s.baud = parts[0].trimmed().toInt(&okBaud);
    const QString parity = parts[1].trimmed().toLower();
    s.dataBits = parts[2].trimmed().toInt(&okData);
    s.stopBits = parts[3].trimmed().toInt(&okStop);
    if (!okBaud || !okData || !okStop || parity.size() != 1 ||
        !QStringLiteral("neoms").contains(parity[0]) || s.baud <= 0 || s.dataBits < 5 ||
        s.dataBits > 8 || (s.stopBits != 1 && s.stopBits != 2))
        return false;
    s.parity = parity[0].toLatin1();
    out = s;
    return true;
}

QString SerialPort::deviceName() const
{
    return PortDeviceName(commPort());
}

bool SerialPort::devicePresent(int portNumber) const
{
    return portNumber >= 1;
}
