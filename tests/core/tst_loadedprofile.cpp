#include "gameconfig/configreader.h"
#include "gameconfig/presets.h"
#include "loader/loadedprofile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace Tunesmith;

namespace
{

QString dataProfile(const char *name)
{
    return QStringLiteral(TUNESMITH_TEST_DATA "/profiles/") + QLatin1String(name);
}

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

} // namespace

class TestLoadedProfile : public QObject
{
    Q_OBJECT

private slots:
    void init();

    void load_givesDefaultsAndRuleResultsWithoutConfig();
    void load_configValueBeatsDefaultButNotRuleResult();
    void load_installDirWithTrailingSeparatorStillFindsConfig();
    void load_emptyConfigFileNameReadsNoConfig();
    void load_profileWithoutSyntaxInheritsStateAndDepartment();
    void load_malformedProfileLeavesStateUntouched();
    void load_missingFileGivesReadError();
    void load_failingRuleIsReportedAndLoadGoesOn();
    void sampleProfiles_loadWithoutProblems_data();
    void sampleProfiles_loadWithoutProblems();

    void presets_setEveryKindInOrderAndLeaveRuledTweaks();
    void presetDefaultSettings_evaluatesRulesAgain();
    void presetEmptyValue_reachesTheControls();

    void reader_appliesOnlyLinesStartingWithPrefixAndName_data();
    void reader_appliesOnlyLinesStartingWithPrefixAndName();

private:
    std::unique_ptr<LoadedProfile> load(const QString &path, QList<ProfileProblem> *problems = nullptr,
                                        QString *error = nullptr);

    QTemporaryDir m_installDir;
    ProgramState m_state;
    QStringList m_ruleErrors;
};

void TestLoadedProfile::init()
{
    QVERIFY(m_installDir.isValid());
    QFile::remove(m_installDir.filePath(QStringLiteral("game.cfg")));
    m_state = ProgramState();
    m_state.installDir = m_installDir.path();
    m_state.uploadSpeed = 3000;
    m_state.downloadSpeed = 12000;
    m_ruleErrors.clear();
}

std::unique_ptr<LoadedProfile> TestLoadedProfile::load(const QString &path, QList<ProfileProblem> *problems,
                                                       QString *error)
{
    return loadProfile(
        path, m_state, [this](const QString &message) { m_ruleErrors.append(message); }, problems, error);
}

void TestLoadedProfile::load_givesDefaultsAndRuleResultsWithoutConfig()
{
    const auto profile = load(dataProfile("starting.tsm"));
    QVERIFY(profile);
    QCOMPARE(profile->model(TweakKind::Simple, 1)->Value(), QByteArray("1"));
    QCOMPARE(profile->simple[0]->shown(), SimpleTweak::Shown::On);
    QCOMPARE(profile->model(TweakKind::Simple, 2)->Value(), QByteArray("1")); // us 3000 is below 6000
    QCOMPARE(profile->multi[0]->Value(), QByteArray("50"));
    QCOMPARE(profile->text[0]->Value(), QByteArray("100"));
    QCOMPARE(profile->text[1]->Default(), QByteArray("1500"));
    QCOMPARE(profile->text[1]->Value(), QByteArray("1000"));
    QCOMPARE(profile->text[1]->Ping(), QByteArray("ds|/|8"));
    QCOMPARE(profile->text[1]->ShortDescription(), QByteArray("Rate"));
    QCOMPARE(profile->simple[1]->Department(), QByteArray("Video"));
    QCOMPARE(m_state.gameConfigFileName, QByteArray("game.cfg"));
    QCOMPARE(m_state.syntax, (ConfigSyntax{"set ", " ", ""}));
    QCOMPARE(m_state.department, QByteArray("Video"));
    QVERIFY(m_ruleErrors.isEmpty());
}

