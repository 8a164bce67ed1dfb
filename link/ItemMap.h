#pragma once

// Every item of the module that the program reads or writes. Items live in groups: group 1 holds
// all of them except the restart request, which is reached through group 99.

#include <array>
#include <cstdint>
#include <initializer_list>
#include <string_view>

namespace Group {
inline constexpr int16_t Items = 1;   // entered on every opening of the link
inline constexpr int16_t Restart = 99; // only for the restart request, then group 1 again
} // namespace Group

namespace Item {
inline constexpr int16_t OptionCode = 2;    // UT8 module options, read with channel digits 00
inline constexpr int16_t ChannelStatus = 2; // "0" in order, anything else a fault
inline constexpr int16_t RealValue = 3;
inline constexpr int16_t RawValue = 4;
inline constexpr int16_t InputType = 5;      // type code 16 * group + index
inline constexpr int16_t DiscreteInput = 6;  // 0 OFF, 1 ON
inline constexpr int16_t DiscreteOutput = 7; // 0 OFF, 1 ON; the UT8 alarm output on channel 1
inline constexpr int16_t Count32 = 8;
inline constexpr int16_t CountPreset = 9; // 0..999999999, at most 9 characters
inline constexpr int16_t PulseEdge = 10;
inline constexpr int16_t CountZero = 11; // write "1", answered "OK"
inline constexpr int16_t CountRate = 13;
inline constexpr int16_t RateMemory = 14;
inline constexpr int16_t LineNoise = 15; // 0 50/60Hz, 1 50Hz, 2 60Hz
inline constexpr int16_t FilterConst = 16; // seconds as text
inline constexpr int16_t ZeroSpanState = 17; // 0 = not zero-adjusted; write NN "0" to clear
inline constexpr int16_t ZeroOffset = 18;
inline constexpr int16_t SpanCoefficient = 19;
inline constexpr int16_t Burnout = 20; // 0 none, 1 up, 2 down
inline constexpr int16_t CompRequest = 21; // 0 clear, 1 line resistance or 0 %, 2 100 %
inline constexpr int16_t CjmTemp = 23;
inline constexpr int16_t CjmVolt = 24;
inline constexpr int16_t CjcSwitch = 25; // 0 OFF, 1 ON
inline constexpr int16_t ModbusNode = 80;
inline constexpr int16_t ModbusBaud = 81;
inline constexpr int16_t ModbusParity = 83;
inline constexpr int16_t ModbusStopBits = 84;
inline constexpr int16_t ModbusFloat = 86;
inline constexpr int16_t ModelName = 90;
inline constexpr int16_t HardwareVersion = 91;
inline constexpr int16_t FirmwareVersion = 92;
inline constexpr int16_t SerialNumber = 93;
inline constexpr int16_t ManufactureDate = 94;
inline constexpr int16_t CalibrationDate = 95;
inline constexpr int16_t RestartRequest = 90; // in group 99: write "RESET", no answer
} // namespace Item

// Kinds as a bit set: bit k for kind k (1 UT5, 2 K6, 3 E4, 4 F9, 5 L7, 6 UT8).
constexpr uint8_t kinds(std::initializer_list<int> list)
{
    uint8_t mask = 0;
    for (int k : list)
        mask = uint8_t(mask | (1u << k));
    return mask;
}
inline constexpr uint8_t AnalogKinds = kinds({1, 2, 6});
inline constexpr uint8_t AllKinds = kinds({1, 2, 3, 4, 5, 6});

struct ItemInfo
{
    int16_t group;
    int16_t item;
    std::string_view carries;
    uint8_t kindMask; // kinds whose modules have the item
    bool writable;
};

// The same map as data, for code that walks it (the module simulator and its checks).
inline constexpr std::array<ItemInfo, 34> ItemTable{{
    {1, Item::ChannelStatus, "channel status; UT8 option code with channel 00", AnalogKinds, false},
    {1, Item::RealValue, "real input value", AnalogKinds, false},
    {1, Item::RawValue, "raw input value", AnalogKinds, false},
    {1, Item::InputType, "input type code", AnalogKinds, true},
    {1, Item::DiscreteInput, "discrete input state", kinds({1, 2, 4, 5, 6}), false},
    {1, Item::DiscreteOutput, "discrete output state; UT8 alarm output", kinds({3, 5, 6}), true},
    {1, Item::Count32, "32-bit count", kinds({4, 5}), false},
    {1, Item::CountPreset, "count preset", kinds({4, 5}), true},
    {1, Item::PulseEdge, "pulse edge", kinds({5}), true},
    {1, Item::CountZero, "count zero", kinds({5}), true},
    {1, Item::CountRate, "count rate", kinds({5}), false},
    {1, Item::RateMemory, "count rate memory", kinds({5}), true},
    {1, Item::LineNoise, "line noise filter", kinds({6}), true},
    {1, Item::FilterConst, "filter time constant", AnalogKinds, true},
    {1, Item::ZeroSpanState, "zero/span adjustment state", AnalogKinds, true},
    {1, Item::ZeroOffset, "zero offset", AnalogKinds, true},
    {1, Item::SpanCoefficient, "span coefficient", AnalogKinds, true},
    {1, Item::Burnout, "burnout type", AnalogKinds, true},
    {1, Item::CompRequest, "compensation request", kinds({2}), true},
    {1, Item::CjmTemp, "cold-junction sensor reference temperature", kinds({1}), true},
    {1, Item::CjmVolt, "cold-junction sensor reference voltage", kinds({1}), true},
    {1, Item::CjcSwitch, "cold-junction switch", kinds({1, 6}), true},
    {1, Item::ModbusNode, "Modbus node address", AllKinds, true},
    {1, Item::ModbusBaud, "Modbus baud rate", AllKinds, true},
    {1, Item::ModbusParity, "Modbus parity", AllKinds, true},
    {1, Item::ModbusStopBits, "Modbus stop bits", AllKinds, true},
    {1, Item::ModbusFloat, "Modbus floating type", AllKinds, true},
    {1, Item::ModelName, "model name", AllKinds, false},
    {1, Item::HardwareVersion, "hardware version", AllKinds, false},
    {1, Item::FirmwareVersion, "firmware version", AllKinds, false},
    {1, Item::SerialNumber, "serial number", AllKinds, false},
    {1, Item::ManufactureDate, "manufacture date", AllKinds, false},
    {1, Item::CalibrationDate, "calibration date", kinds({1, 2, 5}), false},
    {99, Item::RestartRequest, "restart request", AllKinds, true},
}};

// The entry of an item in a group, or nullptr.
constexpr const ItemInfo *FindItem(int16_t group, int16_t item)
{
    for (const ItemInfo &info : ItemTable) {
        if (info.group == group && info.item == item)
            return &info;
    }
    return nullptr;
}
