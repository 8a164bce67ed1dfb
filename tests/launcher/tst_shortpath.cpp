#include "launcher/ShortPath.h"

#include <QTest>

using docrun::ShortFolderName;
using docrun::ShortPath;

class TestShortPath : public QObject
{
    Q_OBJECT

private slots:
    void folderName_data();
    void folderName();
    void path_data();
    void path();
};

void TestShortPath::folderName_data()
{
    QTest::addColumn<QByteArray>("name");
    QTest::addColumn<QByteArray>("expected");

    QTest::newRow("Program Files") << QByteArray("Program Files") << QByteArray("Progra~1");
    QTest::newRow("Doc View 5.0") << QByteArray("Doc View 5.0") << QByteArray("DocVie~1.0");
    QTest::newRow("My App.dat") << QByteArray("My App.dat") << QByteArray("MyApp~1.dat");
    QTest::newRow("My Files.backup") << QByteArray("My Files.backup") << QByteArray("MyFile~1.bac");
    QTest::newRow("A B") << QByteArray("A B") << QByteArray("AB~1");
    QTest::newRow("no space, long") << QByteArray("LongFolderName") << QByteArray("LongFolderName");
    QTest::newRow("no space, dots") << QByteArray("my.long.folder") << QByteArray("my.long.folder");
    QTest::newRow("two spaces") << QByteArray("Doc  View 5.0") << QByteArray("DocVie~1.0");
    QTest::newRow("leading and trailing")
        << QByteArray(" Doc View 5.0 ") << QByteArray("DocVie~1.0");
    QTest::newRow("exactly 6 left") << QByteArray("Ab cdef") << QByteArray("Abcdef~1");
    QTest::newRow("7 left, cut to 6") << QByteArray("Ab cdefg") << QByteArray("Abcdef~1");
    QTest::newRow("only the first dot") << QByteArray("A b.c.d") << QByteArray("Ab~1.c.d");
    QTest::newRow("7 before the dot") << QByteArray("Abc defg.x") << QByteArray("Abcdef~1.x");
    QTest::newRow("dot first") << QByteArray(". config") << QByteArray("~1.con");
    QTest::newRow("case kept") << QByteArray("mY aPP") << QByteArray("mYaPP~1");
    QTest::newRow("only spaces") << QByteArray("   ") << QByteArray("~1");
}

void TestShortPath::folderName()
{
    QFETCH(QByteArray, name);
    QFETCH(QByteArray, expected);
    QCOMPARE(QByteArray::fromStdString(ShortFolderName(name.toStdString())), expected);
}

void TestShortPath::path_data()
{
    QTest::addColumn<char>("separator");
    QTest::addColumn<QByteArray>("application");
    QTest::addColumn<bool>("accepted");
    QTest::addColumn<QByteArray>("expected");

    auto row = [](const char *name, char separator, const QByteArray &application,
                  const QByteArray &expected) {
        QTest::newRow(name) << separator << application << true << expected;
    };
    auto refused = [](const char *name, char separator, const QByteArray &application) {
        QTest::newRow(name) << separator << application << false << QByteArray();
    };

    row("worked example", '\\', "C:\\Program Files\\Doc View 5.0\\Viewer.exe",
        "C:\\Progra~1\\DocVie~1.0\\Viewer.exe");
    row("no space anywhere", '\\', "C:\\Tools\\LongFolderName\\v1.2\\app.exe",
        "C:\\Tools\\LongFolderName\\v1.2\\app.exe");
    row("file name kept", '\\', "C:\\My Apps\\My Viewer.exe", "C:\\MyApps~1\\My Viewer.exe");
    row("first component kept", '\\', "My Disk\\A B\\x.exe", "My Disk\\AB~1\\x.exe");
    row("network path", '\\', "\\\\server\\Shared Apps\\tool.exe",
        "\\\\server\\Shared~1\\tool.exe");
    row("doubled separator", '\\', "C:\\a\\\\b c\\x.exe", "C:\\a\\\\bc~1\\x.exe");
    row("trailing separator", '\\', "C:\\Doc View\\", "C:\\DocVie~1\\");
    row("no separator", '\\', "viewer.exe", "viewer.exe");
    row("slash separated", '/', "/opt/Doc View 5.0/bin/viewer", "/opt/DocVie~1.0/bin/viewer");
    row("slash is no folder break for backslash", '\\', "C:\\a/b c\\x.exe", "C:\\a/bc~1\\x.exe");

    const QByteArray name63(63, 'a');
    row("folder of 63", '\\', "C:\\" + name63 + "\\x.exe", "C:\\" + name63 + "\\x.exe");
    refused("folder of 64", '\\', "C:\\" + name63 + "a\\x.exe");
    refused("folder of 64 with spaces", '\\', "C:\\" + QByteArray(62, 'a') + "  \\x.exe");
    row("long file name", '\\', "C:\\x\\" + QByteArray(200, 'f'), "C:\\x\\" + QByteArray(200, 'f'));

    // "C:" and 25 folders of 9 characters make 252.
    QByteArray folders = "C:";
    for (int i = 0; i < 25; ++i)
        folders += "\\abcdefghi";
    row("result of 255", '\\', folders + "\\ab", folders + "\\ab");
    refused("result of 256", '\\', folders + "\\abc");
    // Each "A B" grows by one character, to "AB~1".
    QByteArray growing = "C:";
    for (int i = 0; i < 62; ++i)
        growing += "\\A B";
    refused("result grows past 255", '\\', growing + "\\x");
}

void TestShortPath::path()
{
    QFETCH(char, separator);
    QFETCH(QByteArray, application);
    QFETCH(bool, accepted);
    QFETCH(QByteArray, expected);

    const std::optional<std::string> result = ShortPath(application.toStdString(), separator);
    QCOMPARE(result.has_value(), accepted);
    if (accepted)
        QCOMPARE(QByteArray::fromStdString(*result), expected);
}

QTEST_APPLESS_MAIN(TestShortPath)
#include "tst_shortpath.moc"
