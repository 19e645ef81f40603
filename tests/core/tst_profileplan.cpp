#include "loader/profileplan.h"

#include <QTest>

using namespace Tunesmith;

namespace
{

QByteArray profile(const QList<QByteArray> &lines, const QByteArray &lineEnd = "\r\n")
{
    return lines.join(lineEnd) + lineEnd;
}

// Lines written as one text, "\n" between them.
QList<QByteArray> textLines(const QByteArray &text)
{
    return text.split('\n');
}

QList<QByteArray> simpleBlock(const QByteArray &name)
{
    return {"[add simple]", name, "1|1|0|0", "Short " + name, "Long " + name};
}

QList<QByteArray> repeated(const QList<QByteArray> &block, int times)
{
    QList<QByteArray> lines;
    for (int i = 0; i < times; ++i)
        lines += block;
    return lines;
}

ProfilePlan planOk(const QByteArray &bytes, const QByteArray &department = QByteArray())
{
    QList<ProfileProblem> problems;
    const auto plan = planProfile(bytes, department, &problems);
    for (const ProfileProblem &problem : std::as_const(problems))
        qWarning("line %d: %s", problem.line, qPrintable(problem.message));
    if (!plan || !problems.isEmpty())
        qFatal("the profile should plan without problems");
    return *plan;
}

QList<ProfileProblem> planProblems(const QByteArray &bytes)
{
    QList<ProfileProblem> problems;
    const auto plan = planProfile(bytes, QByteArray(), &problems);
    if (plan)
        qWarning("a malformed profile gave a plan");
    return plan ? QList<ProfileProblem>() : problems;
}

} // namespace

class TestProfilePlan : public QObject
{
    Q_OBJECT

private slots:
    void keywords_matchWholeLineInAnyCase();
    void dataLines_areTakenWhateverTheyHold();
    void lineEnds_crLfLoneCrLoneLfReadAlike();
    void tweakBlocks_fillEveryField();
    void multiEntries_countFromEntryTexts();
    void departments_followTheCurrentOne();
    void title_lastBlockGivesCaptionAndStatus();
    void titleAndSyntaxOnly_giveOneEmptyPage();
    void syntaxTemplate_cutsAtFirstCvarAndValue_data();
    void syntaxTemplate_cutsAtFirstCvarAndValue();

    void addTab_firstRenamesPageZero();
    void columns_flowAtThreeLeftsThenOverflowPages();
    void column_fullWhenBottomWouldPass4980_data();
    void column_fullWhenBottomWouldPass4980();
    void heading_movingColumnAdds3305();
    void nextColumnThreeTimes_placesBeyondPageUntilColumnFills();
    void addSpace_movesNextControlByPixels_data();
    void addSpace_movesNextControlByPixels();
    void layoutLeaving16Bits_isAProblemAtItsLine_data();
    void layoutLeaving16Bits_isAProblemAtItsLine();

    void malformed_reportedAtItsLine_data();
    void malformed_reportedAtItsLine();
    void severalProblems_allReported();
};

void TestProfilePlan::keywords_matchWholeLineInAnyCase()
{
    // " [add simple]" is no keyword, so its four lines are tried as keywords; one of them starts a heading.
    const ProfilePlan plan =
        planOk(profile({"[ADD SIMPLE]", "r_upper", "1|1|1|1", "Upper", "Upper long", " [add simple]", "r_skipped",
                        "[Add Label]", "Heading", "skipped", "[add simple] ", "r_also_skipped", "1|1|1|1", "x", "y"}));
    QCOMPARE(plan.simpleTweaks.size(), 1);
    QCOMPARE(plan.simpleTweaks[0].name, QByteArray("r_upper"));
    QCOMPARE(plan.headings, QList<QByteArray>{"Heading"});
}

