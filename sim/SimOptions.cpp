#include "sim/SimOptions.h"

#include "model/Catalogue.h"
#include "sim/SimModule.h"

#include <QCommandLineParser>

namespace {

QString catalogueNames()
{
    QStringList names;
    for (const CatalogueEntry &e : Catalogue)
        names << QString::fromLatin1(e.name.data(), qsizetype(e.name.size()));
    return names.join(QStringLiteral(", "));
}

const char *const FaultHelp = R"(
Faults (--fault, repeatable):  KIND[:KEY=VALUE,...]
  silence      no reply                    garble      mangled reply
  truncate     reply without its CR        chunks      reply in pieces: n=PIECES, gap=MS
  wrong-echo   a write echoes another value (text=TEXT)
  refuse       a data command is refused: reply=illegal (default) | invalid
  delay        the reply comes late: ms=MS
  drop         the line hangs up; the module is back on a new device after 500 ms
Which exchanges: cmd=TEXT (exact command, e.g. cmd=G01), item=N (data commands on item N),
  reads, writes, after=N (from exchange N+1 on), times=K (at most K times).
Examples: silence:item=5  silence:after=20  chunks:n=4,gap=10  refuse:item=16,reply=invalid

The first line of output is the device path. SIGINT or SIGTERM ends the program.
)";

std::optional<int> wholeNumber(const QString &text, int low, int high)
{
    bool ok = false;
    const int n = text.toInt(&ok);
    if (!ok || n < low || n > high)
        return std::nullopt;
    return n;
}

} // namespace

