// The communication log: what a connect with trouble leaves in it (lines in wire order, marks,
// counters), the window's filter, pause, clear and saving, opening it while monitoring runs, and
// the bound of its ring.

#include "app/Forms.h"
#include "app/frmCommLog.h"
#include "app/frmCommPort.h"
#include "app/frmMain.h"
#include "link/CommLog.h"
#include "model/Globals.h"
#include "sim/SimModule.h"
#include "sim/SimSerialPort.h"
#include "tests/support/SimFixture.h"
#include "tests/support/TestSupport.h"

#include <QComboBox>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

namespace {

// The lines of the log as (command | reply | notes), visible forms.
QStringList logLines(qint64 from = CommLog::Instance().firstSeq())
{
    const CommLog &log = CommLog::Instance();
    QStringList lines;
    for (qint64 seq = from; seq < log.endSeq(); ++seq) {
        const CommLog::Line line = log.line(seq);
        lines << CommLog::visible(line.command) + " | " + CommLog::visible(line.reply) + " | " +
                     CommLog::notesText(line);
    }
    return lines;
}

// The commands of the exchanges in the log, as the module's transcript holds them.
QStringList loggedCommands()
{
    const CommLog &log = CommLog::Instance();
    QStringList commands;
    for (qint64 seq = log.firstSeq(); seq < log.endSeq(); ++seq) {
        if (log.kindOf(seq) == CommLog::Kind::Exchange)
            commands << QString::fromLatin1(log.line(seq).command.chopped(1));
    }
    return commands;
}

QList<qint64> countersOf(const CommLog::Counters &c)
{
    return {c.exchanges,  c.timeouts,   c.refusals, c.retries,
            c.staleBytes, c.portErrors, c.invalid,  c.notSent};
}

void answerPortDialog(ModalAnswerer &answers)
{
    answers.expect<frmCommPort>([](frmCommPort &dialog) { dialog.cmdOK->click(); });
}

} // namespace

class TestCommLog : public QObject
{
    Q_OBJECT
private slots:
    void init() { ResetProgramState(); }

    void connectWithTrouble();
    void windowFiltersPausesClearsAndSaves();
    void openingWhileMonitoringHoldsNothing();
    void ringIsBounded();
    void linesBelongToTheItemSelected();
};

// A connect on which the first group select times out (its late reply arriving while the user
// reads the box), and the module refuses one read: every exchange is a line, in wire order, with
// the time-out, the retry, the discarded bytes and the refusal marked and counted.
void TestCommLog::connectWithTrouble()
{
    auto module = InstallSimModule(QStringLiteral("VQ7_UT5"));
    module->setDeterministic(true);
    module->addFault(SimFault::delay(400).onCommand("G01").limit(1));
    module->addFault(SimFault::refuse().onItem(93).limit(1));
    frmMain &main = Forms::get<frmMain>();
    main.Timer1().setInterval(200);
    QVERIFY(CommLog::Instance().recording());

    MsgRecorder boxes;
    // The user reads the Timeout box for as long as the late reply takes to come in.
    boxes.onBox = [&main](const MsgRecord &box) {
        if (box.prompt == QLatin1String("Timeout")) [[maybe_unused]]
            const bool arrived =
                QTest::qWaitFor([&main] { return main.MSComm1().inBufferCount() > 0; }, 3000);
    };
    ModalAnswerer answers;
    answerPortDialog(answers);
    main.mnuConnConn->trigger();
    QVERIFY(G.LinkUp);
    QCOMPARE(boxes.prompts(), QStringList{"Timeout"});

    QCOMPARE(loggedCommands(), CommandsOf(*module));
    const QStringList lines = logLines();
    QCOMPARE(lines.mid(0, 5),
             (QStringList{" |  | COM1 (/dev/ttyS0) opened", "G01<CR> |  | time-out",
                          "G01<CR> | Denter item<CR> | retry; 12 stale bytes discarded: "
                          "Denter item<CR>",
                          "I90<CR> | D90<CR> | ", "D<CR> | DVQ7_UT5<CR> | "}));
    const qsizetype refused = lines.indexOf("D<CR> | Dillegal OPE<CR> | refused");
    QVERIFY2(refused > 0, qPrintable(lines.join('\n')));
    QCOMPARE(lines.at(refused - 1), QStringLiteral("I93<CR> | D93<CR> | "));
    QCOMPARE(lines.count("D<CR> | Dillegal OPE<CR> | refused"), 1);

    // exchanges, time-outs, refusals, retries, stale bytes, port errors, invalid, not sent
    const qint64 exchanges = module->transcript().size();
    QCOMPARE(countersOf(CommLog::Instance().counters()),
             (QList<qint64>{exchanges, 1, 1, 1, 12, 0, 0, 0}));

    // Each line has its time and, once answered in time, its round trip.
    const CommLog::Line retry = CommLog::Instance().line(CommLog::Instance().firstSeq() + 2);
    QVERIFY(retry.roundTripUs >= 0 && retry.roundTripUs < 200000);
    QVERIFY(qAbs(retry.atMs - QDateTime::currentMSecsSinceEpoch()) < 60000);
    QCOMPARE(CommLog::Instance().line(CommLog::Instance().firstSeq() + 1).roundTripUs, -1);
}

