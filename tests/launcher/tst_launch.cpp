#include "launcher/Launch.h"

#include <QTest>

#include <new>
#include <stdexcept>

using docrun::Dialect;

namespace {

const Dialect &DialectNamed(const QByteArray &name)
{
    return name == "windows" ? docrun::WindowsDialect : docrun::PosixDialect;
}

// Stands in for the desktop: answers the look-up and records what would have been run.
struct FakeDesktop
{
    bool found = true;
    std::string application;
    int result = 0;
    QList<QByteArray> lookedUp;
    QList<QByteArray> ran;

    docrun::FindApplication find()
    {
        return [this](const std::string &document) -> std::optional<std::string> {
            lookedUp << QByteArray::fromStdString(document);
            if (!found)
                return std::nullopt;
            return application;
        };
    }
    docrun::RunCommand run()
    {
        return [this](const char *command) {
            ran << QByteArray(command);
            return result;
        };
    }
};

} // namespace

class TestLaunch : public QObject
{
    Q_OBJECT

private slots:
    void commandLine_data();
    void commandLine();
    void unsafeCharacters_data();
    void unsafeCharacters();
    void launch_data();
    void launch();
    void thrownExceptionsEndInMinusOne_data();
    void thrownExceptionsEndInMinusOne();
};

void TestLaunch::commandLine_data()
{
    QTest::addColumn<QByteArray>("dialect");
    QTest::addColumn<QByteArray>("application");
    QTest::addColumn<QByteArray>("document");
    QTest::addColumn<QByteArray>("expected"); // empty: refused

    QTest::newRow("worked example")
        << QByteArray("windows") << QByteArray("C:\\Program Files\\Doc View 5.0\\Viewer.exe")
        << QByteArray("D:\\manual.pdf")
        << QByteArray("C:\\Progra~1\\DocVie~1.0\\Viewer.exe D:\\manual.pdf");
    QTest::newRow("document with spaces goes unquoted")
        << QByteArray("windows") << QByteArray("C:\\Tools\\view.exe")
        << QByteArray("D:\\My Docs\\a b.pdf")
        << QByteArray("C:\\Tools\\view.exe D:\\My Docs\\a b.pdf");
    QTest::newRow("parentheses are plain on windows")
        << QByteArray("windows") << QByteArray("C:\\Program Files (x86)\\Viewer\\v.exe")
        << QByteArray("D:\\a(1)$.pdf") << QByteArray("C:\\Progra~1\\Viewer\\v.exe D:\\a(1)$.pdf");
    QTest::newRow("posix") << QByteArray("posix") << QByteArray("/opt/Doc View/viewer")
                           << QByteArray("/home/u/100% sure.pdf")
                           << QByteArray("/opt/DocVie~1/viewer /home/u/100% sure.pdf");

    const QByteArray doc63 = "D:\\" + QByteArray(60, 'd');
    QTest::newRow("document of 63") << QByteArray("windows") << QByteArray("C:\\v.exe") << doc63
                                    << QByteArray("C:\\v.exe " + doc63);
    QTest::newRow("document of 64")
        << QByteArray("windows") << QByteArray("C:\\v.exe") << doc63 + "d" << QByteArray();

    // 191 + 1 + 63 = 255; the file name is not subject to the folder name limit.
    const QByteArray app191 = "C:\\" + QByteArray(188, 'v');
    QTest::newRow("command of 255")
        << QByteArray("windows") << app191 << doc63 << QByteArray(app191 + " " + doc63);
    QTest::newRow("command of 256")
        << QByteArray("windows") << app191 + "v" << doc63 << QByteArray();
    QTest::newRow("folder name of 64")
        << QByteArray("windows") << QByteArray("C:\\" + QByteArray(64, 'f') + "\\v.exe")
        << QByteArray("D:\\a.pdf") << QByteArray();
    // Its short form would fit, but the shell's answer itself is over the limit.
    QByteArray app256 = "C:";
    for (int i = 0; i < 3; ++i)
        app256 += "\\" + QByteArray(31, 'a') + " " + QByteArray(31, 'b');
    app256 += "\\" + QByteArray(256 - app256.size() - 1, 'v');
    QTest::newRow("application of 256")
        << QByteArray("windows") << app256 << QByteArray("D:\\a.pdf") << QByteArray();
    QTest::newRow("no application")
        << QByteArray("windows") << QByteArray() << QByteArray("D:\\a.pdf") << QByteArray();

    // A word starting with '#' (a comment) or '~' (a home folder), at the start of a path or after
    // white space, is refused on both platforms; inside a word or after a separator it is plain.
    QTest::newRow("# starts the document") << QByteArray("posix") << QByteArray("/opt/viewer")
                                           << QByteArray("#notes.pdf") << QByteArray();
    QTest::newRow("# starts a word of the document")
        << QByteArray("posix") << QByteArray("/opt/viewer") << QByteArray("/home/u/a #b.pdf")
        << QByteArray();
    QTest::newRow("~ starts the document") << QByteArray("posix") << QByteArray("/opt/viewer")
                                           << QByteArray("~/a.pdf") << QByteArray();
    QTest::newRow("~ after a tab in the document")
        << QByteArray("posix") << QByteArray("/opt/viewer") << QByteArray("/home/u/a\t~b.pdf")
        << QByteArray();
    QTest::newRow("# and ~ inside words")
        << QByteArray("posix") << QByteArray("/opt/v#1~2/viewer") << QByteArray("/home/u/a#b~c.pdf")
        << QByteArray("/opt/v#1~2/viewer /home/u/a#b~c.pdf");
    QTest::newRow("# and ~ after a separator")
        << QByteArray("posix") << QByteArray("/opt/#v/viewer") << QByteArray("/home/u/~a.pdf")
        << QByteArray("/opt/#v/viewer /home/u/~a.pdf");
    QTest::newRow("# starts a word of the application")
        << QByteArray("posix") << QByteArray("/opt/my #tools/viewer") << QByteArray("/a.pdf")
        << QByteArray();
    QTest::newRow("~ starts a word of the application")
        << QByteArray("posix") << QByteArray("/opt/my ~tools/viewer") << QByteArray("/a.pdf")
        << QByteArray();
    QTest::newRow("~ made a word start by the short path")
        << QByteArray("posix") << QByteArray("/opt/x\t .y/viewer") << QByteArray("/a.pdf")
        << QByteArray();
    QTest::newRow("windows: # starts a word of the document")
        << QByteArray("windows") << QByteArray("C:\\v.exe") << QByteArray("D:\\a #1.pdf")
        << QByteArray();
    QTest::newRow("windows: ~ starts a word of the application")
        << QByteArray("windows") << QByteArray("C:\\My ~Tools\\v.exe") << QByteArray("D:\\a.pdf")
        << QByteArray();
    QTest::newRow("windows: short names keep their ~")
        << QByteArray("windows") << QByteArray("C:\\Progra~1\\v.exe")
        << QByteArray("D:\\Docume~1\\a.pdf")
        << QByteArray("C:\\Progra~1\\v.exe D:\\Docume~1\\a.pdf");
}

