#include "app/numbertext.h"

#include <QTest>

#include <limits>

using namespace Tunesmith;

class TestNumberText : public QObject
{
    Q_OBJECT

private slots:
    void toInt32_readsNumberTexts_data();
    void toInt32_readsNumberTexts();
    void toInt32_rejectsAnythingElse_data();
    void toInt32_rejectsAnythingElse();
    void toInt16_keepsTo16Bits_data();
    void toInt16_keepsTo16Bits();
    void toInt32Saturated_givesTheRangeEndBeyondIt();
    void roundToInt32_halvesToEvenAndChecksRange_data();
    void roundToInt32_halvesToEvenAndChecksRange();
};

void TestNumberText::toInt32_readsNumberTexts_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<qint32>("expected");

    QTest::newRow("plain") << QByteArray("42") << 42;
    QTest::newRow("spaces around") << QByteArray("  42   ") << 42;
    QTest::newRow("plus sign") << QByteArray("+7") << 7;
    QTest::newRow("minus sign") << QByteArray("-7") << -7;
    QTest::newRow("spaces and sign") << QByteArray(" -7 ") << -7;
    QTest::newRow("zero") << QByteArray("0") << 0;
    QTest::newRow("minus zero") << QByteArray("-0") << 0;
    QTest::newRow("2.5 to even") << QByteArray("2.5") << 2;
    QTest::newRow("3.5 to even") << QByteArray("3.5") << 4;
    QTest::newRow("-2.5 to even") << QByteArray("-2.5") << -2;
    QTest::newRow("-3.5 to even") << QByteArray("-3.5") << -4;
    QTest::newRow(".5 to even") << QByteArray(".5") << 0;
    QTest::newRow("-.5 to even") << QByteArray("-.5") << 0;
    QTest::newRow("1.5 to even") << QByteArray("1.5") << 2;
    QTest::newRow("trailing zeros keep a half") << QByteArray("2.5000") << 2;
    QTest::newRow("beyond the half") << QByteArray("2.51") << 3;
    QTest::newRow("far beyond the half") << QByteArray("2.500001") << 3;
    QTest::newRow("negative beyond the half") << QByteArray("-2.51") << -3;
    QTest::newRow("below the half") << QByteArray("2.49999") << 2;
    QTest::newRow("point without fraction") << QByteArray("1.") << 1;
    QTest::newRow("leading zeros") << QByteArray("000000000000000000000042") << 42;
    QTest::newRow("long fraction") << QByteArray("7.1234567890123456789") << 7;
    QTest::newRow("int32 max") << QByteArray("2147483647") << std::numeric_limits<qint32>::max();
    QTest::newRow("int32 min") << QByteArray("-2147483648") << std::numeric_limits<qint32>::min();
    QTest::newRow("max with small fraction") << QByteArray("2147483647.4") << std::numeric_limits<qint32>::max();
    QTest::newRow("just below max rounds to even") << QByteArray("2147483646.5") << 2147483646;
    QTest::newRow("min half goes to even min") << QByteArray("-2147483648.5") << std::numeric_limits<qint32>::min();
}

void TestNumberText::toInt32_readsNumberTexts()
{
    QFETCH(QByteArray, text);
    QFETCH(qint32, expected);
    const auto value = toInt32(text);
    QVERIFY(value.has_value());
    QCOMPARE(*value, expected);
}

void TestNumberText::toInt32_rejectsAnythingElse_data()
{
    QTest::addColumn<QByteArray>("text");

    QTest::newRow("empty") << QByteArray("");
    QTest::newRow("blank") << QByteArray(" ");
    QTest::newRow("point only") << QByteArray(".");
    QTest::newRow("sign only") << QByteArray("-");
    QTest::newRow("two points") << QByteArray("1.2.3");
    QTest::newRow("double minus") << QByteArray("--1");
    QTest::newRow("plus minus") << QByteArray("+-1");
    QTest::newRow("exponent") << QByteArray("1e3");
    QTest::newRow("hex") << QByteArray("0x10");
    QTest::newRow("thousands comma") << QByteArray("1,000");
    QTest::newRow("decimal comma") << QByteArray("2,5");
    QTest::newRow("inner blank") << QByteArray("1 000");
    QTest::newRow("trailing sign") << QByteArray("1-");
    QTest::newRow("letters") << QByteArray("abc");
    QTest::newRow("number then letters") << QByteArray("12ab");
    QTest::newRow("above int32") << QByteArray("2147483648");
    QTest::newRow("below int32") << QByteArray("-2147483649");
    QTest::newRow("max plus a half rounds out") << QByteArray("2147483647.5");
    QTest::newRow("many digits") << QByteArray("99999999999999999999999999");
}

