#include "sim/SimPhysics.h"

#include <array>
#include <cmath>

namespace sim {
namespace {

constexpr InputType volts(int16_t code, double range)
{
    return {code, InputClass::Voltage, -range, range};
}

// Quadratic fits of the reference tables between 0 and 100 degC (E at 50 and 100 degC); good to a
// few microvolts near room temperature, which is where the simulated sensors sit.
constexpr InputType thermo(int16_t code, double low, double high, double a, double b)
{
    return {code, InputClass::Thermocouple, low, high, a, b};
}

constexpr InputType rtd(int16_t code, double low, double high, double r0, double a, double b)
{
    return {code, InputClass::Rtd, low, high, a, b, r0};
}

constexpr InputType resistance(int16_t code, double fullScale)
{
    return {code, InputClass::Resistance, -5.0, 105.0, 0, 0, fullScale};
}

constexpr std::array<InputType, 13> Thermocouples{{
    thermo(16, 0, 1760, 0.0, 1.5e-6),           // (PR): almost no output near room temperature
    thermo(17, -270, 1372, 0.03996, 1.0e-5),    // K
    thermo(18, -270, 1000, 0.05873, 4.46e-5),   // E
    thermo(19, -210, 1200, 0.05071, 1.98e-5),   // J
    thermo(20, -270, 400, 0.03865, 4.14e-5),    // T
    thermo(21, 0, 1820, 0.0, 3.3e-6),           // B: almost no output near room temperature
    thermo(22, -50, 1768, 0.00537, 1.1e-5),     // R
    thermo(23, -50, 1768, 0.0055, 9.6e-6),      // S
    thermo(24, 0, 2315, 0.01369, 8.2e-6),       // C (W5Re/W26Re)
    thermo(25, -270, 1300, 0.02586, 1.88e-5),   // N
    thermo(26, -200, 600, 0.0395, 3.0e-5),      // U
    thermo(27, -200, 900, 0.0523, 1.4e-5),      // L
    thermo(28, 0, 1395, 0.0288, 1.2e-5),        // Platinel II
}};

constexpr std::array<InputType, 7> Ut5Voltages{{
    volts(0, 20.0), volts(1, 5.0), volts(2, 1.0), volts(3, 0.8), volts(4, 0.2), volts(5, 0.05),
    volts(6, 0.01),
}};

constexpr InputType Ut8Voltage = volts(0, 10.0);

constexpr std::array<InputType, 10> K6Types{{
    rtd(48, -200, 640, 100.0, 3.9739e-3, -5.870e-7), // JPt100
    rtd(49, -200, 850, 100.0, 3.9083e-3, -5.775e-7), // Pt100 (JIS'89)
    rtd(50, -200, 850, 100.0, 3.9083e-3, -5.775e-7), // Pt100 (JIS'97)
    rtd(51, -200, 640, 50.0, 3.9739e-3, -5.870e-7),  // Pt50
    rtd(52, -50, 180, 508.4, 5.485e-3, 6.650e-6),    // Ni508.4
    rtd(53, -200, 850, 1000.0, 3.9083e-3, -5.775e-7), // Pt1000
    resistance(64, 100.0),
    resistance(65, 500.0),
    resistance(66, 1000.0),
    resistance(67, 10000.0),
}};

template <std::size_t N>
std::optional<InputType> find(const std::array<InputType, N> &table, int16_t code)
{
    for (const InputType &t : table) {
        if (t.code == code)
            return t;
    }
    return std::nullopt;
}

// Positive root of b*x^2 + a*x = y for y >= 0 (b >= 0 or small), used symmetrically.
double solveQuadratic(double a, double b, double y)
{
    if (std::abs(b) < 1e-15)
        return a == 0 ? 0 : y / a;
    const double disc = a * a + 4 * b * y;
    if (disc < 0)
        return -a / (2 * b);
    return (-a + std::sqrt(disc)) / (2 * b);
}

} // namespace

std::optional<InputType> FindInputType(int kind, int16_t code)
{
    switch (kind) {
    case 1:
        if (auto t = find(Ut5Voltages, code))
            return t;
        return find(Thermocouples, code);
    case 6:
        if (code == Ut8Voltage.code)
            return Ut8Voltage;
        return find(Thermocouples, code);
    case 2:
        return find(K6Types, code);
    default:
        return std::nullopt;
    }
}

// E(T) = a*T + b*T*|T|: the fitted curve, made odd so that it can be inverted on both sides of 0.
double ThermoVolts(const InputType &type, double t)
{
    return (type.a * t + type.b * t * std::abs(t)) / 1000.0;
}

double ThermoTemperature(const InputType &type, double volts)
{
    const double mv = volts * 1000.0;
    const double t = solveQuadratic(type.a, type.b, std::abs(mv));
    return mv < 0 ? -t : t;
}

double RtdOhm(const InputType &type, double t)
{
    return type.r0 * (1 + type.a * t + type.b * t * t);
}

double RtdTemperature(const InputType &type, double ohm)
{
    // r0*b*T^2 + r0*a*T + (r0 - ohm) = 0; the root near the linear solution.
    const double c = type.r0 - ohm;
    const double qa = type.r0 * type.b;
    const double qb = type.r0 * type.a;
    if (std::abs(qa) < 1e-15)
        return -c / qb;
    const double disc = qb * qb - 4 * qa * c;
    if (disc < 0)
        return -qb / (2 * qa);
    return (-qb + std::sqrt(disc)) / (2 * qa);
}

} // namespace sim