void TestLaunch::commandLine()
{
    QFETCH(QByteArray, dialect);
    QFETCH(QByteArray, application);
    QFETCH(QByteArray, document);
    QFETCH(QByteArray, expected);

    const std::optional<std::string> command = docrun::CommandLine(
        application.toStdString(), document.toStdString(), DialectNamed(dialect));
    QCOMPARE(command.has_value(), !expected.isEmpty());
    if (command)
        QCOMPARE(QByteArray::fromStdString(*command), expected);
}

void TestLaunch::unsafeCharacters_data()
{
    QTest::addColumn<QByteArray>("dialect");
    QTest::addColumn<char>("character");

    // Every character that would let a file name add syntax of its own.
    for (const char *name : {"windows", "posix"}) {
        for (char c : DialectNamed(name).unsafe) {
            QTest::addRow("%s %02x '%c'", name, static_cast<unsigned char>(c), c >= ' ' ? c : '?')
                << QByteArray(name) << c;
        }
    }
}

void TestLaunch::unsafeCharacters()
{
    QFETCH(QByteArray, dialect);
    QFETCH(char, character);
    const Dialect &d = DialectNamed(dialect);
    const QByteArray folder = dialect == "windows" ? "C:\\Tools\\" : "/opt/tools/";
    const QByteArray app = folder + "viewer";
    const QByteArray doc = folder + "report.pdf";

    QVERIFY(docrun::CommandLine(app.toStdString(), doc.toStdString(), d));
    const QByteArray badDoc = folder + "a" + character + "b.pdf";
    QVERIFY(!docrun::CommandLine(app.toStdString(), badDoc.toStdString(), d));
    const QByteArray badApp = folder + "a" + character + "b" + d.separator + "viewer";
    QVERIFY(!docrun::CommandLine(badApp.toStdString(), doc.toStdString(), d));
}

