#pragma once

#include <QString>

// The device behind a port number the user picks (1 = COM1, 2 = COM2). On Linux COM1 and COM2 are
// /dev/ttyS0 and /dev/ttyS1 unless the environment variable TARVIK_COM1 / TARVIK_COM2 names another
// device (a USB adapter such as /dev/ttyUSB0, or a pseudo-terminal). On Windows they are COM1, COM2.
QString PortDeviceName(int portNumber);
