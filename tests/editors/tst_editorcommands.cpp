// The editors as commands: an editor does not open while another command talks, an editor's
// button that talks is held back while another command runs, a window whose download waits for the
// module takes no clicks or keys until it is done, and every control is announced by a name.

#include "editors/frmAlarm.h"
#include "editors/frmBurnout.h"
#include "editors/frmCJM.h"
#include "editors/frmLineNoise.h"
#include "editors/frmTimeCon.h"
#include "editors/frmType.h"
#include "link/ModuleCommand.h"
#include "tests/editors/EditorFixture.h"

#include "app/Resources.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <QTimer>

namespace {

const QString Busy = QStringLiteral("The module is busy with another command.");

// Calls `act` once, while the program waits for the reply to the n-th command from now.
void AtExchange(SimModule &module, int n, std::function<void()> act)
{
    auto seen = std::make_shared<int>(0);
    auto connection = std::make_shared<QMetaObject::Connection>();
    *connection = QObject::connect(&module, &SimModule::exchanged, &module,
                                   [seen, n, act, connection, &module] {
        if (++*seen != n)
            return;
        QObject::disconnect(*connection);
        QTimer::singleShot(0, &module, act);
    });
}

// Opens an editor as its command does: "type" by channel button 1, the others by their openers.
void Open(const QString &editor)
{
    if (editor == QLatin1String("type"))
        PanelOf(G.curKind()).cmdCh(1)->click();
    else if (editor == QLatin1String("burnout"))
        frmBurnout::BurnoutSet();
    else if (editor == QLatin1String("filter"))
        frmTimeCon::FilterSet();
    else if (editor == QLatin1String("noise"))
        frmLineNoise::LineNoiseSet();
    else if (editor == QLatin1String("alarm"))
        frmAlarm::AlarmSet();
    else if (editor == QLatin1String("cjm"))
        frmCJM::CJM();
}

// What a screen reader announces a control as: its name, or for a list box (whose name on Linux
// is its present entry) the label that names it.
QString AnnouncedName(QWidget *widget)
{
    QAccessibleInterface *face = QAccessible::queryAccessibleInterface(widget);
    if (!face)
        return {};
    if (qobject_cast<QComboBox *>(widget)) {
        for (const auto &[label, relation] : face->relations(QAccessible::Label))
            return label->text(QAccessible::Name);
        return {};
    }
    return face->text(QAccessible::Name);
}

} // namespace

class TestEditorCommands : public QObject
{
    Q_OBJECT
private slots:
    void init() { ResetProgramState(); }
    void cleanup() { QVERIFY(!ModuleCommand::Running()); }

    void editorsDoNotOpenDuringConnect_data();
    void editorsDoNotOpenDuringConnect();
    void buttonsHeldBackWhileAnotherCommandRuns_data();
    void buttonsHeldBackWhileAnotherCommandRuns();
    void windowTakesNoInputWhileItsDownloadWaits();
    void everyControlHasAName_data();
    void everyControlHasAName();
};

void TestEditorCommands::editorsDoNotOpenDuringConnect_data()
{
    QTest::addColumn<QString>("model");
    QTest::addColumn<QString>("editor");
    QTest::newRow("type editor from a channel button") << "VQ7_UT5" << "type";
    QTest::newRow("burnout") << "VQ7_UT5" << "burnout";
    QTest::newRow("filter") << "VQ7_K6" << "filter";
    QTest::newRow("cold junction") << "VQ7_UT5" << "cjm";
    QTest::newRow("line noise") << "VQ7S_UT8" << "noise";
    QTest::newRow("alarm") << "VQ7S_UT8" << "alarm";
}

// An editor opened while Connect waits for a reply would hold that wait until it closes: it is
// not opened, the user is told the module is busy, and Connect runs on as it would alone.
void TestEditorCommands::editorsDoNotOpenDuringConnect()
{
    QFETCH(QString, model);
    QFETCH(QString, editor);
    auto plain = ConnectTo(model);
    QVERIFY(G.LinkUp);
    QVERIFY(plain->transcript().isEmpty());
    const int connectExchanges = plain->exchangeCount();

    ResetProgramState();
    auto module = InstallSim(model);
    frmMain &main = Forms::get<frmMain>();
    // Late in the configuration read: the kind is known and its panel on view.
    AtExchange(*module, connectExchanges - 2, [editor] { Open(editor); });
    ModalAnswerer answers;
    answers.expect<frmCommPort>([](frmCommPort &dialog) { dialog.cmdOK->click(); });
    MsgRecorder boxes;
    main.mnuConnConn->trigger();

    QVERIFY(G.LinkUp);
    QCOMPARE(module->exchangeCount(), connectExchanges);
    QCOMPARE(answers.shown(), QStringList{"frmCommPort"});
    QCOMPARE(Boxes(boxes), QStringList{});
    QCOMPARE(main.lblNotice->text(), Busy);
}