void TestLoadedProfile::load_configValueBeatsDefaultButNotRuleResult()
{
    QVERIFY(writeFile(m_installDir.filePath(QStringLiteral("game.cfg")),
                      "set r_plain 0\r\nset net_fast 0\r\nset r_mode 100\r\nset r_gamma 120\r\nset net_rate 5\r\n"));
    const auto profile = load(dataProfile("starting.tsm"));
    QVERIFY(profile);
    QCOMPARE(profile->simple[0]->Value(), QByteArray("0"));
    QCOMPARE(profile->multi[0]->Value(), QByteArray("100"));
    QCOMPARE(profile->multi[0]->selected(), 2);
    QCOMPARE(profile->text[0]->Value(), QByteArray("120"));
    QCOMPARE(profile->simple[1]->Value(), QByteArray("1"));
    QCOMPARE(profile->simple[1]->shown(), SimpleTweak::Shown::On);
    QCOMPARE(profile->text[1]->Value(), QByteArray("1000"));
    QCOMPARE(profile->text[1]->Default(), QByteArray("1500"));
}

void TestLoadedProfile::load_installDirWithTrailingSeparatorStillFindsConfig()
{
    QVERIFY(writeFile(m_installDir.filePath(QStringLiteral("game.cfg")), "set r_gamma 42\n"));
    m_state.installDir = m_installDir.path() + QLatin1Char('/');
    const auto profile = load(dataProfile("starting.tsm"));
    QVERIFY(profile);
    QCOMPARE(profile->text[0]->Value(), QByteArray("42"));
}

void TestLoadedProfile::load_emptyConfigFileNameReadsNoConfig()
{
    // No "[syntax]" in this profile nor before it: the path is the install directory itself.
    QVERIFY(writeFile(m_installDir.filePath(QStringLiteral("game.cfg")), "r_plain 0\r\n"));
    const auto profile = load(dataProfile("nosyntax.tsm"));
    QVERIFY(profile);
    QCOMPARE(m_state.gameConfigFileName, QByteArray());
    QCOMPARE(profile->simple[0]->Value(), QByteArray("1"));
    QCOMPARE(profile->text[0]->Value(), QByteArray("100"));
}

void TestLoadedProfile::load_profileWithoutSyntaxInheritsStateAndDepartment()
{
    QVERIFY(writeFile(m_installDir.filePath(QStringLiteral("game.cfg")), "seta r_plain \"0\"\r\n"));
    m_state.gameConfigFileName = "game.cfg";
    m_state.syntax = ConfigSyntax{"seta ", " \"", "\""};
    m_state.department = "Audio";
    const auto profile = load(dataProfile("nosyntax.tsm"));
    QVERIFY(profile);
    QCOMPARE(profile->simple[0]->Value(), QByteArray("0"));
    QCOMPARE(profile->simple[0]->Department(), QByteArray("Audio"));
    QCOMPARE(profile->text[0]->Department(), QByteArray("Audio"));
    QCOMPARE(m_state.gameConfigFileName, QByteArray("game.cfg"));
    QCOMPARE(m_state.syntax, (ConfigSyntax{"seta ", " \"", "\""}));
    QCOMPARE(m_state.department, QByteArray("Audio"));
    // Tweaks stand on page 0 before the first "[add tab]", which therefore opens a page of its own.
    QCOMPARE(profile->plan.pageCaptions, (QList<QByteArray>{"General", "Second"}));
}

void TestLoadedProfile::load_malformedProfileLeavesStateUntouched()
{
    m_state.gameConfigFileName = "before.cfg";
    m_state.syntax = ConfigSyntax{"x ", "=", ";"};
    m_state.department = "Before";
    QList<ProfileProblem> problems;
    QString error;
    const auto profile = load(dataProfile("malformed.tsm"), &problems, &error);
    QVERIFY(!profile);
    QVERIFY(!error.isEmpty());
    QCOMPARE(problems.size(), 2);
    QCOMPARE(problems[0].line, 12);
    QCOMPARE(problems[1].line, 18);
    QCOMPARE(describeProblems(QStringLiteral("malformed.tsm"), problems).count(QLatin1Char('\n')), 1);
    // A limit keeps the first problems and counts the rest.
    QCOMPARE(describeProblems(QStringLiteral("m.tsm"), problems, 1),
             QStringLiteral("m.tsm:12: %1\n... and 1 more").arg(problems[0].message));
    QCOMPARE(describeProblems(QStringLiteral("m.tsm"), problems, 2),
             describeProblems(QStringLiteral("m.tsm"), problems));
    QCOMPARE(m_state.gameConfigFileName, QByteArray("before.cfg"));
    QCOMPARE(m_state.syntax, (ConfigSyntax{"x ", "=", ";"}));
    QCOMPARE(m_state.department, QByteArray("Before"));
}

