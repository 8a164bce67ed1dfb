#pragma once

// The program without a user, for the benchmark and picture tools: every message box is kept in
// `told` instead of shown, the port dialog is answered with COM1 and OK, and any other modal window
// is closed at once.

#include "app/Modal.h"
#include "app/MsgBox.h"
#include "app/frmCommPort.h"

#include <QDialog>
#include <QPushButton>
#include <QStringList>

inline void RunUnattended(QStringList &told)
{
    SetMsgBoxHook([&told](const MsgRecord &box) { told << box.prompt; });
    SetModalHook([](QDialog &dialog) {
        if (auto *port = qobject_cast<frmCommPort *>(&dialog))
            port->cmdOK->click();
        else
            dialog.reject();
    });
}
