// The main window: start-up, command states, the offline model choice, help, the dialogs, the
// exit sequence.

#include "app/Forms.h"
#include "app/Resources.h"
#include "app/frmAbout.h"
#include "app/frmDialog.h"
#include "app/frmMain.h"
#include "link/MemorySerialPort.h"
#include "model/Globals.h"
#include "panels/AnalogPanel.h"
#include "panels/DiscretePanel.h"
#include "tests/support/TestSupport.h"

#include <QLabel>
#include <QMenu>
#include <QPushButton>

#include <QTest>
#include <QToolBar>

namespace {

// Every serial port made from now on is an in-memory one; the last one made is kept here.
MemorySerialPort *useMemoryPorts()
{
    static MemorySerialPort *last = nullptr;
    SetSerialPortFactory([] {
        auto port = std::make_unique<MemorySerialPort>();
        last = port.get();
        return port;
    });
    return last;
}

QStringList disabled(const QList<QAction *> &actions)
{
    QStringList names;
    for (QAction *a : actions) {
        if (!a->isEnabled())
            names << a->objectName();
    }
    return names;
}

} // namespace

class TestMainWindow : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        ResetProgramState();
        useMemoryPorts();
    }

    void startUpStates();
    void toolbarLayout();
    void captionsInBothLanguages();
    void hintUntilAPanelShows_data();
    void hintUntilAPanelShows();
    void helpIsNotSupported_data();
    void helpIsNotSupported();
    void aboutBox();
    void confirmationDialog_data();
    void confirmationDialog();
    void offlineModelChoice_data();
    void offlineModelChoice();
    void showOnlyHidesTheOtherPanels();
    void disconnectWithoutModel();
    void disconnectClearsIdentityAndValues();
    void monitorMenuHolds();
    void stopWhileNotMonitoring();
    void exitClosesThePortAndUnloadsEverything();
};

void TestMainWindow::startUpStates()
{
    frmMain &main = Forms::get<frmMain>();
    QCOMPARE(main.windowTitle(), QStringLiteral("TARVIK"));
    for (QAction *on : {main.mnuFile, main.mnuConn, main.mnuConnConn, main.mnuModel,
                        main.mnuConfig, main.mnuHelp, main.button(1), main.button(2),
                        main.button(3), main.button(11)})
        QVERIFY2(on->isEnabled(), qPrintable(on->objectName()));
    for (QAction *off : {main.mnuMonitor, main.mnuAdjustment, main.mnuConnDisConn,
                         main.mnuConfigCJM, main.mnuConfigCount, main.mnuAlarm, main.button(5),
                         main.button(6), main.button(8), main.button(9)})
        QVERIFY2(!off->isEnabled(), qPrintable(off->objectName()));
    QVERIFY(!main.Timer1().isActive());
    QCOMPARE(main.Timer1().interval(), 2000);
    QCOMPARE(main.Label2->text(), QStringLiteral("TANVERO CO.,LTD"));
    for (int row = 0; row <= 6; ++row)
        QVERIFY(main.lblData(row)->text().isEmpty());
}

void TestMainWindow::toolbarLayout()
{
    frmMain &main = Forms::get<frmMain>();
    const QList<QAction *> actions = main.tbToolbar->actions();
    // The eleven of the design first; buttons beyond them follow.
    QVERIFY(actions.size() > frmMain::ButtonCount);
    QVERIFY(actions.indexOf(main.tbCommLog) > frmMain::ButtonCount);
    for (int position = 1; position <= frmMain::ButtonCount; ++position) {
        QCOMPARE(actions.at(position - 1), main.button(position));
        QCOMPARE(main.button(position)->isSeparator(),
                 position == 4 || position == 7 || position == 10);
    }
    QCOMPARE(main.button(QStringLiteral("MonitorStop")), main.button(6));
    QCOMPARE(main.button(QStringLiteral("ConfigDownload")), main.button(9));
    QCOMPARE(main.mnuFileOpen->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_O));
}

