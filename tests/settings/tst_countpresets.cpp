// The count presets window against a simulated F9 module, opened with the panel's "Count Data"
// button: reading the sixteen rows, Upload, Download, the buttons during a pass, the preset entry.

#include "app/Forms.h"
#include "app/Twips.h"
#include "app/frmMain.h"
#include "link/ModuleCommand.h"
#include "model/Globals.h"
#include "panels/DiscretePanel.h"
#include "settings/CountPresets.h"
#include "tests/settings/SettingsTestSupport.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

namespace {

void openPresets(ModalAnswerer &answers, std::function<void(frmCntPreset &)> act)
{
    answers.expect<frmCntPreset>([act](frmCntPreset &window) { act(window); });
    Forms::get<frmF9>().cmdCntPre->click();
}

// The commands of a pass over the rows from channel `from` to `to`: "I08 D01 I09 D01 ...".
QString readPass(int from, int to)
{
    QStringList list;
    for (int ch = from; ch <= to; ++ch)
        list << QStringLiteral("I08 D%1 I09 D%1").arg(ch, 2, 10, QLatin1Char('0'));
    return list.join(QLatin1Char(' '));
}

QString rows(const frmCntPreset &w)
{
    QStringList list;
    for (int ch = 1; ch <= frmCntPreset::Channels; ++ch)
        list << w.lblNo(ch)->text() + w.lbl32bitCnt(ch)->text() + QLatin1Char('/') +
                    w.txtPreset(ch)->text();
    return list.join(QLatin1Char(' '));
}

// Upload, Download and Exit enabled, as "1 1 1".
QString buttons(const frmCntPreset &w)
{
    return QStringLiteral("%1 %2 %3")
        .arg(int(w.cmdUpload->isEnabled()))
        .arg(int(w.cmdDownload->isEnabled()))
        .arg(int(w.cmdExit->isEnabled()));
}

} // namespace

class TestCountPresets : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        ResetProgramState();
        module = ConnectSimModule(QStringLiteral("VQ7_F9W2"));
        Forms::get<frmMain>().Timer1().setInterval(300); // a silent module is given up sooner
        for (int ch = 1; ch <= frmCntPreset::Channels; ++ch) {
            module->setCount(ch, quint32(1000 + ch));
            module->setPreset(ch, quint32(10 * ch));
        }
        module->clearTranscript();
    }
    void cleanup()
    {
        QVERIFY(!ModuleCommand::Running());
        module.reset();
    }

    void openingReadsSixteenRows();
    void failingReadAtOpening();
    void upload_data();
    void upload();
    void download_data();
    void download();
    void buttonsDuringAPass_data();
    void buttonsDuringAPass();
    void presetEntry();

private:
    std::shared_ptr<SimModule> module;
};

// Opening places the window, reads count and preset of the sixteen channels in order and shows
// them in two columns of eight.
void TestCountPresets::openingReadsSixteenRows()
{
    QString shown;
    QPoint offset;
    bool sideBySide = false;
    ModalAnswerer answers;
    MsgRecorder boxes;
    openPresets(answers, [&](frmCntPreset &w) {
        shown = rows(w);
        offset = w.pos() - Forms::get<frmMain>().pos();
        sideBySide = w.lblNo(9)->mapTo(&w, QPoint()).x() > w.txtPreset(1)->mapTo(&w, QPoint()).x() &&
                     w.lblNo(9)->mapTo(&w, QPoint()).y() == w.lblNo(1)->mapTo(&w, QPoint()).y();
        w.cmdExit->click();
    });
    QVERIFY2(answers.problems().isEmpty(), qPrintable(answers.problems().join(" / ")));
    QVERIFY(boxes.boxes().isEmpty());
    QCOMPARE(Wire(*module), "G01 " + readPass(1, 16));
    QStringList expected;
    for (int ch = 1; ch <= 16; ++ch)
        expected << QStringLiteral("%1:%2/%3").arg(ch).arg(1000 + ch).arg(10 * ch);
    QCOMPARE(shown, expected.join(QLatin1Char(' ')));
    const frmMain &main = Forms::get<frmMain>();
    QCOMPARE(offset, QPoint(TwipsToPixels(3100, &main), TwipsToPixels(1080, &main)));
    QVERIFY(sideBySide);
}