void TestNumberText::toInt32_rejectsAnythingElse()
{
    QFETCH(QByteArray, text);
    QCOMPARE(toInt32(text), std::nullopt);
}

void TestNumberText::toInt16_keepsTo16Bits_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<int>("expected");

    QTest::newRow("max") << QByteArray("32767") << true << 32767;
    QTest::newRow("min") << QByteArray("-32768") << true << -32768;
    QTest::newRow("max with fraction below a half") << QByteArray("32767.4") << true << 32767;
    QTest::newRow("spaces") << QByteArray(" 3 ") << true << 3;
    QTest::newRow("half to even") << QByteArray("0.5") << true << 0;
    QTest::newRow("above max") << QByteArray("32768") << false << 0;
    QTest::newRow("max plus a half") << QByteArray("32767.5") << false << 0;
    QTest::newRow("below min") << QByteArray("-32769") << false << 0;
    QTest::newRow("min minus a half goes to even min") << QByteArray("-32768.5") << true << -32768;
    QTest::newRow("int32 number") << QByteArray("100000") << false << 0;
    QTest::newRow("garbage") << QByteArray("1e2") << false << 0;
}

void TestNumberText::toInt16_keepsTo16Bits()
{
    QFETCH(QByteArray, text);
    QFETCH(bool, ok);
    QFETCH(int, expected);
    const auto value = toInt16(text);
    QCOMPARE(value.has_value(), ok);
    if (ok)
        QCOMPARE(int(*value), expected);
}

void TestNumberText::toInt32Saturated_givesTheRangeEndBeyondIt()
{
    constexpr qint32 top = std::numeric_limits<qint32>::max();
    constexpr qint32 bottom = std::numeric_limits<qint32>::min();
    QCOMPARE(toInt32Saturated(" 12.5 "), std::optional<qint32>(12));
    QCOMPARE(toInt32Saturated("2147483647"), std::optional<qint32>(top));
    QCOMPARE(toInt32Saturated("2147483648"), std::optional<qint32>(top));
    QCOMPARE(toInt32Saturated("99999999999999999999999999"), std::optional<qint32>(top));
    QCOMPARE(toInt32Saturated("-2147483649"), std::optional<qint32>(bottom));
    QCOMPARE(toInt32Saturated("2147483647.5"), std::optional<qint32>(top));
    QCOMPARE(toInt32Saturated("12abc"), std::nullopt);
    QCOMPARE(toInt32Saturated(""), std::nullopt);
}

void TestNumberText::roundToInt32_halvesToEvenAndChecksRange_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<qint32>("expected");

    QTest::newRow("2.5") << 2.5 << true << 2;
    QTest::newRow("3.5") << 3.5 << true << 4;
    QTest::newRow("-2.5") << -2.5 << true << -2;
    QTest::newRow("1714.28") << 12000.0 / 7.0 << true << 1714;
    QTest::newRow("0.4286") << 3000.0 / 7000.0 << true << 0;
    QTest::newRow("max") << 2147483647.0 << true << std::numeric_limits<qint32>::max();
    QTest::newRow("max plus a half") << 2147483647.5 << false << 0;
    QTest::newRow("min") << -2147483648.0 << true << std::numeric_limits<qint32>::min();
    QTest::newRow("below min") << -2147483649.0 << false << 0;
    QTest::newRow("infinity") << std::numeric_limits<double>::infinity() << false << 0;
    QTest::newRow("nan") << std::numeric_limits<double>::quiet_NaN() << false << 0;
}

void TestNumberText::roundToInt32_halvesToEvenAndChecksRange()
{
    QFETCH(double, value);
    QFETCH(bool, ok);
    QFETCH(qint32, expected);
    const auto rounded = roundToInt32(value);
    QCOMPARE(rounded.has_value(), ok);
    if (ok)
        QCOMPARE(*rounded, expected);
}

QTEST_GUILESS_MAIN(TestNumberText)
#include "tst_numbertext.moc"
