// Opening and closing the link: the port dialog, the group select and their failures.

#include "app/frmCommPort.h"
#include "tests/support/LinkFixture.h"

#include <QPushButton>
#include <QRadioButton>
#include <QTest>

namespace {
// Answers the port dialog with COM1 or COM2 and OK; 0 closes it by its frame.
void choosePort(ModalAnswerer &answerer, int number)
{
    answerer.expect<frmCommPort>([number](frmCommPort &dialog) {
        if (number == 0) {
            dialog.close();
            return;
        }
        dialog.Option1(number)->setChecked(true);
        dialog.cmdOK->click();
    });
}

const QByteArray EnterItem = "Denter item\r";
} // namespace

class TestCommOpen : public QObject
{
    Q_OBJECT
private slots:
    void init() { ResetProgramState(); }

    void opensTheChosenPort_data();
    void opensTheChosenPort();
    void portDialogStartsAtCom1EveryTime();
    void linkUpSkipsTheDialog();
    void silentModule();
    void portThatCannotBeOpened();
    void dialogClosedByItsFrame();
    void otherPortAfterFailedGroupSelect();
    void samePortAfterFailedGroupSelectStaysOpen();
    void commCloseResetsTheLink();
};

void TestCommOpen::opensTheChosenPort_data()
{
    QTest::addColumn<int>("number");
    QTest::newRow("COM1") << 1;
    QTest::newRow("COM2") << 2;
}

void TestCommOpen::opensTheChosenPort()
{
    QFETCH(int, number);
    LinkFixture link;
    link.replyInOrder({EnterItem});
    ModalAnswerer answerer;
    choosePort(answerer, number);
    MsgRecorder boxes;
    CommOpen();
    QVERIFY(G.LinkUp);
    QCOMPARE(G.PortNumber.value_or(0), number);
    QCOMPARE(link.port->openedCommPort(), number);
    QCOMPARE(link.port->openedSettings(), QStringLiteral("9600,n,8,1"));
    QCOMPARE(link.port->writtenJoined(), QByteArray("G01\r"));
    QCOMPARE(boxes.count(), 0);
    QVERIFY(answerer.problems().isEmpty());
}

void TestCommOpen::portDialogStartsAtCom1EveryTime()
{
    ModalAnswerer answerer;
    bool firstShowingAtCom1 = false;
    bool secondShowingAtCom1 = false;
    answerer.expect<frmCommPort>([&](frmCommPort &d) {
        firstShowingAtCom1 = d.Option1(1)->isChecked();
        d.Option1(2)->setChecked(true);
        d.cmdOK->click();
    });
    answerer.expect<frmCommPort>([&](frmCommPort &d) {
        secondShowingAtCom1 = d.Option1(1)->isChecked();
        d.cmdOK->click(); // untouched: COM1
    });
    QVERIFY(frmCommPort::CommPort());
    QCOMPARE(G.PortNumber.value_or(0), 2);
    QVERIFY(frmCommPort::CommPort());
    QCOMPARE(G.PortNumber.value_or(0), 1);
    QVERIFY(firstShowingAtCom1);
    QVERIFY(secondShowingAtCom1);
    QVERIFY(answerer.problems().isEmpty());
}

void TestCommOpen::linkUpSkipsTheDialog()
{
    LinkFixture link;
    link.openPort(2);
    link.replyInOrder({EnterItem});
    G.LinkUp = true;
    ModalAnswerer answerer; // no answer queued: a dialog would be a problem
    CommOpen();
    QVERIFY(G.LinkUp);
    QVERIFY(answerer.shown().isEmpty());
    QCOMPARE(link.port->openCount(), 1);
    QCOMPARE(link.port->writtenJoined(), QByteArray("G01\r"));
}

