#include "app/fileutil.h"
#include "app/savefile.h"
#include "app/textlines.h"
#include "backupreference.h"
#include "memorymerge.h"
#include "testfiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

using namespace Tunesmith;

namespace
{

const QByteArray missing = "(missing)";

} // namespace

class TestTextFiles : public QObject
{
    Q_OBJECT

private slots:
    void replaceOrAppend_givesExpectedFile_data()
    {
        QTest::addColumn<QByteArray>("before"); // "(missing)": no file
        QTest::addColumn<QByteArray>("search");
        QTest::addColumn<QByteArray>("replacement");
        QTest::addColumn<bool>("lineStart");
        QTest::addColumn<QByteArray>("after");

        using B = QByteArray;
        QTest::newRow("missing file gets the line") << missing << B("a|1") << B("a|2") << false << B("a|2\r\n");
        QTest::newRow("empty file gets the line") << B() << B("a|1") << B("a|2") << false << B("a|2\r\n");
        QTest::newRow("every equal line replaced, others not")
            << B("a|1\r\nxa|1\r\na|1\r\na|10\r\n") << B("a|1") << B("a|2") << false
            << B("a|2\r\nxa|1\r\na|2\r\na|10\r\n");
        QTest::newRow("no whole line equal: appended")
            << B("a|10\r\nxa|1\r\n") << B("a|1") << B("a|2") << false << B("a|10\r\nxa|1\r\na|2\r\n");
        QTest::newRow("line start keeps the rest of the line")
            << B("set a \"1\" // note\r\n") << B("set a \"1\"") << B("set a \"2\"") << true
            << B("set a \"2\" // note\r\n");
        QTest::newRow("line start never matches inside a line")
            << B("cl_rate \"1\"\r\n") << B("rate \"1\"") << B("rate \"2\"") << true
            << B("cl_rate \"1\"\r\nrate \"2\"\r\n");
        QTest::newRow("leading empty lines dropped, later ones kept")
            << B("\r\n\r\na|1\r\n\r\nb|2\r\n") << B("b|2") << B("b|3") << false << B("a|1\r\n\r\nb|3\r\n");
        QTest::newRow("leading spaces-only lines dropped")
            << B("  \r\n \r\na|1\r\n") << B("x") << B("b|1") << false << B("a|1\r\nb|1\r\n");
        QTest::newRow("leading tab line is content")
            << B("\t\r\na|1\r\n") << B("a|1") << B("a|0") << false << B("\t\r\na|0\r\n");
        QTest::newRow("lf file stays lf") << B("a|1\nb|1\n") << B("c|0") << B("c|1") << false << B("a|1\nb|1\nc|1\n");
        QTest::newRow("cr file stays cr") << B("a|1\rb|1\r") << B("b|1") << B("b|0") << false << B("a|1\rb|0\r");
        QTest::newRow("stray cr first, lf later: cr lf")
            << B("a|1\rb|1\r\n") << B("b|1") << B("b|0") << false << B("a|1\r\nb|0\r\n");
        QTest::newRow("doubled conversion to cr cr lf: cr lf")
            << B("a|1\r\r\nb|1\r\r\n") << B("b|1") << B("b|0") << false << B("a|1\r\n\r\nb|0\r\n\r\n");
        QTest::newRow("mixed ends take the first")
            << B("a|1\nb|1\r\nc|1\r") << B("b|1") << B("b|0") << false << B("a|1\nb|0\nc|1\n");
        QTest::newRow("no final line end stays so")
            << B("a|1\r\nb|1") << B("c|0") << B("c|1") << false << B("a|1\r\nb|1\r\nc|1");
        QTest::newRow("empty search on a missing file writes the line")
            << missing << B() << B("103") << false << B("103\r\n");
        QTest::newRow("empty search on an empty file writes the line")
            << B() << B() << B("103") << false << B("103\r\n");
        QTest::newRow("empty search on a blank file writes the line")
            << B("\r\n  \r\n") << B() << B("103") << false << B("103\r\n");
        QTest::newRow("empty search leaves content alone")
            << B("102\r\nx\r\n") << B() << B("103") << false << B("102\r\nx\r\n");
        QTest::newRow("line start, mixed ends and a leading empty line")
            << B("\r\nseta x \"1\" // c\rseta x \"1\"\n") << B("seta x \"1\"") << B("seta x \"2\"") << true
            << B("seta x \"2\" // c\r\nseta x \"2\"\r\n");
        QTest::newRow("empty last line kept") << B("a\r\n\r\n") << B("z") << B("z2") << true << B("a\r\n\r\nz2\r\n");
    }

