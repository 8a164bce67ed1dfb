// The item protocol and the serial link, on an in-memory port.

#include "app/frmCommPort.h"
#include "link/TxtBus.h"
#include "tests/support/LinkFixture.h"

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
    QTest::newRow("only spaces are trimmed") << "D\t5 \r" << true << "\t5";
    QTest::newRow("payload of spaces") << "D   \r" << true << "";
    QTest::newRow("inner CR kept") << "D2\rD3\r" << true << "2\rD3";
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
    QTest::newRow("earlier characters kept") << QByteArray("D9") << QByteArray("D1\r")
                                             << "D9D1\r";
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
    QCOMPARE(SendReceive(QStringLiteral("D\r")), reply);
    QCOMPARE(boxes.count(), 0);
    QVERIFY(!link.host->Timer1().isActive());
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
    QCOMPARE(boxes.prompts(), QStringList{"device unplugged"});
    QVERIFY(!link.host->Timer1().isActive());
}

void TestTxtBus::untrustedReplyBytes()
{
    LinkFixture link;
    link.openPort();
    link.replyInOrder({"DOK\r", QByteArray("D\0\xff\x80z\r", 6)});
    QString reply;
    QVERIFY(DataRead(90, 0, reply));
    QCOMPARE(reply.size(), 4);
    QVERIFY(!WholeNumber(reply).has_value());
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

QTEST_MAIN(TestTxtBus)
#include "tst_txtbus.moc"
