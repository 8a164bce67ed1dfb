// The cold-junction sensor settings: the reads at opening and on Upload, the limit checks before
// anything is sent, and Download with its echo checks, against a simulated UT5 module.

#include "editors/frmCJM.h"
#include "tests/editors/EditorFixture.h"

#include <QLabel>
#include <QLineEdit>
#include <QTest>

namespace {

const QString UploadIncomplete =
    QStringLiteral("CJM Reference Temperature | critical | Upload Incomplete");
const QString DownloadIncomplete =
    QStringLiteral("CJM Reference Temperature | critical | Download Incomplete");
const QString TempCheck = QStringLiteral(
    "CJM Temp Check | exclamation | Output set point must be 0.000degC to 100.000degC.");
const QString VoltCheck =
    QStringLiteral("CJM Voltage Check | exclamation | Output set point must be 0.400V to 0.700V.");
const QString Timeout = QStringLiteral("Send/Receive | critical | Timeout");

} // namespace

class TestCjm : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        ResetProgramState();
        module = ConnectTo(QStringLiteral("VQ7_UT5"));
        QVERIFY(G.LinkUp);
        Forms::get<frmMain>().Timer1().setInterval(150);
        G.CjmTemp = QStringLiteral("7.000");
        G.CjmVolt = QStringLiteral("0.500");
    }

    void opening();
    void openingReadFails_data();
    void openingReadFails();
    void checks_data();
    void checks();
    void download_data();
    void download();
    void upload_data();
    void upload();

private:
    std::shared_ptr<SimModule> module;
};

void TestCjm::opening()
{
    module->setCjmTemperature(25.5);
    module->setCjmVoltage(0.6);
    QStringList shown;
    ModalAnswerer answers;
    MsgRecorder boxes;
    WithWindow<frmCJM>(answers, [&](frmCJM &w) {
        shown << w.lblTempMin->text() << w.Text1->text() << w.lblUnit1->text() << w.lblTempMax->text()
              << w.lblVolMin->text() << w.Text2->text() << w.lblUnit2->text() << w.lblVolMax->text();
    });
    Forms::get<frmMain>().mnuConfigCJM->trigger();

    QCOMPARE(answers.shown(), QStringList{"frmCJM"});
    QCOMPARE(shown, (QStringList{"0.000", "25.500", "degC", "100.000", "0.400", "0.600", "V", "0.700"}));
    // The present link, no group select: the command is enabled only while the link is up.
    QCOMPARE(Commands(*module), (QStringList{"I23", "D", "I24", "D"}));
    QVERIFY(boxes.boxes().isEmpty());
    QVERIFY(!Forms::ifLoaded<frmCJM>());
}

void TestCjm::openingReadFails_data()
{
    QTest::addColumn<QString>("fault");
    QTest::addColumn<QStringList>("commands");
    QTest::addColumn<QStringList>("boxes");
    QTest::newRow("temperature unanswered") << "silence:item=23" << QStringList{"I23", "D"}
                                            << QStringList{Timeout, UploadIncomplete};
    QTest::newRow("voltage garbled") << "garble:item=24" << QStringList{"I23", "D", "I24", "D"}
                                     << QStringList{UploadIncomplete};
}

// A failed read tells the user once and the window is not shown.
void TestCjm::openingReadFails()
{
    QFETCH(QString, fault);
    QFETCH(QStringList, commands);
    QFETCH(QStringList, boxes);
    QVERIFY(module->addFault(fault));
    ModalAnswerer answers;
    MsgRecorder recorder;
    frmCJM::CJM();
    QCOMPARE(Commands(*module), commands);
    QCOMPARE(Boxes(recorder), boxes);
    QVERIFY(answers.shown().isEmpty());
    QVERIFY(!Forms::ifLoaded<frmCJM>());
}

