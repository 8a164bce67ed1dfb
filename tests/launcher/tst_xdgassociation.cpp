#include "launcher/XdgAssociation.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {

QByteArray Text(const std::optional<std::string> &value)
{
    return value ? QByteArray::fromStdString(*value) : QByteArray("<none>");
}

void WriteFile(const QString &path, const QByteArray &contents,
               QFile::Permissions permissions = QFile::ReadOwner | QFile::WriteOwner)
{
    QVERIFY(QDir().mkpath(QFileInfo(path).path()));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(contents);
    file.close();
    QVERIFY(file.setPermissions(permissions));
}

} // namespace

class TestXdgAssociation : public QObject
{
    Q_OBJECT

private slots:
    void desktopEntryProgram_data();
    void desktopEntryProgram();
    void applicationFolders();
    void findDesktopEntry();
    void resolveProgram_data();
    void resolveProgram();
};

void TestXdgAssociation::desktopEntryProgram_data()
{
    QTest::addColumn<QByteArray>("entry");
    QTest::addColumn<QByteArray>("program");

    const QByteArray head = "[Desktop Entry]\nType=Application\nName=Viewer\n";
    QTest::newRow("name and field code") << head + "Exec=viewer %f\n" << QByteArray("viewer");
    QTest::newRow("absolute, options")
        << head + "Exec=/usr/bin/viewer --new %U" << QByteArray("/usr/bin/viewer");
    QTest::newRow("spaces around =") << head + "Exec = viewer %f\n" << QByteArray("viewer");
    QTest::newRow("CRLF lines") << QByteArray("[Desktop Entry]\r\nExec=viewer %f\r\n")
                                << QByteArray("viewer");
    QTest::newRow("quoted with space")
        << head + "Exec=\"/opt/My Viewer/viewer\" %f" << QByteArray("/opt/My Viewer/viewer");
    // The file's "\\\\" is one escaped backslash inside the quotes, "\\$" an escaped dollar.
    QTest::newRow("quoted escapes")
        << head + "Exec=\"/opt/a\\\\\\\\b/\\\\$v\" %f" << QByteArray("/opt/a\\b/$v");
    QTest::newRow("other keys and comments first")
        << head + "TryExec=other\n#Exec=old\nExecutable=x\nExec=viewer" << QByteArray("viewer");
    QTest::newRow("action group ignored")
        << QByteArray("[Desktop Action new]\nExec=other\n[Desktop Entry]\nExec=viewer %f")
        << QByteArray("viewer");
    QTest::newRow("only in an action")
        << head + "[Desktop Action new]\nExec=other" << QByteArray("<none>");
    QTest::newRow("no Exec") << head << QByteArray("<none>");
    QTest::newRow("empty Exec") << head + "Exec=\n" << QByteArray("<none>");
    QTest::newRow("unclosed quote") << head + "Exec=\"/opt/v %f" << QByteArray("<none>");
}

void TestXdgAssociation::desktopEntryProgram()
{
    QFETCH(QByteArray, entry);
    QFETCH(QByteArray, program);
    QCOMPARE(Text(docrun::DesktopEntryProgram(entry.toStdString())), program);
}

void TestXdgAssociation::applicationFolders()
{
    using Folders = std::vector<std::string>;
    QCOMPARE(docrun::ApplicationFolders("/d/home", "/d/a:/d/b", "/home/u"),
             (Folders{"/d/home/applications", "/d/a/applications", "/d/b/applications"}));
    QCOMPARE(docrun::ApplicationFolders(nullptr, "", "/home/u"),
             (Folders{"/home/u/.local/share/applications", "/usr/local/share/applications",
                      "/usr/share/applications"}));
    QCOMPARE(docrun::ApplicationFolders("", "::/d/a:", "/home/u"),
             (Folders{"/home/u/.local/share/applications", "/d/a/applications"}));
}

void TestXdgAssociation::findDesktopEntry()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString user = dir.filePath("user/applications");
    const QString system = dir.filePath("system/applications");
    WriteFile(user + "/viewer.desktop", "[Desktop Entry]\n");
    WriteFile(system + "/viewer.desktop", "[Desktop Entry]\n");
    WriteFile(system + "/vendor/tool.desktop", "[Desktop Entry]\n");
    WriteFile(dir.filePath("user/outside.desktop"), "[Desktop Entry]\n");
    const std::vector<std::string> folders{user.toStdString(), system.toStdString()};

    QCOMPARE(Text(docrun::FindDesktopEntry("viewer.desktop", folders)),
             (user + "/viewer.desktop").toUtf8());
    QCOMPARE(Text(docrun::FindDesktopEntry("vendor-tool.desktop", folders)),
             (system + "/vendor/tool.desktop").toUtf8());
    QCOMPARE(Text(docrun::FindDesktopEntry("missing.desktop", folders)), QByteArray("<none>"));
    QCOMPARE(Text(docrun::FindDesktopEntry("..-outside.desktop", folders)), QByteArray("<none>"));
    QCOMPARE(Text(docrun::FindDesktopEntry("../outside.desktop", folders)), QByteArray("<none>"));
}

void TestXdgAssociation::resolveProgram_data()
{
    QTest::addColumn<QByteArray>("program");
    QTest::addColumn<QByteArray>("path"); // "@" stands for the fixture's folder
    QTest::addColumn<QByteArray>("expected");

    QTest::newRow("first executable on PATH")
        << QByteArray("tool") << QByteArray("@/plain:@/missing:@/bin:@/bin2")
        << QByteArray("@/bin/tool");
    QTest::newRow("folder of that name skipped")
        << QByteArray("tool") << QByteArray("@/dirs:@/bin2") << QByteArray("@/bin2/tool");
    QTest::newRow("relative entry skipped")
        << QByteArray("tool") << QByteArray("bin:@/bin2") << QByteArray("@/bin2/tool");
    QTest::newRow("not on PATH") << QByteArray("tool") << QByteArray("@/plain")
                                 << QByteArray("<none>");
    QTest::newRow("absolute") << QByteArray("@/bin/tool") << QByteArray("")
                              << QByteArray("@/bin/tool");
    QTest::newRow("absolute, not executable")
        << QByteArray("@/plain/tool") << QByteArray("@/bin") << QByteArray("<none>");
    QTest::newRow("relative with folder")
        << QByteArray("bin/tool") << QByteArray("@") << QByteArray("<none>");
}

void TestXdgAssociation::resolveProgram()
{
    QFETCH(QByteArray, program);
    QFETCH(QByteArray, path);
    QFETCH(QByteArray, expected);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QFile::Permissions executable = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner;
    WriteFile(dir.filePath("plain/tool"), "#!/bin/sh\n");
    WriteFile(dir.filePath("bin/tool"), "#!/bin/sh\n", executable);
    WriteFile(dir.filePath("bin2/tool"), "#!/bin/sh\n", executable);
    QVERIFY(QDir().mkpath(dir.filePath("dirs/tool")));

    const QByteArray root = dir.path().toUtf8();
    QCOMPARE(Text(docrun::ResolveProgram(program.replace('@', root).toStdString(),
                                         path.replace('@', root).toStdString())),
             expected.replace('@', root));
}

QTEST_APPLESS_MAIN(TestXdgAssociation)
#include "tst_xdgassociation.moc"