void TestProfilePlan::dataLines_areTakenWhateverTheyHold()
{
    const ProfilePlan plan = planOk(
        profile({"[add simple]", "[add tab]", "1|1|1|1", "[next column]", "[add tab]", "[add label]", "[title]"}));
    QCOMPARE(plan.pageCaptions, QList<QByteArray>{"General"});
    QCOMPARE(plan.simpleTweaks.size(), 1);
    const TweakDefinition &tweak = plan.simpleTweaks[0];
    QCOMPARE(tweak.name, QByteArray("[add tab]"));
    QCOMPARE(tweak.shortDescription, QByteArray("[next column]"));
    QCOMPARE(tweak.longDescription, QByteArray("[add tab]"));
    QCOMPARE(plan.headings, QList<QByteArray>{"[title]"});
    QVERIFY(!plan.title);
}

void TestProfilePlan::lineEnds_crLfLoneCrLoneLfReadAlike()
{
    const QList<QByteArray> lines = {"[title]", "Game", "today",   "me",    "[add text]",
                                     "r_gamma", "1|9",  "5|6|7|8", "Gamma", ""};
    for (const QByteArray &end : {QByteArray("\r\n"), QByteArray("\r"), QByteArray("\n")}) {
        const ProfilePlan plan = planOk(profile(lines, end));
        QCOMPARE(plan.status(), QByteArray("Game | Last updated on today by me"));
        QCOMPARE(plan.textTweaks.size(), 1);
        QCOMPARE(plan.textTweaks[0].maxValue, QByteArray("9"));
        QCOMPARE(plan.textTweaks[0].longDescription, QByteArray());
    }
}

void TestProfilePlan::tweakBlocks_fillEveryField()
{
    const ProfilePlan plan = planOk(profile(textLines("[add simple]\nr_vsync\n0|1|0|0|9\nVsync\nWaits.\n"
                                                      "[add text]\nr_gamma\n50|200|ignored\n100|120|90|80\nGamma\n\n"
                                                      "[add ping simple]\nnet_fast\nus>6000\nFast\nFast long\n"
                                                      "[add ping text]\nnet_rate\n1000|25000\nds/8\nRate\nR")));
    QCOMPARE(plan.simpleTweaks.size(), 2);
    QCOMPARE(plan.textTweaks.size(), 2);
    const TweakDefinition &vsync = plan.simpleTweaks[0];
    QCOMPARE(QList<QByteArray>(vsync.presets.begin(), vsync.presets.end()), (QList<QByteArray>{"0", "1", "0", "0"}));
    QCOMPARE(vsync.rule, QByteArray());
    QCOMPARE(vsync.line, 1);
    const TweakDefinition &gamma = plan.textTweaks[0];
    QCOMPARE(gamma.minValue, QByteArray("50"));
    QCOMPARE(gamma.maxValue, QByteArray("200"));
    QCOMPARE(QList<QByteArray>(gamma.presets.begin(), gamma.presets.end()),
             (QList<QByteArray>{"100", "120", "90", "80"}));
    const TweakDefinition &fast = plan.simpleTweaks[1];
    QCOMPARE(fast.rule, QByteArray("us>6000"));
    QCOMPARE(fast.shortDescription, QByteArray("Fast"));
    QCOMPARE(fast.line, 12);
    const TweakDefinition &rate = plan.textTweaks[1];
    QCOMPARE(rate.rule, QByteArray("ds/8"));
    QCOMPARE(rate.maxValue, QByteArray("25000"));
    QCOMPARE(rate.longDescription, QByteArray("R"));
    // Controls in profile order, each kind counting its own indexes.
    QCOMPARE(plan.controls.size(), 4);
    QCOMPARE(plan.controls[2].kind, ControlKind::Simple);
    QCOMPARE(plan.controls[2].index, 2);
    QCOMPARE(plan.controls[3].kind, ControlKind::Text);
    QCOMPARE(plan.controls[3].index, 2);
}

void TestProfilePlan::multiEntries_countFromEntryTexts()
{
    const ProfilePlan plan = planOk(profile({"[add multi]", "r_mode", "Low|Mid|High", "1|2|3|4", "0|1|2|2", "Mode", "",
                                             "[add multi]", "r_empty", "", "", "0|0|0|0", "Empty", ""}));
    const QList<MultiTweakEntry> &entries = plan.multiTweaks[0].entries;
    QCOMPARE(entries.size(), 3);
    QCOMPARE(entries[2].description, QByteArray("High"));
    QCOMPARE(entries[2].value, QByteArray("3"));
    QCOMPARE(plan.multiTweaks[1].entries.size(), 1); // an empty line is one empty field
}

