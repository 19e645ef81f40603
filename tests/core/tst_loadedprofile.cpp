#include "gameconfig/configreader.h"
#include "gameconfig/presets.h"
#include "loader/installhints.h"
#include "loader/loadedprofile.h"
#include "testfiles.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

using namespace Tunesmith;

namespace
{

QString dataProfile(const char *name)
{
    return QStringLiteral(TUNESMITH_TEST_DATA "/profiles/") + QLatin1String(name);
}

// Every tweak's value in save order, "name=value" each.
QByteArray values(const LoadedProfile &profile)
{
    QByteArrayList named;
    for (const TweakModel *tweak : profile.saveOrder())
        named << tweak->Tweak() + '=' + tweak->Value();
    return named.join(' ');
}

} // namespace

class TestLoadedProfile : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        QVERIFY(m_installDir.isValid());
        QFile::remove(gameConfig());
        m_state = ProgramState();
        m_state.installDir = m_installDir.path();
        m_state.uploadSpeed = 3000;
        m_state.downloadSpeed = 12000;
        m_ruleErrors.clear();
    }

    void load_startsFromDefaultsThenConfigButKeepsRuleResults()
    {
        const auto fresh = load(dataProfile("starting.tsm"));
        QVERIFY(fresh);
        // net_fast: us 3000 is below 6000; net_rate: ds/8 is 1500, bounded by the control.
        QCOMPARE(values(*fresh), QByteArray("r_plain=1 net_fast=1 r_gamma=100 net_rate=1000 r_mode=50"));
        QCOMPARE(fresh->model(TweakKind::Text, 2)->Default(), QByteArray("1500"));
        QCOMPARE(fresh->text[1]->ShortDescription(), QByteArray("Rate"));
        QCOMPARE(fresh->text[1]->LongDescription(), QByteArray("Download speed over 8, at most 1000."));
        QCOMPARE(fresh->simple[1]->Department(), QByteArray("Video"));
        QCOMPARE(m_state.gameConfigFileName, QByteArray("game.cfg"));
        QCOMPARE(m_state.syntax, (ConfigSyntax{"set ", " ", ""}));
        QCOMPARE(m_state.department, QByteArray("Video"));
        QVERIFY(m_ruleErrors.isEmpty());

        QVERIFY(writeAll(gameConfig(),
                         "set r_plain 0\r\nset net_fast 0\r\nset r_mode 100\r\nset r_gamma 120\r\nset net_rate 5\r\n"));
        const auto configured = load(dataProfile("starting.tsm"));
        QVERIFY(configured);
        QCOMPARE(values(*configured), QByteArray("r_plain=0 net_fast=1 r_gamma=120 net_rate=1000 r_mode=100"));
    }

    void load_profileWithoutSyntaxReadsTheConfigOfTheOneBefore()
    {
        QVERIFY(writeAll(gameConfig(), "r_plain 0\r\nseta r_plain \"0\"\r\n"));
        // No "[syntax]" in this profile nor before it: the config's path is the install directory, and none is read.
        const auto alone = load(dataProfile("nosyntax.tsm"));
        QVERIFY(alone);
        QCOMPARE(m_state.gameConfigFileName, QByteArray());
        QCOMPARE(values(*alone), QByteArray("r_plain=1 r_gamma=100"));

        m_state.gameConfigFileName = "game.cfg";
        m_state.syntax = ConfigSyntax{"seta ", " \"", "\""};
        m_state.department = "Audio";
        const auto profile = load(dataProfile("nosyntax.tsm"));
        QVERIFY(profile);
        QCOMPARE(values(*profile), QByteArray("r_plain=0 r_gamma=100"));
        QCOMPARE(profile->text[0]->Department(), QByteArray("Audio"));
        QCOMPARE(m_state.gameConfigFileName, QByteArray("game.cfg"));
        QCOMPARE(m_state.syntax, (ConfigSyntax{"seta ", " \"", "\""}));
        QCOMPARE(m_state.department, QByteArray("Audio"));
        // Tweaks stand on page 0 before the first "[add tab]", which therefore opens a page of its own.
        QCOMPARE(profile->plan.pageCaptions, (QList<QByteArray>{"General", "Second"}));
    }

    void load_failures_leaveTheStateAlone()
    {
        m_state.gameConfigFileName = "before.cfg";
        m_state.syntax = ConfigSyntax{"x ", "=", ";"};
        m_state.department = "Before";
        QList<ProfileProblem> problems;
        QString error;
        QVERIFY(!load(dataProfile("malformed.tsm"), &problems, &error));
        QVERIFY(!error.isEmpty());
        QCOMPARE(problems.size(), 2);
        QCOMPARE(problems[1].line, 18);
        QCOMPARE(describeProblems(QStringLiteral("m.tsm"), problems).count(QLatin1Char('\n')), 1);
        // A limit keeps the first problems, the one at line 12, and counts the rest.
        QCOMPARE(describeProblems(QStringLiteral("m.tsm"), problems, 1),
                 QStringLiteral("m.tsm:12: %1\n... and 1 more").arg(problems[0].message));
        QCOMPARE(describeProblems(QStringLiteral("m.tsm"), problems, 2),
                 describeProblems(QStringLiteral("m.tsm"), problems));
        QCOMPARE(m_state.gameConfigFileName, QByteArray("before.cfg"));
        QCOMPARE(m_state.syntax, (ConfigSyntax{"x ", "=", ";"}));
        QCOMPARE(m_state.department, QByteArray("Before"));

        problems.clear();
        error.clear();
        QVERIFY(!load(m_installDir.filePath(QStringLiteral("missing.tsm")), &problems, &error));
        QVERIFY(!error.isEmpty());
        QVERIFY(problems.isEmpty());
        QVERIFY(!load(m_installDir.path(), &problems, &error)); // a folder is no profile
    }

    void load_failingRuleIsReportedAndLoadGoesOn()
    {
        const QString path = m_installDir.filePath(QStringLiteral("rule.tsm"));
        QVERIFY(writeAll(path, "[add ping text]\r\nnet_rate\r\n|\r\nUS*2\r\nRate\r\n\r\n"
                               "[add ping simple]\r\nnet_fast\r\nus*2>100\r\nFast\r\n\r\n"));
        const auto profile = load(path);
        QVERIFY(profile);
        QVERIFY(!m_ruleErrors.isEmpty()); // the numeric rule's, in the form it is stored in
        QCOMPARE(m_ruleErrors.filter(QStringLiteral(" US|*|2.")), m_ruleErrors);
        QCOMPARE(profile->text[0]->Default(), QByteArray());
        QCOMPARE(profile->simple[0]->Default(), QByteArray());
        QCOMPARE(profile->simple[0]->shown(), SimpleTweak::Shown::None);
    }

    void sampleProfiles_loadWithoutProblems_andHintWhereTheirGameIs()
    {
        QProcessEnvironment home;
        home.insert(QStringLiteral("HOME"), QStringLiteral("/home/p"));
        const QDir dir(QStringLiteral(TUNESMITH_SAMPLE_PROFILES));
        const QStringList names = dir.entryList({QStringLiteral("*.tsm")}, QDir::Files);
        QVERIFY(!names.isEmpty());
        for (const QString &name : names) {
            QList<ProfileProblem> problems;
            QString error;
            const auto profile = load(dir.filePath(name), &problems, &error);
            QVERIFY2(profile, qPrintable(describeProblems(name, problems) + error));
            QVERIFY(m_ruleErrors.isEmpty());
            QVERIFY(profile->plan.pageCaptions.size() > 1 && profile->plan.title);
            QVERIFY(!m_state.gameConfigFileName.isEmpty());
            for (TweakModel *tweak : profile->saveOrder())
                QVERIFY2(!tweak->Value().isEmpty(), qPrintable(name + QString::fromUtf8(' ' + tweak->Tweak())));
            QVERIFY2(!profile->plan.installHints.isEmpty(), qPrintable(name));
            for (const QByteArray &hint : std::as_const(profile->plan.installHints))
                QVERIFY2(!InstallHints::expand(hint, home).isEmpty(), hint.constData());
        }
    }

    void presets_setEveryKindInOrder_rulesOnlyForDefault()
    {
        const auto profile = load(dataProfile("starting.tsm"));
        QVERIFY(profile);
        QList<QByteArray> changed;
        std::vector<TweakModel::Listening> listening;
        for (TweakModel *tweak : profile->saveOrder()) {
            listening.push_back(tweak->onDisplayChanged([&changed, tweak] {
                if (!changed.contains(tweak->Tweak()))
                    changed.append(tweak->Tweak());
            }));
        }
        m_state.uploadSpeed = 8000;
        m_state.downloadSpeed = 4000;
        Presets::apply(*profile, Preset::HighQuality);
        QCOMPARE(changed, (QList<QByteArray>{"r_plain", "r_mode", "r_gamma"}));
        QCOMPARE(values(*profile), QByteArray("r_plain=0 net_fast=1 r_gamma=150 net_rate=1000 r_mode=100"));
        Presets::apply(*profile, Preset::FpsBoost);
        QCOMPARE(values(*profile), QByteArray("r_plain=1 net_fast=1 r_gamma=80 net_rate=1000 r_mode=25"));
        // An empty preset value reaches the control: a numeric one reads it as 0, here below its minimum.
        Presets::apply(*profile, Preset::DieHard);
        QCOMPARE(values(*profile), QByteArray("r_plain=0 net_fast=1 r_gamma=10 net_rate=1000 r_mode=25"));
        Presets::apply(*profile, Preset::Default);
        QCOMPARE(values(*profile), QByteArray("r_plain=1 net_fast=0 r_gamma=100 net_rate=500 r_mode=50"));
        QCOMPARE(profile->simple[1]->Default(), QByteArray("0"));
    }

    void reader_appliesOnlyLinesStartingWithPrefixAndName_data()
    {
        QTest::addColumn<QByteArray>("config");
        QTest::addColumn<QByteArray>("tweak");
        QTest::addColumn<QByteArray>("value");

        // Starting values: r_plain 1, r_gamma 100.
        const auto row = [](const char *name, const char *config, const char *tweak, const char *value) {
            QTest::newRow(name) << QByteArray(config) << QByteArray(tweak) << QByteArray(value);
        };
        row("name inside another line", "set other r_plain 0", "r_plain", "1");
        row("commented out", "// set r_plain 0", "r_plain", "1");
        row("indented", "  set r_plain 0", "r_plain", "1");
        row("case differs", "set R_PLAIN 0", "r_plain", "1");
        row("other separator gives empty", "set r_plain=0", "r_plain", "");
        // Without a template suffix a value ends as the game's console reads it.
        row("trailing blanks not part of the value", "set r_plain 0 \t", "r_plain", "0");
        row("comment after the value", "set r_plain 0\t// off", "r_plain", "0");
        row("second command", "set r_plain 0;set r_gamma 5", "r_gamma", "100");
        row("no comment without a blank before it", "set r_gamma 30//x", "r_gamma", "30//x");
        row("quoted ; belongs to the value", "set r_gamma \"3;0\" ;", "r_gamma", "\"3;0\"");
        row("first line wins", "set r_gamma 30\nset r_gamma 40", "r_gamma", "30");
    }

    void reader_appliesOnlyLinesStartingWithPrefixAndName()
    {
        QFETCH(QByteArray, config);
        QFETCH(QByteArray, tweak);
        QFETCH(QByteArray, value);
        const auto profile = load(dataProfile("starting.tsm"));
        QVERIFY(profile);
        const QString path = m_installDir.filePath(QStringLiteral("picked.cfg"));
        QVERIFY(writeAll(path, config + "\r\n"));
        QVERIFY(GameConfigReader::apply(*profile, m_state.syntax, path));
        for (const TweakModel *model : profile->saveOrder()) {
            if (model->Tweak() == tweak)
                QCOMPARE(model->Value(), value);
        }
    }

private:
    std::unique_ptr<LoadedProfile> load(const QString &path, QList<ProfileProblem> *problems = nullptr,
                                        QString *error = nullptr)
    {
        const auto report = [this](const QString &message) { m_ruleErrors.append(message); };
        return loadProfile(path, m_state, report, problems, error);
    }
    QString gameConfig() const { return m_installDir.filePath(QStringLiteral("game.cfg")); }

    QTemporaryDir m_installDir;
    ProgramState m_state;
    QStringList m_ruleErrors;
};

QTEST_GUILESS_MAIN(TestLoadedProfile)
#include "tst_loadedprofile.moc"
