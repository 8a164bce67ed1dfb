// The input type editor opened from the analog panels' channel buttons: what it shows for a
// channel, what a pick, the switch, Prev/Next and Copy/Paste change in the configuration and the
// panel, and what Download writes to a simulated module.

#include "app/Twips.h"
#include "editors/frmType.h"
#include "link/ItemMap.h"
#include "tests/editors/EditorFixture.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QRadioButton>
#include <QTest>

namespace {

// The user picks an entry of a list by its text.
void Pick(QComboBox *list, const QString &text)
{
    const int index = list->findText(text, Qt::MatchExactly);
    QVERIFY2(index >= 0, qPrintable(text));
    list->setCurrentIndex(index);
    emit list->activated(index);
}

// Which switch option is selected: "OFF", "ON" or "" for neither.
QString Checked(const frmType &window)
{
    if (window.optCjmSw(0)->isChecked())
        return QStringLiteral("OFF");
    if (window.optCjmSw(1)->isChecked())
        return QStringLiteral("ON");
    return {};
}

int KindOf(const QString &model)
{
    return model.contains(QLatin1String("UT8")) ? KindUt8
           : model.contains(QLatin1String("K6")) ? KindK6
                                                 : KindUt5;
}

// The switch caption of a channel, "-" on the K6 kind, which has none.
QString SwitchCaption(int kind, int ch)
{
    QLabel *label = PanelOf(kind).lblCjmSw(ch);
    return label ? label->text() : QStringLiteral("-");
}

} // namespace

class TestTypeEditor : public QObject
{
    Q_OBJECT
private slots:
    void init() { ResetProgramState(); }

    void opening_data();
    void opening();
    void noModel();
    void picking_data();
    void picking();
    void switchStep();
    void channelChange_data();
    void channelChange();
    void copyPaste_data();
    void copyPaste();
    void offline_data();
    void offline();
    void download_data();
    void download();
    void downloadFailure_data();
    void downloadFailure();
    void unknownTypeIsNotWrittenOver();
};

void TestTypeEditor::opening_data()
{
    QTest::addColumn<QString>("model");
    QTest::addColumn<int>("options");   // UT8 module options
    QTest::addColumn<int>("button");    // channel button pressed; 0: TypeSet with SelChannel 0
    QTest::addColumn<QString>("setup"); // "cjc-off": the module's switch is OFF; "unknown": the
                                        // channel's code is none of the kind's types
    QTest::addColumn<int>("channel");
    QTest::addColumn<QString>("type"); // "" no type shown
    QTest::addColumn<QString>("checked");
    QTest::addColumn<bool>("switchEnabled");

    QTest::newRow("UT5 button 9, a voltage range") << "VQ7_UT5" << 48 << 9 << "" << 9 << "-20 to 20V" << "" << false;
    QTest::newRow("UT5 SelChannel 0 shows channel 1") << "VQ7_UT5" << 48 << 0 << "" << 1 << "K(CA)" << "ON" << true;
    QTest::newRow("UT5 thermocouple switched OFF") << "VQ7_UT5" << 48 << 2 << "cjc-off" << 2 << "K(CA)" << "OFF" << true;
    QTest::newRow("UT5 unknown code: no type") << "VQ7_UT5" << 48 << 3 << "unknown" << 3 << "" << "" << false;
    QTest::newRow("K6 button 5") << "VQ7_K6" << 48 << 5 << "" << 5 << "Ni508.4" << "" << false;
    QTest::newRow("K6 unknown code: no type") << "VQ7_K6" << 48 << 8 << "unknown" << 8 << "" << "" << false;
    QTest::newRow("UT8 thermocouple with the settings option") << "VQ7S_UT8" << 48 << 1 << "" << 1 << "K(CA)" << "ON" << true;
    QTest::newRow("UT8 thermocouple without the settings option") << "VQ7S_UT8" << 32 << 2 << "" << 2 << "K(CA)" << "ON" << false;
    QTest::newRow("UT8 voltage range") << "VQ7S_UT8" << 48 << 7 << "" << 7 << "-10 to 10V" << "" << false;
    QTest::newRow("UT8 unknown code: no type") << "VQ7S_UT8" << 48 << 4 << "unknown" << 4 << "" << "" << false;
}