void TestMainWindow::captionsInBothLanguages()
{
    frmMain &english = Forms::get<frmMain>();
    QCOMPARE(english.mnuFile->text(), QStringLiteral("File(&F)"));
    QCOMPARE(english.mnuConnDisConn->text(), QStringLiteral("DisConnect"));
    QCOMPARE(english.mnuConfigBurnout->text(), QStringLiteral("Burnout Type"));
    QCOMPARE(english.mnuModelModel(2)->text(), QStringLiteral("K6"));
    QCOMPARE(english.mnuHelpContentsJapanese->text(), QStringLiteral("Japanese"));
    QCOMPARE(english.button(1)->toolTip(), QStringLiteral("Open File"));
    QCOMPARE(english.button(3)->toolTip(), QStringLiteral("Save As"));
    Forms::unloadAll();

    SetUiLanguage(UiLanguage::Japanese);
    frmMain &japanese = Forms::get<frmMain>();
    QCOMPARE(japanese.mnuConn->text(), LoadResString(1010));
    QVERIFY(japanese.mnuConn->text() != QStringLiteral("Connect"));
    QCOMPARE(japanese.button(11)->toolTip(), LoadResString(1020));
    QCOMPARE(japanese.windowTitle(), QStringLiteral("TARVIK"));
}

void TestMainWindow::hintUntilAPanelShows_data()
{
    QTest::addColumn<bool>("japanese");
    QTest::addColumn<QString>("panel");
    QTest::addColumn<QString>("hint");
    const QString english = QStringLiteral(
        "Choose Connect to read a module, or Model to prepare a configuration offline.");
    const QString japanese = QStringLiteral(
        "「接続」でモジュールを読み込みます。「ﾓﾃﾞﾙ」でオフラインの設定を準備できます。");
    QTest::newRow("Model, UT5") << false << "UT5" << english;
    QTest::newRow("a discrete panel") << false << "E4" << english;
    QTest::newRow("Japanese, Model, K6") << true << "K6" << japanese;
}

void TestMainWindow::hintUntilAPanelShows()
{
    QFETCH(bool, japanese);
    QFETCH(QString, panel);
    QFETCH(QString, hint);
    SetUiLanguage(japanese ? UiLanguage::Japanese : UiLanguage::English);
    frmMain &main = Forms::get<frmMain>();
    main.show();
    QCOMPARE(main.lblHint->text(), hint);
    QCOMPARE(main.lblHint->parentWidget(), main.childArea());
    QVERIFY(main.lblHint->isVisible());

    if (panel == QLatin1String("E4"))
        Forms::get<frmE4>().E4(); // as a connection shows it
    else
        main.mnuModelModel(panel == QLatin1String("UT5") ? 1 : 2)->trigger();
    QVERIFY(main.lblHint->isHidden());
}

void TestMainWindow::helpIsNotSupported_data()
{
    QTest::addColumn<QString>("command");
    QTest::newRow("Index") << "mnuHelpIndex";
    QTest::newRow("Contents, English") << "mnuHelpContentsEnglish";
    QTest::newRow("Contents, Japanese") << "mnuHelpContentsJapanese";
    QTest::newRow("toolbar Help") << "tbHelpContent";
}

void TestMainWindow::helpIsNotSupported()
{
    QFETCH(QString, command);
    frmMain &main = Forms::get<frmMain>();
    MsgRecorder boxes;
    QAction *action = main.findChild<QAction *>(command);
    QVERIFY(action);
    action->trigger();
    QCOMPARE(boxes.count(), 1);
    QCOMPARE(boxes.boxes().at(0).prompt, QStringLiteral("Not supported."));
    QCOMPARE(boxes.boxes().at(0).icon, MsgIcon::Information);
    QCOMPARE(boxes.boxes().at(0).title, QStringLiteral("TARVIK"));
}

void TestMainWindow::aboutBox()
{
    frmMain &main = Forms::get<frmMain>();
    ModalAnswerer answers;
    QString title, version, maker, ok;
    answers.expect<frmAbout>([&](frmAbout &about) {
        title = about.windowTitle();
        version = about.lblName(1)->text();
        maker = about.lblTitle(2)->text();
        ok = about.cmdOK->text();
        about.cmdOK->click();
    });
    main.mnuHelpAbout->trigger();
    QVERIFY2(answers.problems().isEmpty(), qPrintable(answers.problems().join('\n')));
    QCOMPARE(answers.shown().size(), 1);
    QCOMPARE(title, QStringLiteral("Version Tarvik"));
    QCOMPARE(version, QStringLiteral("1.5"));
    QCOMPARE(maker, QStringLiteral("TANVERO CO.,LTD."));
    QCOMPARE(ok, QStringLiteral("OK"));
    QVERIFY(!Forms::ifLoaded<frmAbout>());
}

