// The item protocol and the serial link, on an in-memory port.

#include "app/frmCommPort.h"
#include "link/TxtBus.h"
#include "tests/support/LinkFixture.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QRadioButton>
#include <QTest>

using Replies = QByteArrayList;

class TestTxtBus : public QObject
{
    Q_OBJECT
private slots:
    void init() { ResetProgramState(); }

    void replyCheck_data();
    void replyCheck();
    void pendingTimeoutIsConsumedByReplyCheck();
    void nn_data();
    void nn();
    void wholeNumber_data();
    void wholeNumber();

    void dataReadWire_data();
    void dataReadWire();
    void dataReadStopsAfterFailedItemSelect();
    void parameterWriteConvertsTheFirstComma_data();
    void parameterWriteConvertsTheFirstComma();
    void parameterWriteRefusals_data();
    void parameterWriteRefusals();
    void parameterWriteLeavesTheEchoToTheCaller();

    void groupCommandTries_data();
    void groupCommandTries();
    void groupCommandReportsAfterThreeTimeouts();

    void sendReceiveAssembly_data();
    void sendReceiveAssembly();
    void noReplyNextAnswersOnlyTheDataCommand();
    void timeoutReturnsWhatArrived();
    void writingToAClosedPort();
    void peerGoneDuringTheWait();
    void untrustedReplyBytes();
    void floodWithoutCarriageReturn();

    // One command on the line at a time; a reply belongs to its own command.
    void nestedExchangeIsRefused();
    void lateReplyIsNotTakenByTheNextCommand();
    void replyWithAnEmbeddedCrIsRetried();
    void deadlineHoldsWithTheReplyTimerSwitchedOff();
    void valueTextsTheModuleCannotTake_data();
    void valueTextsTheModuleCannotTake();
    void visibleText_data();
    void visibleText();
    void noPortOwner();
};

void TestTxtBus::replyCheck_data()
{
    QTest::addColumn<QString>("reply");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<QString>("after");
    QTest::newRow("two characters") << "D\r" << false << "D\r";
    QTest::newRow("spaces trimmed") << "D  23 \r" << true << "23";
    QTest::newRow("lower-case d") << "d23\r" << false << "d23\r";
    QTest::newRow("one-letter payload") << "DX\r" << true << "X";
    QTest::newRow("no CR") << "D23" << false << "D23";
    QTest::newRow("CR not last") << "D23\r\n" << false << "D23\r\n";
    QTest::newRow("empty") << "" << false << "";
    QTest::newRow("payload of spaces") << "D   \r" << true << "";
    // Control and non-ASCII characters are never part of a value.
    QTest::newRow("tab in the payload") << "D\t5 \r" << false << "D\t5 \r";
    QTest::newRow("two replies run together") << "D2\rD3\r" << false << "D2\rD3\r";
    QTest::newRow("late reply in front") << "DRI04\rDRD02\r" << false << "DRI04\rDRD02\r";
    QTest::newRow("line feed") << "D23\n\r" << false << "D23\n\r";
    QTest::newRow("byte 0xFF") << QString::fromLatin1("D2\xff\r") << false
                               << QString::fromLatin1("D2\xff\r");
    QTest::newRow("DEL") << "D2\x7f\r" << false << "D2\x7f\r";
    QTest::newRow("tilde is printable") << "D~\r" << true << "~";
}

void TestTxtBus::replyCheck()
{
    QFETCH(QString, reply);
    QFETCH(bool, valid);
    QFETCH(QString, after);
    QCOMPARE(ReplyCheck(reply), valid);
    QCOMPARE(reply, after);
}

void TestTxtBus::pendingTimeoutIsConsumedByReplyCheck()
{
    G.TimeoutFlag = true;
    QString reply = QStringLiteral("D23\r");
    QVERIFY(!ReplyCheck(reply));
    QCOMPARE(reply, QStringLiteral("D23\r"));
    QVERIFY(!G.TimeoutFlag);
    QVERIFY(ReplyCheck(reply));
    QCOMPARE(reply, QStringLiteral("23"));
}