void TestCommLog::windowFiltersPausesClearsAndSaves()
{
    auto module = InstallSimModule(QStringLiteral("VQ7_UT5"));
    module->setDeterministic(true);
    module->addFault(SimFault::refuse().onItem(93).limit(1));
    frmMain &main = Forms::get<frmMain>();
    {
        ModalAnswerer answers;
        answerPortDialog(answers);
        MsgRecorder boxes;
        main.mnuConnConn->trigger();
        QVERIFY(G.LinkUp);
    }
    frmCommLog &window = frmCommLog::Open(main);
    QVERIFY(!window.isHidden());
    QCOMPARE(&frmCommLog::Open(main), &window); // one window, brought up again
    const CommLog &log = CommLog::Instance();
    QCOMPARE(window.model().rowCount(), int(log.endSeq() - log.firstSeq()));
    QCOMPARE(window.lblCount(0)->text(),
             QStringLiteral("Exchanges: %1").arg(module->transcript().size()));
    QCOMPARE(window.lblCount(2)->text(), QStringLiteral("Refusals: 1"));

    // The filter: the item's select and its data command, nothing else.
    const int index = window.cboItem->findData(93);
    QVERIFY(index > 0);
    QCOMPARE(window.cboItem->itemText(index), QStringLiteral("Item 93"));
    window.cboItem->setCurrentIndex(index);
    emit window.cboItem->activated(index);
    QStringList shown;
    for (int row = 0; row < window.model().rowCount(); ++row) {
        QStringList cells;
        for (int column = CommLogModel::CommandColumn; column <= CommLogModel::ReplyColumn;
             ++column)
            cells << window.model().index(row, column).data().toString();
        cells << window.model().index(row, CommLogModel::NotesColumn).data().toString();
        shown << cells.join(" | ");
    }
    QCOMPARE(shown, (QStringList{"I93<CR> | D93<CR> | ", "D<CR> | Dillegal OPE<CR> | refused"}));

    // Saved as text: a head, then the lines shown.
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("log.txt"));
    {
        ModalAnswerer answers;
        answers.expect<QFileDialog>([&path](QFileDialog &dialog) {
            dialog.selectFile(path);
            static_cast<QDialog &>(dialog).accept(); // as its Save button does
        });
        MsgRecorder boxes;
        window.cmdSave->click();
        QVERIFY2(answers.problems().isEmpty(), qPrintable(answers.problems().join(" / ")));
        QVERIFY(boxes.boxes().isEmpty());
    }
    QFile saved(path);
    QVERIFY(saved.open(QIODevice::ReadOnly));
    const QStringList text = QString::fromUtf8(saved.readAll()).split('\n');
    QVERIFY(text.at(0).startsWith("Tarvik communication log, saved "));
    QVERIFY2(text.at(1).startsWith(QStringLiteral("Exchanges: %1, Time-outs: 0, Refusals: 1, ")
                                       .arg(module->transcript().size())),
             qPrintable(text.at(1)));
    QCOMPARE(text.at(2), QStringLiteral("Lines shown: 2 (Item 93)"));
    QCOMPARE(text.size(), 7); // head, empty line, two lines, and the end of the last
    QVERIFY2(text.at(4).contains(QRegularExpression(
                 R"(^\d{4}-\d\d-\d\d \d\d:\d\d:\d\d\.\d{3}  I93<CR>\s+D93<CR>\s+\d+\.\d ms$)")),
             qPrintable(text.at(4)));
    QVERIFY2(text.at(5).contains(
                 QRegularExpression(R"(  D<CR>\s+Dillegal OPE<CR>\s+\d+\.\d ms\s+refused$)")),
             qPrintable(text.at(5)));

    // Pause: what goes over the line meanwhile is not kept; the log says where it paused.
    window.cboItem->setCurrentIndex(0);
    emit window.cboItem->activated(0);
    window.cmdPause->click();
    QCOMPARE(window.cmdPause->text(), QStringLiteral("Resume"));
    const qint64 exchangesBefore = log.counters().exchanges;
    const qint64 end = log.endSeq();
    {
        MsgRecorder boxes;
        main.mnuConnDisConn->trigger();
        ModalAnswerer answers;
        answerPortDialog(answers);
        main.mnuConnConn->trigger();
        QVERIFY(G.LinkUp);
    }
    window.cmdPause->click();
    QCOMPARE(window.cmdPause->text(), QStringLiteral("Pause"));
    QCOMPARE(log.counters().exchanges, exchangesBefore);
    QCOMPARE(logLines(end - 1), (QStringList{" |  | log paused", " |  | log resumed"}));

    window.cmdClear->click();
    QCOMPARE(window.model().rowCount(), 0);
    QCOMPARE(countersOf(log.counters()), (QList<qint64>{0, 0, 0, 0, 0, 0, 0, 0}));
    QCOMPARE(window.lblCount(0)->text(), QStringLiteral("Exchanges: 0"));

    // It goes with the main window.
    Forms::unload<frmMain>();
    QVERIFY(!frmCommLog::IfOpen());
}