// A failing read of channel 5's count at opening: "Upload Incomplete" titled "Reading", no window.
void TestCountPresets::failingReadAtOpening()
{
    module->addFault(SimFault::silence().onItem(8).onCommand("D05"));
    ModalAnswerer answers;
    MsgRecorder boxes;
    Forms::get<frmF9>().cmdCntPre->click();
    QCOMPARE(answers.shown(), QStringList{});
    QCOMPARE(Told(boxes), (QStringList{"Send/Receive: Timeout", "Reading: Upload Incomplete"}));
    QCOMPARE(boxes.boxes().last().icon, MsgIcon::Critical);
    QCOMPARE(Wire(*module), "G01 " + readPass(1, 5).chopped(8)); // up to D05 of item 8
    QVERIFY(!Forms::ifLoaded<frmCntPreset>());
}

void TestCountPresets::upload_data()
{
    QTest::addColumn<bool>("fails"); // the preset of channel 12 is not answered
    QTest::newRow("complete") << false;
    QTest::newRow("channel 12 not answered") << true;
}

// Upload reads all rows again; a pass that ends early keeps the rows read before the failure.
void TestCountPresets::upload()
{
    QFETCH(bool, fails);
    QString shown;
    ModalAnswerer answers;
    MsgRecorder boxes;
    openPresets(answers, [&](frmCntPreset &w) {
        module->clearTranscript();
        for (int ch = 1; ch <= 16; ++ch)
            module->setPreset(ch, quint32(500 + ch));
        if (fails)
            module->addFault(SimFault::silence().onItem(9).onCommand("D12"));
        w.cmdUpload->click();
        shown = rows(w);
        w.cmdExit->click();
    });
    QStringList expected;
    for (int ch = 1; ch <= 16; ++ch)
        expected << QStringLiteral("%1:%2/%3").arg(ch).arg(1000 + ch).arg(fails && ch >= 12 ? 10 * ch : 500 + ch);
    QCOMPARE(shown, expected.join(QLatin1Char(' ')));
    QCOMPARE(Wire(*module), fails ? readPass(1, 12) : readPass(1, 16));
    const QStringList told = fails ? QStringList{"Send/Receive: Timeout", "Uploading: Upload Incomplete"}
                                   : QStringList{};
    QCOMPARE(Told(boxes), told);
}

void TestCountPresets::download_data()
{
    QTest::addColumn<QString>("fault"); // from the data write of channel `written`
    QTest::addColumn<int>("written");   // channels written before the pass ends
    QTest::addColumn<QStringList>("told");
    QTest::newRow("all sixteen") << "" << 16 << QStringList{};
    QTest::newRow("preset 0 answered 00 on channel 1") << "wrong-echo:item=9,text=00" << 1
                                                       << QStringList{"Downloading: Download Incomplete"};
    QTest::newRow("channel 7 refused") << "refuse:item=9,reply=invalid" << 7
        << QStringList{"Parameter Write: invalid data D070\r\r\nat item 9",
                       "Downloading: Download Incomplete"};
}

