#pragma once

// What the program does before it opens a window: its command-line options and the check that
// there is a screen to open one on.

#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

enum class StartAction
{
    Run,
    Help,
    Version
};

// The action the arguments ask for (the program's own name first, as in argv). Options that are not
// the program's own, such as Qt's -platform or -style, are left to the toolkit.
StartAction StartActionOf(const QStringList &arguments);

QString HelpText();
QString VersionText();

// An environment variable's value by name, empty when unset.
using EnvironmentLookup = std::function<QString(const char *name)>;
QString SystemEnvironment(const char *name);

// Why the program cannot open its windows here, as a message for the user; nullopt when it can.
// Only desktops that announce themselves through environment variables (X11, Wayland) are checked;
// elsewhere there is always a screen.
std::optional<QString> MissingDisplay(const EnvironmentLookup &environment,
                                      const QStringList &arguments);
