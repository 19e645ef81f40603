#include "gameconfig/linediff.h"

#include <QRandomGenerator>
#include <QTest>

using namespace Tunesmith;

class TestLineDiff : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void unified_data();
    void unified();
    void compare_keepsEveryLineAndKeepsAsManyAsCanBe();
};

void TestLineDiff::unified_data()
{
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<QByteArray>("after");
    QTest::addColumn<QByteArray>("expected");

    QTest::newRow("same lines give nothing") << QByteArray("a\r\nb\r\n") << QByteArray("a\nb\n") << QByteArray();
    QTest::newRow("one line changed, three of context each side")
        << QByteArray("1\n2\n3\n4\n5\n6\n7\n8\n9\n") << QByteArray("1\n2\n3\n4\nfive\n6\n7\n8\n9\n")
        << QByteArray("--- old\n+++ new\n@@ -2,7 +2,7 @@\n 2\n 3\n 4\n-5\n+five\n 6\n 7\n 8\n");
    QTest::newRow("new file: every line added")
        << QByteArray() << QByteArray("a\r\nb\r\n") << QByteArray("--- old\n+++ new\n@@ -0,0 +1,2 @@\n+a\n+b\n");
    QTest::newRow("emptied file: every line removed")
        << QByteArray("a\n") << QByteArray() << QByteArray("--- old\n+++ new\n@@ -1 +0,0 @@\n-a\n");
    QTest::newRow("appended after a last line without line end")
        << QByteArray("a\nb") << QByteArray("a\nb\nc\n")
        << QByteArray("--- old\n+++ new\n@@ -1,2 +1,3 @@\n a\n-b\n\\ No newline at end of file\n+b\n+c\n");
    QTest::newRow("changes far apart make two hunks")
        << QByteArray("x\n1\n2\n3\n4\n5\n6\n7\ny\n") << QByteArray("X\n1\n2\n3\n4\n5\n6\n7\nY\n")
        << QByteArray("--- old\n+++ new\n@@ -1,4 +1,4 @@\n-x\n+X\n 1\n 2\n 3\n@@ -6,4 +6,4 @@\n 5\n 6\n 7\n-y\n+Y\n");
    QTest::newRow("changes close together share a hunk")
        << QByteArray("x\n1\n2\n3\n4\n5\n6\ny\n") << QByteArray("X\n1\n2\n3\n4\n5\n6\nY\n")
        << QByteArray("--- old\n+++ new\n@@ -1,8 +1,8 @@\n-x\n+X\n 1\n 2\n 3\n 4\n 5\n 6\n-y\n+Y\n");
    QTest::newRow("insertion names the line before it")
        << QByteArray("1\n2\n3\n4\n5\n6\n7\n8\n") << QByteArray("1\n2\n3\n4\n5\n6\n7\n8\nnew\n")
        << QByteArray("--- old\n+++ new\n@@ -6,3 +6,4 @@\n 6\n 7\n 8\n+new\n");
}

void TestLineDiff::unified()
{
    QFETCH(QByteArray, before);
    QFETCH(QByteArray, after);
    QFETCH(QByteArray, expected);
    QCOMPARE(LineDiff::unified(before, after, "old", "new"), expected);
}

void TestLineDiff::compare_keepsEveryLineAndKeepsAsManyAsCanBe()
{
    // Random texts over a few letters repeat lines a lot, which is where a diff goes wrong.
    QRandomGenerator random(20261206);
    for (int round = 0; round < 400; ++round) {
        QList<QByteArray> a;
        QList<QByteArray> b;
        for (QList<QByteArray> *side : {&a, &b}) {
            const int count = random.bounded(12);
            for (int i = 0; i < count; ++i)
                side->append(QByteArray(1, char('a' + random.bounded(4))));
        }
        const QByteArray before = a.join('\n') + (a.isEmpty() ? "" : "\n");
        const QByteArray after = b.join('\n') + (b.isEmpty() ? "" : "\n");

        QList<QByteArray> rebuiltOld;
        QList<QByteArray> rebuiltNew;
        int kept = 0;
        for (const LineDiff::Line &line : LineDiff::compare(before, after)) {
            if (line.kind != LineDiff::Kind::Added)
                rebuiltOld.append(line.text);
            if (line.kind != LineDiff::Kind::Removed)
                rebuiltNew.append(line.text);
            kept += line.kind == LineDiff::Kind::Same;
        }
        QCOMPARE(rebuiltOld, a);
        QCOMPARE(rebuiltNew, b);

        // The longest common subsequence, the slow way.
        QList<QList<int>> lcs(a.size() + 1, QList<int>(b.size() + 1, 0));
        for (qsizetype i = a.size() - 1; i >= 0; --i) {
            for (qsizetype j = b.size() - 1; j >= 0; --j)
                lcs[i][j] = a[i] == b[j] ? lcs[i + 1][j + 1] + 1 : std::max(lcs[i + 1][j], lcs[i][j + 1]);
        }
        QCOMPARE(kept, lcs[0][0]);
    }
}

QTEST_GUILESS_MAIN(TestLineDiff)
#include "tst_linediff.moc"
