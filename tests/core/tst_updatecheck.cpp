#include "app/updatecheck.h"

#include <QDir>
#include <QFile>
#include <QMap>
#include <QTemporaryDir>
#include <QTest>

using namespace Tunesmith;

namespace
{

QByteArray titleDated(const QByteArray &date)
{
    return "[title]\r\nA Game\r\n" + date + "\r\nSomeone\r\n[syntax]\r\ngame.cfg\r\ncvar value\r\n";
}

} // namespace

class TestUpdateCheck : public QObject
{
    Q_OBJECT

private slots:
    void isUpdateNeeded_decidesFromVersionAndProfileDates_data();
    void isUpdateNeeded_decidesFromVersionAndProfileDates();
    void isUpdateNeeded_readsProfilesFromTheFolder();
    void requestUrl_escapesSpaces();
};

void TestUpdateCheck::isUpdateNeeded_decidesFromVersionAndProfileDates_data()
{
    QTest::addColumn<QByteArray>("manifest");
    QTest::addColumn<QByteArray>("profileA"); // a.tsm; "(missing)" for none
    QTest::addColumn<bool>("needed");
    QTest::addColumn<QStringList>("asked"); // the profile names that were looked up, in order

    const QByteArray none = "(missing)";
    const QByteArray jan2004 = titleDated("1-1-2004");
    const QStringList onlyA{QStringLiteral("a.tsm")};
    QTest::newRow("same version") << QByteArray("[103]") << none << false << QStringList();
    QTest::newRow("newer version") << QByteArray("[104]") << none << true << QStringList();
    QTest::newRow("older version") << QByteArray("[102]") << none << false << QStringList();
    QTest::newRow("empty manifest") << QByteArray() << none << false << QStringList();
    QTest::newRow("no closing bracket") << QByteArray("[104") << none << false << QStringList();
    QTest::newRow("text after the last record") << QByteArray("[103]\r\n[104") << none << false << QStringList();
    QTest::newRow("version not a number") << QByteArray("[1.0.4]") << none << false << QStringList();
    QTest::newRow("version empty") << QByteArray("[]") << none << false << QStringList();
    QTest::newRow("text before the first bracket")
        << QByteArray("update.txt\r\n[104]") << none << true << QStringList();
    QTest::newRow("text before, same version") << QByteArray("v[103]") << none << false << QStringList();
    QTest::newRow("second field of the first record unused")
        << QByteArray("[103|999]") << none << false << QStringList();
    QTest::newRow("profile missing") << QByteArray("[103][1-1-2004|a.tsm]") << none << true << onlyA;
    QTest::newRow("profile same date") << QByteArray("[103][1-1-2004|a.tsm]") << jan2004 << false << onlyA;
    QTest::newRow("profile newer") << QByteArray("[103][1-1-2004|a.tsm]") << titleDated("2-1-2004") << false << onlyA;
    QTest::newRow("profile older") << QByteArray("[103][1-1-2004|a.tsm]") << titleDated("31-12-2003") << true << onlyA;
    QTest::newRow("year decides first") << QByteArray("[103][1-12-2003|a.tsm]") << jan2004 << false << onlyA;
    QTest::newRow("then the month") << QByteArray("[103][1-2-2004|a.tsm]") << titleDated("28-1-2004") << true << onlyA;
    QTest::newRow("line breaks between records")
        << QByteArray("[103]\r\n[2-1-2004|a.tsm]\r\n") << jan2004 << true << onlyA;
    QTest::newRow("any title block older counts")
        << QByteArray("[103][1-1-2004|a.tsm]")
        << QByteArray("[TITLE]\r\nA\r\n1-1-2005\r\nX\r\n[Title]\r\nA\r\n1-1-2003\r\nX\r\n") << true << onlyA;
    QTest::newRow("profile ends after its title line")
        << QByteArray("[103][1-1-2004|a.tsm]") << QByteArray("[title]\r\nA") << false << onlyA;
    QTest::newRow("profile date not a date")
        << QByteArray("[103][1-1-2004|a.tsm]") << titleDated("soon") << false << onlyA;
    QTest::newRow("manifest date with two parts") << QByteArray("[103][1-2004|a.tsm]") << jan2004 << false << onlyA;
    QTest::newRow("manifest date part not a number")
        << QByteArray("[103][x-1-2005|a.tsm]") << jan2004 << false << onlyA;
    QTest::newRow("manifest year beyond 16 bits") << QByteArray("[103][1-1-40000|a.tsm]") << jan2004 << false << onlyA;
    QTest::newRow("record without a name") << QByteArray("[103][1-1-2004]") << none << false << QStringList();
    QTest::newRow("record with an empty name") << QByteArray("[103][1-1-2004|]") << none << false << QStringList();
    QTest::newRow("name climbing out") << QByteArray("[103][1-1-2004|../a.tsm]") << none << false << QStringList();
    QTest::newRow("name in a subfolder") << QByteArray("[103][1-1-2004|sub/a.tsm]") << none << false << QStringList();
    QTest::newRow("name with a backslash") << QByteArray("[103][1-1-2004|..\\a.tsm]") << none << false << QStringList();
    QTest::newRow("absolute name") << QByteArray("[103][1-1-2004|/etc/passwd]") << none << false << QStringList();
    QTest::newRow("dot dot") << QByteArray("[103][1-1-2004|..]") << none << false << QStringList();
    QTest::newRow("every record is looked at")
        << QByteArray("[104][1-1-2004|../x.tsm][1-1-2004|a.tsm][1-1-2004|b.tsm]") << jan2004 << true
        << QStringList{QStringLiteral("a.tsm"), QStringLiteral("b.tsm")};
}

void TestUpdateCheck::isUpdateNeeded_decidesFromVersionAndProfileDates()
{
    QFETCH(QByteArray, manifest);
    QFETCH(QByteArray, profileA);
    QFETCH(bool, needed);
    QFETCH(QStringList, asked);
    QStringList seen;
    const auto read = [&](const QString &fileName) -> std::optional<QByteArray> {
        seen.append(fileName);
        if (fileName == QLatin1String("a.tsm") && profileA != "(missing)")
            return profileA;
        return std::nullopt;
    };
    QCOMPARE(UpdateCheck::isUpdateNeeded(manifest, 103, read), needed);
    QCOMPARE(seen, asked);
}

void TestUpdateCheck::isUpdateNeeded_readsProfilesFromTheFolder()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QFile file(dir.filePath(QStringLiteral("a.tsm")));
    QVERIFY(file.open(QIODevice::WriteOnly));
    QVERIFY(file.write(titleDated("1-1-2004")) > 0);
    file.close();
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("folder.tsm")));
    QVERIFY(!UpdateCheck::isUpdateNeeded("[103][1-1-2004|a.tsm]", 103, dir.path()));
    QVERIFY(UpdateCheck::isUpdateNeeded("[103][2-1-2004|a.tsm]", 103, dir.path()));
    QVERIFY(UpdateCheck::isUpdateNeeded("[103][1-1-2004|b.tsm]", 103, dir.path()));
    QVERIFY(UpdateCheck::isUpdateNeeded("[103][1-1-2004|folder.tsm]", 103, dir.path()));
}

void TestUpdateCheck::requestUrl_escapesSpaces()
{
    QCOMPARE(UpdateCheck::requestUrl(QStringLiteral("http://example.org/a b/update.txt ")),
             QStringLiteral("http://example.org/a%20b/update.txt%20"));
}

QTEST_GUILESS_MAIN(TestUpdateCheck)
#include "tst_updatecheck.moc"
