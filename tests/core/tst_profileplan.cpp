#include "loader/profileplan.h"

#include <QTest>

using namespace Tunesmith;

namespace
{

// A profile written with "\n" as its line end, saved with the given one (CR LF, as players' profiles are).
QByteArray profile(QByteArray text, const QByteArray &lineEnd = "\r\n")
{
    return text.replace("\n", lineEnd);
}

QByteArray simple(const QByteArray &name)
{
    return "[add simple]\n" + name + "\n1|1|0|0\nShort\nLong\n";
}

ProfilePlan planOk(const QByteArray &bytes, const QByteArray &department = QByteArray())
{
    QList<ProfileProblem> problems;
    const auto plan = planProfile(bytes, department, &problems);
    if (!plan || !problems.isEmpty())
        qFatal("the profile should plan without problems: %s", qPrintable(problems.value(0).message));
    return *plan;
}

// Each definition as one line: keyword line, name, department, presets, bounds, rule, entries, descriptions.
QByteArrayList described(const QList<TweakDefinition> &tweaks)
{
    QByteArrayList lines;
    for (const TweakDefinition &t : tweaks) {
        QByteArrayList entries;
        for (const MultiTweakEntry &entry : t.entries)
            entries << entry.description + '=' + entry.value;
        lines << QByteArray::number(t.line) + ' ' + t.name + " [" + t.department + "] " +
                     QByteArrayList(t.presets.begin(), t.presets.end()).join('|') + ' ' + t.minValue + ".." +
                     t.maxValue + " rule " + t.rule + " {" + entries.join(',') + "} " + t.shortDescription + " / " +
                     t.longDescription;
    }
    return lines;
}

// Where each column starts, as "page:control"; "@top" marks a column that does not start on the first row.
QByteArrayList columnStarts(const ProfilePlan &plan)
{
    QByteArrayList starts;
    for (qsizetype i = 0; i < plan.controls.size(); ++i) {
        const PlacedControl &control = plan.controls[i];
        if (i == 0 || control.page != plan.controls[i - 1].page || control.left != plan.controls[i - 1].left) {
            starts << QByteArray::number(control.page) + ':' + QByteArray::number(i) +
                          (control.top == PageGeometry::firstRowTop ? "" : "@top");
        }
    }
    return starts;
}

} // namespace

class TestProfilePlan : public QObject
{
    Q_OBJECT

private slots:
    void keywords_wholeLinesInAnyCaseOutsideDataLines()
    {
        // Keywords with a blank around them are skipped as unknown lines; a block's data lines are data whatever
        // they hold.
        const ProfilePlan plan =
            planOk(profile("[ADD SIMPLE]\nr_upper\n1|1|1|1\nUpper\nUpper long\n [add simple]\nr_skipped\n"
                           "[a note of 20 bytes]\n[a note of 21 bytes.]\n"
                           "[add simple] \nr_skipped\n[Add Label]\n[title]\n"
                           "[add simple]\n[add tab]\n1|1|1|1\n[next column]\n[add tab]\n"));
        QCOMPARE(described(plan.simpleTweaks),
                 (QByteArrayList{"1 r_upper [] 1|1|1|1 .. rule  {} Upper / Upper long",
                                 "14 [add tab] [] 1|1|1|1 .. rule  {} [next column] / [add tab]"}));
        QCOMPARE(plan.headings, QList<QByteArray>{"[title]"});
        QCOMPARE(plan.pageCaptions, QList<QByteArray>{"General"});
        QVERIFY(!plan.title);
    }

