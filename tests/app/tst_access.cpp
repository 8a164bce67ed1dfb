// Assistive technology and keyboards: every control of the main window and its panels is
// announced by a name of its own in the user's language, and every command of the main window can
// be reached without a mouse.

#include "app/Forms.h"
#include "app/Resources.h"
#include "app/frmMain.h"
#include "model/Globals.h"
#include "panels/Lamp.h"
#include "panels/PanelOfKind.h"
#include "tests/support/TestSupport.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QApplication>
#include <QMenu>
#include <QMenuBar>
#include <QTest>
#include <QToolBar>
#include <QToolButton>

namespace {

QString accessibleName(QObject *object)
{
    QAccessibleInterface *face = QAccessible::queryAccessibleInterface(object);
    return face ? face->text(QAccessible::Name) : QString();
}

// A control by its name in the program: a toolbar button by its action's.
QString programName(QWidget *widget)
{
    if (auto *tool = qobject_cast<QToolButton *>(widget); tool && tool->defaultAction())
        return tool->defaultAction()->objectName();
    return widget->objectName();
}

// The actions a keyboard reaches through the menu bar, submenus included.
QList<QAction *> menuActions(const QList<QAction *> &actions)
{
    QList<QAction *> reached;
    for (QAction *action : actions) {
        if (action->isSeparator() || !action->isVisible())
            continue;
        reached << action;
        if (action->menu())
            reached << menuActions(action->menu()->actions());
    }
    return reached;
}

} // namespace

class TestAccess : public QObject
{
    Q_OBJECT
private slots:
    void init() { ResetProgramState(); }

    void everyControlHasAName_data();
    void everyControlHasAName();
    void toolbarCommandsHaveAKeyboardWay();
    void f10OpensTheMenuBar();
    void f1IsHelp();
};

void TestAccess::everyControlHasAName_data()
{
    QTest::addColumn<bool>("japanese");
    QTest::addColumn<int>("kind"); // the panel on view, 0 for none
    QTest::addColumn<QString>("control");
    QTest::addColumn<QString>("name");
    QTest::newRow("toolbar") << false << 0 << "tbMonitorStart"
                             << "Start";
    QTest::newRow("toolbar, Japanese") << true << 0 << "tbSaveAs"
                                       << "名前を付けて保存";
    QTest::newRow("UT5 channel") << false << int(KindUt5) << "cmdCh_3"
                                 << "Channel 3";
    QTest::newRow("UT5 status lamp") << false << int(KindUt5) << "shpOut_16"
                                     << "Status 16";
    QTest::newRow("K6 channel, Japanese") << true << int(KindK6) << "cmdCh_8"
                                          << "ﾁｬﾝﾈﾙ 8";
    QTest::newRow("UT8 channel") << false << int(KindUt8) << "cmdCh_1"
                                 << "Channel 1";
    QTest::newRow("E4 output") << false << int(KindE4) << "cmdOut_7"
                               << "Output 7";
    QTest::newRow("E4 output, Japanese") << true << int(KindE4) << "cmdOut_32"
                                         << "出力 32";
    QTest::newRow("F9 count data") << false << int(KindF9) << "cmdCntPre"
                                   << "Count Data";
    QTest::newRow("L7 channel, Japanese") << true << int(KindL7) << "cmdCh_5"
                                          << "ﾁｬﾝﾈﾙ 5";
}

void TestAccess::everyControlHasAName()
{
    QFETCH(bool, japanese);
    QFETCH(int, kind);
    QFETCH(QString, control);
    QFETCH(QString, name);
    SetUiLanguage(japanese ? UiLanguage::Japanese : UiLanguage::English);
    frmMain &main = Forms::get<frmMain>();
    main.show();
    ShowPanelOfKind(kind);

    // A button, a control the Tab key reaches or a lamp: each with a name no other one has.
    QHash<QString, QString> named; // name -> object
    for (QWidget *widget : main.findChildren<QWidget *>()) {
        const bool control = qobject_cast<QAbstractButton *>(widget) ||
                             (widget->focusPolicy() & Qt::TabFocus) || qobject_cast<Lamp *>(widget);
        if (!control || !widget->isVisible())
            continue;
        const QString widgetName = accessibleName(widget);
        QVERIFY2(!widgetName.trimmed().isEmpty(), qPrintable(programName(widget)));
        QVERIFY2(
            !named.contains(widgetName),
            qPrintable(widgetName + ": " + named.value(widgetName) + ", " + programName(widget)));
        named.insert(widgetName, programName(widget));
    }
    QCOMPARE(named.key(control), name);

    // The entries of the menu bar that can be chosen.
    for (QAction *menu : main.menuBar()->actions()) {
        if (menu->isEnabled())
            QVERIFY2(!menu->text().isEmpty(), qPrintable(menu->objectName()));
    }
}

void TestAccess::toolbarCommandsHaveAKeyboardWay()
{
    frmMain &main = Forms::get<frmMain>();
    // The menu entry that does what a toolbar button does.
    const QHash<QString, QAction *> inMenus{
        {QStringLiteral("Open"), main.mnuFileOpen},
        {QStringLiteral("Save"), main.mnuFileSave},
        {QStringLiteral("SaveAs"), main.mnuFileSaveAs},
        {QStringLiteral("MonitorStart"), main.mnuMonitorStart},
        {QStringLiteral("MonitorStop"), main.mnuMonitorStop},
        {QStringLiteral("ConfigUpload"), main.mnuConfigUpload},
        {QStringLiteral("ConfigDownload"), main.mnuConfigDownload},
    };
    const QList<QAction *> reached = menuActions(main.menuBar()->actions());
    for (QAction *button : main.tbToolbar->actions()) {
        if (button->isSeparator())
            continue;
        const QString key = button->property("key").toString();
        const bool byShortcut = !button->shortcut().isEmpty();
        const bool byMenu = reached.contains(inMenus.value(key));
        QVERIFY2(byShortcut || byMenu, qPrintable(key + " has no keyboard way"));
    }
}

void TestAccess::f10OpensTheMenuBar()
{
    frmMain &main = Forms::get<frmMain>();
    main.show();
    main.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&main));
    QTest::keyClick(&main, Qt::Key_F10);
    QTRY_COMPARE(QApplication::activePopupWidget(), main.mnuFile->menu());
    // From there the arrow keys walk the menu bar.
    QTest::keyClick(main.mnuFile->menu(), Qt::Key_Right);
    QTRY_COMPARE(QApplication::activePopupWidget(), main.mnuConn->menu());
    QTest::keyClick(main.mnuConn->menu(), Qt::Key_Escape);
    QTRY_VERIFY(!QApplication::activePopupWidget());
}

void TestAccess::f1IsHelp()
{
    frmMain &main = Forms::get<frmMain>();
    main.show();
    main.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&main));
    MsgRecorder boxes;
    QTest::keyClick(&main, Qt::Key_F1);
    QCOMPARE(boxes.prompts(), QStringList{QStringLiteral("Not supported.")});
}

QTEST_MAIN(TestAccess)
#include "tst_access.moc"