void TestTypeEditor::opening()
{
    QFETCH(QString, model);
    QFETCH(int, options);
    QFETCH(int, button);
    QFETCH(QString, setup);
    QFETCH(int, channel);
    QFETCH(QString, type);
    QFETCH(QString, checked);
    QFETCH(bool, switchEnabled);
    const int kind = KindOf(model);
    const int channels = kind == KindUt5 ? 16 : 8;
    const int typeCount = kind == KindUt5 ? 20 : kind == KindUt8 ? 14 : 10;

    auto module = InstallSim(model, options);
    if (setup == QLatin1String("cjc-off"))
        module->setCjcSwitch(channel, 0);
    Connect(*module);
    QVERIFY(G.LinkUp);
    AnalogPanel &panel = PanelOf(kind);
    if (setup == QLatin1String("unknown")) {
        // What the panel shows for a code its kind does not document: an empty caption.
        G.ChTypeCode[std::size_t(channel)] = 9;
        panel.lblType(channel)->clear();
    }
    const auto codes = G.ChTypeCode;
    const auto switches = G.ChCjcSw;
    frmMain &main = Forms::get<frmMain>();
    main.move(40, 30);

    QStringList channelList;
    QString shownChannel, shownType, shownChecked;
    int typeEntries = 0;
    bool optionsEnabled = false, labelEnabled = false, frameShown = false, downloadEnabled = false;
    QPoint position;
    ModalAnswerer answers;
    WithWindow<frmType>(answers, [&](frmType &w) {
        for (int i = 0; i < w.cboChannel->count(); ++i)
            channelList << w.cboChannel->itemText(i);
        shownChannel = w.cboChannel->currentText();
        shownType = w.cboType->currentText();
        typeEntries = w.cboType->count();
        shownChecked = Checked(w);
        optionsEnabled = w.optCjmSw(0)->isEnabled() && w.optCjmSw(1)->isEnabled();
        labelEnabled = w.Label5->isEnabled();
        frameShown = w.Frame1->isVisible() && w.Label5->isVisible();
        downloadEnabled = w.cmdDownload->isEnabled();
        position = w.pos();
    });
    MsgRecorder boxes;
    if (button == 0) {
        G.SelChannel = 0;
        frmType::TypeSet();
    } else {
        panel.cmdCh(button)->click();
    }

    QVERIFY2(answers.problems().isEmpty(), qPrintable(answers.problems().join(" / ")));
    QCOMPARE(answers.shown(), QStringList{"frmType"});
    QStringList expectedChannels;
    for (int ch = 1; ch <= channels; ++ch)
        expectedChannels << QString::number(ch);
    QCOMPARE(channelList, expectedChannels);
    QCOMPARE(shownChannel, QString::number(channel));
    QCOMPARE(typeEntries, typeCount);
    QCOMPARE(shownType, type);
    QCOMPARE(shownChecked, checked);
    QCOMPARE(frameShown, kind != KindK6);
    if (kind != KindK6) {
        QCOMPARE(optionsEnabled, switchEnabled);
        QCOMPARE(labelEnabled, switchEnabled);
    }
    QVERIFY(downloadEnabled);
    QCOMPARE(position, main.pos() + QPoint(TwipsToPixels(90, &main), TwipsToPixels(1800, &main)));
    // Opening changes nothing: neither the configuration nor the module.
    QCOMPARE(G.ChTypeCode, codes);
    QCOMPARE(G.ChCjcSw, switches);
    QVERIFY(module->transcript().isEmpty());
    QVERIFY(boxes.boxes().isEmpty());
    QVERIFY(!G.TypeFilling);
    QVERIFY(!Forms::ifLoaded<frmType>()); // unloaded when closed
}

void TestTypeEditor::noModel()
{
    Forms::get<frmMain>();
    G.SelChannel = 1;
    ModalAnswerer answers;
    MsgRecorder boxes;
    frmType::TypeSet();
    QCOMPARE(Boxes(boxes), QStringList{"Type set | none | No Model"});
    QVERIFY(answers.shown().isEmpty());
    QVERIFY(!G.TypeFilling);
}