void TestTxtBus::nn_data()
{
    QTest::addColumn<int>("value");
    QTest::addColumn<QString>("text");
    QTest::newRow("0") << 0 << "00";
    QTest::newRow("5") << 5 << "05";
    QTest::newRow("90") << 90 << "90";
    QTest::newRow("three digits") << 123 << "123";
    QTest::newRow("negative") << -5 << "-05";
}

void TestTxtBus::nn()
{
    QFETCH(int, value);
    QFETCH(QString, text);
    QCOMPARE(NN(value), text);
}

void TestTxtBus::wholeNumber_data()
{
    QTest::addColumn<QString>("payload");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<int>("value");
    QTest::newRow("number") << "48" << true << 48;
    QTest::newRow("negative") << "-32768" << true << -32768;
    QTest::newRow("largest") << "32767" << true << 32767;
    QTest::newRow("overflows 16 bits") << "32768" << false << 0;
    QTest::newRow("letters") << "abc" << false << 0;
    QTest::newRow("decimal") << "1.5" << false << 0;
    QTest::newRow("empty") << "" << false << 0;
    QTest::newRow("trailing garbage") << "12x" << false << 0;
}

void TestTxtBus::wholeNumber()
{
    QFETCH(QString, payload);
    QFETCH(bool, ok);
    QFETCH(int, value);
    const auto result = WholeNumber(payload);
    QCOMPARE(result.has_value(), ok);
    if (ok)
        QCOMPARE(int(*result), value);
}

void TestTxtBus::dataReadWire_data()
{
    QTest::addColumn<int>("item");
    QTest::addColumn<int>("channel");
    QTest::addColumn<bool>("force");
    QTest::addColumn<QByteArray>("wire");
    QTest::newRow("module level") << 20 << 0 << false << QByteArray("I20\rD\r");
    QTest::newRow("forced channel field") << 20 << 0 << true << QByteArray("I20\rD00\r");
    QTest::newRow("per channel") << 6 << 1 << false << QByteArray("I06\rD01\r");
    QTest::newRow("per channel, forced") << 5 << 12 << true << QByteArray("I05\rD12\r");
    QTest::newRow("point 32") << 7 << 32 << false << QByteArray("I07\rD32\r");
}

void TestTxtBus::dataReadWire()
{
    QFETCH(int, item);
    QFETCH(int, channel);
    QFETCH(bool, force);
    QFETCH(QByteArray, wire);
    LinkFixture link;
    link.openPort();
    link.replyInOrder({"DOK\r", "D 23 \r"});
    G.ForceChannelField = force;
    QString reply;
    QVERIFY(DataRead(int16_t(item), int16_t(channel), reply));
    QCOMPARE(reply, QStringLiteral("23"));
    QCOMPARE(link.port->writtenJoined(), wire);
}

void TestTxtBus::dataReadStopsAfterFailedItemSelect()
{
    LinkFixture link;
    link.openPort();
    link.replyInOrder({"X\r"});
    QString reply = QStringLiteral("untouched");
    QVERIFY(!DataRead(5, 3, reply));
    QCOMPARE(reply, QStringLiteral("untouched"));
    QCOMPARE(link.port->writtenJoined(), QByteArray("I05\r"));
}

void TestTxtBus::parameterWriteConvertsTheFirstComma_data()
{
    QTest::addColumn<QString>("value");
    QTest::addColumn<QByteArray>("wire");
    QTest::newRow("comma") << "2,5" << QByteArray("I16\rD2.5\r");
    QTest::newRow("second comma stays") << "2,5,0" << QByteArray("I16\rD2.5,0\r");
    QTest::newRow("point") << "0.5" << QByteArray("I16\rD0.5\r");
}

void TestTxtBus::parameterWriteConvertsTheFirstComma()
{
    QFETCH(QString, value);
    QFETCH(QByteArray, wire);
    LinkFixture link;
    link.openPort();
    link.replyInOrder({"DOK\r", "D2.5\r"});
    QString reply;
    QVERIFY(ParameterWrite(16, value, reply));
    QCOMPARE(link.port->writtenJoined(), wire);
}

