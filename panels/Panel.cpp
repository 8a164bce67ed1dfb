#include "panels/Panel.h"

#include "app/Forms.h"
#include "app/frmMain.h"

Panel::Panel(const QString &objectName) : QWidget(Forms::get<frmMain>().childArea())
{
    setObjectName(objectName);
    setAutoFillBackground(true);
    setBackgroundRole(QPalette::Window);
    // A child widget shows with its parent unless hidden explicitly; a panel waits for ShowOnly.
    hide();
}
