// Open, Save and Save As through the main window: the file dialog answered as a user would, the
// configuration and the panel afterwards, and every failure leaving the configuration (or the
// file on disk) as it was.

#include "app/Forms.h"
#include "app/frmCommPort.h"
#include "app/frmMain.h"
#include "files/ConfigFile.h"
#include "files/Files.h"
#include "model/Globals.h"
#include "panels/AnalogPanel.h"
#include "panels/DiscretePanel.h"
#include "sim/SimModule.h"
#include "sim/SimSerialPort.h"
#include "tests/support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace {

// Answers the next file dialog with a name (or cancels it), and checks its title and filters.
void answerFileDialog(ModalAnswerer &answers, const QString &name, const QString &title,
                      QString *seenTitle = nullptr, QStringList *seenFilters = nullptr,
                      QString *seenFilter = nullptr)
{
    answers.expect<QFileDialog>([=](QFileDialog &dialog) {
        if (seenTitle)
            *seenTitle = dialog.windowTitle();
        if (seenFilters)
            *seenFilters = dialog.nameFilters();
        if (seenFilter)
            *seenFilter = dialog.selectedNameFilter();
        Q_UNUSED(title);
        if (name.isEmpty()) {
            dialog.reject();
            return;
        }
        dialog.selectFile(name);
        static_cast<QDialog &>(dialog).done(QDialog::Accepted); // no overwrite question
    });
}

QByteArray readAll(const QString &name)
{
    QFile file(name);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

bool writeAll(const QString &name, const QByteArray &bytes)
{
    QFile file(name);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// A UT5 configuration different from every start value.
ConfigSnapshot ut5Config()
{
    ConfigSnapshot c;
    c.kind = KindUt5;
    for (int ch = 1; ch <= 16; ++ch) {
        c.typeCode[std::size_t(ch)] = int16_t(ch <= 7 ? ch - 1 : ch + 9);
        c.cjcSwitch[std::size_t(ch)] = int16_t(ch > 7 ? 1 : 0);
    }
    c.modbus = {3, 2, 1, 1, 1};
    c.cjmTemp = QStringLiteral("24.000");
    c.cjmVolt = QStringLiteral("0.600");
    c.burnout = 2;
    c.filter = QStringLiteral("2.5");
    c.alarm = 0;
    return c;
}

} // namespace

class TestFiles : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        ResetProgramState();
        Forms::get<frmMain>(); // its start-up resets the configuration: before any test sets one
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
    }

    void saveAsAndOpenOffline();
    void cancellingOpenKeepsPanelReload();
    void counterFileShowsNoPanel();
    void openFailuresChangeNothing_data();
    void openFailuresChangeNothing();
    void fileOfAnotherKindWhileConnected();
    void saveReplacesTheFileWhole();
    void saveFailuresKeepTheOldFile_data();
    void saveFailuresKeepTheOldFile();
    void saveWithoutAFileDoesNothing();

private:
    QString path(const QString &name) const { return m_dir->filePath(name); }
    std::unique_ptr<QTemporaryDir> m_dir;
};

void TestFiles::saveAsAndOpenOffline()
{
    frmMain &main = Forms::get<frmMain>();
    main.mnuModelModel(1)->trigger();
    ApplyConfig(ut5Config());
    const QString name = path(QStringLiteral("plant.vq7"));
    {
        ModalAnswerer answers;
        QString title, filter;
        QStringList filters;
        answerFileDialog(answers, name, {}, &title, &filters, &filter);
        MsgRecorder boxes;
        main.mnuFileSaveAs->trigger();
        QVERIFY2(boxes.boxes().isEmpty(), qPrintable(boxes.prompts().join(" / ")));
        QCOMPARE(title, QStringLiteral("SaveAs"));
        QCOMPARE(filters.size(), 3);
        QVERIFY(filters[0].startsWith(QStringLiteral("User Files (*.vq7)")));
        QCOMPARE(filter, filters[0]);
    }
    QCOMPARE(readAll(name), *FormatConfigFile(ut5Config()));
    QCOMPARE(G.FilePath, name);

    // Another model offline, then the file again: every stored value and the UT5 panel are back.
    main.mnuModelModel(2)->trigger();
    G.BurnoutType = 0;
    G.FilePath.clear();
    ModalAnswerer answers;
    QString title;
    answerFileDialog(answers, name, {}, &title);
    MsgRecorder boxes;
    main.button(QStringLiteral("Open"))->trigger();
    QVERIFY2(boxes.boxes().isEmpty(), qPrintable(boxes.prompts().join(" / ")));
    QCOMPARE(title, QStringLiteral("Open"));
    QCOMPARE(CaptureConfig(), ut5Config());
    QCOMPARE(G.FilePath, name);
    frmUt5 &panel = Forms::get<frmUt5>();
    QVERIFY(!panel.isHidden());
    QCOMPARE(panel.lblType(9)->text(), QStringLiteral("E(CRC)")); // code 18
    QCOMPARE(panel.lblCjmSw(9)->text(), QStringLiteral("ON"));
    QCOMPARE(panel.lblBurnout->text(), G.BurnoutNames[2]);
    QVERIFY(!G.PanelReload);
}

