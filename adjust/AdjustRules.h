#pragma once

// What the adjustment windows show and send: the unit of a channel, the values as shown, and the
// value text of a zero or span adjustment. Pure functions: no communication, no windows.

#include <QString>

#include <optional>

// The unit a channel is adjusted in: "V", "mV", "degC" (UT5 and UT8 by type code), "degC" or "%"
// (K6), empty for any other kind.
QString AdjUnit(int kind, int typeCode);

// An "mV" channel is exchanged with the module in volts and shown in millivolts.
inline bool IsMillivolt(const QString &unit)
{
    return unit == QLatin1String("mV");
}

// A reply payload as shown: its number (0 when it is none), times 1000 when scaled, "#0.000".
QString AdjValueText(const QString &payload, bool scaled);

// The true value typed by the user: decimal point "." or ",", an optional sign, nothing else
// but blanks around it, less than a billion; full-width forms count as ASCII. nullopt for anything
// else.
std::optional<double> RealEntry(const QString &text);

// The data of a zero or span write: the channel as two digits, then the value as "#0.000".
QString AdjustmentData(int channel, double value);
