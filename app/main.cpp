#include "app/Forms.h"
#include "app/StartUp.h"
#include "app/frmAbout.h"
#include "app/frmMain.h"

#include <QApplication>
#include <QDir>
#include <QIcon>

#include <cstdio>

namespace {

QStringList argumentsOf(int argc, char *argv[])
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    return arguments;
}

} // namespace

int main(int argc, char *argv[])
{
    // Answered before the toolkit starts, so they work without a display.
    const QStringList arguments = argumentsOf(argc, argv);
    switch (StartActionOf(arguments)) {
    case StartAction::Help:
        std::fputs(HelpText().toLocal8Bit().constData(), stdout);
        return 0;
    case StartAction::Version:
        std::fputs(VersionText().toLocal8Bit().constData(), stdout);
        return 0;
    case StartAction::Run:
        break;
    }
    // The toolkit would abort with a message about reinstalling the program.
    if (const auto problem = MissingDisplay(SystemEnvironment, arguments)) {
        std::fputs(problem->toLocal8Bit().constData(), stderr);
        return 1;
    }

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tarvik"));
    QApplication::setApplicationVersion(ProgramVersionText);
    // The desktop matches the window to its installed entry and icon.
    QGuiApplication::setDesktopFileName(QStringLiteral(TARVIK_APP_ID));
    QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral(TARVIK_APP_ID)));

    auto &main = Forms::get<frmMain>();
    main.show();
    // Relative paths resolve in the program's own folder.
    QDir::setCurrent(QCoreApplication::applicationDirPath());
    const int result = app.exec();
    Forms::unloadAll();
    return result;
}
