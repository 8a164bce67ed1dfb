#pragma once

// A simulated module of one catalogue model: it takes complete commands of the item protocol and
// gives the replies a real module would, from per-kind state that reads back what was written,
// with live input values, switchable faults and a transcript of every exchange.
//
// The module knows nothing of ports or timing; a transport feeds it. Two exist:
//   - SimSerialPort (SimSerialPort.h): the program's serial port, in-process, for tests;
//   - PtyServer (PtyServer.h): a pseudo-terminal, served by the program `tarvik-sim`.
//
// On the wire (every command and reply ends in CR; replies are "D" payload CR):
//   G01, G99        "Denter item"; any other group is refused with "illegal OPE"
//   Inn             selects item nn; answered with the item number as payload ("D05")
//   D               reads a module-level item
//   Dnn             reads item of channel nn (items read per channel; "D00" of item 2 on a UT8
//                   gives the option code; items read "with channel 01" also accept a bare "D")
//   D<value>        writes a module-level item, answered by the echo of the value
//   Dnn<value>      writes channel nn, answered by the echo of <value>
//   Refusals        "illegal OPE": an item the kind does not have, a read of a write-only or a
//                   write of a read-only item, a data command with no item selected;
//                   "invalid data": a malformed or out-of-range value, a type code the kind does
//                   not offer, a channel the kind does not have
//   Restart         G99, I90, DRESET: no answer; the module is silent while it restarts
//                   (restartMs), then ignores everything but a group select until G01 (or G99)
//   Power-up        the module starts in group 1 with no item selected.
//
// Whole-number echoes are plain decimal text ("D0300" to item 5 echoes "0", "D01" to item 15
// echoes "1"); decimal settings (filter time constant, cold-junction reference values) echo the
// text as written; a zero or span adjustment answers with the new offset or coefficient; the
// count zero command ("D1" to item 11) answers "OK".
//
// Typical use in a test:
//   auto module = InstallSimModule("VQ7S_UT8");      // SimSerialPort.h: every CommHost gets it
//   module->setDeterministic(true);                    // fixed values, clock moved by the test
//   module->setOptionCode(48);
//   module->setInput(3, 25.0);                         // channel 3 reads 25.000 degC
//   module->addFault(SimFault::silence().onItem(5).limit(1));
//   ... run the program ...
//   QCOMPARE(module->transcript().last().command, QByteArray("D03"));

#include "link/ItemMap.h"
#include "sim/SimFault.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QList>
#include <QObject>
#include <QString>

#include <array>
#include <cstdint>
#include <optional>
#include <random>

// One command and what the module sent back, as it went over the wire (faults applied).
struct SimExchange
{
    QByteArray command; // without its CR
    QByteArray reply;   // every byte sent, CR included; empty when there was no answer
    bool answered = false;
    bool dropped = false; // the connection dropped instead of a reply
    qint64 atMs = 0;      // module clock at the command
};

// What a transport does with one command.
struct SimResponse
{
    QList<QByteArray> chunks; // sent in order; empty: no answer
    int delayMs = 0;          // extra wait before the first chunk (the delay fault)
    int gapMs = 0;            // wait between chunks
    bool drop = false;        // drop the connection instead of answering
};

class SimModule : public QObject
{
    Q_OBJECT
public:
    static constexpr int MaxPoints = 32;

    // A module of a catalogue model ("VQ7_UT5", "VQ7S_UT8", ...). Throws std::invalid_argument
    // for a name that is not in the catalogue; IsCatalogueModel tells beforehand.
    explicit SimModule(const QString &model = QStringLiteral("VQ7_UT5"), QObject *parent = nullptr);
    static bool IsCatalogueModel(const QString &name);

    // ---- the wire ----
    // Handles one complete command (its CR may be included) and says what to send back.
    SimResponse respond(const QByteArray &command);
    // The same, with the reply's chunks joined: handy for wire-level checks.
    QByteArray reply(const QByteArray &command);

    // ---- identity ----
    QString model() const { return m_model; } // the catalogue name it was built as
    int kind() const { return m_kind; }
    int channelCount() const; // analog or counter channels, or discrete points
    // Texts of items 90..95 (model name, hardware and firmware version, serial number, manufacture
    // and calibration date). The model name text may be anything, to stand for unknown models.
    void setIdentityText(int16_t item, const QString &text);
    QString identityText(int16_t item) const;
    void setModelText(const QString &text);
    void setFirmware(const QString &text);
    // UT8 option code (item 2 read with channel digits 00): 16 settings, 32 node address, 48 both.
    void setOptionCode(int code) { m_optionCode = code; }
    int optionCode() const { return m_optionCode; }
    // Whether the module has the item at all (kind, and on the F9 kind the count items need
    // firmware 3.0 or the W2 model).
    bool hasItem(int16_t item) const;

