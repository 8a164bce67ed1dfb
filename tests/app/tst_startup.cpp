// Before any window: the program's own options and the check for a display, as functions and on
// the built program started without a desktop.

#include "app/StartUp.h"

#include <QHash>
#include <QProcess>
#include <QTest>

namespace {

// "NAME=value NAME=value" as an environment.
EnvironmentLookup environmentOf(const QString &assignments)
{
    QHash<QString, QString> values;
    for (const QString &assignment : assignments.split(QLatin1Char(' '), Qt::SkipEmptyParts))
        values.insert(assignment.section(QLatin1Char('='), 0, 0),
                      assignment.section(QLatin1Char('='), 1));
    return [values](const char *name) { return values.value(QString::fromLatin1(name)); };
}

// Only what the program and the sanitizers need: no desktop, no toolkit platform.
QProcessEnvironment bareEnvironment()
{
    const QProcessEnvironment system = QProcessEnvironment::systemEnvironment();
    QProcessEnvironment bare;
    for (const char *name : {"PATH", "HOME", "ASAN_OPTIONS", "LSAN_OPTIONS", "UBSAN_OPTIONS"}) {
        const QString key = QString::fromLatin1(name);
        if (system.contains(key))
            bare.insert(key, system.value(key));
    }
    return bare;
}

} // namespace

class TestStartUp : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void startAction_data();
    void startAction();
    void missingDisplay_data();
    void missingDisplay();
    void programWithoutDisplay_data();
    void programWithoutDisplay();
};

void TestStartUp::initTestCase()
{
#if !defined(Q_OS_LINUX)
    QSKIP("the display check is made on Linux only");
#endif
}

void TestStartUp::startAction_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("action");
    QTest::newRow("nothing") << QStringList{"tarvik"} << int(StartAction::Run);
    QTest::newRow("--help") << QStringList{"tarvik", "--help"} << int(StartAction::Help);
    QTest::newRow("-h") << QStringList{"tarvik", "-h"} << int(StartAction::Help);
    QTest::newRow("--version") << QStringList{"tarvik", "--version"} << int(StartAction::Version);
    QTest::newRow("-v after a toolkit option")
        << QStringList{"tarvik", "-platform", "offscreen", "-v"} << int(StartAction::Version);
    QTest::newRow("toolkit options only")
        << QStringList{"tarvik", "-style", "fusion"} << int(StartAction::Run);
    QTest::newRow("the program's own name is no option")
        << QStringList{"--help"} << int(StartAction::Run);
}

void TestStartUp::startAction()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, action);
    QCOMPARE(int(StartActionOf(arguments)), action);
}

void TestStartUp::missingDisplay_data()
{
    QTest::addColumn<QString>("environment");
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<bool>("missing");
    const QStringList none{"tarvik"};
    QTest::newRow("no desktop") << "" << none << true;
    QTest::newRow("empty DISPLAY") << "DISPLAY=" << none << true;
    QTest::newRow("X11") << "DISPLAY=:0" << none << false;
    QTest::newRow("Wayland") << "WAYLAND_DISPLAY=wayland-0" << none << false;
    for (const char *headless : {"offscreen", "minimal", "vnc", "eglfs", "linuxfb"})
        QTest::newRow(headless) << QStringLiteral("QT_QPA_PLATFORM=%1").arg(headless) << none
                                << false;
    QTest::newRow("platform with options") << "QT_QPA_PLATFORM=vnc:size=800x600" << none << false;
    QTest::newRow("X11 platform, no X11") << "QT_QPA_PLATFORM=xcb" << none << true;
    QTest::newRow("list ending headless") << "QT_QPA_PLATFORM=xcb;offscreen" << none << false;
    QTest::newRow("-platform offscreen")
        << "" << QStringList{"tarvik", "-platform", "offscreen"} << false;
    QTest::newRow("-platform xcb over QT_QPA_PLATFORM")
        << "QT_QPA_PLATFORM=offscreen" << QStringList{"tarvik", "-platform", "xcb"} << true;
    QTest::newRow("-platform with no name") << "" << QStringList{"tarvik", "-platform"} << true;
}

void TestStartUp::missingDisplay()
{
    QFETCH(QString, environment);
    QFETCH(QStringList, arguments);
    QFETCH(bool, missing);
    const std::optional<QString> problem = MissingDisplay(environmentOf(environment), arguments);
    QCOMPARE(problem.has_value(), missing);
    if (missing) {
        QVERIFY2(problem->contains(QLatin1String("neither DISPLAY nor WAYLAND_DISPLAY is set")),
                 qPrintable(*problem));
        QVERIFY(problem->endsWith(QLatin1Char('\n')));
    }
}

void TestStartUp::programWithoutDisplay_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("out");
    QTest::addColumn<QString>("err");
    QTest::newRow("windows") << QStringList{} << 1 << ""
                             << "tarvik: needs a graphical display, but neither DISPLAY nor "
                                "WAYLAND_DISPLAY is set.\n";
    QTest::newRow("--version") << QStringList{"--version"} << 0
                               << QStringLiteral("Tarvik %1\n").arg(TARVIK_VERSION) << "";
    QTest::newRow("-v") << QStringList{"-v"} << 0
                        << QStringLiteral("Tarvik %1\n").arg(TARVIK_VERSION) << "";
    QTest::newRow("--help") << QStringList{"--help"} << 0 << "Usage: tarvik [options]\n"
                            << "";
    QTest::newRow("-h with a toolkit option")
        << QStringList{"-platform", "xcb", "-h"} << 0 << "Usage: tarvik [options]\n"
        << "";
}

void TestStartUp::programWithoutDisplay()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, exitCode);
    QFETCH(QString, out);
    QFETCH(QString, err);
    QProcess program;
    program.setProcessEnvironment(bareEnvironment());
    program.start(QStringLiteral(TARVIK_PROGRAM), arguments);
    QVERIFY2(program.waitForFinished(60000), "the program did not end by itself");
    const QString stdOut = QString::fromLocal8Bit(program.readAllStandardOutput());
    const QString stdErr = QString::fromLocal8Bit(program.readAllStandardError());
    QCOMPARE(program.exitStatus(), QProcess::NormalExit);
    QCOMPARE(program.exitCode(), exitCode);
    // The first line is the message; the toolkit's own abort would say something else.
    QVERIFY2(out.isEmpty() ? stdOut.isEmpty() : stdOut.startsWith(out), qPrintable(stdOut));
    QVERIFY2(err.isEmpty() ? stdErr.isEmpty() : stdErr.startsWith(err), qPrintable(stdErr));
}

QTEST_GUILESS_MAIN(TestStartUp)
#include "tst_startup.moc"