void TestFiles::cancellingOpenKeepsPanelReload()
{
    frmMain &main = Forms::get<frmMain>();
    ModalAnswerer answers;
    answerFileDialog(answers, QString(), {});
    const ConfigSnapshot before = CaptureConfig();
    main.mnuFileOpen->trigger();
    QVERIFY(G.PanelReload);
    QCOMPARE(CaptureConfig(), before);
    QVERIFY(G.FilePath.isEmpty());
}

void TestFiles::counterFileShowsNoPanel()
{
    ConfigSnapshot c;
    c.kind = KindL7;
    c.typeCode[3] = 5;
    const QString name = path(QStringLiteral("counter.vq7"));
    QVERIFY(writeAll(name, *FormatConfigFile(c)));
    frmMain &main = Forms::get<frmMain>();
    ModalAnswerer answers;
    answerFileDialog(answers, name, {});
    main.mnuFileOpen->trigger();
    QCOMPARE(G.curKind(), int(KindL7));
    QCOMPARE(G.ChTypeCode[3], int16_t(5));
    QVERIFY(!Forms::ifLoaded<frmL7>());
}

void TestFiles::openFailuresChangeNothing_data()
{
    QTest::addColumn<QByteArray>("bytes"); // "<none>": no such file
    QTest::addColumn<QString>("says");
    const QByteArray good = *FormatConfigFile(ut5Config());
    QTest::newRow("missing file") << QByteArray("<none>") << "";
    QTest::newRow("too short") << good.left(good.size() / 2) << "ends too early";
    QTest::newRow("a field that does not convert")
        << QByteArray(good).replace("\r\n3\r\n", "\r\nx\r\n") << "not a whole number";
    QTest::newRow("control character in a text")
        << QByteArray(good).replace("2.5", "2\x07" "5") << "not plain text";
}

// Only a complete, valid file changes the configuration.
void TestFiles::openFailuresChangeNothing()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, says);
    const QString name = path(QStringLiteral("broken.vq7"));
    QFile::remove(name);
    if (bytes != "<none>")
        QVERIFY(writeAll(name, bytes));

    frmMain &main = Forms::get<frmMain>();
    main.mnuModelModel(3)->trigger(); // UT8 offline
    G.ChTypeCode[2] = 21;
    G.CjmTemp = QStringLiteral("20.000");
    const ConfigSnapshot before = CaptureConfig();
    const QString filePath = G.FilePath = path(QStringLiteral("earlier.vq7"));

    ModalAnswerer answers;
    answerFileDialog(answers, name, {});
    MsgRecorder boxes;
    main.mnuFileOpen->trigger();
    QCOMPARE(boxes.count(), 1);
    QCOMPARE(boxes.boxes()[0].title, QStringLiteral("File Read"));
    QCOMPARE(boxes.boxes()[0].icon, MsgIcon::Critical);
    QVERIFY2(boxes.boxes()[0].prompt.contains(says), qPrintable(boxes.boxes()[0].prompt));
    QVERIFY(!boxes.boxes()[0].prompt.isEmpty());
    QCOMPARE(CaptureConfig(), before);
    QCOMPARE(G.FilePath, filePath); // a later Save still goes to the file it went to
    QVERIFY(!Forms::get<frmUt8>().isHidden());
}

