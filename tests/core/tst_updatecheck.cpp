#include "app/updatecheck.h"
#include "testfiles.h"

#include <QDir>
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
    void isUpdateNeeded_decidesFromVersionAndProfileDates_data()
    {
        QTest::addColumn<QByteArray>("manifest");
        QTest::addColumn<QByteArray>("profileA"); // a.tsm; "(missing)" for none
        QTest::addColumn<bool>("needed");
        QTest::addColumn<QStringList>("asked"); // the profile names that were looked up, in order

        const auto row = [](const char *name, const char *manifest, const QByteArray &profileA, bool needed,
                            const QStringList &asked = {QStringLiteral("a.tsm")}) {
            QTest::newRow(name) << QByteArray(manifest) << profileA << needed << asked;
        };
        const QByteArray none = "(missing)";
        const QByteArray jan2004 = titleDated("1-1-2004");
        // This program is version 103.
        row("same version", "[103]", none, false, {});
        row("newer version", "[104]", none, true, {});
        row("older version", "[102]", none, false, {});
        row("empty manifest", "", none, false, {});
        row("no closing bracket", "[104", none, false, {});
        row("text before the first bracket", "update.txt\r\n[104]", none, true, {});
        row("profile missing", "[103][1-1-2004|a.tsm]", none, true);
        row("profile same date", "[103][1-1-2004|a.tsm]", jan2004, false);
        row("profile newer", "[103][1-1-2004|a.tsm]", titleDated("2-1-2004"), false);
        row("profile older", "[103][1-1-2004|a.tsm]", titleDated("31-12-2003"), true);
        row("year decides first", "[103][1-12-2003|a.tsm]", jan2004, false);
        row("then the month", "[103][1-2-2004|a.tsm]", titleDated("28-1-2004"), true);
        row("line breaks between records", "[103]\r\n[2-1-2004|a.tsm]\r\n", jan2004, true);
        row("any title block older counts", "[103][1-1-2004|a.tsm]",
            "[TITLE]\r\nA\r\n1-1-2005\r\nX\r\n[Title]\r\nA\r\n1-1-2003\r\nX\r\n", true);
        row("profile ends after its title line", "[103][1-1-2004|a.tsm]", "[title]\r\nA", false);
        row("a date outside the title block", "[103][1-1-2004|a.tsm]", titleDated("1-1-2005") + "x\r\n1-1-2000\r\n",
            false);
        row("profile date not a date", "[103][1-1-2004|a.tsm]", titleDated("soon"), false);
        row("manifest date with two parts", "[103][1-2004|a.tsm]", jan2004, false);
        row("manifest date part not a number", "[103][x-1-2005|a.tsm]", jan2004, false);
        row("manifest year beyond 16 bits", "[103][1-1-40000|a.tsm]", jan2004, false);
        // Only plain file names in the profiles folder are looked up.
        row("record without a name", "[103][1-1-2004]", none, false, {});
        row("record with an empty name", "[103][1-1-2004|]", none, false, {});
        row("name climbing out", "[103][1-1-2004|../a.tsm]", none, false, {});
        row("name in a subfolder", "[103][1-1-2004|sub/a.tsm]", none, false, {});
        row("name with a backslash", "[103][1-1-2004|..\\a.tsm]", none, false, {});
        row("dot dot", "[103][1-1-2004|..]", none, false, {});
        row("every record is looked at", "[104][1-1-2004|../x.tsm][1-1-2004|a.tsm][1-1-2004|b.tsm]", jan2004, true,
            {QStringLiteral("a.tsm"), QStringLiteral("b.tsm")});
    }

    void isUpdateNeeded_decidesFromVersionAndProfileDates()
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

    void isUpdateNeeded_readsProfilesFromTheFolder()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        QVERIFY(writeAll(dir.filePath(QStringLiteral("a.tsm")), titleDated("1-1-2004")));
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("folder.tsm")));
        QVERIFY(!UpdateCheck::isUpdateNeeded("[103][1-1-2004|a.tsm]", 103, dir.path()));
        QVERIFY(UpdateCheck::isUpdateNeeded("[103][2-1-2004|a.tsm]", 103, dir.path()));
        QVERIFY(UpdateCheck::isUpdateNeeded("[103][1-1-2004|b.tsm]", 103, dir.path()));
        QVERIFY(UpdateCheck::isUpdateNeeded("[103][1-1-2004|folder.tsm]", 103, dir.path()));
        // The request asks for the address with its blanks escaped.
        QCOMPARE(UpdateCheck::requestUrl(QStringLiteral("http://example.org/a b/update.txt ")),
                 QStringLiteral("http://example.org/a%20b/update.txt%20"));
    }
};

QTEST_GUILESS_MAIN(TestUpdateCheck)
#include "tst_updatecheck.moc"
