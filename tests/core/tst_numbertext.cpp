#include "app/numbertext.h"
#include "app/speedunits.h"

#include <QTest>

#include <limits>

using namespace Tunesmith;

namespace
{

constexpr qint64 none = std::numeric_limits<qint64>::min();
constexpr qint32 top = std::numeric_limits<qint32>::max();
constexpr qint32 bottom = std::numeric_limits<qint32>::min();

template<typename Number>
qint64 wide(std::optional<Number> value)
{
    return value ? qint64(*value) : none;
}

} // namespace

class TestNumberText : public QObject
{
    Q_OBJECT

private slots:
    void readers_roundHalvesToEvenAndKeepToTheirRange_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<qint64>("int32");
        QTest::addColumn<qint64>("int16");
        QTest::addColumn<qint64>("saturated"); // toInt32Saturated

        const auto row = [](const char *text, qint64 int32, qint64 int16, qint64 saturated) {
            QTest::addRow("\"%s\"", text) << QByteArray(text) << int32 << int16 << saturated;
        };
        row("  42   ", 42, 42, 42);
        row("+7", 7, 7, 7);
        row(" -7 ", -7, -7, -7);
        row("2.5", 2, 2, 2);
        row("3.5", 4, 4, 4);
        row("-3.5", -4, -4, -4);
        row(".5", 0, 0, 0);
        row("1.", 1, 1, 1);
        row("2.5000", 2, 2, 2);
        row("2.500001", 3, 3, 3);
        row("2.49999", 2, 2, 2);
        row("32767", 32767, 32767, 32767);
        row("-32768", -32768, -32768, -32768);
        row("32767.5", 32768, none, 32768);
        row("-32768.5", -32768, -32768, -32768);
        row("-32769", -32769, none, -32769);
        row("2147483647", top, none, top);
        row("-2147483648", bottom, none, bottom);
        row("2147483647.5", none, none, top);
        row("2147483648", none, none, top);
        row("-2147483649", none, none, bottom);
        row("99999999999999999999999999", none, none, top);
        for (const char *text : {"", " ", ".", "-", "1.2.3", "--1", "1e3", "1 000", "12ab"})
            row(text, none, none, none);
    }

    void readers_roundHalvesToEvenAndKeepToTheirRange()
    {
        QFETCH(QByteArray, text);
        QFETCH(qint64, int32);
        QFETCH(qint64, int16);
        QFETCH(qint64, saturated);
        QCOMPARE(wide(toInt32(text)), int32);
        QCOMPARE(wide(toInt16(text)), int16);
        QCOMPARE(wide(toInt32Saturated(text)), saturated);
    }

    void roundToInt32_halvesToEvenInsideTheRange()
    {
        QCOMPARE(wide(roundToInt32(2.5)), 2);
        QCOMPARE(wide(roundToInt32(3.5)), 4);
        QCOMPARE(wide(roundToInt32(2147483647.0)), top);
        QCOMPARE(wide(roundToInt32(2147483647.5)), none);
        QCOMPARE(wide(roundToInt32(-2147483648.0)), bottom);
        QCOMPARE(wide(roundToInt32(-2147483649.0)), none);
        QCOMPARE(wide(roundToInt32(std::numeric_limits<double>::infinity())), none);
        QCOMPARE(wide(roundToInt32(std::numeric_limits<double>::quiet_NaN())), none);
    }

    void parseSpeed_roundsThenConvertsItsUnit_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<int>("unit"); // bit/s, Byte/s, kbit/s, kByte/s, Mbit/s, MByte/s; -1 none picked
        QTest::addColumn<qint64>("bytes");

        QTest::newRow("bit/s 12 is 1.5 Byte/s") << QByteArray("12") << 0 << qint64(2);
        QTest::newRow("Byte/s") << QByteArray("5000") << 1 << qint64(5000);
        QTest::newRow("no unit picked is Byte/s") << QByteArray("5000") << -1 << qint64(5000);
        QTest::newRow("kbit/s") << QByteArray("3") << 2 << qint64(384);
        QTest::newRow("kByte/s") << QByteArray("3") << 3 << qint64(3072);
        QTest::newRow("Mbit/s") << QByteArray("3") << 4 << qint64(393216);
        QTest::newRow("MByte/s") << QByteArray("3") << 5 << qint64(3145728);
        QTest::newRow("half to even before the unit") << QByteArray("2.5") << 3 << qint64(2048);
        // kbit/s stop where kByte/s do, though their bytes would fit.
        QTest::newRow("kbit/s at the end") << QByteArray("2097151") << 2 << qint64(268435328);
        QTest::newRow("kbit/s past the end") << QByteArray("2097152") << 2 << none;
        QTest::newRow("MByte/s past the end") << QByteArray("2048") << 5 << none;
        QTest::newRow("Byte/s at the end") << QByteArray("2147483647") << 1 << qint64(2147483647);
        QTest::newRow("empty box") << QByteArray() << 1 << none;
        QTest::newRow("blank box") << QByteArray("  ") << 1 << none;
        QTest::newRow("letters") << QByteArray("fast") << 1 << none;
    }

    void parseSpeed_roundsThenConvertsItsUnit()
    {
        QFETCH(QByteArray, text);
        QFETCH(int, unit);
        QFETCH(qint64, bytes);
        QString error;
        QCOMPARE(wide(SpeedUnits::parseSpeed(text, unit, &error)), bytes);
        QCOMPARE(error.isEmpty(), bytes != none); // a refusal says why
    }
};

QTEST_GUILESS_MAIN(TestNumberText)
#include "tst_numbertext.moc"