    void tweakBlocks_fillEveryFieldInProfileOrder()
    {
        const ProfilePlan plan = planOk(profile("[add simple]\nr_vsync\n0|1|0|0|9\nVsync\nWaits.\n"
                                                "[add text]\nr_gamma\n50|200|ignored\n100|120|90|80\nGamma\n\n"
                                                "[department]\nNet\n"
                                                "[add ping simple]\nnet_fast\nus>6000\nFast\nFast long\n"
                                                "[add ping text]\nnet_rate\n1000|25000\nds/8\nRate\nR\n"
                                                "[add multi]\nr_mode\nLow|Mid|High\n1|2|3|4\n0|1|2|2\nMode\n\n"
                                                "[add multi]\nr_empty\n\n\n0|0|0|0\nEmpty\n\n"),
                                        "Earlier");
        QCOMPARE(described(plan.simpleTweaks),
                 (QByteArrayList{"1 r_vsync [Earlier] 0|1|0|0 .. rule  {} Vsync / Waits.",
                                 "14 net_fast [Net] ||| .. rule us>6000 {} Fast / Fast long"}));
        QCOMPARE(described(plan.textTweaks),
                 (QByteArrayList{"6 r_gamma [Earlier] 100|120|90|80 50..200 rule  {} Gamma / ",
                                 "19 net_rate [Net] ||| 1000..25000 rule ds/8 {} Rate / R"}));
        // Entry values past the entry texts are not read; an empty line is one empty field.
        QCOMPARE(described(plan.multiTweaks),
                 (QByteArrayList{"25 r_mode [Net] 0|1|2|2 .. rule  {Low=1,Mid=2,High=3} Mode / ",
                                 "32 r_empty [Net] 0|0|0|0 .. rule  {=} Empty / "}));
        QByteArrayList controls;
        for (const PlacedControl &control : plan.controls)
            controls << QByteArray::number(int(control.kind)) + '.' + QByteArray::number(control.index);
        QCOMPARE(controls.join(' '), QByteArray("1.1 3.1 1.2 3.2 2.1 2.2")); // kind.index
        QCOMPARE(plan.finalDepartment, QByteArray("Net"));
        QCOMPARE(planOk(profile(simple("a")), "Earlier").finalDepartment, QByteArray("Earlier"));
    }

    void title_lastBlockGivesCaptionAndStatus_atAnyLineEnd()
    {
        for (const QByteArray end : {"\r\n", "\r", "\n"}) {
            const ProfilePlan plan =
                planOk(profile("[title]\nOld\n1-1-2020\nSomeone\n[TITLE]\nNew Game\n6-12-2026\nTunesmith team\n"
                               "[syntax]\ngame.cfg\nseta cvar \"value\"\n[add text]\nr_gamma\n1|9\n5|6|7|8\nGamma\n\n",
                               end));
            QCOMPARE(plan.caption(), QStringLiteral("Tunesmith | New Game"));
            QCOMPARE(plan.status(), QByteArray("New Game | Last updated on 6-12-2026 by Tunesmith team"));
            QCOMPARE(plan.gameConfigFileName, QByteArray("game.cfg"));
            QCOMPARE(described(plan.textTweaks), QByteArrayList{"12 r_gamma [] 5|6|7|8 1..9 rule  {} Gamma / "});
        }
        const ProfilePlan empty = planOk(QByteArray());
        QCOMPARE(empty.pageCaptions, QList<QByteArray>{"General"});
        QCOMPARE(empty.caption(), QStringLiteral("Tunesmith"));
        QCOMPARE(empty.status(), QByteArray());
        QVERIFY(!empty.gameConfigFileName && !empty.syntax);
    }

    void syntaxTemplate_cutsAtFirstCvarAndValue_data()
    {
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<QByteArray>("cut"); // prefix|middle|suffix, or "none"

        QTest::newRow("quoted") << QByteArray("seta cvar \"value\"") << QByteArray("seta | \"|\"");
        QTest::newRow("bare") << QByteArray("cvarvalue") << QByteArray("||");
        QTest::newRow("first of each") << QByteArray("cvar=value;cvar value") << QByteArray("|=|;cvar value");
        QTest::newRow("blanks kept") << QByteArray(" cvar  value ") << QByteArray(" |  | ");
        QTest::newRow("without cvar") << QByteArray("set name value") << QByteArray("none");
        QTest::newRow("value first") << QByteArray("value cvar") << QByteArray("none");
    }