void TestTxtBus::parameterWriteRefusals_data()
{
    QTest::addColumn<QByteArray>("answer");
    QTest::newRow("illegal OPE") << QByteArray("Dillegal OPE\r");
    QTest::newRow("invalid data") << QByteArray("Dinvalid data\r");
    QTest::newRow("invalid data, padded") << QByteArray("D invalid data \r");
}

void TestTxtBus::parameterWriteRefusals()
{
    QFETCH(QByteArray, answer);
    LinkFixture link;
    link.openPort();
    link.replyInOrder({"DOK\r", answer});
    MsgRecorder boxes;
    QString reply;
    QVERIFY(!ParameterWrite(16, QStringLiteral("2,5"), reply));
    QCOMPARE(boxes.count(), 1);
    QCOMPARE(boxes.boxes()[0].prompt, QStringLiteral("invalid data D2.5\r\r\nat item 16"));
    QCOMPARE(boxes.boxes()[0].title, QStringLiteral("Parameter Write"));
    QCOMPARE(boxes.boxes()[0].icon, MsgIcon::Critical);
}

void TestTxtBus::parameterWriteLeavesTheEchoToTheCaller()
{
    LinkFixture link;
    link.openPort();
    link.replyInOrder({"DOK\r", "D49\r"});
    MsgRecorder boxes;
    QString reply;
    QVERIFY(ParameterWrite(5, QStringLiteral("0548"), reply));
    QCOMPARE(reply, QStringLiteral("49"));
    QCOMPARE(boxes.count(), 0);
}

void TestTxtBus::groupCommandTries_data()
{
    QTest::addColumn<Replies>("replies");
    QTest::addColumn<bool>("entered");
    QTest::addColumn<int>("tries");
    QTest::newRow("first try") << Replies{"Denter item\r"} << true << 1;
    QTest::newRow("padded payload") << Replies{"D enter item \r"} << true << 1;
    QTest::newRow("third try") << Replies{"Dbusy\r", "Denter items\r", "Denter item\r"} << true << 3;
    QTest::newRow("never") << Replies{"Dbusy\r", "Dbusy\r", "DENTER ITEM\r", "Denter item\r"}
                           << false << 3;
}

void TestTxtBus::groupCommandTries()
{
    QFETCH(Replies, replies);
    QFETCH(bool, entered);
    QFETCH(int, tries);
    LinkFixture link;
    link.openPort();
    link.replyInOrder(replies);
    MsgRecorder boxes;
    QString reply;
    QCOMPARE(GroupCommand(1, reply), entered);
    QCOMPARE(link.port->written().size(), tries);
    QCOMPARE(link.port->written().constFirst(), QByteArray("G01\r"));
    if (entered) {
        QCOMPARE(boxes.count(), 0);
    } else {
        QCOMPARE(boxes.count(), 1);
        QCOMPARE(boxes.boxes()[0].prompt, QStringLiteral("Out=G01\r\r\nIn =ENTER ITEM"));
        QCOMPARE(boxes.boxes()[0].title, QStringLiteral("Group Command Error"));
        QCOMPARE(boxes.boxes()[0].icon, MsgIcon::Exclamation);
    }
}

void TestTxtBus::groupCommandReportsAfterThreeTimeouts()
{
    LinkFixture link(40);
    link.openPort();
    link.replyInOrder({"", "", "Dent"}); // the last try gets half a reply
    MsgRecorder boxes;
    QString reply;
    QVERIFY(!GroupCommand(99, reply));
    QCOMPARE(link.port->writtenJoined(), QByteArray("G99\rG99\rG99\r"));
    QCOMPARE(boxes.prompts(), (QStringList{"Timeout", "Timeout", "Timeout", "Out=G99\r\r\nIn =Dent"}));
    QCOMPARE(boxes.boxes()[0].title, QStringLiteral("Send/Receive"));
    QCOMPARE(boxes.boxes()[0].icon, MsgIcon::Critical);
    QVERIFY(!G.TimeoutFlag);
}

