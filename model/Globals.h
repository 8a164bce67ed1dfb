#pragma once

// The program-wide variables. Every window and module shares them; windows hand values to one
// another only through them. InitData() puts them back to their start values.

#include <QString>

#include <array>
#include <cstdint>
#include <optional>

class CommHost;

inline constexpr int MaxChannel = 16; // per-channel arrays run 0..16; element 0 is unused

template <typename T>
using ChannelArray = std::array<T, MaxChannel + 1>;

enum ModelKindCode : int16_t {
    KindNone = 0,
    KindUt5 = 1,
    KindK6 = 2,
    KindE4 = 3,
    KindF9 = 4,
    KindL7 = 5,
    KindUt8 = 6,
};

inline constexpr int ModelCount = 10;

struct Globals
{
    // --- module configuration (what a configuration file holds) ---
    std::optional<int16_t> CurModelKind; // empty or 0: no model
    ChannelArray<int16_t> ChTypeCode{};
    ChannelArray<int16_t> ChGroup{};
    ChannelArray<int16_t> ChSub{};
    ChannelArray<int16_t> ChCjcSw{};
    int16_t BurnoutType = 0;
    QString FilterConst;
    std::optional<int16_t> LineNoiseSel;
    int16_t AlarmOut = 0;
    ChannelArray<int16_t> ChDoMode{};
    ChannelArray<QString> ChPreset{};
    QString CjmTemp;
    QString CjmVolt;
    std::array<int16_t, 5> ModbusSet{};
    std::array<int16_t, 5> ModbusSetUt8{};

    // --- module options of the UT8 kind ---
    bool Ut8SettingsOption = false;
    bool Ut8AddressOption = false;

    // --- link state ---
    bool LinkUp = false;
    bool TimeoutFlag = false;
    std::optional<int16_t> PortNumber; // 1 = COM1, 2 = COM2
    CommHost *CommForm = nullptr;      // owner of the serial port and the reply timer
    bool NoReplyNext = false;
    bool ForceChannelField = false;

    // --- window coordination ---
    bool MonitorOn = false;
    bool MonitorHold = false;
    int16_t PendingOutput = 0;
    bool PanelReload = false;
    bool DialogOk = false;
    int16_t SelChannel = 0;
    int16_t AdjChannel = 0;
    int16_t AdjMode = 0;
    bool AdjLoopOn = false;
    bool AdjRequest = false;
    bool TypeFilling = false;
    bool CountFilling = false;
    QString TypeClipName;
    int16_t TypeClipIndex = 0;
    int16_t TypeClipCjc = 0;
    int16_t CountClipDo = 0;
    QString CountClipPreset;
    QString FilePath;

    // --- catalogue and name tables, filled by InitData ---
    std::array<QString, ModelCount + 1> ModelName{};
    std::array<int16_t, ModelCount + 1> ModelKind{};
    std::array<QString, 20> VoltTcNames{};
    std::array<QString, 14> WideVoltTcNames{};
    std::array<QString, 10> RtdResNames{};
    std::array<QString, 3> BurnoutNames{};
    std::array<QString, 2> OnOffNames{};
    std::array<QString, 2> OnOffNames2{};
    std::array<QString, 3> LineNoiseNames{};

    int16_t curKind() const { return CurModelKind.value_or(KindNone); }
};

// The one instance.
extern Globals G;

// Resets every variable to its start value, then fills the catalogue, the name tables and the
// Modbus defaults. The timer and menu parts of the start-up belong to the main window.
void InitData();

// Turns the first "," of a text into ".".
QString ToDecimalPoint(const QString &text);

// Checks an entry that must hold a positive whole number: -1 for an empty text, 0 (after telling
// the user) for a sign, a point, any other non-digit or a number beyond 32 bits, else the number.
int32_t CheckPositive(const QString &text);
// The same check without telling anyone: true for an empty text or one CheckPositive accepts.
bool IsPositiveEntry(const QString &text);

// Sets ChGroup(channel) and ChSub(channel) from a type code (code = 16 * group + index).
void SplitTypeCode(int16_t channel, int16_t typeCode);

// Index 1..10 of the first catalogue entry whose name equals the text exactly, or 0.
int ModelIndex(const QString &modelName);
