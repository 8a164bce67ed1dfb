// The string tables and the replacement of design-time numbers by their texts.

#include "app/Resources.h"
#include "app/frmCommPort.h"
#include "tests/support/TestSupport.h"

#include <QAction>
#include <QComboBox>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QMainWindow>
#include <QMenuBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>
#include <QToolBar>

namespace {

// A window designed the way every window of the program is: numbers where texts go.
struct DesignedWindow
{
    DesignedWindow()
    {
        SetTag(&window, 1029);
        window.setWindowTitle(QStringLiteral("design title"));
        QMenu *file = window.menuBar()->addMenu(QStringLiteral("1000"));
        open = file->addAction(QStringLiteral("1002"));
        file->addSeparator();
        model = window.menuBar()->addMenu(QStringLiteral("1037"))->addAction(QStringLiteral("UT5"));
        spacer = window.menuBar()->addMenu(QString())->menuAction();
        unknownMenu = file->addAction(QStringLiteral("9999"));
        QToolBar *bar = window.addToolBar(QStringLiteral("bar"));
        toolOpen = bar->addAction(QStringLiteral("Open"));
        toolOpen->setToolTip(QStringLiteral("1018"));
        toolKeyOnly = bar->addAction(QStringLiteral("Key"));
        toolKeyOnly->setToolTip(QStringLiteral("not a number"));

        auto *central = new QWidget(&window);
        window.setCentralWidget(central);
        tagged = new QLabel(QStringLiteral("design"), central);
        SetTag(tagged, 2036);
        untagged = new QLabel(QStringLiteral("COM1"), central);
        missing = new QLabel(QStringLiteral("kept"), central);
        SetTag(missing, 4321);
        notNumeric = new QLabel(QStringLiteral("kept too"), central);
        SetTag(notNumeric, QStringLiteral("abc"));
        button = new QPushButton(QStringLiteral("design"), central);
        SetTag(button, 2027);
        button->setToolTip(QStringLiteral("2028"));
        zeroTag = new QPushButton(QStringLiteral("zero"), central);
        SetTag(zeroTag, 0);
        zeroTag->setToolTip(QStringLiteral("0"));
        frame = new QGroupBox(QStringLiteral("design"), central);
        SetTag(frame, 2019);
        combo = new QComboBox(central);
        combo->addItems({QStringLiteral("9600"), QStringLiteral("19200")});
        SetTag(combo, 2021);
    }
    QMainWindow window;
    QAction *open, *model, *spacer, *unknownMenu, *toolOpen, *toolKeyOnly;
    QLabel *tagged, *untagged, *missing, *notNumeric;
    QPushButton *button, *zeroTag;
    QGroupBox *frame;
    QComboBox *combo;
};

QSet<int> numbersOf(const QString &resource)
{
    QFile file(resource);
    file.open(QIODevice::ReadOnly);
    QSet<int> numbers;
    const QRegularExpression row(QStringLiteral("^(\\d+)\\t"), QRegularExpression::MultilineOption);
    auto it = row.globalMatch(QString::fromUtf8(file.readAll()));
    while (it.hasNext())
        numbers.insert(it.next().captured(1).toInt());
    return numbers;
}

} // namespace

class TestResources : public QObject
{
    Q_OBJECT
private slots:
    void init() { ResetProgramState(); }

    void bothTablesHoldTheSameNumbers();
    void tellingTexts_data();
    void tellingTexts();
    void captionsReplaced_data();
    void captionsReplaced();
    void controlsThatKeepTheirDesign();
    void portDialogCaptions_data();
    void portDialogCaptions();
};

void TestResources::bothTablesHoldTheSameNumbers()
{
    const QSet<int> english = numbersOf(QStringLiteral(":/strings/strings_en.txt"));
    const QSet<int> japanese = numbersOf(QStringLiteral(":/strings/strings_ja.txt"));
    QVERIFY(english.size() >= 85);
    QCOMPARE(japanese, english);
    // The design's numbers, and the program's own texts from 4000 on.
    for (int n : english)
        QVERIFY2((n >= 1000 && n <= 3011) || n >= 4000, qPrintable(QString::number(n)));
}

