#pragma once

// Building blocks the monitor panels share: the labels and buttons of their grids.

#include <QString>

class QFrame;
class QLabel;
class QPushButton;
class QWidget;

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