void TestTypeEditor::picking_data()
{
    QTest::addColumn<QString>("model");
    QTest::addColumn<int>("options");
    QTest::addColumn<int>("channel");
    QTest::addColumn<int>("clipCjc"); // the switch last copied
    QTest::addColumn<QString>("pick");
    QTest::addColumn<int>("code");
    QTest::addColumn<int>("group");
    QTest::addColumn<int>("sub");
    QTest::addColumn<QString>("switchCaption");
    QTest::addColumn<int>("cjc");
    QTest::addColumn<bool>("switchEnabled");

    QTest::newRow("UT5 K(CA) on channel 9, nothing copied: OFF") << "VQ7_UT5" << 48 << 9 << 0 << "K(CA)" << 17 << 1 << 1 << "OFF" << 0 << true;
    QTest::newRow("UT5 K(CA) after ON was copied") << "VQ7_UT5" << 48 << 9 << 1 << "K(CA)" << 17 << 1 << 1 << "ON" << 1 << true;
    QTest::newRow("UT5 last thermocouple") << "VQ7_UT5" << 48 << 10 << 0 << "P(Platinel2)" << 28 << 1 << 12 << "OFF" << 0 << true;
    QTest::newRow("UT5 -5 to 5V on a thermocouple switched ON") << "VQ7_UT5" << 48 << 1 << 0 << "-5 to 5V" << 1 << 0 << 1 << "" << 1 << false;
    QTest::newRow("UT5 last voltage range") << "VQ7_UT5" << 48 << 2 << 1 << "-10 to 10mV" << 6 << 0 << 6 << "" << 1 << false;
    QTest::newRow("K6 last thermometer") << "VQ7_K6" << 48 << 1 << 0 << "Pt1000" << 53 << 3 << 5 << "-" << 1 << false;
    QTest::newRow("K6 first resistance range") << "VQ7_K6" << 48 << 2 << 0 << "0 to 100ohm" << 64 << 4 << 0 << "-" << 1 << false;
    QTest::newRow("UT8 voltage range on a thermocouple switched ON") << "VQ7S_UT8" << 48 << 1 << 0 << "-10 to 10V" << 0 << 0 << 0 << "" << 1 << false;
    QTest::newRow("UT8 J(IC) with the settings option") << "VQ7S_UT8" << 48 << 7 << 0 << "J(IC)" << 19 << 1 << 3 << "OFF" << 0 << true;
    // Without the option the options are not touched: neither is selected, which counts as ON.
    QTest::newRow("UT8 J(IC) without the settings option") << "VQ7S_UT8" << 32 << 7 << 0 << "J(IC)" << 19 << 1 << 3 << "ON" << 1 << false;
}

void TestTypeEditor::picking()
{
    QFETCH(QString, model);
    QFETCH(int, options);
    QFETCH(int, channel);
    QFETCH(int, clipCjc);
    QFETCH(QString, pick);
    QFETCH(int, code);
    QFETCH(int, group);
    QFETCH(int, sub);
    QFETCH(QString, switchCaption);
    QFETCH(int, cjc);
    QFETCH(bool, switchEnabled);
    const int kind = KindOf(model);
    auto module = ConnectTo(model, options);
    QVERIFY(G.LinkUp);
    G.TypeClipCjc = int16_t(clipCjc);

    bool enabled = false;
    ModalAnswerer answers;
    WithWindow<frmType>(answers, [&](frmType &w) {
        Pick(w.cboType, pick);
        enabled = w.optCjmSw(0)->isEnabled() && w.Label5->isEnabled();
    });
    PanelOf(kind).cmdCh(channel)->click();

    const auto c = std::size_t(channel);
    QCOMPARE(PanelOf(kind).lblType(channel)->text(), pick);
    QCOMPARE(SwitchCaption(kind, channel), switchCaption);
    QCOMPARE(G.ChTypeCode[c], code);
    QCOMPARE(G.ChGroup[c], group);
    QCOMPARE(G.ChSub[c], sub);
    QCOMPARE(G.ChCjcSw[c], cjc);
    if (kind != KindK6)
        QCOMPARE(enabled, switchEnabled);
    QVERIFY(module->transcript().isEmpty()); // a pick talks to nobody
}

// A click on an option sets the shown channel's switch caption and ChCjcSw at once, and Exit
// keeps it.
void TestTypeEditor::switchStep()
{
    auto module = ConnectTo(QStringLiteral("VQ7_UT5"));
    QVERIFY(G.LinkUp);
    QString afterOff, afterOn;
    int cjcAfterOff = -1;
    ModalAnswerer answers;
    WithWindow<frmType>(answers, [&](frmType &w) {
        w.optCjmSw(0)->click();
        afterOff = PanelOf(KindUt5).lblCjmSw(6)->text();
        cjcAfterOff = G.ChCjcSw[6];
        w.optCjmSw(1)->click();
        afterOn = PanelOf(KindUt5).lblCjmSw(6)->text();
        w.optCjmSw(0)->click();
        w.cmdExit->click();
    });
    PanelOf(KindUt5).cmdCh(6)->click();
    QCOMPARE(afterOff, QStringLiteral("OFF"));
    QCOMPARE(cjcAfterOff, 0);
    QCOMPARE(afterOn, QStringLiteral("ON"));
    QCOMPARE(PanelOf(KindUt5).lblCjmSw(6)->text(), QStringLiteral("OFF"));
    QCOMPARE(G.ChCjcSw[6], 0);
    QCOMPARE(G.ChTypeCode[6], 19);
}