void TestCjm::checks_data()
{
    QTest::addColumn<QString>("temp");
    QTest::addColumn<QString>("volt");
    QTest::addColumn<QString>("refusal"); // "" the checks pass and the confirmation is asked

    QTest::newRow("temperature 0") << "0" << "0.55" << TempCheck;
    QTest::newRow("temperature 100") << "100" << "0.55" << TempCheck;
    QTest::newRow("temperature 0.001") << "0.001" << "0.55" << "";
    QTest::newRow("temperature 99.999") << "99.999" << "0.55" << "";
    QTest::newRow("temperature with a decimal comma") << "25,5" << "0.55" << "";
    QTest::newRow("temperature not a number counts as 0") << "abc" << "0.55" << TempCheck;
    QTest::newRow("temperature below zero") << "-5" << "0.55" << TempCheck;
    // Values written as 0.000 and 100.000: the limits themselves.
    QTest::newRow("temperature 0.0001 rounds onto the limit") << "0.0001" << "0.55" << TempCheck;
    QTest::newRow("temperature 99.9996 rounds onto the limit") << "99.9996" << "0.55" << TempCheck;
    QTest::newRow("voltage 0.4") << "25" << "0.4" << VoltCheck;
    QTest::newRow("voltage 0.7") << "25" << "0.7" << VoltCheck;
    QTest::newRow("voltage 0.55") << "25" << "0.55" << "";
    QTest::newRow("voltage 0.7 written as 0.700 from 0.6999") << "25" << "0.6999" << VoltCheck;
    QTest::newRow("a bad temperature hides a bad voltage") << "0" << "0.9" << TempCheck;
    QTest::newRow("temperature with a control character")
        << "25\x01" "5" << "0.55"
        << "CJM Temp. | exclamation | CJM Temp.: the text \"25<01>5\" holds a character the module "
           "cannot take (a control character, a double quote or a non-ASCII character); nothing "
           "was stored.";
    QTest::newRow("voltage with a double quote")
        << "25" << "0.5\"" << "CJM Voltage | exclamation | CJM Voltage: the text \"0.5\"\" holds a "
                              "character the module cannot take (a control character, a double "
                              "quote or a non-ASCII character); nothing was stored.";
}

// The checks run before the confirmation and before any communication; a value that passes is
// asked to be confirmed, and Cancel leaves CjmTemp and CjmVolt as they were.
void TestCjm::checks()
{
    QFETCH(QString, temp);
    QFETCH(QString, volt);
    QFETCH(QString, refusal);
    bool open = false;
    ModalAnswerer answers;
    WithWindow<frmCJM>(answers, [&](frmCJM &w) {
        module->clearTranscript();
        w.Text1->setText(temp);
        w.Text2->setText(volt);
        w.cmdDown->click();
    }, &open);
    if (refusal.isEmpty())
        Confirm(answers, false);
    MsgRecorder boxes;
    frmCJM::CJM();

    QVERIFY2(answers.problems().isEmpty(), qPrintable(answers.problems().join(" / ")));
    QCOMPARE(Boxes(boxes), refusal.isEmpty() ? QStringList{} : QStringList{refusal});
    QCOMPARE(answers.shown().contains(QStringLiteral("frmDialog")), refusal.isEmpty());
    QVERIFY(module->transcript().isEmpty());
    QVERIFY(open);
    QCOMPARE(G.CjmTemp, QStringLiteral("7.000"));
    QCOMPARE(G.CjmVolt, QStringLiteral("0.500"));
}