void TestResources::tellingTexts_data()
{
    QTest::addColumn<bool>("japanese");
    QTest::addColumn<int>("number");
    QTest::addColumn<QString>("text");
    QTest::newRow("en 1000") << false << 1000 << "File(&F)";
    QTest::newRow("en 1022") << false << 1022 << "TANVERO CO.,LTD.";
    QTest::newRow("en 2019") << false << 2019 << "Modbus Settings(RTU)";
    QTest::newRow("en 3004") << false << 3004 << "Upload Incomplete";
    QTest::newRow("en 3011") << false << 3011 << "Span Adj. Setting Incomplete";
    QTest::newRow("ja 1022") << true << 1022 << "(株)タンベロ";
    QTest::newRow("ja 1029") << true << 1029 << "ｳﾞｧｰｼﾞｮﾝ情報 Tarvim";
    QTest::newRow("ja 1002") << true << 1002 << "開く(&O)...";
    QTest::newRow("ja 1005") << true << 1005 << "名前を付けて保存(&A)...";
    QTest::newRow("ja 2019") << true << 2019 << "Mosbus設定(RTU)";
    QTest::newRow("ja 3000") << true << 3000 << "通信できません";
    QTest::newRow("ja 3003") << true << 3003 << "ダウンロード失敗しました";
    QTest::newRow("ja 3004") << true << 3004 << "アップロードに失敗しました";
    QTest::newRow("ja 2038") << true << 2038 << "上方";
    QTest::newRow("ja 1031 as English") << true << 1031 << "OK";
    QTest::newRow("ja 1036 as English") << true << 1036 << "Modbus";
    QTest::newRow("ja 2104 as English") << true << 2104 << "CJC";
    QTest::newRow("ja 2110 as English") << true << 2110 << "SW";
}

void TestResources::tellingTexts()
{
    QFETCH(bool, japanese);
    QFETCH(int, number);
    QFETCH(QString, text);
    SetUiLanguage(japanese ? UiLanguage::Japanese : UiLanguage::English);
    QCOMPARE(LoadResString(number), text);
    QVERIFY(!FindResString(1001).has_value()); // unused numbers are absent
}

void TestResources::captionsReplaced_data()
{
    QTest::addColumn<bool>("japanese");
    QTest::newRow("English") << false;
    QTest::newRow("Japanese") << true;
}

void TestResources::captionsReplaced()
{
    QFETCH(bool, japanese);
    SetUiLanguage(japanese ? UiLanguage::Japanese : UiLanguage::English);
    DesignedWindow d;
    ApplyResCaptions(&d.window);
    QCOMPARE(d.window.windowTitle(), LoadResString(1029));
    QCOMPARE(d.open->text(), LoadResString(1002));
    QCOMPARE(d.window.menuBar()->actions().at(0)->text(), LoadResString(1000));
    QCOMPARE(d.toolOpen->toolTip(), LoadResString(1018));
    QCOMPARE(d.toolOpen->text(), QStringLiteral("Open"));
    QCOMPARE(d.tagged->text(), LoadResString(2036));
    QCOMPARE(d.button->text(), LoadResString(2027));
    QCOMPARE(d.button->toolTip(), LoadResString(2028));
    QCOMPARE(d.frame->title(), LoadResString(2019));
    if (japanese)
        QCOMPARE(d.tagged->text(), QStringLiteral("断線検出"));
}

void TestResources::controlsThatKeepTheirDesign()
{
    DesignedWindow d;
    ApplyResCaptions(&d.window);
    QCOMPARE(d.model->text(), QStringLiteral("UT5"));
    QCOMPARE(d.spacer->text(), QString());
    QCOMPARE(d.unknownMenu->text(), QStringLiteral("9999"));
    QCOMPARE(d.toolKeyOnly->toolTip(), QStringLiteral("not a number"));
    QCOMPARE(d.untagged->text(), QStringLiteral("COM1"));
    QCOMPARE(d.missing->text(), QStringLiteral("kept"));
    QCOMPARE(d.notNumeric->text(), QStringLiteral("kept too"));
    QCOMPARE(d.zeroTag->text(), QStringLiteral("zero"));
    QCOMPARE(d.zeroTag->toolTip(), QStringLiteral("0"));
    QCOMPARE(d.combo->currentText(), QStringLiteral("9600"));
    QCOMPARE(d.combo->count(), 2);

    QWidget untitled;
    untitled.setWindowTitle(QStringLiteral("as designed"));
    ApplyResCaptions(&untitled); // no tag
    QCOMPARE(untitled.windowTitle(), QStringLiteral("as designed"));
    ApplyResCaptions(nullptr);
}

void TestResources::portDialogCaptions_data()
{
    QTest::addColumn<bool>("japanese");
    QTest::addColumn<QString>("label1");
    QTest::newRow("English") << false << "Communication";
    QTest::newRow("Japanese") << true << "通信";
}

void TestResources::portDialogCaptions()
{
    QFETCH(bool, japanese);
    QFETCH(QString, label1);
    SetUiLanguage(japanese ? UiLanguage::Japanese : UiLanguage::English);
    frmCommPort dialog;
    QCOMPARE(dialog.Label1->text(), label1);
    QCOMPARE(dialog.Label2(1)->text(), QStringLiteral("COM1"));
    QCOMPARE(dialog.Label2(2)->text(), QStringLiteral("COM2"));
    QCOMPARE(dialog.windowTitle(), QString());
}

QTEST_MAIN(TestResources)
#include "tst_resources.moc"