// The log opens while monitoring runs, from a button no monitoring state takes away, and the loop
// goes on polling while it is open.
void TestCommLog::openingWhileMonitoringHoldsNothing()
{
    auto module = InstallSimModule(QStringLiteral("VQ7_UT5"));
    module->setDeterministic(true);
    frmMain &main = Forms::get<frmMain>();
    {
        ModalAnswerer answers;
        answerPortDialog(answers);
        MsgRecorder boxes;
        main.mnuConnConn->trigger();
        QVERIFY(G.LinkUp);
    }
    QCOMPARE(main.tbCommLog->shortcut(), QKeySequence(QStringLiteral("Ctrl+L")));
    int openedAt = -1;
    bool enabledThen = false;
    bool heldThen = true;
    QMetaObject::Connection watch =
        QObject::connect(module.get(), &SimModule::exchanged, &main, [&](const SimExchange &) {
            const int n = module->exchangeCount();
            if (openedAt < 0 && G.MonitorOn && n > 0) {
                openedAt = n;
                enabledThen = main.tbCommLog->isEnabled();
                QTimer::singleShot(0, &main, [&] {
                    main.tbCommLog->trigger();
                    heldThen = G.MonitorHold;
                });
            } else if (openedAt >= 0 && n >= openedAt + 40) {
                G.MonitorOn = false; // Stop
            }
        });
    QTimer guard;
    guard.setSingleShot(true);
    // As Stop does, also for a loop that is held.
    QObject::connect(&guard, &QTimer::timeout, [] {
        G.MonitorOn = false;
        G.MonitorHold = false;
    });
    guard.start(10000);
    MsgRecorder boxes;
    main.mnuMonitorStart->trigger();
    QObject::disconnect(watch);

    QVERIFY(guard.isActive());
    QVERIFY(boxes.boxes().isEmpty());
    QVERIFY(enabledThen);
    QVERIFY(!heldThen);
    auto *window = frmCommLog::IfOpen();
    QVERIFY(window && !window->isHidden());
    QVERIFY(module->exchangeCount() >= openedAt + 40);
    window->Refresh();
    QCOMPARE(window->model().rowCount(),
             int(CommLog::Instance().endSeq() - CommLog::Instance().firstSeq()));
}