    // ---- configuration state (channels from 1) ----
    int16_t typeCode(int ch) const { return m_type[idx(ch)]; }
    bool setTypeCode(int ch, int16_t code); // false when the kind does not offer the code
    int cjcSwitch(int ch) const { return m_cjc[idx(ch)]; }
    void setCjcSwitch(int ch, int value) { m_cjc[idx(ch)] = value; }
    // Burnout: per channel on UT5 and K6 (written per channel, read with channel 01), one value
    // on the UT8 (channel 1 holds it).
    int burnout(int ch = 1) const { return m_burnout[idx(ch)]; }
    void setBurnout(int value); // every channel
    void setBurnout(int ch, int value) { m_burnout[idx(ch)] = value; }
    QString filterText() const { return m_filter; }
    void setFilterText(const QString &text) { m_filter = text; }
    int lineNoise() const { return m_lineNoise; }
    void setLineNoise(int value) { m_lineNoise = value; }
    // Discrete outputs: E4 points, L7 channel outputs, the UT8 alarm output (channel 1).
    int output(int ch) const { return m_output[idx(ch)]; }
    void setOutput(int ch, int value) { m_output[idx(ch)] = value; }
    // Count presets and counting settings (F9 channels 1..16, L7 channels 1..8).
    quint32 preset(int ch) const { return m_preset[idx(ch)]; }
    void setPreset(int ch, quint32 value) { m_preset[idx(ch)] = value; }
    int pulseEdge() const { return m_pulseEdge; }
    void setPulseEdge(int value) { m_pulseEdge = value; }
    int countZero() const { return m_countZero; }
    void setCountZero(int value) { m_countZero = value; }
    int rateMemory() const { return m_rateMemory; }
    void setRateMemory(int value) { m_rateMemory = value; }
    // Zero/span adjustment: state (0 none, 1 zero adjusted, 2 zero and span), offset, coefficient.
    int zeroSpanState(int ch) const { return m_zsState[idx(ch)]; }
    double zeroOffset(int ch) const { return m_offset[idx(ch)]; }
    double spanCoefficient(int ch) const { return m_coef[idx(ch)]; }
    void setZeroSpan(int ch, int state, double offset, double coefficient);
    // K6 line resistance compensation (ohm taken off the reading) and 0 %/100 % points (raw %).
    double lineCompensation(int ch) const { return m_leadComp[idx(ch)]; }
    double zeroPercentPoint(int ch) const { return m_zeroPct[idx(ch)]; }
    double fullPercentPoint(int ch) const { return m_fullPct[idx(ch)]; }
    // Cold-junction sensor reference values (items 23, 24).
    double cjmTemperature() const { return m_cjmTemp; }
    void setCjmTemperature(double value) { m_cjmTemp = value; }
    double cjmVoltage() const { return m_cjmVolt; }
    void setCjmVoltage(double value) { m_cjmVolt = value; }
    // Modbus settings by item (80 node address, 81 baud, 83 parity, 84 stop bits, 86 float).
    int modbus(int16_t item) const;
    void setModbus(int16_t item, int value);

    // ---- live inputs ----
    // The physical input of an analog channel before adjustment, noise and drift, in the unit of
    // its current type: degC for thermocouples and resistance thermometers, V for voltage ranges
    // (kept as a share of the range, so it follows a range change), % for resistance ranges.
    double input(int ch) const;
    void setInput(int ch, double value);
    // Temperature of the terminals (the thermocouples' cold junction), degC.
    double terminalTemperature() const { return m_terminalTemp; }
    void setTerminalTemperature(double degC) { m_terminalTemp = degC; }
    // Resistance of the leads of a K6 channel, ohm (what line resistance compensation removes).
    void setLeadResistance(int ch, double ohm) { m_lead[idx(ch)] = ohm; }
    // An open input (broken sensor): status "1", value driven by the burnout setting.
    void setChannelOpen(int ch, bool open) { m_open[idx(ch)] = open; }
    bool channelOpen(int ch) const { return m_open[idx(ch)]; }
    // Status text of item 2 to report instead of "0"/"1" (empty: automatic).
    void setStatusText(int ch, const QString &text) { m_statusText[idx(ch)] = text; }
    // Discrete inputs (F9 points, L7 channels, the single input of UT5/K6/UT8 as channel 1).
    int discreteInput(int ch) const;
    void setDiscreteInput(int ch, int value);
    // Whether discrete inputs toggle by themselves as time passes (default on).
    void setInputsChanging(bool on) { m_inputsChanging = on; }
    // Counts (item 8) grow at the channel's rate in pulses per second (item 13).
    quint32 count(int ch) const;
    void setCount(int ch, quint32 value);
    double countRate(int ch) const { return m_rate[idx(ch)]; }
    void setCountRate(int ch, double perSecond);

    // What items 3, 4 and 2 answer now for a channel.
    QByteArray realText(int ch);
    QByteArray rawText(int ch);
    QByteArray statusText(int ch) const;

    // ---- time and values ----
    // Deterministic mode: the clock stands still unless advanceClock() moves it; no drift; noise
    // only when a seed is given (then the same exchanges give the same values). Off: wall clock,
    // drift and random noise.
    void setDeterministic(bool on, quint32 seed = 0);
    bool deterministic() const { return m_deterministic; }
    void advanceClock(qint64 ms) { m_clockOffsetMs += ms; }
    qint64 clockMs() const;

