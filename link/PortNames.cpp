#include "link/PortNames.h"

#include <QtGlobal>

QString PortDeviceName(int portNumber)
{
    if (portNumber < 1)
        return {};
#ifdef Q_OS_WIN
    return QStringLiteral("COM%1").arg(portNumber);
#else
    const QByteArray variable = "TARVIK_COM" + QByteArray::number(portNumber);
    const QString overridden = qEnvironmentVariable(variable.constData());
    if (!overridden.isEmpty())
        return overridden;
    return QStringLiteral("/dev/ttyS%1").arg(portNumber - 1);
#endif
}
