// Faults of the simulated module: their text form, what each does to the reply, and how the
// program's link sees them through the in-process port.

#include "link/TxtBus.h"
#include "sim/SimFault.h"
#include "sim/SimLine.h"
#include "tests/support/SimFixture.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTest>

class TestSimFault : public QObject
{
    Q_OBJECT
private slots:
    void init() { ResetProgramState(); }

    void parseRoundTrip_data();
    void parseRoundTrip();
    void parseErrors_data();
    void parseErrors();
    void replyFaults_data();
    void replyFaults();
    void whichExchanges_data();
    void whichExchanges();

    void repliesComeThroughTheEventLoop();
    void installAndReset();
    void linkOverTheSimulatedPort();
    void restartOverTheLink();
    void silenceTimesOut();
    void chunkedReplyIsJoined();
    void refusalIsReported();
    void delayAndPacing();
    void dropClosesThePort();
};

void TestSimFault::parseRoundTrip_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("canonical"); // the text form that toString gives back
    QTest::newRow("bare") << "silence" << "silence";
    QTest::newRow("item") << "silence:item=5" << "silence:item=5";
    QTest::newRow("after") << "silence:after=20" << "silence:after=20";
    QTest::newRow("command") << "garble:cmd=G01,times=2" << "garble:cmd=G01,times=2";
    QTest::newRow("chunks default gap") << "chunks:n=4" << "chunks:n=4,gap=5";
    QTest::newRow("chunks") << "chunks:gap=10,n=2,reads" << "chunks:reads,n=2,gap=10";
    QTest::newRow("wrong echo") << "wrong-echo:item=5,times=1" << "wrong-echo:item=5,times=1";
    QTest::newRow("wrong echo text") << "wrong-echo:text=00" << "wrong-echo:text=00";
    QTest::newRow("refuse invalid") << "refuse:item=16,reply=invalid"
                                    << "refuse:item=16,reply=invalid";
    QTest::newRow("refuse illegal") << "refuse:writes,reply=illegal" << "refuse:writes";
    QTest::newRow("delay") << "delay:ms=300" << "delay:ms=300";
    QTest::newRow("truncate") << "truncate:item=90" << "truncate:item=90";
    QTest::newRow("drop") << "drop:after=30" << "drop:after=30";
}

void TestSimFault::parseRoundTrip()
{
    QFETCH(QString, text);
    QFETCH(QString, canonical);
    QString error;
    const auto fault = SimFault::parse(text, &error);
    QVERIFY2(fault, qPrintable(error));
    QCOMPARE(fault->toString(), canonical);
    const auto again = SimFault::parse(canonical);
    QVERIFY(again);
    QCOMPARE(again->toString(), canonical);
}

void TestSimFault::parseErrors_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("unknown kind") << "mumble";
    QTest::newRow("empty") << "";
    QTest::newRow("unknown key") << "silence:colour=red";
    QTest::newRow("item not a number") << "silence:item=five";
    QTest::newRow("times 0") << "silence:times=0";
    QTest::newRow("negative after") << "silence:after=-1";
    QTest::newRow("delay without ms") << "delay";
    QTest::newRow("one chunk") << "chunks:n=1";
    QTest::newRow("ms on silence") << "silence:ms=5";
    QTest::newRow("bad refusal") << "refuse:reply=maybe";
    QTest::newRow("empty command") << "silence:cmd=";
}

void TestSimFault::parseErrors()
{
    QFETCH(QString, text);
    QString error;
    QVERIFY(!SimFault::parse(text, &error));
    QVERIFY(!error.isEmpty());
}

void TestSimFault::replyFaults_data()
{
    QTest::addColumn<QString>("fault");
    QTest::addColumn<QByteArray>("command"); // sent after I92 (firmware) or I05 (type, ch 1)
    QTest::addColumn<QByteArrayList>("chunks");
    QTest::newRow("none") << "" << QByteArray("D") << QByteArrayList{"DV3.00\r"};
    QTest::newRow("silence") << "silence" << QByteArray("D") << QByteArrayList{};
    QTest::newRow("truncate") << "truncate" << QByteArray("D") << QByteArrayList{"DV3"};
    QTest::newRow("chunks") << "chunks:n=3" << QByteArray("D")
                            << QByteArrayList{"DV", "3.", "00\r"};
    QTest::newRow("refuse") << "refuse" << QByteArray("D") << QByteArrayList{"Dillegal OPE\r"};
    QTest::newRow("wrong echo") << "wrong-echo" << QByteArray("D0117")
                                << QByteArrayList{"D16\r"};
    QTest::newRow("wrong echo text") << "wrong-echo:text=017" << QByteArray("D0117")
                                     << QByteArrayList{"D017\r"};
}

