#include "app/StartUp.h"

#include "app/frmAbout.h"

#include <QtGlobal>

#include <algorithm>

StartAction StartActionOf(const QStringList &arguments)
{
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString &argument = arguments.at(i);
        if (argument == QLatin1String("--help") || argument == QLatin1String("-h"))
            return StartAction::Help;
        if (argument == QLatin1String("--version") || argument == QLatin1String("-v"))
            return StartAction::Version;
    }
    return StartAction::Run;
}

QString HelpText()
{
    return QStringLiteral(
        "Usage: tarvik [options]\n"
        "Connects a PC to a remote I/O module over a serial port.\n"
        "\n"
        "Options:\n"
        "  -h, --help      show this help and exit\n"
        "  -v, --version   show the program's version and exit\n"
        "  -platform NAME  the toolkit's display platform (also QT_QPA_PLATFORM)\n"
        "\n"
        "Environment:\n"
        "  TARVIK_COM1, TARVIK_COM2  the device behind COM1 and COM2 (default /dev/ttyS0 and\n"
        "                            /dev/ttyS1), for instance /dev/ttyUSB0\n");
}

QString VersionText()
{
    return QStringLiteral("Tarvik %1\n").arg(ProgramVersionText);
}

QString SystemEnvironment(const char *name)
{
    return qEnvironmentVariable(name);
}

namespace {

// The toolkit's platform: its -platform option wins over QT_QPA_PLATFORM.
QString chosenPlatform(const EnvironmentLookup &environment, const QStringList &arguments)
{
    for (qsizetype i = 1; i + 1 < arguments.size(); ++i) {
        if (arguments.at(i) == QLatin1String("-platform") ||
            arguments.at(i) == QLatin1String("--platform"))
            return arguments.at(i + 1);
    }
    return environment("QT_QPA_PLATFORM");
}

// A platform list such as "wayland;xcb" or "vnc:size=800x600": true when one of its platforms
// draws without a desktop.
bool drawsWithoutDesktop(const QString &platforms)
{
    static const QStringList Headless{
        QStringLiteral("offscreen"),    QStringLiteral("minimal"), QStringLiteral("minimalegl"),
        QStringLiteral("vnc"),          QStringLiteral("eglfs"),   QStringLiteral("linuxfb"),
        QStringLiteral("vkkhrdisplay"),
    };
    const QStringList names = platforms.split(QLatin1Char(';'), Qt::SkipEmptyParts);
    return std::any_of(names.cbegin(), names.cend(), [](const QString &name) {
        return Headless.contains(name.section(QLatin1Char(':'), 0, 0).trimmed());
    });
}

} // namespace

std::optional<QString> MissingDisplay(const EnvironmentLookup &environment,
                                      const QStringList &arguments)
{
#if defined(Q_OS_UNIX) && !defined(Q_OS_DARWIN) && !defined(Q_OS_ANDROID)
    const QString platform = chosenPlatform(environment, arguments);
    if (drawsWithoutDesktop(platform))
        return std::nullopt;
    if (!environment("DISPLAY").isEmpty() || !environment("WAYLAND_DISPLAY").isEmpty())
        return std::nullopt;
    QString message = QStringLiteral(
        "tarvik: needs a graphical display, but neither DISPLAY nor WAYLAND_DISPLAY is set");
    if (!platform.isEmpty())
        message += QStringLiteral(", and the platform \"%1\" needs one").arg(platform);
    message += QStringLiteral(".\nStart it from a desktop session, or with "
                              "QT_QPA_PLATFORM=offscreen to run it without a screen.\n");
    return message;
#else
    Q_UNUSED(environment);
    Q_UNUSED(arguments);
    return std::nullopt;
#endif
}