void TestTxtBus::sendReceiveAssembly_data()
{
    QTest::addColumn<QByteArray>("waiting"); // in the buffer before the command is sent
    QTest::addColumn<QByteArray>("chunks");  // "|" separates chunks
    QTest::addColumn<QString>("reply");
    QTest::newRow("two chunks") << QByteArray() << QByteArray("D23|45\r") << "D2345\r";
    QTest::newRow("chunk not ending in CR") << QByteArray() << QByteArray("D2\rD3|\r")
                                            << "D2\rD3\r";
    QTest::newRow("earlier characters discarded") << QByteArray("D9") << QByteArray("D1\r")
                                                  << "D1\r";
    QTest::newRow("an earlier whole reply discarded") << QByteArray("D05\r") << QByteArray("D1\r")
                                                      << "D1\r";
    QTest::newRow("one chunk per byte") << QByteArray() << QByteArray("D|4|2|\r") << "D42\r";
}

void TestTxtBus::sendReceiveAssembly()
{
    QFETCH(QByteArray, waiting);
    QFETCH(QByteArray, chunks);
    QFETCH(QString, reply);
    LinkFixture link;
    link.openPort();
    link.port->feed(waiting);
    link.replyInOrder({chunks});
    MsgRecorder boxes;
    const quint64 discardedBefore = DiscardedInputBytes();
    QCOMPARE(SendReceive(QStringLiteral("D\r")), reply);
    QCOMPARE(boxes.count(), 0);
    QVERIFY(!link.host->Timer1().isActive());
    QCOMPARE(DiscardedInputBytes() - discardedBefore, quint64(waiting.size()));
    QCOMPARE(link.port->written(), QList<QByteArray>{"D\r"});
}

void TestTxtBus::noReplyNextAnswersOnlyTheDataCommand()
{
    LinkFixture link;
    link.openPort();
    link.replyInOrder({"DOK\r", "Dnever read\r"});
    G.NoReplyNext = true;
    QCOMPARE(SendReceive(QStringLiteral("I90\r")), QStringLiteral("DOK\r"));
    QVERIFY(G.NoReplyNext);
    QCOMPARE(SendReceive(QStringLiteral("DRESET\r")), QStringLiteral("DRESET\r"));
    QVERIFY(!G.NoReplyNext);
    QVERIFY(!link.host->Timer1().isActive());
    QCOMPARE(link.port->writtenJoined(), QByteArray("I90\rDRESET\r"));
}

void TestTxtBus::timeoutReturnsWhatArrived()
{
    LinkFixture link(50);
    link.openPort();
    link.replyInOrder({"D12"});
    MsgRecorder boxes;
    QElapsedTimer clock;
    clock.start();
    QCOMPARE(SendReceive(QStringLiteral("D01\r")), QStringLiteral("D12"));
    QVERIFY(clock.elapsed() >= 45);
    QCOMPARE(boxes.prompts(), QStringList{"Timeout"});
    QVERIFY(G.TimeoutFlag); // left for the reply check
    QVERIFY(!link.host->Timer1().isActive());
}

void TestTxtBus::writingToAClosedPort()
{
    LinkFixture link;
    MsgRecorder boxes;
    QCOMPARE(SendReceive(QStringLiteral("I05\r")), QString());
    QVERIFY(G.TimeoutFlag);
    QCOMPARE(boxes.count(), 1);
    QCOMPARE(boxes.boxes()[0].prompt, QStringLiteral("Port is not open."));
    QCOMPARE(boxes.boxes()[0].title, QStringLiteral("Send/Receive"));
    QCOMPARE(boxes.boxes()[0].icon, MsgIcon::Critical);
}