void TestSimFault::replyFaults()
{
    QFETCH(QString, fault);
    QFETCH(QByteArray, command);
    QFETCH(QByteArrayList, chunks);
    SimModule module(QStringLiteral("VQ7_UT5"));
    if (!fault.isEmpty())
        QVERIFY(module.addFault(fault));
    module.reply(command == "D" ? "I92\r" : "I05\r");
    QCOMPARE(module.respond(command + '\r').chunks, chunks);
}

void TestSimFault::whichExchanges_data()
{
    QTest::addColumn<QString>("fault");
    QTest::addColumn<QString>("silenced"); // which of the commands below go unanswered
    // Commands: G01 I90 D I05 D01 D0117 I90 D
    QTest::newRow("every exchange") << "silence" << "11111111";
    QTest::newRow("on an item") << "silence:item=5" << "00001100";
    QTest::newRow("reads of an item") << "silence:item=5,reads" << "00001000";
    QTest::newRow("writes") << "silence:writes" << "00000100";
    QTest::newRow("a command") << "silence:cmd=I90" << "01000010";
    QTest::newRow("after 5") << "silence:after=5" << "00000111";
    QTest::newRow("twice") << "silence:cmd=D,times=2" << "00100001";
    QTest::newRow("once") << "silence:cmd=D,times=1" << "00100000";
    QTest::newRow("data reads twice") << "silence:reads,times=2" << "00101000";
}

void TestSimFault::whichExchanges()
{
    QFETCH(QString, fault);
    QFETCH(QString, silenced);
    SimModule module(QStringLiteral("VQ7_UT5"));
    QVERIFY(module.addFault(fault));
    const QByteArrayList commands{"G01", "I90", "D", "I05", "D01", "D0117", "I90", "D"};
    QString got;
    for (const QByteArray &c : commands)
        got += module.respond(c + '\r').chunks.isEmpty() ? QLatin1Char('1') : QLatin1Char('0');
    QCOMPARE(got, silenced);
    QCOMPARE(module.exchangeCount(), 8);
}

// The in-process port answers later, never inside the write, so the program's wait loop runs.
void TestSimFault::repliesComeThroughTheEventLoop()
{
    auto module = std::make_shared<SimModule>(QStringLiteral("VQ7_UT5"));
    SimSerialPort port(module);
    port.setCommPort(1);
    QVERIFY(port.open());
    QVERIFY(port.output("G0"));
    QVERIFY(port.output("1\r")); // a command may come in pieces
    QCOMPARE(port.inBufferCount(), 0);
    QTRY_COMPARE(port.inBufferCount(), 12);
    QCOMPARE(port.input(), QByteArray("Denter item\r"));
    QCOMPARE(port.inBufferCount(), 0);
    port.close();
    QVERIFY(!port.output("G01\r"));
    QVERIFY(!port.errorString().isEmpty());
    // A module wired to COM2 is not found on COM1.
    module->setCablePort(2);
    QVERIFY(!port.open());
    port.setCommPort(2);
    QVERIFY(port.open());
}

void TestSimFault::installAndReset()
{
    auto module = InstallSimModule(QStringLiteral("VQ7_K6"));
    {
        CommHost host;
        auto *port = dynamic_cast<SimSerialPort *>(&host.MSComm1());
        QVERIFY(port);
        QCOMPARE(&port->module(), module.get());
    }
    ResetProgramState();
    CommHost host;
    QVERIFY(!dynamic_cast<SimSerialPort *>(&host.MSComm1()));
    QVERIFY_THROWS_EXCEPTION(std::invalid_argument, InstallSimModule(QStringLiteral("VQ7_XX")));
}

void TestSimFault::linkOverTheSimulatedPort()
{
    SimFixture sim(QStringLiteral("VQ7S_UT8"));
    MsgRecorder boxes;
    QVERIFY(sim.open());
    QString reply;
    QVERIFY(DataRead(90, 0, reply));
    QCOMPARE(reply, QStringLiteral("VQ7S_UT8"));
    G.ForceChannelField = true;
    QVERIFY(DataRead(2, 0, reply));
    G.ForceChannelField = false;
    QCOMPARE(reply, QStringLiteral("48"));
    QVERIFY(ParameterWrite(5, QStringLiteral("0319"), reply));
    QCOMPARE(reply, QStringLiteral("19"));
    QCOMPARE(sim.module->typeCode(3), int16_t(19));
    QVERIFY(ParameterWrite(16, QStringLiteral("2,5"), reply));
    QCOMPARE(sim.module->filterText(), QStringLiteral("2.5"));
    QCOMPARE(sim.module->commandsText(),
             QStringLiteral("G01 I90 D I02 D00 I05 D0319 I16 D2.5"));
    QCOMPARE(boxes.count(), 0);
}

