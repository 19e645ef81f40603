#include "app/textlines.h"
#include "gameconfig/configline.h"
#include "gameconfig/configmerge.h"
#include "gameconfig/configsnapshot.h"
#include "gameconfig/keyindex.h"
#include "literalmerge.h"
#include "loader/profileplan.h"
#include "memorymerge.h"
#include "testfiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include <optional>

using namespace Tunesmith;

namespace
{

// One generated save: the file as lines with their own terminators, so a failing case can be shrunk line by line.
struct MergeCase
{
    ConfigSyntax syntax;
    bool exists = true;
    QList<QPair<QByteArray, QByteArray>> lines; // text, terminator ("" only for the last line)
    QList<MergeItem> items;

    QByteArray bytes() const
    {
        QByteArray out;
        for (const auto &line : lines)
            out += line.first + line.second;
        return out;
    }
    qsizetype size() const { return bytes().size() + items.size() * 4 + (exists ? 1 : 0); }
};

// Bytes as a failure message shows them: line ends, tabs and quotes visible.
QString shown(const QByteArray &text)
{
    return QString::fromLatin1(text.toPercentEncoding(" /;=_.|*"));
}

QString describe(const MergeCase &c)
{
    QString text = QStringLiteral("prefix %1, middle %2, suffix %3, loose %4\nfile: %5\nitems:")
                       .arg(shown(c.syntax.prefix), shown(c.syntax.middle), shown(c.syntax.suffix))
                       .arg(c.syntax.looseSpacing)
                       .arg(c.exists ? shown(c.bytes()) : QStringLiteral("(missing)"));
    for (const MergeItem &item : c.items)
        text += QLatin1Char(' ') + shown(item.name) + QLatin1Char('=') + shown(item.value);
    return text;
}

// What differs between the fast merge, the one-by-one save on the file and in memory, and the lookup's one pass
// against a lookup of each name on its own; nullopt when nothing does.
std::optional<QString> mismatch(const MergeCase &c, const QString &path)
{
    QFile::remove(path);
    if (c.exists && !writeAll(path, c.bytes()))
        return QStringLiteral("cannot write %1").arg(path);
    const ConfigSnapshot snapshot(c.bytes(), c.exists);
    const QByteArray fast = mergeConfig(snapshot, c.syntax, c.items);
    QByteArray pieces; // a save writes the bytes piece by piece
    writeMergedConfig(snapshot, c.syntax, c.items, [&pieces](QByteArrayView piece) {
        pieces += piece;
        return true;
    });
    // A save after a load takes the lines to rewrite from the load's lookup, whatever its names' order.
    QList<QByteArray> names;
    for (const MergeItem &item : c.items)
        names.prepend(item.name);
    const ConfigLookup lookup(snapshot, c.syntax, names);
    QByteArray found;
    QByteArray foundOneByOne;
    for (qsizetype i = 0; i < names.size(); ++i) {
        found += QByteArray::number(lookup.holds(int(i))) + lookup.value(int(i)) + '\n';
        foundOneByOne += QByteArray::number(holdsName(snapshot, c.syntax, names[i])) +
                         lookupValue(snapshot, c.syntax, names[i]) + '\n';
    }
    QString error;
    if (!literalMerge(path, c.syntax, c.items, &error))
        return QStringLiteral("one-by-one save failed: %1").arg(error);
    const QByteArray literal = readAll(path);
    // The fuzz targets' reference does the one-by-one save on bytes: it must be this save, step for step.
    const QByteArray inMemory = literalMergeBytes(c.exists ? c.bytes() : QByteArray(), c.syntax, c.items);
    const QByteArray scanned = mergeConfig(snapshot, c.syntax, c.items, nullptr, &lookup);
    const std::tuple<const char *, QByteArray, QByteArray> pairs[] = {
        {"pieces, joined", pieces, fast},
        {"lookup, one by one", found, foundOneByOne},
        {"with the lookup's lines, own pass", scanned, fast},
        {"in memory, on the file", inMemory, literal},
        {"fast, one by one", fast, literal}};
    for (const auto &[what, a, b] : pairs) {
        if (a != b)
            return QStringLiteral("%1:\n%2\n%3").arg(QLatin1String(what), shown(a), shown(b));
    }
    return std::nullopt;
}

// Small alphabets so that names end with, start with and contain one another, and values hold keys and suffixes.
class CaseGenerator
{
public:
    explicit CaseGenerator(quint32 seed)
        : m_random(seed)
    {}