// A file of another kind than the connected module's changes nothing at all.
void TestFiles::fileOfAnotherKindWhileConnected()
{
    ResetProgramState(); // the main window is made again, with the simulated module as its port
    auto module = InstallSimModule(QStringLiteral("VQ7_UT5"));
    module->setDeterministic(true);
    frmMain &main = Forms::get<frmMain>();
    {
        ModalAnswerer answers;
        answers.expect<frmCommPort>([](frmCommPort &dialog) { dialog.cmdOK->click(); });
        main.mnuConnConn->trigger();
    }
    QVERIFY(G.LinkUp);
    const ConfigSnapshot before = CaptureConfig();

    ConfigSnapshot k6;
    k6.kind = KindK6;
    for (int ch = 1; ch <= 16; ++ch)
        k6.typeCode[std::size_t(ch)] = 49;
    const QString name = path(QStringLiteral("k6.vq7"));
    QVERIFY(writeAll(name, *FormatConfigFile(k6)));
    ModalAnswerer answers;
    answerFileDialog(answers, name, {});
    MsgRecorder boxes;
    main.mnuFileOpen->trigger();
    QCOMPARE(boxes.prompts(), QStringList{"Model of Open file is different from Connected Model."});
    QCOMPARE(boxes.boxes()[0].title, QStringLiteral("File Read"));
    QCOMPARE(boxes.boxes()[0].icon, MsgIcon::Critical);
    QCOMPARE(CaptureConfig(), before);
    QVERIFY(!Forms::get<frmUt5>().isHidden());
}

void TestFiles::saveReplacesTheFileWhole()
{
    const QString name = path(QStringLiteral("replace.vq7"));
    QVERIFY(writeAll(name, QByteArray(5000, 'x'))); // longer than what replaces it
    ApplyConfig(ut5Config());
    G.FilePath = name;
    MsgRecorder boxes;
    Forms::get<frmMain>().button(QStringLiteral("Save"))->trigger();
    QVERIFY(boxes.boxes().isEmpty());
    QCOMPARE(readAll(name), *FormatConfigFile(ut5Config()));
    QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files | QDir::Hidden), QStringList{"replace.vq7"});
}

void TestFiles::saveFailuresKeepTheOldFile_data()
{
    QTest::addColumn<QString>("filter");   // the filter time constant to save
    QTest::addColumn<bool>("missingFolder"); // save into a folder that does not exist
    QTest::addColumn<QString>("says");
    QTest::newRow("double quote in a text") << "1\"5" << false << "the filter time constant";
    QTest::newRow("folder does not exist") << "1.5" << true << "";
}

void TestFiles::saveFailuresKeepTheOldFile()
{
    QFETCH(QString, filter);
    QFETCH(bool, missingFolder);
    QFETCH(QString, says);
    const QString name = missingFolder ? path(QStringLiteral("no-such-folder/x.vq7"))
                                       : path(QStringLiteral("keep.vq7"));
    const QByteArray old = "old contents\r\n";
    if (!missingFolder)
        QVERIFY(writeAll(name, old));
    ApplyConfig(ut5Config());
    G.FilterConst = filter;

    ModalAnswerer answers;
    answerFileDialog(answers, name, {});
    MsgRecorder boxes;
    Forms::get<frmMain>().mnuFileSaveAs->trigger();
    QCOMPARE(boxes.count(), 1);
    QCOMPARE(boxes.boxes()[0].title, QStringLiteral("Open Error"));
    QCOMPARE(boxes.boxes()[0].icon, MsgIcon::None);
    QVERIFY(!boxes.boxes()[0].prompt.isEmpty());
    QVERIFY2(boxes.boxes()[0].prompt.contains(says), qPrintable(boxes.boxes()[0].prompt));
    if (missingFolder)
        QVERIFY(!QFile::exists(name));
    else
        QCOMPARE(readAll(name), old);
}

void TestFiles::saveWithoutAFileDoesNothing()
{
    ModalAnswerer answers; // any dialog would be unexpected
    MsgRecorder boxes;
    Forms::get<frmMain>().mnuFileSave->trigger();
    QVERIFY(boxes.boxes().isEmpty());
    QVERIFY(answers.shown().isEmpty());
    QVERIFY(QDir(m_dir->path()).isEmpty());
}

QTEST_MAIN(TestFiles)
#include "tst_files.moc"
