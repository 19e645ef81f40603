#include "app/programstate.h"
#include "app/settings.h"
#include "app/textlines.h"
#include "clirun.h"
#include "gameconfig/configwriter.h"
#include "loader/loadedprofile.h"
#include "memorymerge.h"
#include "testfiles.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonDocument>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

using namespace Tunesmith;

namespace
{

// 100 MB, as the program must take them; the sanitizer build, many times slower, works through a quarter of that.
#if defined(__SANITIZE_ADDRESS__)
constexpr qsizetype hugeSize = 25 << 20;
#else
constexpr qsizetype hugeSize = 100 << 20;
#endif
constexpr qsizetype longLine = 10 << 20;
// Every run of the command-line tool must end well within this, however hostile its input.
constexpr int runLimitMs = 120000;

const QString smallGame = QStringLiteral(TUNESMITH_TEST_DATA "/cli/Small Game.tsm");

QByteArray repeatedTo(const QByteArray &piece, qsizetype size)
{
    QByteArray out;
    out.reserve(size + piece.size());
    while (out.size() < size)
        out += piece;
    return out;
}

QByteArray garbage(qsizetype size, quint32 seed)
{
    QByteArray out(size, Qt::Uninitialized);
    QRandomGenerator random(seed);
    for (char &c : out)
        c = char(random.bounded(256));
    return out;
}

QByteArray describe(const Run &run)
{
    return "exit " + QByteArray::number(run.status) + " after " + QByteArray::number(run.ms) +
           " ms; stderr: " + run.err.left(2000);
}

// The small profile's tweaks with their defaults, as a save writes them, and the config syntax.
QList<MergeItem> defaultItems(ConfigSyntax *syntax)
{
    ProgramState state;
    const auto profile = loadProfile(
        smallGame, state, [](const QString &) {}, nullptr, nullptr);
    *syntax = state.syntax;
    return profile ? GameConfigWriter::mergeItems(*profile) : QList<MergeItem>();
}

// Puts something that is no regular file where a file is expected: "folder", "device" (one that never ends),
// "pipe" or "too large" (sparse: no disk space taken). False for any other kind.
bool makeNoRegularFile(const QString &kind, const QString &file)
{
    if (kind == QLatin1String("folder"))
        return QDir().mkpath(file);
    if (kind == QLatin1String("device"))
        return QFile::link(QStringLiteral("/dev/zero"), file);
    if (kind == QLatin1String("pipe"))
        return mkfifo(QFile::encodeName(file).constData(), 0600) == 0;
    QFile big(file);
    return kind == QLatin1String("too large") && big.open(QIODevice::WriteOnly) && big.resize(maxReadSize + 1);
}

enum class Outcome
{
    Loads,   // check exits 0
    Refused, // check exits 1 and says why
};

} // namespace

Q_DECLARE_METATYPE(Outcome)

// Hostile and huge input: every profile, config and settings file below has a clear outcome (loaded, or refused
// with a reason), the command-line tool never crashes, never hangs and never loses a byte of the player's config.
class TestHostileInput : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_program;

    QString path(const QString &relative) const { return m_dir->filePath(relative); }