    MergeCase next()
    {
        MergeCase c;
        if (!chance(5)) { // else all three empty: a tweak with an empty name then has an empty key
            c.syntax.prefix = pick({"", "", "set ", "seta ", "\"", " ", "s"});
            c.syntax.middle = pick({" ", " \"", "", "\t", " = ", "a", "  "});
            c.syntax.suffix = pick({"", "", "\"", "\" ", ";", " \"", "a"});
            c.syntax.looseSpacing = chance(30);
        }
        c.exists = chance(90);
        const bool mixedEnds = chance(40);
        const QByteArray fileEnd = pick({"\r\n", "\n", "\r"});
        const int lineCount = c.exists ? bounded(9) : 0;
        for (int i = 0; i < lineCount; ++i) {
            const QByteArray text = (i < 2 && chance(20)) ? pick({"", " ", "  "}) : line(c);
            c.lines.append({text, mixedEnds ? pick({"\r\n", "\n", "\r"}) : fileEnd});
        }
        if (!c.lines.isEmpty() && chance(30))
            c.lines.last().second.clear();
        const int itemCount = 1 + bounded(5);
        for (int i = 0; i < itemCount; ++i)
            c.items.append({name(), value(c.syntax)});
        return c;
    }

private:
    bool chance(int percent) { return bounded(100) < percent; }
    int bounded(int n) { return int(m_random.bounded(n)); }
    QByteArray pick(const QList<QByteArray> &choices) { return choices[bounded(int(choices.size()))]; }
    QByteArray name() { return pick({"a", "b", "ab", "ba", "aa", "rate", "cl_rate", "rate_x", "", "a b", "\"a"}); }

    QByteArray value(const ConfigSyntax &syntax)
    {
        switch (bounded(4)) {
        case 0:
            return syntax.key(name());
        case 1:
            return syntax.suffix + pick({"", "1"});
        default:
            return pick({"", "1", "0", "a", "ab", "rate", " ", "1 2", "\"", "x\"y", "set a 1", "1;x", "\"1;2\"",
                         "1 //c", "//", "1\t"});
        }
    }

    QByteArray line(MergeCase &c)
    {
        const ConfigSyntax &s = c.syntax;
        switch (bounded(10)) {
        case 0:
        case 1:
            return s.line(name(), value(s));
        case 2:
            return s.line(name(), value(s)) + pick({" // note", "x", " ", ";b 1", "\t// c", "//c", " ;", "\""});
        case 3:
            return s.key(name()) + value(s); // the suffix is missing on the key's line
        case 4:
            return pick({"", " ", "  ", "\t", "// comment"});
        case 5:
            return c.lines.isEmpty() ? QByteArray("rate 1") : c.lines[bounded(int(c.lines.size()))].first;
        case 6:
            return pick({"x", "cl_", "// "}) + s.line(name(), value(s));
        case 7: // columns aligned by hand
            return widened(s.prefix) + name() + widened(s.middle) + value(s) + s.suffix + pick({"", "  // c"});
        default: {
            QByteArray junk;
            const int length = bounded(7);
            for (int i = 0; i < length; ++i)
                junk += pick({"a", "b", " ", "\"", "s", "e", "t", "="});
            return junk;
        }
        }
    }

    QByteArray widened(QByteArray piece) { return piece.replace(' ', pick({" ", "  ", "\t", " \t "})); }

    QRandomGenerator m_random;
};

// Names that begin lines of a real config under its own syntax.
QList<QByteArray> namesInConfig(const QByteArray &bytes, const ConfigSyntax &syntax)
{
    QList<QByteArray> names;
    for (QByteArrayView line : splitLineViews(bytes)) {
        const qsizetype nameAt = ConfigLine::pieceEnd(line, 0, syntax.prefix, syntax.looseSpacing);
        if (nameAt < 0)
            continue;
        const QByteArrayView rest = line.sliced(nameAt);
        const qsizetype end =
            syntax.looseSpacing ? rest.toByteArray().replace('\t', ' ').indexOf(' ') : rest.indexOf(syntax.middle);
        if (end > 0 && !names.contains(rest.first(end).toByteArray()))
            names.append(rest.first(end).toByteArray());
    }
    return names;
}

} // namespace