    void replaceOrAppend_givesExpectedFile()
    {
        QFETCH(QByteArray, before);
        QFETCH(QByteArray, search);
        QFETCH(QByteArray, replacement);
        QFETCH(bool, lineStart);
        QFETCH(QByteArray, after);
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString path = dir.filePath(QStringLiteral("config.cfg"));
        if (before != missing)
            QVERIFY(writeAll(path, before));
        QString error;
        QVERIFY2(
            ReplaceOrAppend(path, search, replacement, lineStart ? LineMatch::LineStart : LineMatch::WholeLine, &error),
            qPrintable(error));
        QCOMPARE(readAll(path), after);
        // The fuzz targets' reference does the same to bytes.
        const LineMatch match = lineStart ? LineMatch::LineStart : LineMatch::WholeLine;
        QCOMPARE(replaceOrAppendBytes(before == missing ? QByteArray() : before, search, replacement, match), after);
    }

    void replaceOrAppend_keepsPermissions_andWritesThroughASymlink()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid() && QDir(dir.path()).mkdir(QStringLiteral("real")));
        const QString target = dir.filePath(QStringLiteral("real/game.cfg"));
        const QString link = dir.filePath(QStringLiteral("game.cfg"));
        QVERIFY(writeAll(target, "a|1\r\n"));
        QVERIFY(
            QFile::setPermissions(target, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadOther));
        const auto permissions = QFileInfo(target).permissions();
        QVERIFY(ReplaceOrAppend(target, "a|1", "a|2"));
        QCOMPARE(QFileInfo(target).permissions(), permissions);

        // The link stays a link to the file, which gets the new bytes; nothing is left beside the link.
        QVERIFY(QFile::link(target, link));
        QVERIFY(ReplaceOrAppend(link, "a|2", "a|3"));
        QVERIFY(QFileInfo(link).isSymLink());
        QCOMPARE(QFileInfo(link).symLinkTarget(), target);
        QCOMPARE(readAll(target), QByteArray("a|3\r\n"));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::NoDotAndDotDot),
                 QStringList{QStringLiteral("game.cfg")});
        QCOMPARE(QFileInfo(target).permissions(), permissions);
    }

    void replaceOrAppend_whenTargetCannotBeWritten_failsAndChangesNothing_data()
    {
        // Tests run as root, which may write anywhere: a folder that is not there, or a folder in the file's place.
        QTest::addColumn<QString>("target");
        QTest::newRow("folder does not exist") << "missing/config.cfg";
        QTest::newRow("target is a folder") << "folder";
    }

    void replaceOrAppend_whenTargetCannotBeWritten_failsAndChangesNothing()
    {
        QFETCH(QString, target);
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("folder")));
        const QStringList entries = QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
        QString error;
        QVERIFY(!ReplaceOrAppend(dir.filePath(target), "a|1", "a|2", LineMatch::WholeLine, &error));
        QVERIFY(!error.isEmpty());
        QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), entries);
        QVERIFY(QDir(dir.filePath(QStringLiteral("folder"))).isEmpty());
    }

    void fileHoldsBytes_onlyForExactlyTheSameBytes()
    {
        // Sizes around the block the comparison reads at a time, and a difference in the last byte of each.
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("game.cfg"));
        for (const qsizetype size :
             {qsizetype(0), qsizetype(1), qsizetype(65535), qsizetype(65536), qsizetype(65537), qsizetype(200000)}) {
            QByteArray bytes(size, 'x');
            for (qsizetype i = 0; i < size; i += 7)
                bytes[i] = char('a' + i % 26);
            QVERIFY(writeAll(file, bytes));
            QVERIFY2(fileHoldsBytes(file, bytes), qPrintable(QString::number(size)));
            QVERIFY(!fileHoldsBytes(file, bytes + 'y'));
            if (size > 0) {
                QVERIFY(!fileHoldsBytes(file, bytes.first(size - 1)));
                QByteArray changed = bytes;
                changed[size - 1] = '!';
                QVERIFY(!fileHoldsBytes(file, changed));
            }
        }
        QVERIFY(!fileHoldsBytes(dir.filePath(QStringLiteral("none")), QByteArray()));
        QVERIFY(!fileHoldsBytes(dir.path(), QByteArray()));
    }

    void numericKeyFilter_letsOnlyDigitsPointAndBackspaceThrough_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<bool>("passes");
        for (char c : QByteArray("0123456789."))
            QTest::addRow("%c", c) << int(c) << true;
        QTest::newRow("backspace") << 8 << true;
        for (char c : QByteArray("-+ a/:,"))
            QTest::addRow("'%c'", c) << int(c) << false;
        QTest::newRow("tab") << 9 << false;
    }

    void numericKeyFilter_letsOnlyDigitsPointAndBackspaceThrough()
    {
        QFETCH(int, key);
        QFETCH(bool, passes);
        QCOMPARE(NumericKeyFilter(qint16(key)), passes ? qint16(key) : qint16(0));
    }

    void lineSplitting_agreesWithTheByteByByteDefinition()
    {
        // Texts long enough for the splitters' wide steps, dense in line ends so that a CR LF falls across every step
        // boundary; every splitter must give the lines, the first line end and the final end of the plain definition.
        // Every third text ends its lines with LF alone and every third with CR LF alone, as most files do, except that
        // one byte in a hundred may still be a lone CR or LF.
        QRandomGenerator random(20261206);
        const char alphabet[] = {'a', ' ', '\r', '\n', '\0', char(0x8d)};
        for (int round = 0; round < 6000; ++round) {
            QByteArray text;
            const qsizetype length = random.bounded(0, 80);
            while (text.size() < length) {
                const char c = alphabet[random.bounded(int(sizeof alphabet))];
                const bool stray = random.bounded(100) == 0;
                if (round % 3 == 0 || stray || (c != '\r' && c != '\n'))
                    text += c;
                else if (round % 3 == 1)
                    text += '\n';
                else
                    text += "\r\n";
            }
            const PlainLines expected = splitPlainly(text);
            const QByteArray context = text.toPercentEncoding();

            const TextLines split = TextLines::split(text);
            QVERIFY2(split.lines == expected.lines, context.constData());
            // A rewrite keeps the first end, but never a lone CR beside LFs.
            const bool crLf = expected.firstEnd.isEmpty() || (expected.firstEnd == "\r" && text.contains('\n'));
            QCOMPARE(split.lineEnd, crLf ? QByteArray("\r\n") : expected.firstEnd);
            QCOMPARE(split.endsWithLineEnd, expected.endsWithLineEnd);

            const LineTable table(text);
            QCOMPARE(table.size(), expected.lines.size());
            for (qsizetype l = 0; l < table.size(); ++l)
                QVERIFY2(table[l] == expected.lines[l], context.constData());
            QCOMPARE(table.firstLineEnd().toByteArray(), expected.firstEnd);
            QCOMPARE(table.endsWithLineEnd(), expected.endsWithLineEnd);

            const QList<QByteArrayView> views = splitLineViews(text);
            QCOMPARE(views.size(), expected.lines.size());
            for (qsizetype l = 0; l < views.size(); ++l)
                QVERIFY2(views[l] == expected.lines[l], context.constData());
        }
    }
};

QTEST_GUILESS_MAIN(TestTextFiles)
#include "tst_textfiles.moc"