void TestLoadedProfile::load_missingFileGivesReadError()
{
    QList<ProfileProblem> problems;
    QString error;
    QVERIFY(!load(m_installDir.filePath(QStringLiteral("missing.tsm")), &problems, &error));
    QVERIFY(!error.isEmpty());
    QVERIFY(problems.isEmpty());
    QVERIFY(!load(m_installDir.path(), &problems, &error)); // a folder is no profile
}

void TestLoadedProfile::load_failingRuleIsReportedAndLoadGoesOn()
{
    const QString path = m_installDir.filePath(QStringLiteral("rule.tsm"));
    QVERIFY(writeFile(path, "[add ping text]\r\nnet_rate\r\n|\r\nUS*2\r\nRate\r\n\r\n"
                            "[add ping simple]\r\nnet_fast\r\nus*2>100\r\nFast\r\n\r\n"));
    const auto profile = load(path);
    QVERIFY(profile);
    QVERIFY(!m_ruleErrors.isEmpty());
    for (const QString &message : std::as_const(m_ruleErrors)) {
        QCOMPARE(message,
                 QStringLiteral("Decimal value detected in condition: US|*|2. Please avoid using decimal value's."));
    }
    QCOMPARE(profile->text[0]->Default(), QByteArray());
    QCOMPARE(profile->simple[0]->Default(), QByteArray());
    QCOMPARE(profile->simple[0]->shown(), SimpleTweak::Shown::None);
}

void TestLoadedProfile::sampleProfiles_loadWithoutProblems_data()
{
    QTest::addColumn<QString>("path");
    const QDir dir(QStringLiteral(TUNESMITH_SAMPLE_PROFILES));
    const QStringList names = dir.entryList({QStringLiteral("*.tsm")}, QDir::Files, QDir::Name);
    QVERIFY(!names.isEmpty());
    for (const QString &name : names)
        QTest::newRow(qPrintable(name)) << dir.filePath(name);
}

void TestLoadedProfile::sampleProfiles_loadWithoutProblems()
{
    QFETCH(QString, path);
    QList<ProfileProblem> problems;
    QString error;
    const auto profile = load(path, &problems, &error);
    QVERIFY2(profile, qPrintable(describeProblems(path, problems) + error));
    QVERIFY(m_ruleErrors.isEmpty());
    QVERIFY(profile->plan.pageCaptions.size() > 1);
    QVERIFY(profile->plan.title);
    QVERIFY(!m_state.gameConfigFileName.isEmpty());
    for (TweakModel *tweak : profile->saveOrder())
        QVERIFY2(!tweak->Value().isEmpty(), tweak->Tweak().constData());
}

void TestLoadedProfile::presets_setEveryKindInOrderAndLeaveRuledTweaks()
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
    QCOMPARE(profile->simple[0]->Value(), QByteArray("0"));
    QCOMPARE(profile->multi[0]->Value(), QByteArray("100"));
    QCOMPARE(profile->text[0]->Value(), QByteArray("150"));
    QCOMPARE(profile->simple[1]->Value(), QByteArray("1"));
    QCOMPARE(profile->text[1]->Value(), QByteArray("1000"));
    Presets::apply(*profile, Preset::FpsBoost);
    QCOMPARE(profile->simple[0]->Value(), QByteArray("1"));
    QCOMPARE(profile->multi[0]->Value(), QByteArray("25"));
    QCOMPARE(profile->text[0]->Value(), QByteArray("80"));
    QCOMPARE(profile->simple[1]->Value(), QByteArray("1"));
    QCOMPARE(profile->text[1]->Default(), QByteArray("1500"));
}

void TestLoadedProfile::presetDefaultSettings_evaluatesRulesAgain()
{
    const auto profile = load(dataProfile("starting.tsm"));
    QVERIFY(profile);
    Presets::apply(*profile, Preset::HighQuality);
    m_state.uploadSpeed = 8000;
    m_state.downloadSpeed = 4000;
    Presets::apply(*profile, Preset::Default);
    QCOMPARE(profile->simple[0]->Value(), QByteArray("1"));
    QCOMPARE(profile->multi[0]->Value(), QByteArray("50"));
    QCOMPARE(profile->text[0]->Value(), QByteArray("100"));
    QCOMPARE(profile->simple[1]->Value(), QByteArray("0"));
    QCOMPARE(profile->simple[1]->Default(), QByteArray("0"));
    QCOMPARE(profile->text[1]->Default(), QByteArray("500"));
    QCOMPARE(profile->text[1]->Value(), QByteArray("500"));
}