class TestConfigMerge : public QObject
{
    Q_OBJECT

private slots:
    void fastMerge_matchesOneByOneSave_generatedCases();
    void fastMerge_matchesOneByOneSave_rareCases_data();
    void fastMerge_matchesOneByOneSave_rareCases();
    void fastMerge_matchesOneByOneSave_realConfigs_data();
    void fastMerge_matchesOneByOneSave_realConfigs();
    void fastMerge_matchesOneByOneSave_largeConfig();
    void nameEnd_stopsAtTheFirstByteOutsideNames();
    void keyIndex_findsAKeyWhoseAffixesOverlap();
};

// A config long enough that passes over it go range by range, on two CPUs where there are: names first found in
// every range and found again in later ones, blank and commented lines, lines that lack the value's suffix, and
// lines of variables whose names go on past a tweak's name ("cvar1" and "cvar12", "cvar3_x").
MergeCase largeCase(quint32 seed)
{
    QRandomGenerator random(seed);
    MergeCase c;
    c.syntax = parseSyntaxTemplate("seta cvar \"value\"").value();
    const int lineCount = 5 * int(linesPerPassRange) + 123;
    for (int i = 0; i < lineCount; ++i) {
        // The name numbered n turns up from about line 50 * n on.
        const QByteArray name = "cvar" + QByteArray::number(random.bounded(i / 50 + 1));
        QByteArray text;
        switch (random.bounded(8)) {
        case 0:
            text = random.bounded(2) ? "" : "  ";
            break;
        case 1:
            text = "// " + c.syntax.line(name, "1");
            break;
        case 2:
            text = c.syntax.key(name) + "2";
            break;
        case 3:
            text = c.syntax.line(name + "_x", "3");
            break;
        default:
            text = c.syntax.line(name, QByteArray::number(i));
            break;
        }
        c.lines.append({text, "\n"});
    }
    for (int i = 0; i < 60; ++i) // some never in the file
        c.items.append({"cvar" + QByteArray::number(random.bounded(lineCount / 50 + 40)), QByteArray::number(i)});
    return c;
}

void TestConfigMerge::fastMerge_matchesOneByOneSave_generatedCases()
{
    // Thousands of small saves, each flushed to disk: in memory when the machine offers it.
    const QString shm = QStringLiteral("/dev/shm");
    QTemporaryDir dir(QFileInfo(shm).isDir() && QFileInfo(shm).isWritable()
                          ? shm + QStringLiteral("/tst_configmerge-XXXXXX")
                          : QDir::tempPath() + QStringLiteral("/tst_configmerge-XXXXXX"));
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("game.cfg"));
    CaseGenerator generator(20261204);
    int failures = 0;
    std::optional<MergeCase> smallest;
    for (int i = 0; i < 3000; ++i) {
        const MergeCase c = generator.next();
        if (!mismatch(c, path))
            continue;
        ++failures;
        if (!smallest || c.size() < smallest->size())
            smallest = c;
    }
    if (smallest) {
        QFAIL(qPrintable(QStringLiteral("%1 of 3000 cases differ; smallest:\n%2\n%3")
                             .arg(failures)
                             .arg(describe(*smallest), *mismatch(*smallest, path))));
    }
}

