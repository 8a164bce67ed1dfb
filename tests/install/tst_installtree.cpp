// The installed program: `cmake --install` of this build into a temporary prefix, and what a user's
// desktop finds there (the programs, the library by its soname, the desktop entry, the metainfo,
// the icon).

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QXmlStreamReader>

namespace {

struct Run
{
    int exitCode = -1;
    QString out, err;
};

// Runs a program to its end, with no desktop around it and with extra environment variables.
Run run(const QString &program, const QStringList &arguments, const QStringList &environment = {})
{
    QProcessEnvironment env;
    const QProcessEnvironment system = QProcessEnvironment::systemEnvironment();
    for (const char *name : {"PATH", "HOME", "ASAN_OPTIONS", "LSAN_OPTIONS", "UBSAN_OPTIONS"}) {
        if (system.contains(QString::fromLatin1(name)))
            env.insert(QString::fromLatin1(name), system.value(QString::fromLatin1(name)));
    }
    for (const QString &assignment : environment)
        env.insert(assignment.section(QLatin1Char('='), 0, 0),
                   assignment.section(QLatin1Char('='), 1));
    QProcess process;
    process.setProcessEnvironment(env);
    process.start(program, arguments);
    Run result;
    if (!process.waitForFinished(240000) || process.exitStatus() != QProcess::NormalExit) {
        result.err =
            QStringLiteral("%1 did not end normally: %2").arg(program, process.errorString());
        process.kill();
        return result;
    }
    result.exitCode = process.exitCode();
    result.out = QString::fromLocal8Bit(process.readAllStandardOutput());
    result.err = QString::fromLocal8Bit(process.readAllStandardError());
    return result;
}

// A tool the project's set-up script installs; a missing one fails the test rather than skip it.
QString tool(const char *name)
{
    const QString path = QStandardPaths::findExecutable(QString::fromLatin1(name));
    if (path.isEmpty())
        qWarning("%s is missing: scripts/install-deps.sh installs it", name);
    return path;
}

// The values of a desktop entry's [Desktop Entry] group, by key ("Name", "Name[ja]").
QHash<QString, QString> desktopEntry(const QString &path)
{
    QHash<QString, QString> values;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return values;
    bool inGroup = false;
    for (const QString &line : QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'))) {
        if (line.startsWith(QLatin1Char('[')))
            inGroup = line == QLatin1String("[Desktop Entry]");
        else if (inGroup && line.contains(QLatin1Char('=')) && !line.startsWith(QLatin1Char('#')))
            values.insert(line.section(QLatin1Char('='), 0, 0).trimmed(),
                          line.section(QLatin1Char('='), 1).trimmed());
    }
    return values;
}

} // namespace

class TestInstallTree : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void installedFiles();
    void libraryBySoname();
    void programsRun_data();
    void programsRun();
    void desktopEntry();
    void metainfo();
    void icons();

private:
    QString path(const QString &relative) const { return m_prefix.filePath(relative); }
    QString desktopFile() const
    {
        return path(QStringLiteral(INSTALL_DATADIR "/applications/" APP_ID ".desktop"));
    }

    QTemporaryDir m_prefix;
};

void TestInstallTree::initTestCase()
{
    QVERIFY(m_prefix.isValid());
    const Run install =
        run(QStringLiteral(CMAKE_COMMAND), {QStringLiteral("--install"), QStringLiteral(BUILD_DIR),
                                            QStringLiteral("--prefix"), m_prefix.path()});
    QVERIFY2(install.exitCode == 0, qPrintable(install.out + install.err));
}

void TestInstallTree::installedFiles()
{
    // Exactly these: nothing missing, and no test or benchmark program along with them.
    const QStringList expected{
        QStringLiteral(INSTALL_BINDIR "/tarvik"),
        QStringLiteral(INSTALL_BINDIR "/tarvik-sim"),
        QStringLiteral(INSTALL_INCLUDEDIR "/Docrun.h"),
        QStringLiteral(INSTALL_LIBDIR "/libDocrun.so"),
        QStringLiteral(INSTALL_LIBDIR "/libDocrun.so.1"),
        QStringLiteral(INSTALL_LIBDIR "/libDocrun.so.1.0.0.1"),
        QStringLiteral(INSTALL_DATADIR "/applications/" APP_ID ".desktop"),
        QStringLiteral(INSTALL_DATADIR "/icons/hicolor/256x256/apps/" APP_ID ".png"),
        QStringLiteral(INSTALL_DATADIR "/icons/hicolor/scalable/apps/" APP_ID ".svg"),
        QStringLiteral(INSTALL_DATADIR "/metainfo/" APP_ID ".metainfo.xml"),
    };
    QStringList installed;
    QDirIterator it(m_prefix.path(), QDir::Files | QDir::System | QDir::Hidden,
                    QDirIterator::Subdirectories);
    while (it.hasNext())
        installed << QDir(m_prefix.path()).relativeFilePath(it.next());
    installed.sort();
    QStringList sorted = expected;
    sorted.sort();
    QCOMPARE(installed, sorted);
    for (const char *program : {"tarvik", "tarvik-sim"})
        QVERIFY(QFileInfo(path(QStringLiteral(INSTALL_BINDIR "/") + QLatin1String(program)))
                    .isExecutable());
}