private Q_SLOTS:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
        m_program = path(QStringLiteral("program"));
        QVERIFY(QDir(m_dir->path()).mkpath(QStringLiteral("program/profiles")));
        QVERIFY(QDir(m_dir->path()).mkpath(QStringLiteral("install")));
    }

    void cleanup() { m_dir.reset(); }

    void profile_hasClearOutcome_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<Outcome>("outcome");
        QTest::addColumn<QString>("reason");
        QTest::newRow("huge: millions of tweaks") << "many tweaks" << Outcome::Loads << "";
        QTest::newRow("huge: one description line") << "one huge line" << Outcome::Loads << "";
        QTest::newRow("10 MB line") << "long line" << Outcome::Loads << "";
        QTest::newRow("NUL bytes") << "nul" << Outcome::Loads << "";
        QTest::newRow("invalid UTF-8") << "invalid utf-8" << Outcome::Loads << "";
        QTest::newRow("only CRs") << "only cr" << Outcome::Loads << "";
        QTest::newRow("binary garbage") << "garbage" << Outcome::Loads << "";
        QTest::newRow("cut short in a block") << "cut" << Outcome::Refused << "needs";
        QTest::newRow("a folder") << "folder" << Outcome::Refused << "is a folder";
        QTest::newRow("a device that never ends") << "device" << Outcome::Refused << "not a regular file";
        QTest::newRow("a named pipe") << "pipe" << Outcome::Refused << "not a regular file";
        QTest::newRow("larger than the program reads") << "too large" << Outcome::Refused << "too large";
    }

    void profile_hasClearOutcome()
    {
        QFETCH(QString, kind);
        QFETCH(Outcome, outcome);
        QFETCH(QString, reason);
        const QByteArray small = readAll(smallGame);
        const QString file = path(QStringLiteral("program/profiles/Hostile.tsm"));
        int tweaks = -1;
        if (kind == QLatin1String("many tweaks")) {
            const QByteArray head = small.left(small.indexOf("[add tab]"));
            QVERIFY(writeAll(file,
                             head + repeatedTo("[add simple]\r\nt_x\r\n0|1|0|0\r\nShort\r\nLong text.\r\n", hugeSize)));
        } else if (kind == QLatin1String("one huge line")) {
            QVERIFY(writeAll(file, small + "[add simple]\r\nt_y\r\n0|1|0|0\r\nShort\r\n" + QByteArray(hugeSize, 'x') +
                                       "\r\n"));
            tweaks = 6;
        } else if (kind == QLatin1String("long line")) {
            QVERIFY(writeAll(file, QByteArray(small).replace("Screen mode.", QByteArray(longLine, 'm'))));
            tweaks = 5;
        } else if (kind == QLatin1String("nul")) {
            QVERIFY(writeAll(file, QByteArray(small)
                                       .replace("r_vsync", QByteArray("r_\0sync", 7))
                                       .replace("VSync", QByteArray("\0\0\0", 3))));
            tweaks = 5;
        } else if (kind == QLatin1String("invalid utf-8")) {
            QVERIFY(writeAll(
                file, QByteArray(small).replace("Small Game", "Sm\xff\xfe\xc3l Game").replace("Gamma", "G\x80\xbf")));
            tweaks = 5;
        } else if (kind == QLatin1String("only cr")) {
            QVERIFY(writeAll(file, QByteArray(small).replace("\r\n", "\r")));
            tweaks = 5;
        } else if (kind == QLatin1String("garbage")) {
            QVERIFY(writeAll(file, garbage(1 << 20, 7)));
        } else if (kind == QLatin1String("cut")) {
            QVERIFY(writeAll(file, small.left(small.indexOf("Screen mode."))));
        } else {
            QVERIFY(makeNoRegularFile(kind, file));
        }

        const Run check = runCli(m_program, {QStringLiteral("check"), QStringLiteral("Hostile")}, runLimitMs);
        qInfo("%s: %s", qPrintable(kind), describe(check).left(300).constData());
        if (outcome == Outcome::Refused) {
            QVERIFY2(check.status == 1, describe(check));
            QVERIFY2(check.err.contains(reason.toUtf8()) && check.err.contains("Hostile.tsm"), describe(check));
            return;
        }
        QVERIFY2(check.status == 0, describe(check));
        if (tweaks >= 0)
            QVERIFY2(check.out.startsWith("Hostile.tsm: ok (" + QByteArray::number(tweaks) + " tweaks"), check.out);
        if (kind == QLatin1String("many tweaks"))
            return; // showing millions of tweaks is the same work as checking them, many times over

        // Loaded: the tool shows it as JSON that parses, and saves it.
        const Run show = runCli(m_program,
                                {QStringLiteral("show"), QStringLiteral("Hostile"), QStringLiteral("--json"),
                                 QStringLiteral("--install-dir"), path(QStringLiteral("install"))},
                                runLimitMs);
        QVERIFY2(show.status == 0, describe(show));
        QJsonParseError error;
        QJsonDocument::fromJson(show.out, &error);
        QCOMPARE(error.error, QJsonParseError::NoError);
        const Run save = runCli(m_program,
                                {QStringLiteral("save"), QStringLiteral("Hostile"), QStringLiteral("--config"),
                                 path(QStringLiteral("install/out.cfg"))},
                                runLimitMs);
        QVERIFY2(save.status == 0, describe(save));
    }

    void config_isMergedExactlyAsOneByOne_data()
    {
        QTest::addColumn<QString>("kind");
        // Any bytes at all (NUL, invalid UTF-8, lone CRs) are the merge fuzz target's; here the sizes a player's
        // disk holds.
        QTest::newRow("huge") << "huge";
        QTest::newRow("10 MB line") << "long line";
    }

    void config_isMergedExactlyAsOneByOne()
    {
        // The save reads the config once and writes every tweak's line; whatever the file holds, the result is
        // what the one-by-one save gives and nothing of the rest is lost.
        QFETCH(QString, kind);
        QByteArray before;
        if (kind == QLatin1String("huge")) {
            before = repeatedTo("seta filler \"1\"\r\nbind x \"+attack\"\r\n// a comment line\r\n", hugeSize);
            before.insert(before.size() / 2, "seta r_vsync \"1\"\r\n");
        } else {
            before = "seta r_gamma \"" + QByteArray(longLine, '9') + "\"\r\nseta r_vsync \"1\"\r\n";
        }
        const QString config = path(QStringLiteral("install/game.cfg"));
        QVERIFY(writeAll(config, before));
        QVERIFY(writeAll(m_program + QStringLiteral("/config.cfg"), "backups|0\r\n"));
        const Run save =
            runCli(m_program, {QStringLiteral("save"), smallGame, QStringLiteral("--config"), config}, runLimitMs);
        qInfo("%s config of %lld bytes: %s", qPrintable(kind), qint64(before.size()), describe(save).constData());
        QVERIFY2(save.status == 0, describe(save));
        ConfigSyntax syntax;
        const QList<MergeItem> items = defaultItems(&syntax);
        QCOMPARE(items.size(), 5);
        QVERIFY(readAll(config) == literalMergeBytes(before, syntax, items));

        // Reading it back (Load Config) takes whatever it holds and writes nothing.
        const QByteArray saved = readAll(config);
        const Run load = runCli(
            m_program,
            {QStringLiteral("show"), smallGame, QStringLiteral("--load-config"), config, QStringLiteral("--json")},
            runLimitMs);
        QVERIFY2(load.status == 0, describe(load));
        QVERIFY(readAll(config) == saved);
    }

    void config_thatIsNoRegularFile_isRefusedOrSkipped_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("reason");
        QTest::newRow("a folder") << "folder"
                                  << "is a folder";
        QTest::newRow("a device that never ends") << "device"
                                                  << "not a regular file";
        QTest::newRow("a named pipe") << "pipe"
                                      << "not a regular file";
        QTest::newRow("larger than the program reads") << "too large"
                                                       << "too large";
    }

    void config_thatIsNoRegularFile_isRefusedOrSkipped()
    {
        QFETCH(QString, kind);
        QFETCH(QString, reason);
        const QString config = path(QStringLiteral("install/small.cfg"));
        QVERIFY(makeNoRegularFile(kind, config));
        const qint64 sizeBefore = QFileInfo(config).size();
        // Save Config refuses with the reason, and leaves the file as it was.
        const Run save =
            runCli(m_program, {QStringLiteral("save"), smallGame, QStringLiteral("--config"), config}, runLimitMs);
        QVERIFY2(save.status == 1 && save.err.contains(reason.toUtf8()), describe(save));
        QCOMPARE(QFileInfo(config).size(), sizeBefore);
        // Load Config, and the starting values from the install directory, end silently as for a missing file.
        const Run load = runCli(m_program,
                                {QStringLiteral("show"), smallGame, QStringLiteral("--install-dir"),
                                 path(QStringLiteral("install")), QStringLiteral("--load-config"), config},
                                runLimitMs);
        QVERIFY2(load.status == 0, describe(load));
    }

    void settingsFile_hostile_programGoesOn_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("binary garbage") << "garbage";
        QTest::newRow("a folder") << "folder";
        QTest::newRow("a device that never ends") << "device";
    }

    void settingsFile_hostile_programGoesOn()
    {
        QFETCH(QString, kind);
        ProgramState state;
        state.programFolder = m_program;
        state.currentProfile = QStringLiteral("Small Game.tsm");
        const QByteArray bytes = garbage(64 << 10, 3) + "\r\nupload|7000\r\n";
        if (kind == QLatin1String("garbage"))
            QVERIFY(writeAll(state.settingsPath(), bytes));
        else
            QVERIFY(makeNoRegularFile(kind, state.settingsPath()));

        Settings::read(state);
        Settings::lookupInstallDir(state);
        QCOMPARE(state.uploadSpeed, kind == QLatin1String("garbage") ? 7000 : 0);
        QString error;
        const bool toggled = Settings::toggleOption(state, Option::Descriptions, &error);
        if (kind == QLatin1String("garbage")) {
            // Garbage is kept as it is; the option's line goes after it.
            QVERIFY2(toggled, qPrintable(error));
            QCOMPARE(readAll(state.settingsPath()),
                     replaceOrAppendBytes(bytes, "descriptions|1", "descriptions|0", LineMatch::WholeLine));
        } else {
            QVERIFY(!toggled);
            QVERIFY2(error.contains(state.settingsPath()), qPrintable(error));
        }
        const Run show = runCli(m_program, {QStringLiteral("show"), smallGame}, runLimitMs);
        QVERIFY2(show.status == 0, describe(show));
    }
};

QTEST_GUILESS_MAIN(TestHostileInput)
#include "tst_hostileinput.moc"
