#pragma once

// The configuration file: the model kind, the channels' input types and cold-junction switches,
// the Modbus settings, the cold-junction sensor values and, for the analog kinds, the module-wide
// input settings, as comma-separated records of one line each, every line closed by CR LF:
//
//   6                      model kind (empty: none)
//   17,1                   16 lines: type code, cold-junction switch of channels 1 to 16
//   ...
//   2                      5 lines: Modbus list positions 0 to 4 (the UT8 set for kind 6)
//   ...
//   "25.000","0.550"       cold-junction sensor temperature and voltage
//   1,"1.0",0,0            kinds 1, 2, 6 only: burnout, filter time constant, line noise
//                          (empty when never set), alarm output
//
// Reading takes the fields in order however they are spread over the lines. A file is read and
// checked whole before anything of it is used, so a file that does not read changes nothing.

#include "model/Globals.h"

#include <QByteArray>
#include <QString>

#include <optional>

struct ConfigSnapshot
{
    std::optional<int16_t> kind;
    ChannelArray<int16_t> typeCode{};
    ChannelArray<int16_t> cjcSwitch{};
    std::array<int16_t, 5> modbus{};
    QString cjmTemp;
    QString cjmVolt;
    int16_t burnout = 0;
    QString filter;
    std::optional<int16_t> lineNoise;
    int16_t alarm = 0;

    // Kinds whose file carries the module settings record (UT5, K6, UT8).
    bool hasModuleSettings() const;
    bool operator==(const ConfigSnapshot &) const = default;
};

// What the program-wide configuration holds now (the UT8 Modbus set for kind 6).
ConfigSnapshot CaptureConfig();

// Puts a snapshot into the program-wide configuration (the Modbus set of its kind).
void ApplyConfig(const ConfigSnapshot &config);

// The file's bytes. Empty with `error` naming the field when a text cannot be stored (a double
// quote, a control or a non-ASCII character).
std::optional<QByteArray> FormatConfigFile(const ConfigSnapshot &config, QString *error = nullptr);

// A whole file read and checked; nullopt with `error` saying what is wrong.
std::optional<ConfigSnapshot> ParseConfigFile(const QByteArray &bytes, QString *error = nullptr);
