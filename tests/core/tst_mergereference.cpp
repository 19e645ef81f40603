#include "app/fileutil.h"
#include "gameconfig/configwriter.h"
#include "gameconfig/presets.h"
#include "literalmerge.h"
#include "loader/loadedprofile.h"
#include "memorymerge.h"
#include "testfiles.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

using namespace Tunesmith;

namespace
{

// A config of random lines: keys of the items and near misses, blank lines, every kind of line end.
QByteArray randomConfig(QRandomGenerator &random, const ConfigSyntax &syntax, const QList<QByteArray> &names)
{
    static const QByteArray ends[] = {"\r\n", "\n", "\r", ""};
    QByteArray out;
    const int lines = int(random.bounded(12));
    for (int i = 0; i < lines; ++i) {
        switch (random.bounded(5)) {
        case 0:
            out += QByteArray(int(random.bounded(3)), ' ');
            break;
        case 1:
            out += "// comment";
            break;
        default: {
            const QByteArray &name = names[int(random.bounded(int(names.size())))];
            out += syntax.prefix + name + (random.bounded(4) == 0 ? QByteArray("x") : QByteArray()) + syntax.middle +
                   QByteArray::number(random.bounded(3)) + (random.bounded(3) == 0 ? QByteArray() : syntax.suffix);
        }
        }
        out += ends[random.bounded(i + 1 == lines ? 4 : 3)];
    }
    return out;
}

} // namespace

// The fuzz targets check the fast merge against a one-by-one save done in memory. That reference must be the
// one-by-one save on real files, step for step: checked here on the golden cases, real configs and random ones.
class TestMergeReference : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void replaceOrAppendBytes_isReplaceOrAppendOnAFile_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<bool>("missing");
        QTest::addColumn<QByteArray>("search");
        QTest::addColumn<QByteArray>("replacement");
        QTest::addColumn<bool>("lineStart");
        QTest::newRow("missing file") << QByteArray() << true << QByteArray("a|1") << QByteArray("a|2") << false;
        QTest::newRow("empty file") << QByteArray() << false << QByteArray("a|1") << QByteArray("a|2") << false;
        QTest::newRow("blank lines only")
            << QByteArray("  \n\n") << false << QByteArray("a") << QByteArray("b") << false;
        QTest::newRow("whole line") << QByteArray("a|1\r\na|10\r\na|1") << false << QByteArray("a|1")
                                    << QByteArray("a|2") << false;
        QTest::newRow("line start keeps the rest") << QByteArray("\r\nseta x \"1\" // c\rseta x \"1\"\n") << false
                                                   << QByteArray("seta x \"1\"") << QByteArray("seta x \"2\"") << true;
        QTest::newRow("empty search, content")
            << QByteArray("\n\nkeep\n") << false << QByteArray() << QByteArray("new") << false;
        QTest::newRow("empty search, no content")
            << QByteArray("   ") << false << QByteArray() << QByteArray("new") << false;
        QTest::newRow("empty last line") << QByteArray("a\r\n\r\n") << false << QByteArray("z") << QByteArray("z2")
                                         << true;
    }

    void replaceOrAppendBytes_isReplaceOrAppendOnAFile()
    {
        QFETCH(QByteArray, file);
        QFETCH(bool, missing);
        QFETCH(QByteArray, search);
        QFETCH(QByteArray, replacement);
        QFETCH(bool, lineStart);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("file.cfg"));
        if (!missing)
            QVERIFY(writeAll(path, file));
        const LineMatch match = lineStart ? LineMatch::LineStart : LineMatch::WholeLine;
        QString error;
        QVERIFY2(ReplaceOrAppend(path, search, replacement, match, &error), qPrintable(error));
        QCOMPARE(replaceOrAppendBytes(file, search, replacement, match), readAll(path));
    }

    void literalMergeBytes_isLiteralMergeOnAFile_goldenCasesAndRealConfigs_data()
    {
        QTest::addColumn<QString>("profile");
        QTest::addColumn<QString>("config");
        const QDir merges(QStringLiteral(TUNESMITH_TEST_DATA "/merge"));
        for (const QString &name : merges.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
            const QString folder = merges.filePath(name);
            QTest::newRow(qPrintable(name))
                << folder + QStringLiteral("/profile.tsm") << folder + QStringLiteral("/before.cfg");
        }
        const QDir real(QStringLiteral(TUNESMITH_REALCONFIGS));
        for (const QString &game : real.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
            for (const QString &file : QDir(real.filePath(game)).entryList(QDir::Files)) {
                QTest::newRow(qPrintable(game + QLatin1Char('/') + file))
                    << QStringLiteral(TUNESMITH_SAMPLE_PROFILES "/OpenArena.tsm")
                    << real.filePath(game) + QLatin1Char('/') + file;
            }
        }
    }

    void literalMergeBytes_isLiteralMergeOnAFile_goldenCasesAndRealConfigs()
    {
        QFETCH(QString, profile);
        QFETCH(QString, config);
        ProgramState state;
        const auto loaded = loadProfile(
            profile, state, [](const QString &) {}, nullptr, nullptr);
        QVERIFY(loaded);
        const QByteArray before = QFile::exists(config) ? readAll(config) : QByteArray();
        for (Preset preset : {Preset::Default, Preset::FpsBoost, Preset::DieHard}) {
            Presets::apply(*loaded, preset);
            const QList<MergeItem> items = GameConfigWriter::mergeItems(*loaded);
            QTemporaryDir dir;
            const QString path = dir.filePath(QStringLiteral("game.cfg"));
            if (QFile::exists(config))
                QVERIFY(writeAll(path, before));
            QString error;
            QVERIFY2(literalMerge(path, state.syntax, items, &error), qPrintable(error));
            QCOMPARE(literalMergeBytes(before, state.syntax, items), readAll(path));
        }
    }

    void literalMergeBytes_isLiteralMergeOnAFile_randomCases()
    {
        const quint32 seed = QRandomGenerator::global()->generate();
        QRandomGenerator random(seed);
        const QList<ConfigSyntax> syntaxes{{"seta ", " \"", "\""}, {"set ", " ", ""}, {"", "=", ";"}, {"", "", ""}};
        const QList<QByteArray> names{"r_a", "r_ab", "r", "", "x y"};
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("game.cfg"));
        for (int round = 0; round < 300; ++round) {
            const ConfigSyntax &syntax = syntaxes[int(random.bounded(int(syntaxes.size())))];
            const QByteArray before = randomConfig(random, syntax, names);
            QList<MergeItem> items;
            for (int i = int(random.bounded(5)); i > 0; --i)
                items.append({names[int(random.bounded(int(names.size())))], QByteArray::number(random.bounded(3))});
            QVERIFY(writeAll(path, before));
            QString error;
            QVERIFY2(literalMerge(path, syntax, items, &error), qPrintable(error));
            QVERIFY2(literalMergeBytes(before, syntax, items) == readAll(path),
                     qPrintable(QStringLiteral("seed %1, round %2").arg(seed).arg(round)));
        }
    }
};

QTEST_GUILESS_MAIN(TestMergeReference)
#include "tst_mergereference.moc"