void TestMainWindow::confirmationDialog_data()
{
    QTest::addColumn<QString>("answer");
    QTest::addColumn<bool>("before");
    QTest::addColumn<bool>("dialogOk");
    QTest::newRow("OK") << "ok" << false << true;
    QTest::newRow("Cancel") << "cancel" << true << false;
    QTest::newRow("closed by its frame counts as Cancel") << "frame" << true << false;
}

void TestMainWindow::confirmationDialog()
{
    QFETCH(QString, answer);
    QFETCH(bool, before);
    G.DialogOk = before;
    ModalAnswerer answers;
    QString shownText, caption;
    answers.expect<frmDialog>([&](frmDialog &dialog) {
        shownText = dialog.lblMsg->text();
        caption = dialog.windowTitle();
        if (answer == QLatin1String("ok"))
            dialog.OKButton->click();
        else if (answer == QLatin1String("cancel"))
            dialog.CancelButton->click();
        else
            dialog.close();
    });
    const QString message = QStringLiteral("Starting download for Channel No.") + QString::number(12);
    frmDialog::Dialog(message);
    QVERIFY2(answers.problems().isEmpty(), qPrintable(answers.problems().join('\n')));
    QCOMPARE(shownText, message);
    QCOMPARE(caption, QStringLiteral("DOWNLOAD"));
    QTEST(G.DialogOk, "dialogOk");
    QVERIFY(!Forms::ifLoaded<frmDialog>());
}

void TestMainWindow::offlineModelChoice_data()
{
    QTest::addColumn<int>("entry");
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("code");
    QTest::newRow("UT5") << 1 << 1 << "UT5";
    QTest::newRow("K6") << 2 << 2 << "K6";
    QTest::newRow("UT8") << 3 << 6 << "UT8";
}

void TestMainWindow::offlineModelChoice()
{
    QFETCH(int, entry);
    QFETCH(int, kind);
    QFETCH(QString, code);
    frmMain &main = Forms::get<frmMain>();
    // Another analog panel loaded before: the choice unloads it.
    for (int other = 1; other <= 3; ++other) {
        if (other != entry)
            main.mnuModelModel(other)->trigger();
    }
    main.mnuModelModel(entry)->trigger();

    QCOMPARE(G.curKind(), kind);
    QCOMPARE(main.lblData(0)->text(), code);
    QCOMPARE(Forms::ifLoaded<frmUt5>() != nullptr, kind == 1);
    QCOMPARE(Forms::ifLoaded<frmK6>() != nullptr, kind == 2);
    QCOMPARE(Forms::ifLoaded<frmUt8>() != nullptr, kind == 6);
    QWidget *panel = Forms::loaded().back();
    QVERIFY(!panel->isHidden());
    // No link: nothing that needs the module is offered.
    QCOMPARE(disabled({main.mnuConfigModBus, main.mnuConfigCJM, main.mnuConfigUpload,
                       main.mnuConfigDownload}),
             (QStringList{"mnuConfigModBus", "mnuConfigCJM", "mnuConfigUpload",
                          "mnuConfigDownload"}));
    QVERIFY(main.mnuFileSave->isEnabled());
    QVERIFY(main.button(QStringLiteral("SaveAs"))->isEnabled());
}

void TestMainWindow::showOnlyHidesTheOtherPanels()
{
    frmMain &main = Forms::get<frmMain>();
    main.show();
    frmE4 &e4 = Forms::get<frmE4>();
    frmF9 &f9 = Forms::get<frmF9>();
    e4.E4();
    QVERIFY(!e4.isHidden());
    f9.F9();
    QVERIFY(e4.isHidden());
    QVERIFY(!f9.isHidden());
    QVERIFY(main.isVisible()); // the main window is never hidden by it
    QVERIFY(f9.isVisible());
    QCOMPARE(f9.parentWidget(), main.childArea());
    QCOMPARE(main.lblData(0)->text(), QStringLiteral("F9"));
}

void TestMainWindow::disconnectWithoutModel()
{
    frmMain &main = Forms::get<frmMain>();
    MsgRecorder boxes;
    main.mnuConnDisConn_Click();
    QCOMPARE(boxes.count(), 1);
    QCOMPARE(boxes.boxes().at(0).prompt, QStringLiteral("No Model"));
    QCOMPARE(boxes.boxes().at(0).title, QStringLiteral("Type set"));
    QCOMPARE(boxes.boxes().at(0).icon, MsgIcon::None);
    QVERIFY(main.mnuConnConn->isEnabled());
    QVERIFY(!main.mnuConnDisConn->isEnabled());
    QVERIFY(main.mnuModel->isEnabled());
}