void TestEditorCommands::buttonsHeldBackWhileAnotherCommandRuns_data()
{
    QTest::addColumn<QString>("model");
    QTest::addColumn<QString>("editor");
    QTest::addColumn<QString>("button");
    QTest::addColumn<bool>("confirms"); // the button asks for confirmation first
    QTest::newRow("type Download") << "VQ7_UT5" << "type" << "cmdDownload" << true;
    QTest::newRow("burnout Download") << "VQ7_UT5" << "burnout" << "cmdDownload" << true;
    QTest::newRow("filter Download") << "VQ7_UT5" << "filter" << "cmdDownload" << true;
    QTest::newRow("line noise Download") << "VQ7S_UT8" << "noise" << "cmdDownload" << true;
    QTest::newRow("alarm Download") << "VQ7S_UT8" << "alarm" << "cmdDownload" << true;
    QTest::newRow("cold junction Download") << "VQ7_UT5" << "cjm" << "cmdDown" << true;
    QTest::newRow("cold junction Upload") << "VQ7_UT5" << "cjm" << "cmdUp" << false;
}

// While another command holds the module, an editor's button that talks sends nothing, shows no
// box, leaves its window open and tells the user the module is busy.
void TestEditorCommands::buttonsHeldBackWhileAnotherCommandRuns()
{
    QFETCH(QString, model);
    QFETCH(QString, editor);
    QFETCH(QString, button);
    QFETCH(bool, confirms);
    auto module = ConnectTo(model);
    QVERIFY(G.LinkUp);
    frmMain &main = Forms::get<frmMain>();
    main.lblNotice->clear();

    bool open = false;
    bool otherRan = false;
    ModalAnswerer answers;
    answers.expect<EditorWindow>([&](EditorWindow &window) {
        module->clearTranscript();
        auto *press = window.findChild<QPushButton *>(button);
        QVERIFY(press);
        ModuleCommand other; // another command talks to the module meanwhile
        otherRan = bool(other);
        press->click();
        open = window.isVisible();
        window.close();
    });
    if (confirms)
        Confirm(answers, true);
    MsgRecorder boxes;
    Open(editor);

    QVERIFY2(answers.problems().isEmpty(), qPrintable(answers.problems().join(" / ")));
    QVERIFY(otherRan);
    QCOMPARE(Commands(*module), QStringList{});
    QCOMPARE(Boxes(boxes), QStringList{});
    QVERIFY(open);
    QCOMPARE(main.lblNotice->text(), Busy);
}

