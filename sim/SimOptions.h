#pragma once

// The command line of the simulator program `tarvik-sim`, and the form of its transcript lines.

#include "sim/SimFault.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

struct SimExchange;
class SimModule;

struct SimOptions
{
    QString model = QStringLiteral("VQ7_UT5");
    QString link;                    // symlink to the device
    std::optional<int> optionCode;   // UT8 option code (item 2, channel 00)
    std::optional<QString> firmware; // item 92
    std::optional<QString> modelText; // item 90 as reported, when it should differ from the model
    bool paced = false;
    QList<SimFault> faults;
    QString transcript;              // file, or "-" for standard error
    std::optional<int> replyDelayMs;
    std::optional<int> restartMs;
    QStringList openChannels;        // channels reported open (broken sensor)
};

enum class SimOptionsResult { Run, Help, Error };

// Parses the arguments (the program name first). Help: *text is the help. Error: *text says what
// is wrong.
SimOptionsResult ParseSimOptions(const QStringList &arguments, SimOptions &options, QString *text);

// Sets a module up as the options say.
void ApplySimOptions(const SimOptions &options, SimModule &module);

// One transcript line: wall-clock time with milliseconds, the command, and the reply as sent
// (control bytes escaped, "<CR>" for the carriage return) or what happened instead.
QString TranscriptLine(const SimExchange &exchange, const QString &time);