void TestCommOpen::silentModule()
{
    LinkFixture link(30);
    ModalAnswerer answerer;
    choosePort(answerer, 1);
    MsgRecorder boxes;
    G.TimeoutFlag = true; // a stale tick: Stopping consumes it in the end
    CommOpen();
    QVERIFY(!G.LinkUp);
    QVERIFY(!G.TimeoutFlag);
    QVERIFY(link.port->isOpen()); // the port stays open for the next try
    QCOMPARE(link.port->writtenJoined(), QByteArray("G01\rG01\rG01\r"));
    QCOMPARE(boxes.prompts(), (QStringList{"Timeout", "Timeout", "Timeout", "Out=G01\r\r\nIn =",
                                           "Communication failed"}));
    QCOMPARE(boxes.boxes().last().title, QStringLiteral("Communication"));
    QCOMPARE(boxes.boxes().last().icon, MsgIcon::Exclamation);
}

void TestCommOpen::portThatCannotBeOpened()
{
    LinkFixture link;
    link.port->failNextOpen(QStringLiteral("COM1 (/dev/ttyS0) cannot be opened: Permission denied"));
    ModalAnswerer answerer;
    choosePort(answerer, 1);
    MsgRecorder boxes;
    G.LinkUp = false;
    CommOpen();
    QVERIFY(!G.LinkUp);
    QVERIFY(link.port->written().isEmpty());
    QCOMPARE(boxes.prompts(),
             QStringList{"COM1 (/dev/ttyS0) cannot be opened: Permission denied"});
    QCOMPARE(boxes.boxes()[0].title, QStringLiteral("Communication"));
    QCOMPARE(boxes.boxes()[0].icon, MsgIcon::Exclamation);
}

void TestCommOpen::dialogClosedByItsFrame()
{
    LinkFixture link;
    ModalAnswerer answerer;
    choosePort(answerer, 0);
    MsgRecorder boxes;
    CommOpen();
    QVERIFY(!G.LinkUp);
    QVERIFY(!G.PortNumber.has_value());
    QCOMPARE(link.port->openCount(), 0);
    QVERIFY(link.port->written().isEmpty());
    QCOMPARE(boxes.prompts(), QStringList{"No communication port was chosen."});
    QCOMPARE(boxes.boxes()[0].title, QStringLiteral("Communication"));
}

void TestCommOpen::otherPortAfterFailedGroupSelect()
{
    LinkFixture link(30);
    link.replyInOrder({"", "", "", EnterItem});
    ModalAnswerer answerer;
    choosePort(answerer, 1);
    choosePort(answerer, 2);
    MsgRecorder boxes;
    CommOpen();
    QVERIFY(!G.LinkUp);
    QCOMPARE(link.port->openedCommPort(), 1);
    CommOpen();
    QVERIFY(G.LinkUp);
    QCOMPARE(link.port->openCount(), 2);
    QCOMPARE(link.port->openedCommPort(), 2);
    QCOMPARE(link.port->commPort(), 2);
}

void TestCommOpen::samePortAfterFailedGroupSelectStaysOpen()
{
    LinkFixture link(30);
    link.replyInOrder({"", "", "", EnterItem});
    ModalAnswerer answerer;
    choosePort(answerer, 2);
    choosePort(answerer, 2);
    MsgRecorder boxes;
    CommOpen();
    CommOpen();
    QVERIFY(G.LinkUp);
    QCOMPARE(link.port->openCount(), 1);
    QCOMPARE(answerer.shown().size(), 2);
}

void TestCommOpen::commCloseResetsTheLink()
{
    LinkFixture link;
    link.openPort();
    G.LinkUp = true;
    G.PortNumber = 1;
    G.TimeoutFlag = true;
    G.CurModelKind = 2;
    link.host->Timer1().start();
    CommClose();
    QVERIFY(!link.port->isOpen());
    QVERIFY(!link.host->Timer1().isActive());
    QVERIFY(!G.LinkUp);
    QVERIFY(!G.TimeoutFlag);
    QVERIFY(!G.PortNumber.has_value());
    QCOMPARE(G.curKind(), 2); // the configuration outlives the link
}

QTEST_MAIN(TestCommOpen)
#include "tst_commopen.moc"