void TestLaunch::launch_data()
{
    QTest::addColumn<bool>("nullDocument");
    QTest::addColumn<QByteArray>("document");
    QTest::addColumn<bool>("found");
    QTest::addColumn<QByteArray>("application");
    QTest::addColumn<int>("interpreterResult");
    QTest::addColumn<bool>("lookedUp");
    QTest::addColumn<QByteArray>("command"); // empty: nothing run
    QTest::addColumn<int>("expected");

    const QByteArray viewer = "C:\\Program Files\\Viewer.exe";
    const QByteArray doc = "D:\\manual.pdf";
    QTest::newRow("runs, passes the result on")
        << false << doc << true << viewer << 768 << true
        << QByteArray("C:\\Progra~1\\Viewer.exe D:\\manual.pdf") << 768;
    QTest::newRow("interpreter failure passed on")
        << false << doc << true << viewer << -1 << true
        << QByteArray("C:\\Progra~1\\Viewer.exe D:\\manual.pdf") << -1;
    QTest::newRow("null document")
        << true << QByteArray() << true << viewer << 0 << false << QByteArray() << -1;
    QTest::newRow("empty document")
        << false << QByteArray("") << true << viewer << 0 << false << QByteArray() << -1;
    QTest::newRow("very long document")
        << false << QByteArray(5000, 'd') << true << viewer << 0 << false << QByteArray() << -1;
    QTest::newRow("unsafe document") << false << QByteArray("D:\\a&calc.pdf") << true << viewer << 0
                                     << false << QByteArray() << -1;
    QTest::newRow("document with a word starting with ~")
        << false << QByteArray("D:\\a ~b.pdf") << true << viewer << 0 << false << QByteArray()
        << -1;
    QTest::newRow("no association")
        << false << doc << false << QByteArray() << 0 << true << QByteArray() << -1;
    QTest::newRow("empty association")
        << false << doc << true << QByteArray() << 0 << true << QByteArray() << -1;
    QTest::newRow("unsafe application")
        << false << doc << true << QByteArray("C:\\a%b%\\v.exe") << 0 << true << QByteArray() << -1;
    QTest::newRow("command too long")
        << false << doc << true << "C:\\" + QByteArray(250, 'v') << 0 << true << QByteArray() << -1;
}

void TestLaunch::launch()
{
    QFETCH(bool, nullDocument);
    QFETCH(QByteArray, document);
    QFETCH(bool, found);
    QFETCH(QByteArray, application);
    QFETCH(int, interpreterResult);
    QFETCH(bool, lookedUp);
    QFETCH(QByteArray, command);
    QFETCH(int, expected);

    FakeDesktop desktop;
    desktop.found = found;
    desktop.application = application.toStdString();
    desktop.result = interpreterResult;

    const int result = docrun::Launch(nullDocument ? nullptr : document.constData(),
                                      docrun::WindowsDialect, desktop.find(), desktop.run());
    QCOMPARE(result, expected);
    QCOMPARE(desktop.lookedUp, lookedUp ? QList<QByteArray>{document} : QList<QByteArray>{});
    QCOMPARE(desktop.ran, command.isEmpty() ? QList<QByteArray>{} : QList<QByteArray>{command});
}

void TestLaunch::thrownExceptionsEndInMinusOne_data()
{
    QTest::addColumn<bool>("inLookUp"); // else in the run
    QTest::addColumn<QByteArray>("what");

    for (bool inLookUp : {true, false}) {
        for (const char *what : {"std::runtime_error", "std::bad_alloc", "int", "string literal"}) {
            QTest::addRow("%s throws %s", inLookUp ? "look-up" : "run", what)
                << inLookUp << QByteArray(what);
        }
    }
}

void TestLaunch::thrownExceptionsEndInMinusOne()
{
    QFETCH(bool, inLookUp);
    QFETCH(QByteArray, what);

    const auto raise = [what] {
        if (what == "std::runtime_error")
            throw std::runtime_error("look-up failed");
        if (what == "std::bad_alloc")
            throw std::bad_alloc();
        if (what == "int")
            throw 42;
        throw "failed";
    };
    bool ran = false;
    const docrun::FindApplication find = [&](const std::string &) -> std::optional<std::string> {
        if (inLookUp)
            raise();
        return std::string("C:\\v.exe");
    };
    const docrun::RunCommand run = [&](const char *) {
        ran = true;
        raise();
        return 0;
    };
    QCOMPARE(docrun::Launch("D:\\a.pdf", docrun::WindowsDialect, find, run), -1);
    QCOMPARE(ran, !inLookUp);
}

QTEST_APPLESS_MAIN(TestLaunch)
#include "tst_launch.moc"