void TestProfilePlan::departments_followTheCurrentOne()
{
    const QList<QByteArray> lines = QList<QByteArray>{"[add label]", "Heading"} + simpleBlock("a") +
                                    QList<QByteArray>{"[department]", "Sound"} + simpleBlock("b");
    const ProfilePlan inherited = planOk(profile(lines), "Earlier");
    QCOMPARE(inherited.simpleTweaks[0].department, QByteArray("Earlier"));
    QCOMPARE(inherited.simpleTweaks[1].department, QByteArray("Sound"));
    QCOMPARE(inherited.finalDepartment, QByteArray("Sound"));
    const ProfilePlan none = planOk(profile(simpleBlock("a")), "Earlier");
    QCOMPARE(none.finalDepartment, QByteArray("Earlier"));
}

void TestProfilePlan::title_lastBlockGivesCaptionAndStatus()
{
    const ProfilePlan plan =
        planOk(profile({"[title]", "Old", "1-1-2020", "Someone", "[TITLE]", "New Game", "6-12-2026", "Tunesmith team",
                        "[syntax]", "game.cfg", "seta cvar \"value\""}));
    QCOMPARE(plan.caption(), QStringLiteral("Tunesmith | New Game"));
    QCOMPARE(plan.status(), QByteArray("New Game | Last updated on 6-12-2026 by Tunesmith team"));
    QCOMPARE(plan.gameConfigFileName, QByteArray("game.cfg"));
}

void TestProfilePlan::titleAndSyntaxOnly_giveOneEmptyPage()
{
    const ProfilePlan plan =
        planOk(profile({"[title]", "Game", "date", "author", "[syntax]", "game.cfg", "set cvar value"}));
    QCOMPARE(plan.pageCaptions, QList<QByteArray>{"General"});
    QVERIFY(plan.controls.isEmpty());
    QCOMPARE(plan.tweakCount(), 0);
    QVERIFY(planOk(QByteArray()).controls.isEmpty());

    const ProfilePlan untitled = planOk(profile(simpleBlock("a")));
    QCOMPARE(untitled.caption(), QStringLiteral("Tunesmith"));
    QCOMPARE(untitled.status(), QByteArray());
    QVERIFY(!untitled.gameConfigFileName);
    QVERIFY(!untitled.syntax);
}

void TestProfilePlan::syntaxTemplate_cutsAtFirstCvarAndValue_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<QByteArray>("prefix");
    QTest::addColumn<QByteArray>("middle");
    QTest::addColumn<QByteArray>("suffix");

    using B = QByteArray;
    QTest::newRow("set") << B("set cvar value") << B("set ") << B(" ") << B();
    QTest::newRow("quoted") << B("seta cvar \"value\"") << B("seta ") << B(" \"") << B("\"");
    QTest::newRow("bare") << B("cvarvalue") << B() << B() << B();
    QTest::newRow("first of each") << B("cvar=value;cvar value") << B() << B("=") << B(";cvar value");
    QTest::newRow("blanks kept") << B(" cvar  value ") << B(" ") << B("  ") << B(" ");
}

void TestProfilePlan::syntaxTemplate_cutsAtFirstCvarAndValue()
{
    QFETCH(QByteArray, line);
    QFETCH(QByteArray, prefix);
    QFETCH(QByteArray, middle);
    QFETCH(QByteArray, suffix);
    const ProfilePlan plan = planOk(profile({"[syntax]", "my.cfg", line}));
    QVERIFY(plan.syntax);
    QCOMPARE(plan.syntax->prefix, prefix);
    QCOMPARE(plan.syntax->middle, middle);
    QCOMPARE(plan.syntax->suffix, suffix);
}