// The Modbus window's restart: G99, I90, DRESET without waiting, a pause, then G01 again. A
// group select during the restart gets no answer.
void TestSimFault::restartOverTheLink()
{
    SimFixture sim(QStringLiteral("VQ7_L7"), 150);
    MsgRecorder boxes;
    QVERIFY(sim.open());
    sim.module->setRestartMs(1000);
    QString reply;
    QVERIFY(GroupCommand(99, reply));
    G.NoReplyNext = true;
    QVERIFY(ParameterWrite(90, QStringLiteral("RESET"), reply));
    QVERIFY(sim.module->restarting());
    QVERIFY(!GroupCommand(1, reply)); // three time-outs while the module restarts
    QCOMPARE(boxes.count(), 4);
    QTRY_VERIFY(!sim.module->restarting());
    boxes.clear();
    QVERIFY(GroupCommand(1, reply));
    QCOMPARE(DataRead(90, 0, reply) ? reply : QString(), QStringLiteral("VQ7_L7"));
    QCOMPARE(boxes.count(), 0);
    QVERIFY(sim.module->commandsText().startsWith(QLatin1String("G01 G99 I90 DRESET G01 G01 G01")));
}

void TestSimFault::silenceTimesOut()
{
    SimFixture sim(QStringLiteral("VQ7_UT5"), 200);
    MsgRecorder boxes;
    QVERIFY(sim.open());
    sim.module->addFault(SimFault::silence().onItem(3).limit(1));
    QString reply;
    QElapsedTimer clock;
    clock.start();
    QVERIFY(!DataRead(3, 1, reply));
    QVERIFY(clock.elapsed() >= 190);
    QCOMPARE(boxes.prompts(), QStringList{QStringLiteral("Timeout")});
    QVERIFY(DataRead(3, 1, reply)); // the fault is spent
    QVERIFY(!sim.module->transcript().at(sim.module->transcript().size() - 3).answered);
}

void TestSimFault::chunkedReplyIsJoined()
{
    SimFixture sim(QStringLiteral("VQ7_UT5"));
    MsgRecorder boxes;
    QVERIFY(sim.open());
    sim.module->addFault(SimFault::chunks(4, 15));
    QString reply;
    QVERIFY(DataRead(90, 0, reply));
    QCOMPARE(reply, QStringLiteral("VQ7_UT5"));
    QCOMPARE(boxes.count(), 0);
}

void TestSimFault::refusalIsReported()
{
    SimFixture sim(QStringLiteral("VQ7_UT5"));
    MsgRecorder boxes;
    QVERIFY(sim.open());
    QVERIFY(sim.module->addFault(QStringLiteral("refuse:item=16,reply=invalid")));
    QString reply;
    QVERIFY(!ParameterWrite(16, QStringLiteral("2.0"), reply));
    QCOMPARE(boxes.count(), 1);
    QCOMPARE(boxes.boxes()[0].title, QStringLiteral("Parameter Write"));
    QCOMPARE(sim.module->filterText(), QStringLiteral("1.0")); // a refused write changes nothing
    sim.module->addFault(SimFault::wrongEcho().onItem(5).limit(1));
    QVERIFY(ParameterWrite(5, QStringLiteral("0117"), reply));
    QVERIFY(reply != QLatin1String("17"));
}

// A delay holds the reply back; pacing spreads the command and the reply over the wire time of
// 9600 baud (about 1.04 ms a byte).
void TestSimFault::delayAndPacing()
{
    SimFixture sim(QStringLiteral("VQ7_UT5"));
    MsgRecorder boxes;
    QVERIFY(sim.open());
    sim.module->setReplyDelay(0);
    QString reply;
    QElapsedTimer clock;
    sim.module->addFault(SimFault::delay(150).limit(1));
    clock.start();
    QVERIFY(DataRead(92, 0, reply));
    QVERIFY(clock.elapsed() >= 150);

    sim.module->setPaced(true);
    clock.restart();
    for (int i = 0; i < 5; ++i)
        QVERIFY(DataRead(90, 0, reply)); // I90 CR, D90 CR, D CR, DVQ7_UT5 CR: 19 bytes
    const qint64 wireNs = 5 * 19 * SimLine::ByteNs;
    QVERIFY2(clock.nsecsElapsed() >= wireNs, qPrintable(QString::number(clock.elapsed())));
    QCOMPARE(boxes.count(), 0);
}

void TestSimFault::dropClosesThePort()
{
    SimFixture sim(QStringLiteral("VQ7_E4"));
    MsgRecorder boxes;
    QVERIFY(sim.open());
    sim.module->addFault(SimFault::drop().onCommand("D01"));
    QString reply;
    QVERIFY(!DataRead(7, 1, reply));
    QVERIFY(!G.CommForm->MSComm1().isOpen());
    QVERIFY(sim.module->transcript().last().dropped);
    QVERIFY(!boxes.prompts().isEmpty());
    // A drop ordered from outside does the same.
    boxes.clear();
    G.LinkUp = false;
    QVERIFY(sim.open());
    sim.module->dropConnection();
    QTRY_VERIFY(!G.CommForm->MSComm1().isOpen());
}

QTEST_MAIN(TestSimFault)
#include "tst_simfault.moc"
