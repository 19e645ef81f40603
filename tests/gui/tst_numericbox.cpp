#include "tweakpage.h"

#include <QApplication>
#include <QClipboard>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QTest>

using namespace Tunesmith;

// The numeric tweak's box driven by the keyboard and the clipboard, as a player uses it.
class TestNumericBox : public QObject
{
    Q_OBJECT

private slots:
    void typing_data();
    void typing();
    void clearingTheBox_showsZeroOrTheMinimum_data();
    void clearingTheBox_showsZeroOrTheMinimum();
    void pasting_handsTheTextToTheModelUnfiltered_data();
    void pasting_handsTheTextToTheModelUnfiltered();
    void editingKeysAndShortcuts_stillWork();
    void modelChanges_showInTheBox();

private:
    struct Box
    {
        TweakPage page;
        QLineEdit *edit = nullptr;
    };
    // A shown page with the box focused, its bounds set and, unless start is null, a first value.
    static bool open(Box &box, const QByteArray &min, const QByteArray &max, const QByteArray &start);
};

bool TestNumericBox::open(Box &box, const QByteArray &min, const QByteArray &max, const QByteArray &start)
{
    box.page.textModel.setMinValue(min);
    box.page.textModel.setMaxValue(max);
    if (!start.isNull())
        box.page.textModel.setValue(start);
    box.page.window.show();
    if (!QTest::qWaitForWindowActive(&box.page.window))
        return false;
    box.edit = txtValue(box.page.text);
    box.edit->setFocus();
    box.edit->end(false);
    return true;
}

void TestNumericBox::typing_data()
{
    QTest::addColumn<QByteArray>("min");
    QTest::addColumn<QByteArray>("max");
    QTest::addColumn<QByteArray>("start");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("shown");

    using B = QByteArray;
    const auto S = [](const char *text) { return QString::fromLatin1(text); };
    QTest::newRow("digits into a new box") << B() << B() << B() << S("1024") << S("1024");
    QTest::newRow("a zero after 50 passes the maximum 100") << B() << B("100") << B("50") << S("0") << S("100");
    QTest::newRow("150 stops at the maximum on the third digit") << B() << B("100") << B() << S("150") << S("100");
    QTest::newRow("a point lifts the bound, as the value has a fraction")
        << B() << B("100") << B() << S("250.5") << S("100.5");
    QTest::newRow("3 is raised to the minimum 10") << B("10") << B() << B() << S("3") << S("10");
    QTest::newRow("letters are swallowed") << B() << B() << B() << S("1a2Bz") << S("12");
    QTest::newRow("minus, plus, comma and space are swallowed") << B() << B() << B("5") << S("-+, ") << S("5");
    QTest::newRow("several points pass the filter") << B() << B() << B() << S("1.2.3") << S("1.2.3");
    QTest::newRow("non-ASCII letters are swallowed")
        << B() << B() << B("4") << QStringLiteral("\u00e9\u20ac") << S("4");
}

void TestNumericBox::typing()
{
    QFETCH(QByteArray, min);
    QFETCH(QByteArray, max);
    QFETCH(QByteArray, start);
    QFETCH(QString, typed);
    QFETCH(QString, shown);

    Box box;
    QVERIFY(open(box, min, max, start));
    for (const QChar c : typed) {
        if (c.unicode() < 0x80) {
            QTest::keyClick(box.edit, c.toLatin1());
        } else {
            // QTest types ASCII only; a layout's other letters arrive as key events with their text.
            QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
            QApplication::sendEvent(box.edit, &press);
        }
    }
    QCOMPARE(box.edit->text(), shown);
    QCOMPARE(box.page.textModel.Value(), shown.toUtf8());
}

void TestNumericBox::clearingTheBox_showsZeroOrTheMinimum_data()
{
    QTest::addColumn<QByteArray>("min");
    QTest::addColumn<int>("key");
    QTest::addColumn<QString>("shown");

    QTest::newRow("backspace") << QByteArray() << int(Qt::Key_Backspace) << "0";
    QTest::newRow("delete") << QByteArray() << int(Qt::Key_Delete) << "0";
    QTest::newRow("backspace with minimum 10") << QByteArray("10") << int(Qt::Key_Backspace) << "10";
}