// Download writes the sixteen presets in channel order, each echoed exactly as sent ("0" for 0);
// the first one not echoed ends the pass and later channels are not written.
void TestCountPresets::download()
{
    QFETCH(QString, fault);
    QFETCH(int, written);
    QFETCH(QStringList, told);
    QString asked;
    ModalAnswerer answers;
    MsgRecorder boxes;
    openPresets(answers, [&](frmCntPreset &w) {
        for (int ch = 1; ch <= 16; ++ch)
            w.txtPreset(ch)->setText(QStringLiteral("0"));
        module->clearTranscript();
        if (!fault.isEmpty()) {
            // Spares the link check and the exchanges of the channels before.
            const int spared = module->exchangeCount() + 1 + 2 * (written - 1);
            QVERIFY(module->addFault(fault + QStringLiteral(",after=%1,times=1").arg(spared)));
        }
        AnswerConfirmation(answers, true, &asked);
        w.cmdDownload->click();
        w.cmdExit->click();
    });
    QVERIFY2(answers.problems().isEmpty(), qPrintable(answers.problems().join(" / ")));
    QCOMPARE(asked, QStringLiteral("Starting download for Count Preset Data."));
    QStringList wire{"G01"};
    for (int ch = 1; ch <= written; ++ch)
        wire << QStringLiteral("I09 D%1").arg(ch, 2, 10, QLatin1Char('0')) + "0";
    QCOMPARE(Wire(*module), wire.join(QLatin1Char(' ')));
    QCOMPARE(Told(boxes), told);
    if (told.isEmpty()) {
        for (int ch = 1; ch <= 16; ++ch)
            QCOMPARE(module->preset(ch), 0u);
    }
}

void TestCountPresets::buttonsDuringAPass_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("during"); // Upload, Download, Exit enabled during the pass
    QTest::addColumn<bool>("fails");
    QTest::newRow("upload") << "cmdUpload" << "1 0 0" << false;
    QTest::newRow("failed upload") << "cmdUpload" << "1 0 0" << true;
    QTest::newRow("download") << "cmdDownload" << "0 1 0" << false;
    QTest::newRow("failed download") << "cmdDownload" << "0 1 0" << true;
}

// During a pass only the button that started it stays enabled; afterwards, failed or not, all
// three are enabled again. The window cannot be closed while it talks.
void TestCountPresets::buttonsDuringAPass()
{
    QFETCH(QString, button);
    QFETCH(QString, during);
    QFETCH(bool, fails);
    QString seenDuring, seenAfter;
    bool openDuring = false;
    ModalAnswerer answers;
    MsgRecorder boxes;
    openPresets(answers, [&](frmCntPreset &w) {
        if (fails)
            module->addFault(SimFault::silence().afterExchanges(module->exchangeCount() + 6).limit(1));
        AtExchange(*module, 4, [&] {
            seenDuring = buttons(w);
            w.reject(); // Escape: ignored while the pass runs
            openDuring = w.isVisible();
        });
        if (button == QLatin1String("cmdDownload"))
            AnswerConfirmation(answers);
        w.findChild<QPushButton *>(button)->click();
        seenAfter = buttons(w);
        w.cmdExit->click();
    });
    QVERIFY2(answers.problems().isEmpty(), qPrintable(answers.problems().join(" / ")));
    QCOMPARE(seenDuring, during);
    QVERIFY(openDuring);
    QCOMPARE(seenAfter, QStringLiteral("1 1 1"));
    QCOMPARE(boxes.count(), fails ? 2 : 0);
}

// A tenth digit in any preset box is cut with the message; an emptied box is refused by Download
// before anything is written.
void TestCountPresets::presetEntry()
{
    QString twelve;
    QString wire;
    ModalAnswerer answers;
    MsgRecorder boxes;
    openPresets(answers, [&](frmCntPreset &w) {
        w.txtPreset(12)->clear();
        QTest::keyClicks(w.txtPreset(12), QStringLiteral("1234567890"));
        twelve = w.txtPreset(12)->text();
        w.txtPreset(3)->clear();
        module->clearTranscript();
        w.cmdDownload->click();
        wire = Wire(*module);
        w.cmdExit->click();
    });
    QCOMPARE(twelve, QStringLiteral("123456789"));
    const QString range = "Preset Data Check: Output set point must be 0 to 999999999.";
    QCOMPARE(Told(boxes), (QStringList{range, range}));
    QCOMPARE(wire, QString());
    QCOMPARE(answers.shown().size(), 1); // no confirmation asked
}

QTEST_MAIN(TestCountPresets)
#include "tst_countpresets.moc"