    void syntaxTemplate_cutsAtFirstCvarAndValue()
    {
        QFETCH(QByteArray, line);
        QFETCH(QByteArray, cut);
        const auto syntax = parseSyntaxTemplate(line);
        QCOMPARE(syntax ? syntax->prefix + '|' + syntax->middle + '|' + syntax->suffix : QByteArray("none"), cut);
    }

    void pages_firstTabNamesPageZeroOnlyWhileNothingStandsThere()
    {
        const ProfilePlan plan =
            planOk(profile("[add tab]\nVideo\n" + simple("a") + simple("b") + "[add tab]\nAudio\n" + simple("c")));
        QCOMPARE(plan.pageCaptions, (QList<QByteArray>{"Video", "Audio"}));
        QCOMPARE(columnStarts(plan), (QByteArrayList{"0:0", "1:2"}));
        QCOMPARE(plan.controls[2].left, plan.controls[0].left);

        // With controls on page 0 already, the first "[add tab]" adds a page: none is drawn over another.
        const ProfilePlan late = planOk(profile(simple("a") + "[add tab]\nVideo\n" + simple("b")));
        QCOMPARE(late.pageCaptions, (QList<QByteArray>{"General", "Video"}));
        QCOMPARE(columnStarts(late), (QByteArrayList{"0:0", "1:1"}));
    }

    void columns_fillThenOverflowToNumberedPages()
    {
        // 15 on/off tweaks fill a column, three columns a page; each section overflows to pages of its own.
        const ProfilePlan plan = planOk(
            profile("[add tab]\nVideo\n" + simple("v").repeated(91) + "[add tab]\nAudio\n" + simple("a").repeated(46)));
        QCOMPARE(plan.pageCaptions, (QList<QByteArray>{"Video", "Video (2)", "Video (3)", "Audio", "Audio (2)"}));
        QCOMPARE(columnStarts(plan), (QByteArrayList{"0:0", "0:15", "0:30", "1:45", "1:60", "1:75", "2:90", "3:91",
                                                     "3:106", "3:121", "4:136"}));

        // A heading that does not fit heads the next column.
        const QByteArray heading = "[add label]\nHeading\n";
        const ProfilePlan headed =
            planOk(profile(simple("s").repeated(15) + heading + simple("t").repeated(15) + heading));
        QCOMPARE(columnStarts(headed), (QByteArrayList{"0:0", "0:15", "0:30"}));
        QCOMPARE(headed.controls[15].kind, ControlKind::Label);

        // Two headings and twelve on/off tweaks end 3880 twips below the first row: after a gap of 4 pixels the next
        // one ends exactly at the column's end, after 5 pixels past it.
        const QByteArray full = heading + heading + simple("s").repeated(12) + "[add space]\n";
        QCOMPARE(columnStarts(planOk(profile(full + "4\n" + simple("last")))), QByteArrayList{"0:0"});
        QCOMPARE(columnStarts(planOk(profile(full + "5\n" + simple("last")))), (QByteArrayList{"0:0", "0:14"}));

        // "[next column]" opens no page: the next controls reach past the page's edge until their column is full.
        // It has no data line: the unknown line after it is skipped.
        const ProfilePlan beyond = planOk(
            profile("[add tab]\nVideo\n[next column]\n[NEXT COLUMN]\n[next column]\n99\n" + simple("s").repeated(16)));
        QVERIFY(beyond.controls[0].left + PageGeometry::simpleWidth > PageGeometry::tabStripWidth);
        QCOMPARE(columnStarts(beyond), (QByteArrayList{"0:0", "1:15"}));
        QCOMPARE(beyond.pageCaptions, (QList<QByteArray>{"Video", "Video (2)"}));
    }

