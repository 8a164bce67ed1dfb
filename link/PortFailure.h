#pragma once

// Why a serial port would not open, as far as the system can tell, and what the user can do about
// it. Asked only after an open has failed, so a working port is never looked at twice.

#include "link/PortNames.h"

#include <QList>
#include <QString>
#include <QStringList>

struct PortFailure
{
    enum class Kind
    {
        Unknown,    // nothing more to say than the port's own text
        Missing,    // no device of that name
        NotSerial,  // a file system object that is no serial port
        Permission, // the user may not read and write the device
        Busy,       // another program holds the device
    };
    Kind kind = Kind::Unknown;

    // Permission: the device's group and owner, and the user running the program.
    QString group;
    QString owner;
    QString user;
    bool groupMayUse = false;     // the group has read and write access to the device
    bool joinedNotActive = false; // the user is a member of the group, but not in this session

    // Busy: the programs holding the device, when they can be told ("minicom (process 1234)").
    QStringList holders;

    // Missing: the serial ports that are present.
    QList<PortEntry> present;
};

// Looks at the device after a failed open. `lockOrPermission`: the port reported a permission or
// lock failure (which is also how a device held by another program shows).
PortFailure DiagnosePortFailure(const QString &device, bool lockOrPermission);

// What to tell the user beyond the port's own text, in the language in use, naming the port and
// its device; empty when there is nothing to add.
QString PortFailureAdvice(int portNumber, const PortDevice &port, const PortFailure &failure);