SimOptionsResult ParseSimOptions(const QStringList &arguments, SimOptions &options, QString *text)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Serves one simulated I/O module on a pseudo-terminal."));
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("Shows this help."));
    const QCommandLineOption model(QStringLiteral("model"),
                                   QStringLiteral("Catalogue model: %1 (default VQ7_UT5).")
                                       .arg(catalogueNames()),
                                   QStringLiteral("NAME"));
    const QCommandLineOption link(QStringLiteral("link"),
                                  QStringLiteral("Keeps a symlink to the device at PATH."),
                                  QStringLiteral("PATH"));
    const QCommandLineOption optionCode(
        QStringLiteral("option-code"),
        QStringLiteral("UT8 option code: 16 settings, 32 node address, 48 both (default 48)."),
        QStringLiteral("N"));
    const QCommandLineOption firmware(QStringLiteral("firmware"),
                                      QStringLiteral("Firmware version text (default V3.00)."),
                                      QStringLiteral("TEXT"));
    const QCommandLineOption modelText(
        QStringLiteral("model-text"),
        QStringLiteral("Model name the module reports, if not the catalogue name."),
        QStringLiteral("TEXT"));
    const QCommandLineOption pace(QStringLiteral("pace"),
                                  QStringLiteral("Paces every byte at 9600 baud, both ways."));
    const QCommandLineOption fault(QStringLiteral("fault"),
                                   QStringLiteral("Switches a fault on (see below)."),
                                   QStringLiteral("FAULT"));
    const QCommandLineOption transcript(
        QStringLiteral("transcript"),
        QStringLiteral("Writes every command and reply with its time to FILE (- for stderr)."),
        QStringLiteral("FILE"));
    const QCommandLineOption delay(QStringLiteral("reply-delay"),
                                   QStringLiteral("Time from a command to its reply (default 3)."),
                                   QStringLiteral("MS"));
    const QCommandLineOption restart(QStringLiteral("restart-ms"),
                                     QStringLiteral("Silent time of a restart (default 1000)."),
                                     QStringLiteral("MS"));
    const QCommandLineOption open(QStringLiteral("open"),
                                  QStringLiteral("Reports channel CH open (broken sensor)."),
                                  QStringLiteral("CH"));
    parser.addOptions({help, model, link, optionCode, firmware, modelText, pace, fault,
                       transcript, delay, restart, open});

    const auto fail = [&](const QString &message) {
        if (text)
            *text = message + QStringLiteral("\nTry --help.");
        return SimOptionsResult::Error;
    };
    if (!parser.parse(arguments))
        return fail(parser.errorText());
    if (parser.isSet(help)) {
        if (text)
            *text = parser.helpText() + QString::fromLatin1(FaultHelp);
        return SimOptionsResult::Help;
    }
    if (!parser.positionalArguments().isEmpty())
        return fail(QStringLiteral("unexpected argument \"%1\"")
                        .arg(parser.positionalArguments().constFirst()));

    if (parser.isSet(model)) {
        options.model = parser.value(model);
        if (!SimModule::IsCatalogueModel(options.model))
            return fail(QStringLiteral("unknown model \"%1\"; the models are %2")
                            .arg(options.model, catalogueNames()));
    }
    options.link = parser.value(link);
    if (parser.isSet(optionCode)) {
        options.optionCode = wholeNumber(parser.value(optionCode), 0, 9999);
        if (!options.optionCode)
            return fail(QStringLiteral("bad option code \"%1\"").arg(parser.value(optionCode)));
    }
    if (parser.isSet(firmware))
        options.firmware = parser.value(firmware);
    if (parser.isSet(modelText))
        options.modelText = parser.value(modelText);
    options.paced = parser.isSet(pace);
    for (const QString &faultText : parser.values(fault)) {
        QString error;
        const auto parsed = SimFault::parse(faultText, &error);
        if (!parsed)
            return fail(error);
        options.faults << *parsed;
    }
    options.transcript = parser.value(transcript);
    if (parser.isSet(delay)) {
        options.replyDelayMs = wholeNumber(parser.value(delay), 0, 60000);
        if (!options.replyDelayMs)
            return fail(QStringLiteral("bad reply delay \"%1\"").arg(parser.value(delay)));
    }
    if (parser.isSet(restart)) {
        options.restartMs = wholeNumber(parser.value(restart), 0, 60000);
        if (!options.restartMs)
            return fail(QStringLiteral("bad restart time \"%1\"").arg(parser.value(restart)));
    }
    for (const QString &ch : parser.values(open)) {
        if (!wholeNumber(ch, 1, SimModule::MaxPoints))
            return fail(QStringLiteral("bad channel \"%1\"").arg(ch));
        options.openChannels << ch;
    }
    return SimOptionsResult::Run;
}

void ApplySimOptions(const SimOptions &options, SimModule &module)
{
    if (options.optionCode)
        module.setOptionCode(*options.optionCode);
    if (options.firmware)
        module.setFirmware(*options.firmware);
    if (options.modelText)
        module.setModelText(*options.modelText);
    module.setPaced(options.paced);
    for (const SimFault &f : options.faults)
        module.addFault(f);
    if (options.replyDelayMs)
        module.setReplyDelay(*options.replyDelayMs);
    if (options.restartMs)
        module.setRestartMs(*options.restartMs);
    for (const QString &ch : options.openChannels)
        module.setChannelOpen(ch.toInt(), true);
}

QString TranscriptLine(const SimExchange &exchange, const QString &time)
{
    const auto visible = [](const QByteArray &bytes) {
        QString out;
        for (char c : bytes) {
            const auto u = static_cast<unsigned char>(c);
            if (c == '\r')
                out += QStringLiteral("<CR>");
            else if (u < 0x20 || u >= 0x7f)
                out += QStringLiteral("<%1>").arg(u, 2, 16, QLatin1Char('0'));
            else
                out += QLatin1Char(c);
        }
        return out;
    };
    QString reply;
    if (exchange.dropped)
        reply = QStringLiteral("(line dropped)");
    else if (!exchange.answered)
        reply = QStringLiteral("(no reply)");
    else
        reply = visible(exchange.reply);
    return QStringLiteral("%1  > %2  < %3").arg(time, visible(exchange.command), reply);
}