void TestTxtBus::peerGoneDuringTheWait()
{
    LinkFixture link;
    link.openPort();
    QTimer::singleShot(20, link.port, [&] { link.port->drop(QStringLiteral("device unplugged")); });
    MsgRecorder boxes;
    QElapsedTimer clock;
    clock.start();
    QCOMPARE(SendReceive(QStringLiteral("I05\r")), QString());
    QVERIFY2(clock.elapsed() < 1000, "the wait must end when the port goes, not at the time-out");
    QVERIFY(G.TimeoutFlag);
    QCOMPARE(boxes.prompts(), QStringList{"The connection to the module was lost: device unplugged"});
    QCOMPARE(boxes.boxes()[0].title, QStringLiteral("Send/Receive"));
    QVERIFY(!link.host->Timer1().isActive());
    // The link is closed as Disconnect closes it; the loss is told once.
    QVERIFY(!G.LinkUp);
    QVERIFY(!G.PortNumber.has_value());
    QCoreApplication::processEvents();
    QCOMPARE(boxes.count(), 1);
}

void TestTxtBus::untrustedReplyBytes()
{
    LinkFixture link;
    link.openPort();
    link.replyInOrder({"DOK\r", QByteArray("D\0\xff\x80z\r", 6)});
    QString reply;
    QVERIFY(!DataRead(90, 0, reply)); // never a stored value
}

void TestTxtBus::floodWithoutCarriageReturn()
{
    LinkFixture link(60);
    link.openPort();
    const QByteArray flood(4000, 'D');
    link.port->setResponder([&](const QByteArray &) {
        QList<QByteArray> chunks;
        for (int i = 0; i < 20; ++i)
            chunks << flood;
        return chunks;
    });
    MsgRecorder boxes;
    QString reply;
    QVERIFY(!DataRead(3, 1, reply));
    QCOMPARE(boxes.prompts(), QStringList{"Timeout"});
    QVERIFY(!G.TimeoutFlag);
}

void TestTxtBus::nestedExchangeIsRefused()
{
    LinkFixture link;
    link.openPort();
    link.port->setReplyDelay(60);
    link.replyInOrder({"D05\r", "Dnever\r"});
    MsgRecorder boxes;
    QString nested = QStringLiteral("not run");
    // A timer handler that talks to the module while the first exchange waits.
    QTimer::singleShot(10, link.port, [&nested] { nested = SendReceive(QStringLiteral("I06\r")); });
    QCOMPARE(SendReceive(QStringLiteral("I05\r")), QStringLiteral("D05\r"));
    QCOMPARE(nested, QString());
    QCOMPARE(link.port->written(), QList<QByteArray>{"I05\r"});
    QCOMPARE(boxes.prompts(), QStringList{"The line is busy with another command."});
    QCOMPARE(boxes.boxes()[0].title, QStringLiteral("Send/Receive"));
    QCOMPARE(boxes.boxes()[0].icon, MsgIcon::Critical);
    QVERIFY(!G.TimeoutFlag); // the waiting exchange was not disturbed
}

void TestTxtBus::lateReplyIsNotTakenByTheNextCommand()
{
    LinkFixture link(50);
    link.openPort();
    // Item 5 answers, its data command stays silent past the time-out and answers late.
    link.replyInOrder({"D05\r", "", "D04\r", "D2.5\r"});
    MsgRecorder boxes;
    QString reply;
    QVERIFY(!DataRead(5, 1, reply));
    QCOMPARE(boxes.prompts(), QStringList{"Timeout"});
    link.port->feed("D17\r"); // the late reply to D01
    QVERIFY(DataRead(4, 2, reply));
    QCOMPARE(reply, QStringLiteral("2.5"));
    QCOMPARE(link.port->written(), (QList<QByteArray>{"I05\r", "D01\r", "I04\r", "D02\r"}));
}

void TestTxtBus::replyWithAnEmbeddedCrIsRetried()
{
    LinkFixture link;
    link.openPort();
    link.replyInOrder({"Denter item\rD1\r", "Denter item\r"});
    MsgRecorder boxes;
    QString reply;
    QVERIFY(GroupCommand(1, reply));
    QCOMPARE(link.port->written(), (QList<QByteArray>{"G01\r", "G01\r"}));
    QCOMPARE(boxes.count(), 0);
}

