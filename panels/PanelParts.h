#pragma once

// Building blocks the monitor panels share: the labels and buttons of their grids, and the way a
// panel sets the main window's commands for its kind.

#include <QString>

#include <initializer_list>

class QAction;
class QFrame;
class QLabel;
class QPushButton;
class QWidget;
class frmMain;

// A menu of the main window (a member such as &frmMain::mnuConfigCJM) and the state a panel gives
// it. A panel's list is walked in its order.
struct MenuState
{
    QAction *frmMain::*menu;
    bool enabled;
};
void SetMenuStates(frmMain &main, std::initializer_list<MenuState> states);

// The object name of an element of a control array: "lblType_3".
QString ArrayName(const char *array, int index);

// A fixed caption. A tag other than 0 is the string resource number that ApplyResCaptions puts in
// place of the design caption.
QLabel *CaptionLabel(QWidget *parent, const QString &name, const QString &caption, int tag = 0);

// One line of a two-line column heading, centred over its column.
QLabel *HeadingLabel(QWidget *parent, const QString &name, const QString &caption, int tag = 0);

enum class ValueStyle
{
    Text,   // names and states, left aligned
    Number, // measured values and counts: fixed pitch, right aligned so the points line up
    Unit,   // a unit beside its value, no frame
};
// An empty field that the connection procedures fill; wide enough for `chars` characters.
QLabel *ValueLabel(QWidget *parent, const QString &name, ValueStyle style, int chars);

// A channel button captioned with the channel right-aligned in two characters (" 1" .. "16").
QPushButton *ChannelButton(QWidget *parent, const QString &name, int channel);

// A thin horizontal rule between rows (decoration).
QFrame *SeparatorLine(QWidget *parent, const QString &name);
