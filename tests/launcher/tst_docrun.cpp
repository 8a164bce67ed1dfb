// The built library, loaded the way a program would load it, against a private desktop: its own
// MIME type, default application and PATH.

#include "launcher/Docrun.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <dlfcn.h>
#include <sys/wait.h>

class TestDocrun : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();
    void acro_data();
    void acro();

private:
    void write(const QString &path, const QByteArray &contents, bool executable = false);
    QStringList recorded() const;

    // Under /tmp, not TMPDIR: document paths must stay within 63 characters.
    QTemporaryDir m_dir{"/tmp/docrun-XXXXXX"};
    void *m_library = nullptr;
    decltype(&Acro) m_acro = nullptr;
};

void TestDocrun::write(const QString &path, const QByteArray &contents, bool executable)
{
    QVERIFY(QDir().mkpath(QFileInfo(path).path()));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(contents);
    file.close();
    if (executable)
        QVERIFY(file.setPermissions(file.permissions() | QFile::ExeOwner));
}

QStringList TestDocrun::recorded() const
{
    QFile file(m_dir.filePath("recorded"));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll()).split('\n', Qt::SkipEmptyParts);
}

void TestDocrun::initTestCase()
{
    QVERIFY(m_dir.isValid());
    QVERIFY2(!QStandardPaths::findExecutable("xdg-mime").isEmpty(),
             "xdg-mime is missing (scripts/install-deps.sh installs it)");

    // The application: records the program path it was started as and its arguments.
    write(m_dir.filePath("bin/recorder"),
          "#!/bin/sh\n"
          "{ printf '%s\\n' \"$0\"; for a in \"$@\"; do printf '%s\\n' \"$a\"; done; } > '" +
              m_dir.filePath("recorded").toUtf8() + "'\nexit 7\n",
          true);
    write(m_dir.filePath("data/applications/docrun-recorder.desktop"),
          "[Desktop Entry]\nType=Application\nName=Recorder\nExec=recorder %f\n");
    // A MIME type of its own, known by extension, and one more type without an application.
    write(m_dir.filePath("data/mime/globs"),
          "application/x-docrun-test:*.drtest\napplication/x-docrun-none:*.drnone\n");
    write(m_dir.filePath("config/mimeapps.list"),
          "[Default Applications]\napplication/x-docrun-test=docrun-recorder.desktop\n");
    for (const char *name : {"doc/report.drtest", "doc/my report.drtest", "doc/a;b.drtest",
                             "doc/plain.drnone", "doc/my #report.drtest", "doc/a ~/x.drtest"})
        write(m_dir.filePath(name), "test\n");

    qputenv("XDG_DATA_HOME", m_dir.filePath("data").toUtf8());
    qputenv("XDG_DATA_DIRS", m_dir.filePath("system-data").toUtf8());
    qputenv("XDG_CONFIG_HOME", m_dir.filePath("config").toUtf8());
    qputenv("XDG_CONFIG_DIRS", m_dir.filePath("system-config").toUtf8());
    // No desktop session: xdg-mime then reads the files above instead of asking a desktop.
    qputenv("XDG_CURRENT_DESKTOP", "X-Generic");
    for (const char *name : {"KDE_FULL_SESSION", "GNOME_DESKTOP_SESSION_ID",
                             "MATE_DESKTOP_SESSION_ID", "DESKTOP_SESSION", "LXQT_SESSION_CONFIG"})
        qunsetenv(name);
    qputenv("PATH", m_dir.filePath("bin").toUtf8() + ':' + qgetenv("PATH"));

    m_library = dlopen(DOCRUN_LIBRARY, RTLD_NOW | RTLD_LOCAL);
    QVERIFY2(m_library, dlerror());
    m_acro = reinterpret_cast<decltype(&Acro)>(dlsym(m_library, "Acro"));
    QVERIFY2(m_acro, "Acro is not exported by its plain name");
}

void TestDocrun::cleanupTestCase()
{
    if (m_library)
        dlclose(m_library);
}

void TestDocrun::init()
{
    QFile::remove(m_dir.filePath("recorded"));
}

void TestDocrun::acro_data()
{
    QTest::addColumn<QString>("document");
    QTest::addColumn<int>("exitCode"); // of the application; -1: Acro refused
    QTest::addColumn<QStringList>("recorded");

    const QString recorder = m_dir.filePath("bin/recorder");
    const QString doc = m_dir.filePath("doc");
    QTest::newRow("opens") << doc + "/report.drtest" << 7
                           << QStringList{recorder, doc + "/report.drtest"};
    QTest::newRow("space splits the document")
        << doc + "/my report.drtest" << 7 << QStringList{recorder, doc + "/my", "report.drtest"};
    QTest::newRow("no application for the type") << doc + "/plain.drnone" << -1 << QStringList{};
    QTest::newRow("shell syntax in the document") << doc + "/a;b.drtest" << -1 << QStringList{};
    // The shell would drop "#report.drtest" as a comment and put the home folder for "~".
    QTest::newRow("word starting with # in the document")
        << doc + "/my #report.drtest" << -1 << QStringList{};
    QTest::newRow("word starting with ~ in the document")
        << doc + "/a ~/x.drtest" << -1 << QStringList{};
    QTest::newRow("document path over 63")
        << doc + "/" + QString(63, 'x') + ".drtest" << -1 << QStringList{};
}

void TestDocrun::acro()
{
    QFETCH(QString, document);
    QFETCH(int, exitCode);
    QFETCH(QStringList, recorded);

    const int32_t result = m_acro(document.toUtf8().constData());
    if (exitCode < 0) {
        QCOMPARE(result, -1);
    } else {
        // The interpreter call's own result: an exit status.
        QVERIFY2(WIFEXITED(result), qPrintable(QString::number(result)));
        QCOMPARE(WEXITSTATUS(result), exitCode);
    }
    QCOMPARE(this->recorded(), recorded);
}

QTEST_GUILESS_MAIN(TestDocrun)
#include "tst_docrun.moc"