void TestProfilePlan::addTab_firstRenamesPageZero()
{
    const ProfilePlan noTab = planOk(profile(simpleBlock("a")));
    QCOMPARE(noTab.controls[0].page, 0);
    QCOMPARE(noTab.pageCaptions, QList<QByteArray>{"General"});

    const QList<QByteArray> lines = QList<QByteArray>{"[add tab]", "Video"} + simpleBlock("a") + simpleBlock("b") +
                                    QList<QByteArray>{"[add tab]", "Audio"} + simpleBlock("c");
    const ProfilePlan plan = planOk(profile(lines));
    QCOMPARE(plan.pageCaptions, (QList<QByteArray>{"Video", "Audio"}));
    QCOMPARE(plan.controls[1].page, 0);
    QCOMPARE(plan.controls[1].top, 1040);
    QCOMPARE(plan.controls[2].page, 1);
    QCOMPARE(plan.controls[2].left, 200);
    QCOMPARE(plan.controls[2].top, 770);

    // With controls on page 0 already, the first "[add tab]" adds a page: none is drawn over another.
    const ProfilePlan late =
        planOk(profile(simpleBlock("a") + QList<QByteArray>{"[add tab]", "Video"} + simpleBlock("b")));
    QCOMPARE(late.pageCaptions, (QList<QByteArray>{"General", "Video"}));
    QCOMPARE(late.controls[1].page, 1);
    QCOMPARE(late.controls[1].top, 770);
}

void TestProfilePlan::columns_flowAtThreeLeftsThenOverflowPages()
{
    // 15 on/off tweaks fill a column; 45 a page.
    const QList<QByteArray> lines = QList<QByteArray>{"[add tab]", "Video"} + repeated(simpleBlock("v"), 91) +
                                    QList<QByteArray>{"[add tab]", "Audio"} + repeated(simpleBlock("a"), 46);
    const ProfilePlan plan = planOk(profile(lines));
    QCOMPARE(plan.pageCaptions, (QList<QByteArray>{"Video", "Video (2)", "Video (3)", "Audio", "Audio (2)"}));
    const auto at = [&](int i) {
        return QList<int>{plan.controls[i].page, plan.controls[i].left, plan.controls[i].top};
    };
    QCOMPARE(at(0), (QList<int>{0, 200, 770}));
    QCOMPARE(at(14), (QList<int>{0, 200, 770 + 14 * 270}));
    QCOMPARE(at(15), (QList<int>{0, 3500, 770}));
    QCOMPARE(at(30), (QList<int>{0, 6800, 770}));
    QCOMPARE(at(44), (QList<int>{0, 6800, 770 + 14 * 270}));
    QCOMPARE(at(45), (QList<int>{1, 200, 770}));
    QCOMPARE(at(90), (QList<int>{2, 200, 770}));
    QCOMPARE(at(91), (QList<int>{3, 200, 770}));
    QCOMPARE(at(136), (QList<int>{4, 200, 770}));
}

void TestProfilePlan::column_fullWhenBottomWouldPass4980_data()
{
    QTest::addColumn<QByteArray>("gap");
    QTest::addColumn<int>("left");
    QTest::addColumn<int>("top");

    // Two headings and twelve on/off tweaks end at 770 + 640 + 3240 = 4650; a gap of 4 pixels puts the next
    // tweak's bottom exactly at 4980.
    QTest::newRow("bottom at 4980 fits") << QByteArray("4") << 200 << 4710;
    QTest::newRow("bottom at 4995 moves") << QByteArray("5") << 3500 << 770;
}

void TestProfilePlan::column_fullWhenBottomWouldPass4980()
{
    QFETCH(QByteArray, gap);
    QFETCH(int, left);
    QFETCH(int, top);
    const QList<QByteArray> lines = QList<QByteArray>{"[add label]", "One", "[add label]", "Two"} +
                                    repeated(simpleBlock("s"), 12) + QList<QByteArray>{"[add space]", gap} +
                                    simpleBlock("last");
    const ProfilePlan plan = planOk(profile(lines));
    QCOMPARE(plan.controls.last().left, left);
    QCOMPARE(plan.controls.last().top, top);
    QCOMPARE(plan.controls.last().page, 0);
}