void TestMainWindow::disconnectClearsIdentityAndValues()
{
    frmMain &main = Forms::get<frmMain>();
    main.mnuModelModel(2)->trigger(); // K6
    frmK6 &k6 = Forms::get<frmK6>();
    for (int row = 1; row <= 6; ++row) {
        main.lblTitle(row)->setText(QStringLiteral("t"));
        main.lblData(row)->setText(QStringLiteral("d"));
    }
    k6.lblType(3)->setText(QStringLiteral("Pt100"));
    k6.lblReal(3)->setText(QStringLiteral("21.000"));
    k6.lblUnit1(3)->setText(QStringLiteral("degC"));
    k6.lblRaw(8)->setText(QStringLiteral("108.000"));
    k6.lblUnit2(8)->setText(QStringLiteral("ohm"));
    k6.lblFilter->setText(QStringLiteral("1.0"));

    main.mnuConnDisConn->setEnabled(true);
    main.mnuConnDisConn->trigger();
    for (int row = 1; row <= 6; ++row) {
        QVERIFY(main.lblTitle(row)->text().isEmpty());
        QVERIFY(main.lblData(row)->text().isEmpty());
    }
    QCOMPARE(main.lblData(0)->text(), QStringLiteral("K6"));
    QVERIFY(k6.lblReal(3)->text().isEmpty());
    QVERIFY(k6.lblUnit1(3)->text().isEmpty());
    QVERIFY(k6.lblRaw(8)->text().isEmpty());
    QVERIFY(k6.lblUnit2(8)->text().isEmpty());
    // The configuration stays on view.
    QCOMPARE(k6.lblType(3)->text(), QStringLiteral("Pt100"));
    QCOMPARE(k6.lblFilter->text(), QStringLiteral("1.0"));
    QCOMPARE(G.curKind(), int(KindK6));
}

void TestMainWindow::monitorMenuHolds()
{
    frmMain &main = Forms::get<frmMain>();
    main.Timer1().start();
    emit main.monitorMenu()->aboutToShow();
    QVERIFY(G.MonitorHold);
    QVERIFY(!main.Timer1().isActive());
}

void TestMainWindow::stopWhileNotMonitoring()
{
    frmMain &main = Forms::get<frmMain>();
    main.mnuModelModel(1)->trigger();
    G.MonitorHold = true;
    G.TimeoutFlag = true;
    main.mnuMonitorStop_Click();
    // Stopping ran at once; the reply timer is left running and sets the time-out later.
    QVERIFY(!G.MonitorHold);
    QVERIFY(!G.TimeoutFlag);
    QVERIFY(main.Timer1().isActive());
    QVERIFY(main.mnuMonitorStart->isEnabled());
    QVERIFY(!main.mnuMonitorStop->isEnabled());
    QVERIFY(main.button(QStringLiteral("MonitorStart"))->isEnabled());
    QVERIFY(!main.button(QStringLiteral("MonitorStop"))->isEnabled());
    QTRY_VERIFY_WITH_TIMEOUT(G.TimeoutFlag, 3000);
}

void TestMainWindow::exitClosesThePortAndUnloadsEverything()
{
    frmMain &main = Forms::get<frmMain>();
    main.mnuModelModel(1)->trigger();
    Forms::get<frmE4>();
    auto &port = static_cast<MemorySerialPort &>(main.MSComm1());
    port.setSettings(QStringLiteral("9600,n,8,1"));
    port.setCommPort(1);
    QVERIFY(port.open());

    bool portClosedBeforeUnload = false;
    QObject::connect(&Forms::get<frmE4>(), &QObject::destroyed,
                     [&port, &portClosedBeforeUnload] { portClosedBeforeUnload = !port.isOpen(); });
    QPointer<frmMain> alive(&main);
    main.mnuFileExit->trigger();
    QVERIFY(portClosedBeforeUnload);
    QVERIFY(main.isHidden());
    QCOMPARE(Forms::loaded().size(), std::size_t(1)); // only the main window is left
    Forms::unloadAll();
    QVERIFY(alive.isNull());
}

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
