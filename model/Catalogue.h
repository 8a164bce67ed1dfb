#pragma once

// The fixed catalogue of module models and the type-name tables, as constant data. InitData copies
// them into the program-wide tables; the module simulator reads them directly.

#include <array>
#include <cstdint>
#include <string_view>

struct CatalogueEntry
{
    std::string_view name; // exactly as a module reports it in item 90
    int16_t kind;
};

inline constexpr std::array<CatalogueEntry, 10> Catalogue{{
    {"VQ7_UT5", 1},
    {"VQ7S_UT8", 6},
    {"VQ7_K6", 2},
    {"VQ7_E4", 3},
    {"VQ7_F9", 4},
    {"VQ2_UT5", 1},
    {"VQ4_UT5", 1},
    {"VQ7_E4W2", 3},
    {"VQ7_F9W2", 4},
    {"VQ7_L7", 5},
}};

struct TypeEntry
{
    std::string_view name;
    int16_t code; // 16 * group + index
};

// Input types of the UT5 kind: seven voltage ranges, then thirteen thermocouples.
inline constexpr std::array<TypeEntry, 20> VoltTcTypes{{
    {"-20 to 20V", 0},     {"-5 to 5V", 1},      {"-1 to 1V", 2},         {"-800 to 800mV", 3},
    {"-200 to 200mV", 4},  {"-50 to 50mV", 5},   {"-10 to 10mV", 6},      {"(PR)", 16},
    {"K(CA)", 17},         {"E(CRC)", 18},       {"J(IC)", 19},           {"T(CC)", 20},
    {"B(RH)", 21},         {"R", 22},            {"S", 23},               {"C(Wre 5-26)", 24},
    {"N", 25},             {"U", 26},            {"L", 27},               {"P(Platinel2)", 28},
}};

// Input types of the UT8 kind: one voltage range, then the same thirteen thermocouples.
inline constexpr std::array<TypeEntry, 14> WideVoltTcTypes{{
    {"-10 to 10V", 0}, {"(PR)", 16}, {"K(CA)", 17}, {"E(CRC)", 18}, {"J(IC)", 19},
    {"T(CC)", 20},     {"B(RH)", 21}, {"R", 22},    {"S", 23},      {"C(Wre 5-26)", 24},
    {"N", 25},         {"U", 26},     {"L", 27},    {"P(Platinel2)", 28},
}};

// Input types of the K6 kind: six resistance thermometers, then four resistance ranges.
inline constexpr std::array<TypeEntry, 10> RtdResTypes{{
    {"JPt100(JIS'89)", 48}, {"Pt100(JIS'89)", 49}, {"Pt100(JIS'97)", 50}, {"Pt50(JIS'81)", 51},
    {"Ni508.4", 52},        {"Pt1000", 53},        {"0 to 100ohm", 64},   {"0 to 500ohm", 65},
    {"0 to 1Kohm", 66},     {"0 to 10Kohm", 67},
}};

inline constexpr std::array<int16_t, 5> ModbusDefaults{2, 0, 1, 0, 0};
inline constexpr std::array<int16_t, 5> ModbusDefaultsUt8{2, 0, 1, 1, 0};

// Channels (or points) of a kind: 16 for UT5, 8 for K6, L7 and UT8, 32 for E4 and F9; 0 otherwise.
constexpr int ChannelCount(int kind)
{
    switch (kind) {
    case 1:
        return 16;
    case 2:
    case 5:
    case 6:
        return 8;
    case 3:
    case 4:
        return 32;
    default:
        return 0;
    }
}

// The family name shown for a kind ("UT5", "K6", ...), empty for no kind.
constexpr std::string_view KindFamily(int kind)
{
    constexpr std::array<std::string_view, 7> names{"", "UT5", "K6", "E4", "F9", "L7", "UT8"};
    return kind >= 1 && kind <= 6 ? names[kind] : std::string_view{};
}
