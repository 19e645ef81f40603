#include "app/speedunits.h"

#include <QTest>

using namespace Tunesmith;

class TestSpeedUnits : public QObject
{
    Q_OBJECT

private slots:
    void unitLists_differOnlyInCaseOfMegaEntries();
    void toBytesPerSecond_convertsEveryUnit_data();
    void toBytesPerSecond_convertsEveryUnit();
    void parseSpeed_roundsFractions_andRejectsWhatIsNoSpeed_data();
    void parseSpeed_roundsFractions_andRejectsWhatIsNoSpeed();
    void connectionPresets_storeTheirKbitAsBytes();
};

void TestSpeedUnits::unitLists_differOnlyInCaseOfMegaEntries()
{
    QCOMPARE(SpeedUnits::uploadUnits(),
             (QStringList{QStringLiteral("bit/s"), QStringLiteral("Byte/s"), QStringLiteral("kbit/s"),
                          QStringLiteral("kByte/s"), QStringLiteral("Mbit/s"), QStringLiteral("MByte/s")}));
    QCOMPARE(SpeedUnits::downloadUnits(),
             (QStringList{QStringLiteral("bit/s"), QStringLiteral("Byte/s"), QStringLiteral("kbit/s"),
                          QStringLiteral("kByte/s"), QStringLiteral("mbit/s"), QStringLiteral("mByte/s")}));
}

void TestSpeedUnits::toBytesPerSecond_convertsEveryUnit_data()
{
    QTest::addColumn<int>("value");
    QTest::addColumn<int>("unit");
    QTest::addColumn<qint64>("bytes"); // -1: does not fit

    QTest::newRow("bit/s 12 -> 1.5 -> 2") << 12 << 0 << qint64(2);
    QTest::newRow("bit/s 4 -> 0.5 -> 0") << 4 << 0 << qint64(0);
    QTest::newRow("bit/s 20 -> 2.5 -> 2") << 20 << 0 << qint64(2);
    QTest::newRow("bit/s 28 -> 3.5 -> 4") << 28 << 0 << qint64(4);
    QTest::newRow("bit/s 13 -> 1.625 -> 2") << 13 << 0 << qint64(2);
    QTest::newRow("bit/s largest") << 2147483647 << 0 << qint64(268435456);
    QTest::newRow("Byte/s") << 5000 << 1 << qint64(5000);
    QTest::newRow("no unit selected is Byte/s") << 5000 << -1 << qint64(5000);
    QTest::newRow("kbit/s") << 3 << 2 << qint64(384);
    QTest::newRow("kByte/s") << 3 << 3 << qint64(3072);
    QTest::newRow("Mbit/s") << 3 << 4 << qint64(393216);
    QTest::newRow("MByte/s") << 3 << 5 << qint64(3145728);
    QTest::newRow("kbit/s 2097151 fits") << 2097151 << 2 << qint64(268435328);
    QTest::newRow("kbit/s 2097152 too large") << 2097152 << 2 << qint64(-1);
    QTest::newRow("kByte/s 2097151 fits") << 2097151 << 3 << qint64(2147482624);
    QTest::newRow("kByte/s 2097152 too large") << 2097152 << 3 << qint64(-1);
    QTest::newRow("Mbit/s 16383 fits") << 16383 << 4 << qint64(2147352576);
    QTest::newRow("Mbit/s 16384 too large") << 16384 << 4 << qint64(-1);
    QTest::newRow("MByte/s 2047 fits") << 2047 << 5 << qint64(2146435072);
    QTest::newRow("MByte/s 2048 too large") << 2048 << 5 << qint64(-1);
}

void TestSpeedUnits::toBytesPerSecond_convertsEveryUnit()
{
    QFETCH(int, value);
    QFETCH(int, unit);
    QFETCH(qint64, bytes);
    const auto result = SpeedUnits::toBytesPerSecond(value, unit);
    if (bytes < 0) {
        QVERIFY2(!result, qPrintable(QString::number(result.value_or(0))));
        return;
    }
    QVERIFY(result);
    QCOMPARE(qint64(*result), bytes);
}

void TestSpeedUnits::parseSpeed_roundsFractions_andRejectsWhatIsNoSpeed_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<int>("unit");
    QTest::addColumn<qint64>("bytes"); // -1: refused with a reason

    QTest::newRow("whole") << QByteArray("128") << 2 << qint64(16384);
    QTest::newRow("half rounds to even before the unit") << QByteArray("2.5") << 3 << qint64(2048);
    QTest::newRow("3.5 rounds up") << QByteArray("3.5") << 1 << qint64(4);
    QTest::newRow("spaces around") << QByteArray(" 7 ") << 1 << qint64(7);
    QTest::newRow("empty box") << QByteArray() << 1 << qint64(-1);
    QTest::newRow("blank box") << QByteArray("  ") << 1 << qint64(-1);
    QTest::newRow("two points") << QByteArray("1.2.3") << 1 << qint64(-1);
    QTest::newRow("letters") << QByteArray("fast") << 1 << qint64(-1);
    QTest::newRow("beyond 32 bits") << QByteArray("3000000000") << 1 << qint64(-1);
    QTest::newRow("too large in its unit") << QByteArray("2048") << 5 << qint64(-1);
}

void TestSpeedUnits::parseSpeed_roundsFractions_andRejectsWhatIsNoSpeed()
{
    QFETCH(QByteArray, text);
    QFETCH(int, unit);
    QFETCH(qint64, bytes);
    QString error;
    const auto result = SpeedUnits::parseSpeed(text, unit, &error);
    if (bytes < 0) {
        QVERIFY(!result);
        QVERIFY(!error.isEmpty());
        return;
    }
    QVERIFY2(result, qPrintable(error));
    QCOMPARE(qint64(*result), bytes);
}

void TestSpeedUnits::connectionPresets_storeTheirKbitAsBytes()
{
    struct Expected
    {
        const char *name;
        qint64 upload;
        qint64 download;
    };
    const Expected expected[] = {
        {"Custom", -1, -1},
        {"Modem (56k) - Optimized", 2688, 5376},
        {"ISDN (64k) - Optimized", 2688, 5376},
        {"Dual Line ISDN (128k) - Optimized", 5376, 10880},
        {"ADSL (256k)", 8192, 32768},
        {"ADSL (512k)", 16384, 65536},
        {"T1 (1M)", 32768, 131072},
        {"T3 (3M)", 65536, 393216},
    };
    const auto presets = SpeedUnits::connectionPresets();
    QCOMPARE(presets.size(), qsizetype(std::size(expected)));
    for (qsizetype i = 0; i < presets.size(); ++i) {
        QCOMPARE(presets[i].name, QString::fromLatin1(expected[i].name));
        if (expected[i].upload < 0) {
            QCOMPARE(presets[i].uploadKbit, -1);
            continue;
        }
        QCOMPARE(qint64(SpeedUnits::toBytesPerSecond(presets[i].uploadKbit, 2).value()), expected[i].upload);
        QCOMPARE(qint64(SpeedUnits::toBytesPerSecond(presets[i].downloadKbit, 2).value()), expected[i].download);
    }
}

QTEST_GUILESS_MAIN(TestSpeedUnits)
#include "tst_speedunits.moc"