void TestInstallTree::libraryBySoname()
{
    const QString lib = path(QStringLiteral(INSTALL_LIBDIR));
    QCOMPARE(QFileInfo(lib + QStringLiteral("/libDocrun.so.1")).symLinkTarget(),
             lib + QStringLiteral("/libDocrun.so.1.0.0.1"));
    QCOMPARE(QFileInfo(lib + QStringLiteral("/libDocrun.so")).symLinkTarget(),
             lib + QStringLiteral("/libDocrun.so.1"));
    // Found by the dynamic linker under its soname, as a program linked against it asks for it.
    const Run load =
        run(QStringLiteral(LOADCHECK), {QStringLiteral("libDocrun.so.1"), QStringLiteral("Acro")},
            {QStringLiteral("LD_LIBRARY_PATH=") + lib});
    QVERIFY2(load.exitCode == 0, qPrintable(load.err));
    const Run unfound =
        run(QStringLiteral(LOADCHECK), {QStringLiteral("libDocrun.so.1"), QStringLiteral("Acro")});
    QVERIFY2(unfound.exitCode != 0, "the library was found outside the prefix");
}

void TestInstallTree::programsRun_data()
{
    QTest::addColumn<QString>("program");
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("firstLine");
    QTest::newRow("tarvik --version")
        << "tarvik" << QStringList{"--version"} << QStringLiteral("Tarvik " TARVIK_VERSION);
    QTest::newRow("tarvik --help")
        << "tarvik" << QStringList{"--help"} << "Usage: tarvik [options]";
    QTest::newRow("tarvik-sim --help") << "tarvik-sim" << QStringList{"--help"} << "";
}

void TestInstallTree::programsRun()
{
    QFETCH(QString, program);
    QFETCH(QStringList, arguments);
    QFETCH(QString, firstLine);
    const Run result = run(path(QStringLiteral(INSTALL_BINDIR "/") + program), arguments);
    QVERIFY2(result.exitCode == 0, qPrintable(result.err));
    QVERIFY(!result.out.isEmpty());
    if (!firstLine.isEmpty())
        QCOMPARE(result.out.section(QLatin1Char('\n'), 0, 0), firstLine);
}

void TestInstallTree::desktopEntry()
{
    const QString validator = tool("desktop-file-validate");
    QVERIFY(!validator.isEmpty());
    const Run validation = run(validator, {desktopFile()});
    QVERIFY2(validation.exitCode == 0 && validation.out.isEmpty(),
             qPrintable(validation.out + validation.err));

    const QHash<QString, QString> entry = ::desktopEntry(desktopFile());
    QCOMPARE(entry.value(QStringLiteral("Name")), QStringLiteral("Tarvik"));
    for (const char *key : {"Name[ja]", "Comment", "Comment[ja]"})
        QVERIFY2(!entry.value(QString::fromLatin1(key)).isEmpty(), key);
    // The desktop starts the installed program and finds the installed icon.
    const QString exec = entry.value(QStringLiteral("Exec")).section(QLatin1Char(' '), 0, 0);
    QVERIFY2(QFileInfo(path(QStringLiteral(INSTALL_BINDIR "/") + exec)).isExecutable(),
             qPrintable(exec));
    QCOMPARE(entry.value(QStringLiteral("Icon")), QStringLiteral(APP_ID));
    QCOMPARE(entry.value(QStringLiteral("Terminal")), QStringLiteral("false"));
}

void TestInstallTree::metainfo()
{
    const QString file = path(QStringLiteral(INSTALL_DATADIR "/metainfo/" APP_ID ".metainfo.xml"));
    const QString validator = tool("appstreamcli");
    QVERIFY(!validator.isEmpty());
    const Run validation =
        run(validator, {QStringLiteral("validate"), QStringLiteral("--no-net"), file});
    QVERIFY2(validation.exitCode == 0, qPrintable(validation.out + validation.err));

    QFile xml(file);
    QVERIFY(xml.open(QIODevice::ReadOnly));
    QXmlStreamReader reader(&xml);
    QString id, launchable, release;
    while (!reader.atEnd()) {
        if (reader.readNext() != QXmlStreamReader::StartElement)
            continue;
        if (reader.name() == QLatin1String("release") && release.isEmpty())
            release = reader.attributes().value(QLatin1String("version")).toString();
        else if (reader.name() == QLatin1String("id"))
            id = reader.readElementText();
        else if (reader.name() == QLatin1String("launchable"))
            launchable = reader.readElementText();
    }
    QVERIFY2(!reader.hasError(), qPrintable(reader.errorString()));
    QCOMPARE(id, QStringLiteral(APP_ID));
    QCOMPARE(launchable, QFileInfo(desktopFile()).fileName());
    QCOMPARE(release, QStringLiteral(TARVIK_VERSION)); // the newest release is this one
}

void TestInstallTree::icons()
{
    const QImage png(
        path(QStringLiteral(INSTALL_DATADIR "/icons/hicolor/256x256/apps/" APP_ID ".png")));
    QCOMPARE(png.size(), QSize(256, 256));
    QVERIFY(png.hasAlphaChannel());
    QCOMPARE(png.pixelColor(0, 0).alpha(), 0); // drawn on a transparent ground
    QVERIFY(png.pixelColor(128, 128).alpha() > 0);

    QFile svg(path(QStringLiteral(INSTALL_DATADIR "/icons/hicolor/scalable/apps/" APP_ID ".svg")));
    QVERIFY(svg.open(QIODevice::ReadOnly));
    QXmlStreamReader reader(&svg);
    QVERIFY(reader.readNextStartElement());
    QCOMPARE(reader.name(), QLatin1String("svg"));
    QCOMPARE(reader.attributes().value(QLatin1String("viewBox")), QLatin1String("0 0 256 256"));
}

QTEST_GUILESS_MAIN(TestInstallTree)
#include "tst_installtree.moc"
