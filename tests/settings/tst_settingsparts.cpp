// What the settings windows share: counts and presets as numbers of their own range, and the entry
// box check that takes a refused character out again.

#include "settings/SettingsParts.h"
#include "tests/support/TestSupport.h"

#include <QLineEdit>
#include <QTest>

#include <optional>

Q_DECLARE_METATYPE(std::optional<qint64>)

class TestSettingsParts : public QObject
{
    Q_OBJECT

private slots:
    void init() { ResetProgramState(); }

    void countValue_data();
    void countValue();
    void positiveEntry_data();
    void positiveEntry();
};

void TestSettingsParts::countValue_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<std::optional<qint64>>("value");
    QTest::addColumn<bool>("preset"); // a text the module takes as a count preset
    using V = std::optional<qint64>;
    QTest::newRow("zero") << "0" << V(0) << true;
    QTest::newRow("largest preset") << "999999999" << V(999999999) << true;
    QTest::newRow("leading zeros") << "000000042" << V(42) << true;
    QTest::newRow("ten digits: no preset") << "1000000000" << V(1000000000) << false;
    QTest::newRow("beyond 16 bits") << "70000" << V(70000) << true;
    QTest::newRow("beyond 32 bits, not wrapped") << "4294967297" << V(4294967297LL) << false;
    QTest::newRow("largest 64-bit") << "9223372036854775807" << V(9223372036854775807LL) << false;
    QTest::newRow("beyond 64 bits") << "9223372036854775808" << V() << false;
    QTest::newRow("empty") << "" << V() << false;
    QTest::newRow("minus") << "-1" << V() << false;
    QTest::newRow("space") << " 1" << V() << false;
    QTest::newRow("point") << "1.0" << V() << false;
}

void TestSettingsParts::countValue()
{
    QFETCH(QString, text);
    QFETCH(std::optional<qint64>, value);
    QFETCH(bool, preset);
    QCOMPARE(CountValue(text), value);
    QCOMPARE(IsPresetText(text), preset);
}

void TestSettingsParts::positiveEntry_data()
{
    QTest::addColumn<QString>("start");   // accepted text already in the box
    QTest::addColumn<int>("caret");       // where the user types or pastes
    QTest::addColumn<QString>("typed");   // inserted at the caret as one change
    QTest::addColumn<QString>("result");
    QTest::addColumn<int>("caretAfter");
    QTest::addColumn<int>("told");        // "Please enter positive number." boxes
    QTest::newRow("digit") << "12" << 2 << "3" << "123" << 3 << 0;
    QTest::newRow("letter at the end") << "12" << 2 << "a" << "12" << 2 << 1;
    QTest::newRow("minus in the middle") << "12" << 1 << "-" << "12" << 1 << 1;
    QTest::newRow("plus at the start") << "12" << 0 << "+" << "12" << 0 << 1;
    QTest::newRow("point") << "5" << 1 << "." << "5" << 1 << 1;
    QTest::newRow("space") << "5" << 1 << " " << "5" << 1 << 1;
    QTest::newRow("pasted run goes back to the last accepted text")
        << "12" << 2 << "3x4" << "12" << 2 << 1;
    QTest::newRow("pasted run with its refused character last") << "12" << 2 << "34x" << "1234" << 4 << 1;
    QTest::newRow("beyond 32 bits") << "214748364" << 9 << "8" << "214748364" << 9 << 1;
    QTest::newRow("empty box") << "" << 0 << "7" << "7" << 1 << 0;
}

// Each change runs the check; a refused character is told once and taken out, the caret stepping
// back, so the box never holds a text the module refuses.
void TestSettingsParts::positiveEntry()
{
    QFETCH(QString, start);
    QFETCH(int, caret);
    QFETCH(QString, typed);
    QFETCH(QString, result);
    QFETCH(int, caretAfter);
    QFETCH(int, told);
    QLineEdit box;
    box.setText(start);
    AcceptEntry(box);
    int checks = 0;
    QObject::connect(&box, &QLineEdit::textChanged, [&box, &checks] {
        ++checks;
        CheckPositiveEntry(box);
    });
    MsgRecorder boxes;
    box.setCursorPosition(caret);
    box.insert(typed);

    QCOMPARE(box.text(), result);
    QCOMPARE(box.cursorPosition(), caretAfter);
    QCOMPARE(boxes.count(), told);
    for (const MsgRecord &r : boxes.boxes())
        QCOMPARE(r.prompt, QStringLiteral("Please enter positive number."));
    QCOMPARE(checks, told ? 2 : 1); // a repair is one more change, checked again
}

QTEST_MAIN(TestSettingsParts)
#include "tst_settingsparts.moc"