void TestLoadedProfile::presetEmptyValue_reachesTheControls()
{
    const auto profile = load(dataProfile("starting.tsm"));
    QVERIFY(profile);
    profile->simple[0]->setPreset_DieHard("");
    profile->multi[0]->setPreset_DieHard("");
    Presets::apply(*profile, Preset::DieHard);
    QCOMPARE(profile->simple[0]->Value(), QByteArray()); // stored, while the buttons keep showing On
    QCOMPARE(profile->simple[0]->shown(), SimpleTweak::Shown::On);
    QCOMPARE(profile->multi[0]->Value(), QByteArray("50")); // "" is no position
    QCOMPARE(profile->text[0]->Value(), QByteArray("10"));  // "" counts as 0, below the minimum
}

void TestLoadedProfile::reader_appliesOnlyLinesStartingWithPrefixAndName_data()
{
    QTest::addColumn<QByteArray>("config");
    QTest::addColumn<int>("kind");
    QTest::addColumn<QByteArray>("value");

    const int simple = int(TweakKind::Simple);
    const int multi = int(TweakKind::Multi);
    const int text = int(TweakKind::Text);
    // Starting values: r_plain 1, r_mode 50, r_gamma 100.
    QTest::newRow("name inside another line") << QByteArray("set other r_plain 0\r\n") << simple << QByteArray("1");
    QTest::newRow("commented out") << QByteArray("// set r_plain 0\r\n") << simple << QByteArray("1");
    QTest::newRow("indented") << QByteArray("  set r_plain 0\r\n") << simple << QByteArray("1");
    QTest::newRow("case differs") << QByteArray("set R_PLAIN 0\r\n") << simple << QByteArray("1");
    QTest::newRow("other separator gives empty") << QByteArray("set r_plain=0\r\n") << simple << QByteArray();
    QTest::newRow("trailing blanks not part of the value")
        << QByteArray("set r_plain 0 \t\r\n") << simple << QByteArray("0");
    QTest::newRow("comment after the value") << QByteArray("set r_plain 0 // off\r\n") << simple << QByteArray("0");
    QTest::newRow("second command") << QByteArray("set r_plain 0;set r_gamma 5\r\n") << simple << QByteArray("0");
    QTest::newRow("first line wins") << QByteArray("set r_gamma 30\nset r_gamma 40\n") << text << QByteArray("30");
    QTest::newRow("numeric trailing blanks") << QByteArray("set r_gamma 120 ") << text << QByteArray("120");
    QTest::newRow("numeric bounded by control") << QByteArray("set r_gamma 500\r\n") << text << QByteArray("200");
    QTest::newRow("numeric other separator") << QByteArray("set r_gamma:5\r\n") << text << QByteArray("10");
    QTest::newRow("list value") << QByteArray("set r_mode 25\r\n") << multi << QByteArray("25");
    QTest::newRow("list value matching no entry") << QByteArray("set r_mode 75\r\n") << multi << QByteArray("50");
    QTest::newRow("list value with blank") << QByteArray("set r_mode 100 \r\n") << multi << QByteArray("100");
    QTest::newRow("list other separator") << QByteArray("set r_mode=100\r\n") << multi << QByteArray("50");
    QTest::newRow("blank lines only") << QByteArray("\r\n   \r\n") << simple << QByteArray("1");
}

void TestLoadedProfile::reader_appliesOnlyLinesStartingWithPrefixAndName()
{
    QFETCH(QByteArray, config);
    QFETCH(int, kind);
    QFETCH(QByteArray, value);
    const auto profile = load(dataProfile("starting.tsm"));
    QVERIFY(profile);
    const QString path = m_installDir.filePath(QStringLiteral("picked.cfg"));
    QVERIFY(writeFile(path, config));
    QVERIFY(GameConfigReader::apply(*profile, m_state.syntax, path));
    QCOMPARE(profile->model(TweakKind(kind), 1)->Value(), value);
}

QTEST_GUILESS_MAIN(TestLoadedProfile)
#include "tst_loadedprofile.moc"