void TestTypeEditor::channelChange_data()
{
    QTest::addColumn<QString>("model");
    QTest::addColumn<int>("start");
    QTest::addColumn<QString>("step"); // "next", "prev" or the channel picked from the list
    QTest::addColumn<int>("cjcOff");   // a channel the module has switched OFF (0: none)
    QTest::addColumn<int>("channel");
    QTest::addColumn<QString>("type");
    QTest::addColumn<QString>("checked");

    QTest::newRow("UT5 Next on 16 wraps to 1") << "VQ7_UT5" << 16 << "next" << 0 << 1 << "K(CA)" << "ON";
    QTest::newRow("UT5 Prev on 1 wraps to 16") << "VQ7_UT5" << 1 << "prev" << 0 << 16 << "R" << "ON";
    QTest::newRow("UT5 Next onto a switch OFF") << "VQ7_UT5" << 1 << "next" << 2 << 2 << "K(CA)" << "OFF";
    QTest::newRow("UT5 Prev onto a voltage range keeps the options") << "VQ7_UT5" << 10 << "prev" << 0 << 9 << "-20 to 20V" << "";
    QTest::newRow("UT5 channel 12 from the list") << "VQ7_UT5" << 1 << "12" << 0 << 12 << "-800 to 800mV" << "ON";
    QTest::newRow("UT8 Prev on 1 wraps to 8") << "VQ7S_UT8" << 1 << "prev" << 0 << 8 << "-10 to 10V" << "ON";
    QTest::newRow("UT8 Next on 8 wraps to 1") << "VQ7S_UT8" << 8 << "next" << 1 << 1 << "K(CA)" << "OFF";
    QTest::newRow("K6 Prev on 1 wraps to 8") << "VQ7_K6" << 1 << "prev" << 0 << 8 << "0 to 1Kohm" << "";
    QTest::newRow("K6 Next on 8 wraps to 1") << "VQ7_K6" << 8 << "next" << 0 << 1 << "Pt100(JIS'89)" << "";
}

// A channel change shows the channel's type and switch; it changes no type, and a switch only as
// the panel already shows it.
void TestTypeEditor::channelChange()
{
    QFETCH(QString, model);
    QFETCH(int, start);
    QFETCH(QString, step);
    QFETCH(int, cjcOff);
    QFETCH(int, channel);
    QFETCH(QString, type);
    QFETCH(QString, checked);
    const int kind = KindOf(model);
    auto module = InstallSim(model);
    if (cjcOff)
        module->setCjcSwitch(cjcOff, 0);
    Connect(*module);
    QVERIFY(G.LinkUp);
    const auto codes = G.ChTypeCode;
    const auto switches = G.ChCjcSw;
    QStringList captionsBefore;
    for (int ch = 1; ch <= PanelOf(kind).channels(); ++ch)
        captionsBefore << PanelOf(kind).lblType(ch)->text() + QLatin1Char('/') + SwitchCaption(kind, ch);

    QString shownChannel, shownType, shownChecked;
    ModalAnswerer answers;
    WithWindow<frmType>(answers, [&](frmType &w) {
        if (step == QLatin1String("next"))
            w.cmdNext->click();
        else if (step == QLatin1String("prev"))
            w.cmdPrev->click();
        else
            Pick(w.cboChannel, step);
        shownChannel = w.cboChannel->currentText();
        shownType = w.cboType->currentText();
        shownChecked = Checked(w);
    });
    PanelOf(kind).cmdCh(start)->click();

    QCOMPARE(shownChannel, QString::number(channel));
    QCOMPARE(shownType, type);
    QCOMPARE(shownChecked, checked);
    QCOMPARE(G.ChTypeCode, codes);
    QCOMPARE(G.ChCjcSw, switches);
    QStringList captionsAfter;
    for (int ch = 1; ch <= PanelOf(kind).channels(); ++ch)
        captionsAfter << PanelOf(kind).lblType(ch)->text() + QLatin1Char('/') + SwitchCaption(kind, ch);
    QCOMPARE(captionsAfter, captionsBefore);
}