    void addSpace_movesNextControlByWholePixels()
    {
        const PlacedControl top = planOk(profile(simple("s"))).controls[0];
        const std::pair<QByteArray, int> gaps[] = {{"10", 10}, {"-5", -5}, {" 2 ", 2}, {"1000", 0}, {"ab12", 0}};
        for (const auto &[gap, pixels] : gaps) {
            const PlacedControl moved = planOk(profile("[add space]\n" + gap + "\n" + simple("s"))).controls[0];
            QCOMPARE(moved.top - top.top, pixels * PageGeometry::twipsPerPixel); // four characters and more: no gap
            QCOMPARE(moved.left, top.left);
        }
        // A gap past the column's end moves the control to the top of the next column.
        const PlacedControl next = planOk(profile("[add space]\n999\n" + simple("s"))).controls[0];
        QVERIFY(next.left > top.left);
        QCOMPARE(next.top, top.top);
    }

    void malformed_reportedAtItsLine_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QList<int>>("lines");
        QTest::addColumn<QString>("message"); // of the first problem

        const auto row = [](const char *name, const QByteArray &text, const QList<int> &lines, const char *message) {
            QTest::newRow(name) << profile(text) << lines << QString::fromUtf8(message);
        };
        row("block cut short", "[title]\nGame\ndate\nauthor\n[ADD MULTI]\nr_mode\nA|B\n1|2\n", {5},
            "\"[add multi]\" needs 6 data lines; the file ends after 3");
        row("cut short without last line end", "[add simple]\nr_x\n1|1|1|1\nshort", {1},
            "\"[add simple]\" needs 4 data lines; the file ends after 3");
        row("preset line of 3 fields", "[add simple]\nr_x\n1|1|1\ns\nl\n", {3}, "preset line needs 4 fields");
        row("bounds of 1 field", "[add ping text]\nr_x\n5\nds/8\ns\nl\n", {3}, "bounds line needs 2 fields");
        row("min above max", "[add text]\nr_x\n10|5\n1|1|1|1\ns\nl\n", {3}, "minimum 10 is greater than the maximum 5");
        row("fewer entry values", "[add multi]\nr_x\nA|B|C\n1|2\n0|0|0|0\ns\nl\n", {4},
            "has 2 fields, fewer than the 3");
        row("syntax template", "[syntax]\na.cfg\nset CVAR VALUE\n", {3}, "the syntax template needs the word \"cvar\"");
        row("fraction gap", "[add space]\n1.5\n", {2}, "the gap \"1.5\" is not a whole number");
        // Positions leave 16 bits: the tenth column move, the third long gap, the 24th gap upwards.
        const char *range = "leaves the range -32768 to 32767";
        row("next column", QByteArray("[next column]\n").repeated(12), {10}, range);
        row("add space", "[add label]\nx\n" + QByteArray("[add space]\n999\n").repeated(3), {7}, range);
        row("upwards", QByteArray("[add space]\n-99\n").repeated(24), {45}, range);
        row("every problem",
            "[syntax]\na.cfg\nnothing here\n[add space]\nx\n[add text]\nr_x\n9\n1|2\ns\nl\n[add multi]\nr_y\nA|B\n1\n"
            "0|0|0|0\ns\nl\n[add simple]\nr_z",
            {3, 5, 8, 9, 15, 19}, "the syntax template");
    }

    void malformed_reportedAtItsLine()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QList<int>, lines);
        QFETCH(QString, message);
        QList<ProfileProblem> problems;
        QVERIFY(!planProfile(bytes, QByteArray(), &problems));
        QList<int> at;
        for (const ProfileProblem &problem : std::as_const(problems))
            at.append(problem.line);
        QCOMPARE(at, lines);
        QVERIFY2(problems[0].message.contains(message), qPrintable(problems[0].message));
    }
};

QTEST_GUILESS_MAIN(TestProfilePlan)
#include "tst_profileplan.moc"