void TestCjm::download_data()
{
    QTest::addColumn<QString>("temp");
    QTest::addColumn<QString>("fault");
    QTest::addColumn<QStringList>("commands");
    QTest::addColumn<QStringList>("boxes");
    QTest::addColumn<QString>("cjmTemp");
    QTest::addColumn<QString>("cjmVolt");
    QTest::addColumn<bool>("open");
    const QStringList both{"G01", "I23", "D25.500", "I24", "D0.550"};

    QTest::newRow("25,5 written as 25.500") << "25,5" << "" << both << QStringList{} << "25.500" << "0.550" << true;
    QTest::newRow("echo 25.5 for 25.500 agrees") << "25.5" << "wrong-echo:item=23,text=25.5" << both
        << QStringList{} << "25.500" << "0.550" << true;
    QTest::newRow("echo 25.4 fails and closes") << "25.5" << "wrong-echo:item=23,text=25.4"
        << QStringList{"G01", "I23", "D25.500"} << QStringList{DownloadIncomplete} << "25.500" << "0.500" << false;
    QTest::newRow("voltage refused: temperature stays written") << "25.5" << "refuse:item=24" << both
        << QStringList{"Parameter Write | critical | invalid data D0.550\r\r\nat item 24", DownloadIncomplete}
        << "25.500" << "0.550" << false;
    QTest::newRow("no link: closes, CommOpen tells why") << "25.5" << "silence:cmd=G01"
        << QStringList{"G01", "G01", "G01"}
        << QStringList{Timeout, Timeout, Timeout, "Group Command Error | exclamation | Out=G01\r\r\nIn =",
                       "Communication | exclamation | Communication failed"}
        << "7.000" << "0.500" << false;
}

void TestCjm::download()
{
    QFETCH(QString, temp);
    QFETCH(QString, fault);
    QFETCH(QStringList, commands);
    QFETCH(QStringList, boxes);
    QFETCH(QString, cjmTemp);
    QFETCH(QString, cjmVolt);
    QFETCH(bool, open);
    QString confirmation;
    bool stillOpen = false;
    ModalAnswerer answers;
    MsgRecorder recorder;
    WithWindow<frmCJM>(answers, [&](frmCJM &w) {
        module->clearTranscript();
        QVERIFY(module->addFault(fault) || fault.isEmpty());
        w.Text1->setText(temp);
        w.Text2->setText(QStringLiteral("0.55"));
        w.cmdDown->click();
    }, &stillOpen);
    Confirm(answers, true, &confirmation);
    frmCJM::CJM();

    QCOMPARE(confirmation, QStringLiteral("Starting download for CJM Setting."));
    QCOMPARE(Commands(*module), commands);
    QCOMPARE(Boxes(recorder), boxes);
    QCOMPARE(G.CjmTemp, cjmTemp);
    QCOMPARE(G.CjmVolt, cjmVolt);
    QCOMPARE(stillOpen, open);
}

void TestCjm::upload_data()
{
    QTest::addColumn<QString>("fault");
    QTest::addColumn<QStringList>("commands");
    QTest::addColumn<QStringList>("boxes");
    QTest::addColumn<QString>("text1");
    QTest::addColumn<bool>("open");
    QTest::newRow("new values shown") << "" << QStringList{"G01", "I23", "D", "I24", "D"}
                                      << QStringList{} << "31.250" << true;
    QTest::newRow("voltage unanswered closes") << "silence:item=24"
        << QStringList{"G01", "I23", "D", "I24", "D"} << QStringList{Timeout, UploadIncomplete}
        << "31.250" << false;
}

void TestCjm::upload()
{
    QFETCH(QString, fault);
    QFETCH(QStringList, commands);
    QFETCH(QStringList, boxes);
    QFETCH(QString, text1);
    QFETCH(bool, open);
    QString shown;
    bool stillOpen = false;
    ModalAnswerer answers;
    MsgRecorder recorder;
    WithWindow<frmCJM>(answers, [&](frmCJM &w) {
        module->clearTranscript();
        module->setCjmTemperature(31.25);
        QVERIFY(module->addFault(fault) || fault.isEmpty());
        w.cmdUp->click();
        shown = w.Text1->text();
    }, &stillOpen);
    frmCJM::CJM();

    QCOMPARE(Commands(*module), commands);
    QCOMPARE(Boxes(recorder), boxes);
    QCOMPARE(shown, text1);
    QCOMPARE(stillOpen, open);
}

QTEST_MAIN(TestCjm)
#include "tst_cjm.moc"
