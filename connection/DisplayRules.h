#pragma once

// How one reply of the module becomes a caption, a unit or a colour. Pure functions: no
// communication, no windows.

#include <QColor>
#include <QString>

#include <cstdint>
#include <optional>

class QLabel;

inline const QColor OnColour{255, 0, 0};
inline const QColor OffColour{0, 128, 0};
inline const QColor LampInOrder{0, 255, 0};
inline const QColor LampInFault{255, 0, 0};

// A caption with its text colour; no colour: leave the colour as it is.
struct ColouredCaption
{
    QString text;
    std::optional<QColor> colour;
};

// A value text with its unit.
struct ValueWithUnit
{
    QString text;
    QString unit;
};

// The input type name of a type code for a kind (1 UT5, 2 K6, 6 UT8); empty for a code the kind's
// table does not list (UT5 7 to 15, UT8 1 to 15, K6 54 to 63, any negative code).
QString TypeCaption(int kind, int typeCode);
// "OFF" / "ON" for a thermocouple (code 16 and above) with switch 0 / 1; otherwise empty.
QString CjcCaption(int typeCode, int cjcSwitch);
// "ON" in red for 1, "OFF" in dark green for 0, an empty caption (colour unchanged) otherwise.
ColouredCaption DiscreteCaption(int value);
ColouredCaption DiscreteCaption(const std::optional<int16_t> &value);
// Green for a status payload of exactly "0", red for anything else.
QColor LampColour(const QString &payload);
// The measured value of a payload: its longest leading decimal number ("." as point), 0 when it
// does not start with one.
double MeasuredValue(const QString &payload);
// A number as shown: at least one integer digit, three decimals, "." as point.
QString ValueText(double value);
ValueWithUnit RealValue(int kind, int typeCode, const QString &payload);
ValueWithUnit RawValue(int kind, int typeCode, const QString &payload);
QString BurnoutCaption(int value);
QString LineNoiseCaption(int value);
// The L7 output mode name ("OFF", "ON"); empty for a value that has none.
QString OutputModeCaption(int value);

// Sets a label's caption and, when the caption has one, its text colour.
void ShowCaption(QLabel *label, const ColouredCaption &caption);