void TestTypeEditor::copyPaste_data()
{
    QTest::addColumn<QString>("model");
    QTest::addColumn<int>("cjcOff");      // a channel the module has switched OFF (0: none)
    QTest::addColumn<int>("copyFrom");    // 0: the buffer below, as left by an earlier opening
    QTest::addColumn<QString>("clipName");
    QTest::addColumn<int>("clipIndex");
    QTest::addColumn<int>("clipCjc");
    QTest::addColumn<int>("pasteOn");
    QTest::addColumn<QString>("type");
    QTest::addColumn<QString>("switchCaption");
    QTest::addColumn<int>("code");
    QTest::addColumn<int>("cjc");

    QTest::newRow("J(IC) ON onto a voltage channel") << "VQ7_UT5" << 0 << 5 << "" << 0 << 0 << 9 << "J(IC)" << "ON" << 19 << 1;
    QTest::newRow("K(CA) OFF onto a thermocouple switched ON") << "VQ7_UT5" << 1 << 1 << "" << 0 << 0 << 5 << "K(CA)" << "OFF" << 17 << 0;
    QTest::newRow("a voltage range onto a thermocouple") << "VQ7_UT5" << 0 << 11 << "" << 0 << 0 << 1 << "-1 to 1V" << "" << 2 << 1;
    QTest::newRow("K6 resistance range") << "VQ7_K6" << 0 << 7 << "" << 0 << 0 << 2 << "0 to 100ohm" << "-" << 64 << 1;
    QTest::newRow("paste before any copy changes nothing") << "VQ7_UT5" << 0 << 0 << "" << 0 << 0 << 9 << "-20 to 20V" << "" << 0 << 1;
    // Copied on a UT5 module (position 8 there), pasted where the UT8 list has it at position 2.
    QTest::newRow("a copy from another kind pastes the same type") << "VQ7S_UT8" << 0 << 0 << "K(CA)" << 8 << 0 << 7 << "K(CA)" << "OFF" << 17 << 0;
    QTest::newRow("a type this kind lacks pastes nothing") << "VQ7_UT5" << 0 << 0 << "JPt100(JIS'89)" << 0 << 1 << 9 << "-20 to 20V" << "" << 0 << 1;
}

void TestTypeEditor::copyPaste()
{
    QFETCH(QString, model);
    QFETCH(int, cjcOff);
    QFETCH(int, copyFrom);
    QFETCH(QString, clipName);
    QFETCH(int, clipIndex);
    QFETCH(int, clipCjc);
    QFETCH(int, pasteOn);
    QFETCH(QString, type);
    QFETCH(QString, switchCaption);
    QFETCH(int, code);
    QFETCH(int, cjc);
    const int kind = KindOf(model);
    auto module = InstallSim(model);
    if (cjcOff)
        module->setCjcSwitch(cjcOff, 0);
    Connect(*module);
    QVERIFY(G.LinkUp);
    G.TypeClipName = clipName;
    G.TypeClipIndex = int16_t(clipIndex);
    G.TypeClipCjc = int16_t(clipCjc);

    ModalAnswerer answers;
    WithWindow<frmType>(answers, [&](frmType &w) {
        if (copyFrom) {
            Pick(w.cboChannel, QString::number(copyFrom));
            w.cmdCopy->click();
        }
        Pick(w.cboChannel, QString::number(pasteOn));
        w.cmdPaste->click();
    });
    PanelOf(kind).cmdCh(copyFrom ? copyFrom : pasteOn)->click();

    const auto c = std::size_t(pasteOn);
    QCOMPARE(PanelOf(kind).lblType(pasteOn)->text(), type);
    QCOMPARE(SwitchCaption(kind, pasteOn), switchCaption);
    QCOMPARE(G.ChTypeCode[c], code);
    QCOMPARE(G.ChCjcSw[c], cjc);
    // The buffer outlives the window.
    if (copyFrom)
        QCOMPARE(G.TypeClipName, PanelOf(kind).lblType(copyFrom)->text());
}