    // ---- link state ----
    int group() const { return m_group; } // 0 after a restart until the next group select
    int selectedItem() const { return m_item; }
    bool restarting() const;
    // The silent time of a restart (wall clock; default 1000 ms, below the program's 2 s wait).
    void setRestartMs(int ms) { m_restartMs = ms; }

    // ---- transport settings (read by the transports) ----
    // Time from a command's CR to the reply's first byte (default 3 ms).
    void setReplyDelay(int ms) { m_replyDelayMs = ms; }
    int replyDelay() const { return m_replyDelayMs; }
    // Pace every byte at 9600 baud (10 bits a byte, about 1.04 ms) both ways.
    void setPaced(bool on) { m_paced = on; }
    bool paced() const { return m_paced; }
    // The port number (1 = COM1) the in-process module is wired to; 0: any.
    void setCablePort(int number) { m_cablePort = number; }
    int cablePort() const { return m_cablePort; }

    // ---- faults ----
    void addFault(const SimFault &fault) { m_faults.append(fault); }
    bool addFault(const QString &faultText, QString *error = nullptr);
    void clearFaults() { m_faults.clear(); }
    const QList<SimFault> &faults() const { return m_faults; }
    // Drops the connection now, as a pulled cable would (the transports close their line).
    void dropConnection();

    // ---- transcript ----
    const QList<SimExchange> &transcript() const { return m_transcript; }
    void clearTranscript() { m_transcript.clear(); }
    int exchangeCount() const { return m_exchanges; }
    // Commands of the transcript, joined with spaces ("G01 I90 D"): compact for assertions.
    QString commandsText() const;

signals:
    void exchanged(const SimExchange &exchange);
    void dropRequested();

private:
    struct DataCommand;
    struct Shape;

    static std::size_t idx(int ch);
    std::optional<Shape> shapeOf(int16_t item) const;
    std::optional<DataCommand> classify(const QByteArray &command) const;
    std::optional<QByteArray> process(const QByteArray &command);
    std::optional<QByteArray> dataCommand(const QByteArray &command);
    QByteArray readItem(int16_t item, int ch);
    QByteArray writeItem(int16_t item, int ch, const QByteArray &value);
    QByteArray writeAdjustment(int16_t item, int ch, const QByteArray &value);
    QByteArray writeCompensation(int ch, const QByteArray &value);
    std::optional<SimFault> takeFault(SimFault::Kind kind, const QByteArray &command,
                        const std::optional<DataCommand> &data);
    void record(const QByteArray &command, const QByteArray &reply, bool answered, bool dropped);

    struct Reading
    {
        double real = 0;
        double raw = 0;
        double measured = 0; // before zero/span adjustment
        int realDecimals = 3;
        int rawDecimals = 3;
    };
    // What the channel measures now: noise and drift included (none in deterministic mode).
    Reading reading(int ch);
    double noise(double amplitude);
    double drift(int ch, double amplitude) const;
    int halfPeriodMs(int ch) const;

    QString m_model;
    int m_kind = 0;
    int m_catalogueIndex = 0;
    std::array<QString, 6> m_identity; // items 90..95
    int m_optionCode = 48;

    using Ints = std::array<int, MaxPoints + 1>;
    using Doubles = std::array<double, MaxPoints + 1>;
    std::array<int16_t, MaxPoints + 1> m_type{};
    Ints m_cjc{}, m_burnout{}, m_output{}, m_zsState{}, m_inputBase{};
    std::array<bool, MaxPoints + 1> m_open{};
    std::array<QString, MaxPoints + 1> m_statusText;
    std::array<quint32, MaxPoints + 1> m_preset{};
    Doubles m_offset{}, m_coef{}, m_lead{}, m_leadComp{}, m_zeroPct{}, m_fullPct{};
    Doubles m_temp{}, m_voltShare{}, m_percent{}, m_rate{};
    std::array<qint64, MaxPoints + 1> m_countBase{}, m_countSince{};
    QString m_filter = QStringLiteral("1.0");
    int m_lineNoise = 0;
    int m_pulseEdge = 0, m_countZero = 0, m_rateMemory = 0;
    double m_cjmTemp = 25.0, m_cjmVolt = 0.596;
    int m_nodeAddress = 1;
    std::array<int, 5> m_modbusSet{}; // list positions, index as the program's settings arrays
    double m_terminalTemp = 22.5;
    bool m_inputsChanging = true;

    bool m_deterministic = false;
    bool m_noisy = true;
    std::mt19937 m_random;
    QElapsedTimer m_wall;
    qint64 m_clockOffsetMs = 0;

    int m_group = Group::Items;
    int m_item = -1;
    bool m_restarting = false;
    qint64 m_restartEndsAt = 0; // m_wall time
    int m_restartMs = 1000;

    int m_replyDelayMs = 3;
    bool m_paced = false;
    int m_cablePort = 0;

    QList<SimFault> m_faults;
    QList<SimExchange> m_transcript;
    int m_exchanges = 0;
};