// Past its capacity the log keeps the newest lines; its counters go on counting; lines with long
// texts kept on the side leave with their lines; the window follows.
void TestCommLog::ringIsBounded()
{
    CommLog &log = CommLog::Instance();
    log.setRecording(true);
    log.clear();
    const qint64 first = log.endSeq();
    const int extra = 1234;
    const int total = CommLog::Capacity + extra;
    for (int i = 0; i < total; ++i) {
        LinkRecord record;
        record.atMs = 1000 + i;
        record.command = "D" + QByteArray::number(i) + "\r";
        // Every hundredth reply is too long for the line's own room.
        record.reply =
            i % 100 == 0 ? "D" + QByteArray(60, 'x') + "\r" : "D" + QByteArray::number(i) + "\r";
        log.linkRecord(record);
    }
    QCOMPARE(log.endSeq() - log.firstSeq(), qint64(CommLog::Capacity));
    QCOMPARE(log.firstSeq(), first + extra);
    QCOMPARE(log.counters().exchanges, qint64(total));
    QCOMPARE(log.line(log.firstSeq()).command, "D" + QByteArray::number(extra) + "\r");
    QCOMPARE(log.line(log.endSeq() - 1).command, "D" + QByteArray::number(total - 1) + "\r");
    QCOMPARE(log.line(log.firstSeq() - 1).seq, qint64(-1));    // gone
    const qint64 longOne = first + ((extra + 99) / 100) * 100; // the first long reply still kept
    QCOMPARE(log.line(longOne).reply, "D" + QByteArray(60, 'x') + "\r");
    QCOMPARE(log.sideEntries(), qsizetype(CommLog::Capacity / 100));

    frmCommLog window;
    QCOMPARE(window.model().rowCount(), CommLog::Capacity);
    QCOMPARE(window.model().seqAt(0), log.firstSeq());
    for (int i = 0; i < 10; ++i) {
        LinkRecord record;
        record.command = "I05\r";
        record.reply = "D05\r";
        log.linkRecord(record);
    }
    window.Refresh();
    QCOMPARE(window.model().rowCount(), CommLog::Capacity);
    QCOMPARE(window.model().seqAt(0), log.firstSeq());
    QCOMPARE(window.model().seqAt(CommLog::Capacity - 1), log.endSeq() - 1);
}

// A data command belongs to the item the last select that went out chose; a select refused before
// it reached the line chose nothing, and a group select leaves no item selected.
void TestCommLog::linesBelongToTheItemSelected()
{
    CommLog &log = CommLog::Instance();
    log.setRecording(true);
    const qint64 first = log.endSeq();
    const auto add = [&log](const QByteArray &command, quint16 flags = 0) {
        LinkRecord record;
        record.command = command;
        record.reply = flags ? QByteArray() : QByteArray("D0\r");
        record.flags = flags;
        log.linkRecord(record);
    };
    add("I05\r");
    add("D03\r");
    add("I07\r", LinkRecord::NotSent);
    add("D\r");
    add("G01\r");
    add("D\r");
    QList<qint16> items;
    for (qint64 seq = first; seq < log.endSeq(); ++seq)
        items << log.itemOf(seq);
    QCOMPARE(items,
             (QList<qint16>{5, 5, CommLog::NoItem, 5, CommLog::GroupSelect, CommLog::NoItem}));
    QCOMPARE(log.items(), QList<qint16>{5});
}

QTEST_MAIN(TestCommLog)
#include "tst_commlog.moc"
