#pragma once

#include "link/Communication.h"

#include <QMainWindow>

// The main window: the frame of the program. It owns the serial port and the reply timer.
class frmMain : public QMainWindow, public CommHost
{
    Q_OBJECT
public:
    frmMain();
    ~frmMain() override;
};