void TestProfilePlan::heading_movingColumnAdds3305()
{
    const QList<QByteArray> lines = repeated(simpleBlock("s"), 15) + QList<QByteArray>{"[add label]", "Moved"} +
                                    repeated(simpleBlock("t"), 15) + QList<QByteArray>{"[add label]", "Again"};
    const ProfilePlan plan = planOk(profile(lines));
    QCOMPARE(plan.controls[15].kind, ControlKind::Label);
    QCOMPARE(plan.controls[15].left, 3505);
    QCOMPARE(plan.controls[15].top, 770);
    QCOMPARE(plan.controls[16].left, 3505);
    QCOMPARE(plan.controls[16].top, 1090);
    // A move caused by a tweak adds 3300, whatever moved the column before.
    QCOMPARE(plan.controls[30].left, 6805);
    QCOMPARE(plan.controls[30].top, 770);
    QCOMPARE(plan.controls[31].left, 6805);
    QCOMPARE(plan.controls[31].page, 0);
}

void TestProfilePlan::nextColumnThreeTimes_placesBeyondPageUntilColumnFills()
{
    const QList<QByteArray> lines =
        QList<QByteArray>{"[add tab]", "Video", "[next column]", "[NEXT COLUMN]", "[next column]"} +
        repeated(simpleBlock("s"), 16);
    const ProfilePlan plan = planOk(profile(lines));
    QCOMPARE(plan.controls[0].page, 0);
    QCOMPARE(plan.controls[0].left, 10100);
    QCOMPARE(plan.controls[14].left, 10100);
    QCOMPARE(plan.controls[15].page, 1);
    QCOMPARE(plan.controls[15].left, 200);
    QCOMPARE(plan.pageCaptions, (QList<QByteArray>{"Video", "Video (2)"}));
}

void TestProfilePlan::addSpace_movesNextControlByPixels_data()
{
    QTest::addColumn<QByteArray>("gap");
    QTest::addColumn<int>("top");

    QTest::newRow("10 pixels") << QByteArray("10") << 770 + 150;
    QTest::newRow("12 pixels") << QByteArray("12") << 770 + 180;
    QTest::newRow("-5 moves up") << QByteArray("-5") << 770 - 75;
    QTest::newRow("999") << QByteArray("999") << 3500; // 770 + 14985 passes the column: next column
    QTest::newRow("1000 ignored") << QByteArray("1000") << 770;
    QTest::newRow("-100 ignored") << QByteArray("-100") << 770;
    QTest::newRow("four characters ignored") << QByteArray("ab12") << 770;
    QTest::newRow("blanks around") << QByteArray(" 2 ") << 770 + 30;
    QTest::newRow("plus sign") << QByteArray("+2") << 770 + 30;
}

void TestProfilePlan::addSpace_movesNextControlByPixels()
{
    QFETCH(QByteArray, gap);
    QFETCH(int, top);
    const ProfilePlan plan = planOk(profile(QList<QByteArray>{"[add space]", gap} + simpleBlock("s")));
    if (gap == "999") {
        QCOMPARE(plan.controls[0].left, top);
        QCOMPARE(plan.controls[0].top, 770);
    } else {
        QCOMPARE(plan.controls[0].left, 200);
        QCOMPARE(plan.controls[0].top, top);
    }
}

void TestProfilePlan::layoutLeaving16Bits_isAProblemAtItsLine_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("line");

    // 200 + 9 * 3300 = 29900 still fits; the tenth move reaches 33200.
    QTest::newRow("next column") << profile(repeated({"[next column]"}, 12)) << 10;
    // 770 + 2 * 14985 = 30740 fits; the third gap reaches 45725.
    QTest::newRow("add space") << profile(QList<QByteArray>{"[add label]", "x"} + repeated({"[add space]", "999"}, 3))
                               << 7;
    QTest::newRow("upwards") << profile(repeated({"[add space]", "-99"}, 24)) << 45;
}

void TestProfilePlan::layoutLeaving16Bits_isAProblemAtItsLine()
{
    QFETCH(QByteArray, bytes);
    QFETCH(int, line);
    const QList<ProfileProblem> problems = planProblems(bytes);
    QCOMPARE(problems.size(), 1);
    QCOMPARE(problems[0].line, line);
    QVERIFY2(problems[0].message.contains(QStringLiteral("-32768 to 32767")), qPrintable(problems[0].message));
}