void TestNumericBox::clearingTheBox_showsZeroOrTheMinimum()
{
    QFETCH(QByteArray, min);
    QFETCH(int, key);
    QFETCH(QString, shown);

    Box box;
    QVERIFY(open(box, min, {}, "50"));
    QTest::keyClick(box.edit, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(box.edit, Qt::Key(key));
    QCOMPARE(box.edit->text(), shown);
    QCOMPARE(box.page.textModel.Value(), shown.toUtf8());
    if (min.isEmpty()) { // a digit typed after clearing replaces the zero
        QTest::keyClicks(box.edit, QStringLiteral("75"));
        QCOMPARE(box.page.textModel.Value(), QByteArray("75"));
    }
}

void TestNumericBox::pasting_handsTheTextToTheModelUnfiltered_data()
{
    QTest::addColumn<QByteArray>("max");
    QTest::addColumn<QString>("pasted");
    QTest::addColumn<QString>("shown");

    const auto S = [](const char *text = "") { return QString::fromLatin1(text); };
    QTest::newRow("letters, never compared with a bound") << QByteArray("100") << S("abc") << S("abc");
    QTest::newRow("a minus sign") << QByteArray() << S("-5") << S("-5");
    QTest::newRow("a number above the maximum") << QByteArray("100") << S("250") << S("100");
    QTest::newRow("an empty clipboard over the selection clears it to 0") << QByteArray() << S() << S("0");
}

void TestNumericBox::pasting_handsTheTextToTheModelUnfiltered()
{
    QFETCH(QByteArray, max);
    QFETCH(QString, pasted);
    QFETCH(QString, shown);

    Box box;
    QVERIFY(open(box, {}, max, "31"));
    QGuiApplication::clipboard()->setText(pasted);
    QTest::keyClick(box.edit, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(box.edit, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(box.edit->text(), shown);
    QCOMPARE(box.page.textModel.Value(), shown.toUtf8());
}

void TestNumericBox::editingKeysAndShortcuts_stillWork()
{
    Box box;
    QVERIFY(open(box, {}, {}, "1234"));
    QTest::keyClick(box.edit, Qt::Key_Home);
    QTest::keyClick(box.edit, Qt::Key_Delete);
    QCOMPARE(box.page.textModel.Value(), QByteArray("234"));
    QTest::keyClick(box.edit, Qt::Key_End);
    QTest::keyClick(box.edit, Qt::Key_Left);
    QTest::keyClick(box.edit, Qt::Key_Backspace);
    QCOMPARE(box.page.textModel.Value(), QByteArray("24"));
    QTest::keyClicks(box.edit, QStringLiteral("9"));
    QCOMPARE(box.page.textModel.Value(), QByteArray("294"));
    QTest::keyClick(box.edit, Qt::Key_Home, Qt::ShiftModifier);
    QCOMPARE(box.edit->selectedText(), QStringLiteral("29"));
    QTest::keyClick(box.edit, Qt::Key_X, Qt::ControlModifier);
    QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("29"));
    QCOMPARE(box.page.textModel.Value(), QByteArray("4"));
    QTest::keyClick(box.edit, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(box.edit->text().toUtf8(), box.page.textModel.Value());
    QCOMPARE(box.edit->text(), QStringLiteral("294"));
}

void TestNumericBox::modelChanges_showInTheBox()
{
    Box box;
    QVERIFY(open(box, {}, QByteArray("100"), {}));
    QCOMPARE(box.edit->text(), QString());
    box.page.textModel.setValue("250");
    QCOMPARE(box.edit->text(), QStringLiteral("100"));
    box.page.textModel.setValue("250.5");
    QCOMPARE(box.edit->text(), QStringLiteral("250.5"));

    box.page.state.uploadSpeed = 3000;
    box.page.textModel.setPing("us*2");
    box.page.textModel.SetPing();
    QCOMPARE(box.page.textModel.Default(), QByteArray("6000"));
    QCOMPARE(box.edit->text(), QStringLiteral("100"));
}

QTEST_MAIN(TestNumericBox)
#include "tst_numericbox.moc"