void TestTypeEditor::offline_data()
{
    QTest::addColumn<int>("entry"); // Model menu entry
    QTest::addColumn<int>("channel");
    QTest::addColumn<QString>("pick");
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("switchCaption");
    QTest::newRow("UT5") << 1 << 4 << "J(IC)" << 19 << "OFF";
    QTest::newRow("K6") << 2 << 8 << "0 to 1Kohm" << 66 << "-";
    QTest::newRow("UT8") << 3 << 3 << "-10 to 10V" << 0 << "";
}

// Without a module Download is disabled; picks change the configuration and the panel. Nothing
// has been read, so the editor opens with no type shown.
void TestTypeEditor::offline()
{
    QFETCH(int, entry);
    QFETCH(int, channel);
    QFETCH(QString, pick);
    QFETCH(int, code);
    QFETCH(QString, switchCaption);
    static constexpr int Kinds[] = {0, KindUt5, KindK6, KindUt8};
    const int kind = Kinds[entry];
    ChooseOffline(entry);
    G.ChTypeCode[std::size_t(channel)] = 5; // not what the pick gives

    bool downloadEnabled = true;
    QString shownBefore = QStringLiteral("?");
    ModalAnswerer answers;
    MsgRecorder boxes;
    WithWindow<frmType>(answers, [&](frmType &w) {
        downloadEnabled = w.cmdDownload->isEnabled();
        shownBefore = w.cboType->currentText();
        Pick(w.cboType, pick);
        w.cmdExit->click();
    });
    PanelOf(kind).cmdCh(channel)->click();

    QVERIFY(!downloadEnabled);
    QCOMPARE(shownBefore, QString());
    QCOMPARE(PanelOf(kind).lblType(channel)->text(), pick);
    QCOMPARE(SwitchCaption(kind, channel), switchCaption);
    QCOMPARE(G.ChTypeCode[std::size_t(channel)], code);
    QVERIFY(boxes.boxes().isEmpty());
}

void TestTypeEditor::download_data()
{
    QTest::addColumn<QString>("model");
    QTest::addColumn<int>("options");
    QTest::addColumn<int>("channel");
    QTest::addColumn<QString>("pick"); // "" keeps the channel's type
    QTest::addColumn<QStringList>("commands");

    QTest::newRow("UT5 K(CA) on channel 9") << "VQ7_UT5" << 48 << 9 << "K(CA)"
        << QStringList{"G01", "I05", "D0917", "I25", "D090"};
    QTest::newRow("UT5 first range on channel 3") << "VQ7_UT5" << 48 << 3 << "-20 to 20V"
        << QStringList{"G01", "I05", "D0300", "I25", "D031"};
    QTest::newRow("K6 writes no switch") << "VQ7_K6" << 48 << 5 << "JPt100(JIS'89)"
        << QStringList{"G01", "I05", "D0548"};
    QTest::newRow("UT8 without the settings option still writes the switch") << "VQ7S_UT8" << 32 << 1 << ""
        << QStringList{"G01", "I05", "D0117", "I25", "D011"};
    QTest::newRow("UT8 switch written for a voltage range") << "VQ7S_UT8" << 48 << 8 << ""
        << QStringList{"G01", "I05", "D0800", "I25", "D081"};
}

void TestTypeEditor::download()
{
    QFETCH(QString, model);
    QFETCH(int, options);
    QFETCH(int, channel);
    QFETCH(QString, pick);
    QFETCH(QStringList, commands);
    const int kind = KindOf(model);
    auto module = ConnectTo(model, options);
    QVERIFY(G.LinkUp);

    QString confirmation;
    bool open = false;
    ModalAnswerer answers;
    MsgRecorder boxes;
    WithWindow<frmType>(answers, [&](frmType &w) {
        if (!pick.isEmpty())
            Pick(w.cboType, pick);
        w.cmdDownload->click();
    }, &open);
    Confirm(answers, true, &confirmation);
    PanelOf(kind).cmdCh(channel)->click();

    QVERIFY2(answers.problems().isEmpty(), qPrintable(answers.problems().join(" / ")));
    QCOMPARE(confirmation, QStringLiteral("Starting download for Channel No.") + QString::number(channel));
    QCOMPARE(Commands(*module), commands);
    QCOMPARE(Boxes(boxes), QStringList{});
    QVERIFY(open); // success says nothing and leaves the window open
    QCOMPARE(int(module->typeCode(channel)), int(G.ChTypeCode[std::size_t(channel)]));
}