void TestProfilePlan::malformed_reportedAtItsLine_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("line");
    QTest::addColumn<QString>("message");

    const QList<QByteArray> head = {"[title]", "Game", "date", "author"};
    QTest::newRow("block cut short") << profile(head + QList<QByteArray>{"[ADD MULTI]", "r_mode", "A|B", "1|2"}) << 5
                                     << QStringLiteral("\"[add multi]\" needs 6 data lines; the file ends after 3");
    QTest::newRow("cut short without last line end")
        << QByteArray("[add simple]\r\nr_x\r\n1|1|1|1\r\nshort") << 1
        << QStringLiteral("\"[add simple]\" needs 4 data lines; the file ends after 3");
    QTest::newRow("preset line of 3 fields")
        << profile(head + QList<QByteArray>{"[add simple]", "r_x", "1|1|1", "s", "l"}) << 7
        << QStringLiteral("the preset line needs 4 fields separated by \"|\"; it has 3");
    QTest::newRow("empty preset line") << profile({"[add text]", "r_x", "1|2", "", "s", "l"}) << 4
                                       << QStringLiteral("the preset line needs 4 fields separated by \"|\"; it has 1");
    QTest::newRow("bounds of 1 field") << profile({"[add ping text]", "r_x", "5", "ds/8", "s", "l"}) << 3
                                       << QStringLiteral("the bounds line needs 2 fields separated by \"|\"; it has 1");
    QTest::newRow("min above max") << profile({"[add text]", "r_x", "10|5", "1|1|1|1", "s", "l"}) << 3
                                   << QStringLiteral("the minimum 10 is greater than the maximum 5");
    QTest::newRow("fewer entry values") << profile({"[add multi]", "r_x", "A|B|C", "1|2", "0|0|0|0", "s", "l"}) << 4
                                        << QStringLiteral(
                                               "the entry values line has 2 fields, fewer than the 3 entry texts");
    const QString syntaxMessage = QStringLiteral("the syntax template needs the word \"cvar\" followed by the word "
                                                 "\"value\"");
    QTest::newRow("syntax without cvar") << profile({"[syntax]", "a.cfg", "set name value"}) << 3 << syntaxMessage;
    QTest::newRow("syntax without value") << profile({"[syntax]", "a.cfg", "set cvar"}) << 3 << syntaxMessage;
    QTest::newRow("syntax value first") << profile({"[syntax]", "a.cfg", "value cvar"}) << 3 << syntaxMessage;
    QTest::newRow("syntax in capitals") << profile({"[syntax]", "a.cfg", "set CVAR VALUE"}) << 3 << syntaxMessage;
    QTest::newRow("empty gap") << profile({"[add space]", ""}) << 2
                               << QStringLiteral("the gap \"\" is not a whole number");
    QTest::newRow("letters gap") << profile({"[add space]", "ab"}) << 2
                                 << QStringLiteral("the gap \"ab\" is not a whole number");
    QTest::newRow("fraction gap") << profile({"[add space]", "1.5"}) << 2
                                  << QStringLiteral("the gap \"1.5\" is not a whole number");
}

void TestProfilePlan::malformed_reportedAtItsLine()
{
    QFETCH(QByteArray, bytes);
    QFETCH(int, line);
    QFETCH(QString, message);
    const QList<ProfileProblem> problems = planProblems(bytes);
    QCOMPARE(problems.size(), 1);
    QCOMPARE(problems[0].line, line);
    QCOMPARE(problems[0].message, message);
}

void TestProfilePlan::severalProblems_allReported()
{
    const QByteArray bytes = profile(textLines("[syntax]\na.cfg\nnothing here\n[add space]\nx\n"
                                               "[add text]\nr_x\n9\n1|2\ns\nl\n"
                                               "[add multi]\nr_y\nA|B\n1\n0|0|0|0\ns\nl\n[add simple]\nr_z"));
    const QList<ProfileProblem> problems = planProblems(bytes);
    QList<int> at;
    for (const ProfileProblem &problem : problems)
        at.append(problem.line);
    QCOMPARE(at, (QList<int>{3, 5, 8, 9, 15, 19}));
}

QTEST_GUILESS_MAIN(TestProfilePlan)
#include "tst_profileplan.moc"
