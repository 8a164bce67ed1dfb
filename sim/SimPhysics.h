#pragma once

// What a simulated analog channel measures: the sensor curves and ranges behind each input type
// code, in the units the module puts on the wire (degC, V, ohm, %).

#include <cstdint>
#include <optional>

namespace sim {

enum class InputClass {
    Voltage,      // real and raw in V
    Thermocouple, // real in degC, raw in V (the terminal voltage)
    Rtd,          // real in degC, raw in ohm
    Resistance,   // real and raw in % of the range
};

struct InputType
{
    int16_t code;
    InputClass cls;
    double low;  // lowest reading (V, degC or %), where a downscale burnout drives the channel
    double high; // highest reading, where an upscale burnout drives it
    // Voltage: unused. Thermocouple: E(T) = a*T + b*T^2 in mV near room temperature.
    // Rtd: R(T) = r0 * (1 + a*T + b*T^2) in ohm. Resistance: r0 = full scale in ohm.
    double a = 0;
    double b = 0;
    double r0 = 0;
};

// The input type of a code for a kind (1 UT5, 2 K6, 6 UT8); nullopt when the kind does not offer it.
std::optional<InputType> FindInputType(int kind, int16_t code);

// Thermocouple voltage in V of a hot junction at t degC against a reference junction at 0 degC.
double ThermoVolts(const InputType &type, double t);
// The temperature whose thermocouple voltage is the given one (inverse of ThermoVolts).
double ThermoTemperature(const InputType &type, double volts);

// Resistance thermometer: ohm at t degC, and its inverse.
double RtdOhm(const InputType &type, double t);
double RtdTemperature(const InputType &type, double ohm);

} // namespace sim