void TestTxtBus::deadlineHoldsWithTheReplyTimerSwitchedOff()
{
    LinkFixture link(100);
    link.openPort();
    MsgRecorder boxes;
    // Whatever switches the shared reply timer off meanwhile (the Monitor menu does)...
    QTimer::singleShot(10, link.port, [&link] { link.host->Timer1().stop(); });
    // ...a watchdog so that a wait without end fails here instead of hanging.
    bool watchdog = false;
    QTimer::singleShot(3000, link.port, [&watchdog] {
        watchdog = true;
        G.TimeoutFlag = true;
    });
    QElapsedTimer clock;
    clock.start();
    QCOMPARE(SendReceive(QStringLiteral("I05\r")), QString());
    QVERIFY2(!watchdog, "the exchange waited past its own deadline");
    QVERIFY(clock.elapsed() >= 95);
    QCOMPARE(boxes.prompts(), QStringList{"Timeout"});
    QVERIFY(G.TimeoutFlag);
}

void TestTxtBus::valueTextsTheModuleCannotTake_data()
{
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("shown");
    QTest::newRow("a second command after CR") << "1\rG99" << "1<CR>G99";
    QTest::newRow("line feed") << "5\n" << "5<LF>";
    QTest::newRow("tab") << "\t1" << "<09>1";
    QTest::newRow("DEL") << "1\x7f" << "1<7F>";
    QTest::newRow("Latin-1 letter") << QString::fromUtf8("25\xc2\xb0") << "25<B0>";
    QTest::newRow("outside Latin-1") << QString::fromUtf8("\xe6\x97\xa5") << "<U+65E5>";
}

void TestTxtBus::valueTextsTheModuleCannotTake()
{
    QFETCH(QString, value);
    QFETCH(QString, shown);
    LinkFixture link;
    link.openPort();
    link.replyInOrder({"D16\r", "D1\r"});
    MsgRecorder boxes;
    QString reply;
    QVERIFY(!ParameterWrite(16, value, reply));
    QVERIFY(link.port->written().isEmpty()); // nothing at all reached the line
    QCOMPARE(boxes.count(), 1);
    QCOMPARE(boxes.boxes()[0].title, QStringLiteral("Parameter Write"));
    QCOMPARE(boxes.boxes()[0].icon, MsgIcon::Critical);
    QVERIFY2(boxes.boxes()[0].prompt.contains(QLatin1Char('"') + shown + QLatin1Char('"')),
             qPrintable(boxes.boxes()[0].prompt));
}

void TestTxtBus::visibleText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("shown");
    QTest::newRow("plain") << "Denter item" << "Denter item";
    QTest::newRow("CR and LF") << "D12\r\n" << "D12<CR><LF>";
    QTest::newRow("NUL and ESC") << QString::fromLatin1("a\0b\x1b", 4) << "a<00>b<1B>";
    QTest::newRow("high bytes") << QString::fromLatin1("\xff\x80") << "<FF><80>";
}

void TestTxtBus::visibleText()
{
    QFETCH(QString, text);
    QFETCH(QString, shown);
    QCOMPARE(VisibleText(text), shown);
}

void TestTxtBus::noPortOwner()
{
    ResetProgramState();
    G.CommForm = nullptr;
    MsgRecorder boxes;
    QCOMPARE(SendReceive(QStringLiteral("G01\r")), QString());
    QVERIFY(G.TimeoutFlag);
    CommOpen();
    QVERIFY(!G.LinkUp);
    QCOMPARE(boxes.prompts(), (QStringList{"Port is not open.", "Port is not open."}));
    QCOMPARE(boxes.boxes()[0].title, QStringLiteral("Send/Receive"));
    QCOMPARE(boxes.boxes()[1].title, QStringLiteral("Communication"));
}

QTEST_MAIN(TestTxtBus)
#include "tst_txtbus.moc"