// Clicks and keys that reach the type editor while its download waits for the module are not
// carried out: not a second download, not a channel change, not Exit, not Escape. Afterwards the
// window takes input again.
void TestEditorCommands::windowTakesNoInputWhileItsDownloadWaits()
{
    auto module = ConnectTo(QStringLiteral("VQ7_UT5"));
    QVERIFY(G.LinkUp);
    module->addFault(SimFault::delay(300).onCommand("D090"));

    bool talking = false, openDuring = false, openAfter = false, closedByExit = false;
    QString channelDuring, channelAfter;
    ModalAnswerer answers;
    answers.expect<frmType>([&](frmType &w) {
        w.cboChannel->setCurrentIndex(8);
        emit w.cboChannel->activated(8);
        w.cboType->setCurrentIndex(w.cboType->findText(QStringLiteral("K(CA)")));
        emit w.cboType->activated(w.cboType->currentIndex());
        QObject::connect(module.get(), &SimModule::exchanged, &w, [&](const SimExchange &e) {
            if (e.command != "D090")
                return;
            QTimer::singleShot(0, &w, [&] {
                talking = w.Talking();
                QTest::mouseClick(w.cmdDownload, Qt::LeftButton);
                QTest::mouseClick(w.cmdNext, Qt::LeftButton);
                QTest::keyClick(&w, Qt::Key_Escape);
                QTest::mouseClick(w.cmdExit, Qt::LeftButton);
                openDuring = w.isVisible();
                channelDuring = w.cboChannel->currentText();
            });
        });
        w.cmdDownload->click();
        openAfter = w.isVisible();
        QTest::mouseClick(w.cmdNext, Qt::LeftButton);
        channelAfter = w.cboChannel->currentText();
        QTest::mouseClick(w.cmdExit, Qt::LeftButton);
        closedByExit = !w.isVisible();
    });
    Confirm(answers, true);
    MsgRecorder boxes;
    PanelOf(KindUt5).cmdCh(1)->click();

    QVERIFY2(answers.problems().isEmpty(), qPrintable(answers.problems().join(" / ")));
    QVERIFY(talking);
    QVERIFY(openDuring);
    QCOMPARE(channelDuring, QStringLiteral("9"));
    QCOMPARE(Commands(*module), (QStringList{"G01", "I05", "D0917", "I25", "D090"}));
    QCOMPARE(Boxes(boxes), QStringList{});
    QVERIFY(openAfter);
    QCOMPARE(channelAfter, QStringLiteral("10"));
    QVERIFY(closedByExit);
    QCOMPARE(answers.shown(), (QStringList{"frmType", "frmDialog"}));
}

void TestEditorCommands::everyControlHasAName_data()
{
    QTest::addColumn<QString>("model");
    QTest::addColumn<QString>("editor");
    QTest::addColumn<bool>("japanese");
    QTest::addColumn<QString>("control");
    QTest::addColumn<QString>("name");
    QTest::newRow("type") << "VQ7_UT5" << "type" << false << "cboType" << "Input Type";
    QTest::newRow("type, Japanese") << "VQ7_UT5" << "type" << true << "cboChannel" << "ﾁｬﾝﾈﾙ";
    QTest::newRow("burnout, Japanese") << "VQ7_K6" << "burnout" << true << "cboBurnout" << "断線検出";
    QTest::newRow("filter") << "VQ7_UT5" << "filter" << false << "txtFilter" << "Filter Time Const.";
    QTest::newRow("line noise") << "VQ7S_UT8" << "noise" << false << "cboLineNoise" << "Line Noise Filter Type";
    QTest::newRow("alarm") << "VQ7S_UT8" << "alarm" << false << "optAlarm_1" << "ON";
    QTest::newRow("cold junction") << "VQ7_UT5" << "cjm" << false << "Text2" << "CJM Voltage";
    QTest::newRow("cold junction, Japanese") << "VQ7_UT5" << "cjm" << true << "cmdUp" << "ｱｯﾌﾟﾛｰﾄﾞ";
}

// Every button and every control the Tab key reaches has a name of its own, in the user's language.
void TestEditorCommands::everyControlHasAName()
{
    QFETCH(QString, model);
    QFETCH(QString, editor);
    QFETCH(bool, japanese);
    QFETCH(QString, control);
    QFETCH(QString, name);
    SetUiLanguage(japanese ? UiLanguage::Japanese : UiLanguage::English);
    auto module = ConnectTo(model);
    QVERIFY(G.LinkUp);

    QHash<QString, QString> named; // name -> control
    QStringList problems;
    ModalAnswerer answers;
    WithWindow<EditorWindow>(answers, [&](EditorWindow &w) {
        for (QWidget *widget : w.findChildren<QWidget *>()) {
            const bool isControl =
                qobject_cast<QAbstractButton *>(widget) || (widget->focusPolicy() & Qt::TabFocus);
            if (!isControl || !widget->isVisible())
                continue;
            const QString text = AnnouncedName(widget);
            if (text.trimmed().isEmpty() || named.contains(text))
                problems << widget->objectName() + QStringLiteral(": \"") + text + QLatin1Char('"');
            named.insert(text, widget->objectName());
        }
    });
    Open(editor);

    QCOMPARE(answers.shown().size(), 1);
    QCOMPARE(problems, QStringList{});
    QCOMPARE(named.key(control), name);
}

QTEST_MAIN(TestEditorCommands)
#include "tst_editorcommands.moc"
