#pragma once

#include <QWidget>

// A monitor panel: a child window of the main window's child area, loaded the first time it is
// referred to (Forms::get) and shown alone by ShowOnly.
class Panel : public QWidget
{
    Q_OBJECT
public:
    // objectName: the window's name ("frmUt5").
    explicit Panel(const QString &objectName);
};