// Interactions between steps that random cases seldom hit.
void TestConfigMerge::fastMerge_matchesOneByOneSave_rareCases_data()
{
    QTest::addColumn<QByteArray>("syntaxTemplate");
    QTest::addColumn<bool>("exists");
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QByteArrayList>("items"); // name, value, name, value, ...
    QTest::newRow("replaced line becomes a later tweak's line")
        << QByteArray("cvar value;") << true << QByteArray("a 1;\r\n") << QByteArrayList{"a", "b ", "a b", "z"};
    QTest::newRow("appended line becomes a later tweak's line")
        << QByteArray("cvar value;") << false << QByteArray() << QByteArrayList{"a", "b ", "a b", "z"};
    QTest::newRow("empty key after an append")
        << QByteArray("cvarvalue") << false << QByteArray() << QByteArrayList{"a", "1", "", "x"};
    QTest::newRow("empty key in a blank file")
        << QByteArray("cvarvalue") << true << QByteArray(" \r\n\r\n") << QByteArrayList{"", "x", "", "y"};
    QTest::newRow("appended empty line dropped by the next step")
        << QByteArray("cvarvalue") << true << QByteArray() << QByteArrayList{"", "", "a", "1"};
    QTest::newRow("file left as one line without an end loses its line end")
        << QByteArray("cvar value") << true << QByteArray("\na 1") << QByteArrayList{"a", "2", "b", "3"};
    QTest::newRow("empty line appended without an end reads as the final line end")
        << QByteArray("cvarvalue") << true << QByteArray("a\nb") << QByteArrayList{"", "", "", "", "c", ""};
    QTest::newRow("a comment right after an empty value")
        << QByteArray("cvar value") << true << QByteArray("a //c\na 1\n") << QByteArrayList{"a", "2"};
    QTest::newRow("aligned line rewritten, then a later step's")
        << QByteArray("[loose spacing]set cvar \"value\"") << true << QByteArray("set\ta  \t\"1\" // c\n")
        << QByteArrayList{"a", "2", "a", "3"};
    QTest::newRow("same tweak twice") << QByteArray("cvar \"value\"") << true << QByteArray("a \"1\"\na \"1\"\n")
                                      << QByteArrayList{"a", "", "a", "1", "a", "2"};
}

void TestConfigMerge::fastMerge_matchesOneByOneSave_rareCases()
{
    QFETCH(QByteArray, syntaxTemplate);
    QFETCH(bool, exists);
    QFETCH(QByteArray, file);
    QFETCH(QByteArrayList, items);
    MergeCase c;
    const bool loose = syntaxTemplate.startsWith("[loose spacing]");
    c.syntax = parseSyntaxTemplate(loose ? syntaxTemplate.sliced(15) : syntaxTemplate).value();
    c.syntax.looseSpacing = loose;
    c.exists = exists;
    c.lines.append({file, QByteArray()});
    for (qsizetype i = 0; i + 1 < items.size(); i += 2)
        c.items.append({items[i], items[i + 1]});
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const auto difference = mismatch(c, dir.filePath(QStringLiteral("game.cfg")));
    QVERIFY2(!difference, qPrintable(difference.value_or(QString())));
}

void TestConfigMerge::fastMerge_matchesOneByOneSave_realConfigs_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QByteArray>("syntaxTemplate");
    QTest::newRow("quake2") << "quake2/config.cfg" << QByteArray("set cvar \"value\"");
    QTest::newRow("ioquake3") << "ioquake3/q3config.cfg" << QByteArray("seta cvar \"value\"");
    QTest::newRow("yquake2") << "yquake2/yq2.cfg" << QByteArray("set\tcvar\tvalue");
    QTest::newRow("warsow") << "warsow/default.cfg" << QByteArray("set cvar \"value\"");
    QTest::newRow("urbanterror") << "urbanterror/server_example.cfg" << QByteArray("set  cvar \"value\"");
    QTest::newRow("urbanterror, loose") << "urbanterror/server_example.cfg"
                                        << QByteArray("[loose spacing]set cvar \"value\"");
    QTest::newRow("unvanquished") << "unvanquished/server.cfg" << QByteArray("set cvar value");
    QTest::newRow("tf2-mastercomfig") << "tf2-mastercomfig/comfig.cfg" << QByteArray("cvar value");
    QTest::newRow("xonotic") << "xonotic/server.cfg" << QByteArray("cvar value");
    QTest::newRow("prboom-plus") << "prboom-plus/prboom-plus.cfg" << QByteArray("cvar value");
    QTest::newRow("mochadoom") << "mochadoom/default.cfg" << QByteArray("cvar\t\tvalue");
    QTest::newRow("xash3d") << "xash3d/config.cfg" << QByteArray("cvar \"value\"");
    QTest::newRow("winquake") << "winquake/config.cfg" << QByteArray("cvar \"value\"");
}

