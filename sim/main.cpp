// tarvik-sim: one simulated module on a pseudo-terminal, until SIGINT or SIGTERM.

#include "sim/PtyServer.h"
#include "sim/SimModule.h"
#include "sim/SimOptions.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QFile>
#include <QSocketNotifier>
#include <QTextStream>

#include <csignal>
#include <cstdio>

#include <unistd.h>

namespace {

int signalPipe[2] = {-1, -1};

void onSignal(int)
{
    const char byte = 1;
    [[maybe_unused]] const auto written = ::write(signalPipe[1], &byte, 1);
}

// Signals end the event loop through a pipe, so that the program cleans up in the normal way.
void quitOnSignals(QCoreApplication &app)
{
    if (::pipe(signalPipe) != 0)
        return;
    struct sigaction action = {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    for (int s : {SIGINT, SIGTERM, SIGHUP})
        sigaction(s, &action, nullptr);
    auto *notifier = new QSocketNotifier(signalPipe[0], QSocketNotifier::Read, &app);
    QObject::connect(notifier, &QSocketNotifier::activated, &app, &QCoreApplication::quit);
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("tarvik-sim"));
    QTextStream err(stderr);

    SimOptions options;
    QString text;
    switch (ParseSimOptions(app.arguments(), options, &text)) {
    case SimOptionsResult::Help:
        QTextStream(stdout) << text;
        return 0;
    case SimOptionsResult::Error:
        err << "tarvik-sim: " << text << Qt::endl;
        return 2;
    case SimOptionsResult::Run:
        break;
    }

    SimModule module(options.model);
    ApplySimOptions(options, module);

    QFile transcript(options.transcript);
    if (!options.transcript.isEmpty()) {
        const bool opened = options.transcript == QLatin1String("-")
                                ? transcript.open(stderr, QIODevice::WriteOnly)
                                : transcript.open(QIODevice::WriteOnly | QIODevice::Truncate |
                                                  QIODevice::Text);
        if (!opened) {
            err << "tarvik-sim: cannot write " << options.transcript << ": "
                << transcript.errorString() << Qt::endl;
            return 2;
        }
        QObject::connect(&module, &SimModule::exchanged, &app, [&transcript](const SimExchange &e) {
            const QString time = QTime::currentTime().toString(QStringLiteral("HH:mm:ss.zzz"));
            transcript.write(TranscriptLine(e, time).toUtf8() + '\n');
            transcript.flush();
        });
    }
    PtyServer server(module);
    QString error;
    if (!server.open(&error) || !server.setLink(options.link, &error)) {
        err << "tarvik-sim: " << error << Qt::endl;
        return 1;
    }
    std::printf("%s\n", qPrintable(server.devicePath()));
    std::fflush(stdout);
    err << "tarvik-sim: " << options.model << " on " << server.devicePath();
    if (!options.link.isEmpty())
        err << " (" << options.link << ")";
    err << Qt::endl;
    QObject::connect(&server, &PtyServer::deviceChanged, &app, [&err](const QString &path) {
        err << "tarvik-sim: line dropped; back on " << path << Qt::endl;
    });

    quitOnSignals(app);
    const int code = app.exec();
    server.close();
    return code;
}