void TestTypeEditor::downloadFailure_data()
{
    QTest::addColumn<QString>("fault");
    QTest::addColumn<bool>("confirm");
    QTest::addColumn<QStringList>("commands");
    QTest::addColumn<QStringList>("boxes");
    const QString incomplete = QStringLiteral("Type Download | critical | Download Incomplete");

    QTest::newRow("type echoed with a leading zero") << "wrong-echo:item=5,text=017" << true
        << QStringList{"G01", "I05", "D0917"} << QStringList{incomplete};
    QTest::newRow("switch refused") << "refuse:item=25,reply=invalid" << true
        << QStringList{"G01", "I05", "D0917", "I25", "D090"}
        << QStringList{"Parameter Write | critical | invalid data D090\r\r\nat item 25", incomplete};
    QTest::newRow("switch echoed wrong") << "wrong-echo:item=25" << true
        << QStringList{"G01", "I05", "D0917", "I25", "D090"} << QStringList{incomplete};
    QTest::newRow("group select unanswered") << "silence:cmd=G01" << true
        << QStringList{"G01", "G01", "G01"}
        << QStringList{"Send/Receive | critical | Timeout", "Send/Receive | critical | Timeout",
                       "Send/Receive | critical | Timeout",
                       "Group Command Error | exclamation | Out=G01\r\r\nIn =",
                       "Communication | exclamation | Communication failed", incomplete};
    QTest::newRow("confirmation cancelled") << "" << false << QStringList{} << QStringList{};
}

// Any failure ends the download with one summary; the window stays open, and the configuration
// and the panel keep the user's choice.
void TestTypeEditor::downloadFailure()
{
    QFETCH(QString, fault);
    QFETCH(bool, confirm);
    QFETCH(QStringList, commands);
    QFETCH(QStringList, boxes);
    auto module = ConnectTo(QStringLiteral("VQ7_UT5"));
    QVERIFY(G.LinkUp);
    Forms::get<frmMain>().Timer1().setInterval(150);
    if (!fault.isEmpty())
        QVERIFY(module->addFault(fault));

    bool open = false;
    ModalAnswerer answers;
    MsgRecorder recorder;
    WithWindow<frmType>(answers, [&](frmType &w) {
        Pick(w.cboType, QStringLiteral("K(CA)"));
        w.cmdDownload->click();
    }, &open);
    Confirm(answers, confirm);
    PanelOf(KindUt5).cmdCh(9)->click();

    QCOMPARE(Commands(*module), commands);
    QCOMPARE(Boxes(recorder), boxes);
    QVERIFY(open);
    QCOMPARE(G.ChTypeCode[9], 17);
    QCOMPARE(PanelOf(KindUt5).lblType(9)->text(), QStringLiteral("K(CA)"));
}

// A channel whose type is unknown to the program opens with no type; Download is refused with a
// message (no confirmation, nothing sent) until the user picks one.
void TestTypeEditor::unknownTypeIsNotWrittenOver()
{
    auto module = ConnectTo(QStringLiteral("VQ7_UT5"));
    QVERIFY(G.LinkUp);
    G.ChTypeCode[3] = 9;
    PanelOf(KindUt5).lblType(3)->clear();

    QStringList refused;
    QStringList sentWhileUnknown;
    ModalAnswerer answers;
    MsgRecorder boxes;
    WithWindow<frmType>(answers, [&](frmType &w) {
        w.cmdDownload->click();
        w.cmdCopy->click(); // nothing to copy: the buffer stays empty
        refused = Boxes(boxes);
        sentWhileUnknown = Commands(*module);
        boxes.clear();
        Pick(w.cboType, QStringLiteral("K(CA)"));
        w.cmdDownload->click();
    });
    Confirm(answers, true);
    PanelOf(KindUt5).cmdCh(3)->click();

    QCOMPARE(refused, QStringList{"Type Download | exclamation | Channel 3 has no input type this "
                                  "program knows. Choose its input type first; an unknown type "
                                  "is not written over."});
    QCOMPARE(sentWhileUnknown, QStringList{});
    QCOMPARE(G.TypeClipName, QString());
    QCOMPARE(Commands(*module), (QStringList{"G01", "I05", "D0317", "I25", "D030"}));
    QVERIFY(boxes.boxes().isEmpty());
    QCOMPARE(answers.shown(), (QStringList{"frmType", "frmDialog"}));
}

QTEST_MAIN(TestTypeEditor)
#include "tst_typeeditor.moc"