void TestConfigMerge::fastMerge_matchesOneByOneSave_realConfigs()
{
    QFETCH(QString, file);
    QFETCH(QByteArray, syntaxTemplate);
    const QString source = QStringLiteral(TUNESMITH_REALCONFIGS "/") + file;
    if (!QFile::exists(source))
        QSKIP(qPrintable(QStringLiteral("%1 is not there: real configs are only beside our own checkout").arg(source)));
    const QByteArray original = readAll(source);
    const bool loose = syntaxTemplate.startsWith("[loose spacing]");
    auto syntax = parseSyntaxTemplate(loose ? syntaxTemplate.sliced(15) : syntaxTemplate);
    QVERIFY(syntax);
    syntax->looseSpacing = loose;
    const QList<QByteArray> names = namesInConfig(original, *syntax);
    QVERIFY2(names.size() >= 2, "the syntax should fit some of the file's lines");

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("game.cfg"));
    QRandomGenerator random(quint32(qHash(file)));
    for (int round = 0; round < 4; ++round) {
        MergeCase c;
        c.syntax = *syntax;
        c.lines.append({original, QByteArray()});
        const ConfigSnapshot snapshot(original);
        const int count = 1 + int(random.bounded(40));
        for (int i = 0; i < count; ++i) {
            // Mostly the file's own names, some that merely end another name, one that is not there at all.
            const int kind = int(random.bounded(10));
            const QByteArray name = kind == 0   ? QByteArray("rate")
                                    : kind == 1 ? QByteArray("volume")
                                    : kind == 2 ? QByteArray("tunesmith_new")
                                                : names[random.bounded(int(names.size()))];
            const QList<QByteArray> values = {"", "0", "1", "2 3", "\"q\"", lookupValue(snapshot, *syntax, name)};
            c.items.append({name, values[random.bounded(int(values.size()))]});
        }
        const auto difference = mismatch(c, path);
        QVERIFY2(!difference,
                 qPrintable(QStringLiteral("round %1: %2").arg(round).arg(difference.value_or(QString()))));
    }
}

void TestConfigMerge::fastMerge_matchesOneByOneSave_largeConfig()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("game.cfg"));
    for (const quint32 seed : {1u, 2u}) {
        const auto difference = mismatch(largeCase(seed), path);
        QVERIFY2(!difference, qPrintable(difference.value_or(QString()).left(2000)));
    }
}

void TestConfigMerge::nameEnd_stopsAtTheFirstByteOutsideNames()
{
    // Every byte value, at every place of a run of name bytes longer than one wide step, with the run cut short by
    // the limit too: the wide scan must agree with the byte test.
    QByteArray line(40, 'a');
    for (int i = 0; i < line.size(); ++i)
        line[i] = "aZ09_zA9"[i % 8];
    for (int byte = 0; byte < 256; ++byte) {
        const bool continues =
            (byte >= 'a' && byte <= 'z') || (byte >= 'A' && byte <= 'Z') || (byte >= '0' && byte <= '9') || byte == '_';
        QCOMPARE(KeyIndex::continuesName(char(byte)), continues);
        for (int at = 0; at < line.size(); ++at) {
            QByteArray probe = line;
            probe[at] = char(byte);
            for (const qsizetype from : {0, 3, 16}) {
                for (const qsizetype limit : {qsizetype(40), qsizetype(33), qsizetype(17), from}) {
                    if (limit < from)
                        continue;
                    const qsizetype expected = continues || at < from || at >= limit ? limit : at;
                    QCOMPARE(KeyIndex::nameEnd(probe.constData(), from, limit), expected);
                }
            }
        }
    }
}

QTEST_GUILESS_MAIN(TestConfigMerge)
void TestConfigMerge::keyIndex_findsAKeyWhoseAffixesOverlap()
{
    // A key as short as one of its affixes has no name between them: the index must still try its length.
    KeyIndex index;
    index.setCommonAffixes("\"", "\"");
    const int quote = index.addKey("\"");
    const int named = index.addKey("\"ab\"");
    QList<int> found;
    const auto collect = [&found](int id) { found.append(id); };
    index.forEachKeyAtStart("\" b a", collect);
    QCOMPARE(found, QList<int>{quote});
    found.clear();
    index.forEachKeyAtStart("\"ab\" 1", collect);
    QCOMPARE(found, (QList<int>{quote, named}));
}

#include "tst_configmerge.moc"
