#include "app/Forms.h"
#include "app/frmMain.h"

#include <QApplication>
#include <QDir>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tarvik"));
    QApplication::setApplicationVersion(QStringLiteral("1.5"));

    auto &main = Forms::get<frmMain>();
    main.show();
    // Relative paths resolve in the program's own folder.
    QDir::setCurrent(QCoreApplication::applicationDirPath());
    const int result = app.exec();
    Forms::unloadAll();
    return result;
}
