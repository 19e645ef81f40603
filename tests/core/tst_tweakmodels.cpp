#include "app/numbertext.h"
#include "app/programstate.h"
#include "tweaks/multitweak.h"
#include "tweaks/simpletweak.h"
#include "tweaks/texttweak.h"

#include <QRandomGenerator>
#include <QTest>

#include <memory>

using namespace Tunesmith;

namespace
{

// The box's bounding written plainly, reading every text again at every comparison.
struct PlainBox
{
    QByteArray text;
    QByteArray min;
    QByteArray max;
    int depth = 0;

    void setBoxText(const QByteArray &newText)
    {
        if (newText == text)
            return;
        text = newText;
        if (depth < 4)
            apply(text);
    }
    void apply(QByteArray v)
    {
        ++depth;
        if (v.isEmpty())
            v = "0";
        setBoxText(v);
        for (const QByteArray *bound : {&max, &min}) {
            const auto number = toInt32(*bound);
            const auto current = toInt32Saturated(text);
            if (!v.contains('.') && number && current && (bound == &max ? *number <= *current : *number >= *current))
                setBoxText(*bound);
        }
        --depth;
    }
    std::optional<qint32> bounded(const QByteArray &written) const
    {
        const QByteArray s = written.isEmpty() ? QByteArray("0") : written;
        auto r = toInt32(s);
        if (!r || s.contains('.'))
            return r;
        if (const auto maxNumber = toInt32(max); maxNumber && *maxNumber <= *r)
            r = maxNumber;
        if (const auto minNumber = toInt32(min); minNumber && *minNumber >= *r)
            r = minNumber;
        return r;
    }
};

} // namespace

class TestTweakModels : public QObject
{
    Q_OBJECT

public:
    TestTweakModels()
    {
        m_context.state = &m_state;
        m_context.reportRuleError = [this](const QString &message) { m_errors.append(message); };
    }

private slots:
    void init()
    {
        m_errors.clear();
        m_state.uploadSpeed = 3000;
        m_state.downloadSpeed = 12000;
    }

    void simple_showsOnlyExactOneOrZero()
    {
        SimpleTweak tweak(1, &m_context);
        tweak.clickButton(1);
        QCOMPARE(tweak.Value(), QByteArray("1"));
        for (const QByteArray value : {" 1", "01", "0 ", "2"}) {
            tweak.setValue(value);
            QCOMPARE(tweak.Value(), value); // what a save writes, even when the buttons cannot show it
            QCOMPARE(tweak.shown(), SimpleTweak::Shown::On);
        }
        tweak.clickButton(0);
        QCOMPARE(tweak.Value(), QByteArray("0"));
        QCOMPARE(tweak.shown(), SimpleTweak::Shown::Off);
        tweak.setValue("1");
        tweak.menuDefault(); // an empty default changes nothing
        QCOMPARE(tweak.shown(), SimpleTweak::Shown::On);
    }

    void multiAddCVar_selectsFirstEntryEveryTime()
    {
        MultiTweak tweak(1, &m_context);
        tweak.AddCVar("Low", "25");
        tweak.AddCVar("High", "100");
        tweak.pick(1);
        QCOMPARE(tweak.Value(), QByteArray("100"));
        tweak.AddCVar("Ultra", "200");
        QCOMPARE(tweak.Value(), QByteArray("25"));
        tweak.pick(3); // no such entry
        QCOMPARE(tweak.selected(), 0);

        // Adding a list at once ends as adding its entries one by one does, after a pick too.
        MultiTweak whole(2, &m_context);
        whole.AddCVars({});
        whole.AddCVars({{"Low", "25"}, {"High", "100"}});
        whole.pick(1);
        whole.AddCVars({{"Ultra", "200"}});
        QCOMPARE(whole.entries().size(), 3);
        QCOMPARE(whole.valueState(), tweak.valueState());
    }

    void multiSelect_byPositionOrByValueText_data()
    {
        QTest::addColumn<bool>("byValue"); // SetDesAsValue, else setValue
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<int>("selected");

        // Entries Off/0, Low/1, Same/1, High/x; entry 1 is selected. A position that is no entry and a value text
        // that matches none change nothing.
        QTest::newRow("position") << false << QByteArray("2") << 2;
        QTest::newRow("position -1 selects none") << false << QByteArray("-1") << -1;
        QTest::newRow("position below -1") << false << QByteArray("-2") << 1;
        QTest::newRow("position past the end") << false << QByteArray("4") << 1;
        QTest::newRow("position 1.5 to even") << false << QByteArray("1.5") << 2;
        QTest::newRow("value text is no position") << false << QByteArray("x") << 1;
        QTest::newRow("value") << true << QByteArray("x") << 3;
        QTest::newRow("value of the first entry") << true << QByteArray("0") << 0;
        QTest::newRow("last entry of a value") << true << QByteArray("1") << 2;
        QTest::newRow("value in other case") << true << QByteArray("X") << 1;
        QTest::newRow("description is no value") << true << QByteArray("High") << 1;
        QTest::newRow("value equal as a number") << true << QByteArray("01") << 1;
    }

    void multiSelect_byPositionOrByValueText()
    {
        QFETCH(bool, byValue);
        QFETCH(QByteArray, text);
        QFETCH(int, selected);
        MultiTweak tweak(1, &m_context);
        tweak.AddCVars({{"Off", "0"}, {"Low", "1"}, {"Same", "1"}, {"High", "x"}});
        tweak.setValue("1");
        if (byValue)
            tweak.SetDesAsValue(text);
        else
            tweak.setValue(text);
        QCOMPARE(tweak.selected(), selected);
        QCOMPARE(tweak.Value(), selected < 0 ? QByteArray() : tweak.entries().at(selected).value);
    }

    void textValue_boundedByWholeNumbersOnly_data()
    {
        QTest::addColumn<QByteArray>("minValue");
        QTest::addColumn<QByteArray>("maxValue");
        QTest::addColumn<QByteArray>("value");
        QTest::addColumn<QByteArray>("shown");

        using B = QByteArray;
        QTest::newRow("above max") << B() << B("100") << B("250") << B("100");
        QTest::newRow("equal to max in number") << B() << B("100") << B("0100") << B("100");
        QTest::newRow("max written with zero") << B() << B("0100") << B("100") << B("0100");
        QTest::newRow("fraction above max") << B() << B("100") << B("250.5") << B("250.5");
        QTest::newRow("below min") << B("10") << B() << B("3") << B("10");
        QTest::newRow("empty counts as zero below min") << B("10") << B() << B() << B("10");
        QTest::newRow("fraction below min") << B("10") << B() << B("3.2") << B("3.2");
        QTest::newRow("empty without bounds") << B() << B() << B() << B("0");
        QTest::newRow("letters never compared") << B("10") << B("100") << B("abc") << B("abc");
        QTest::newRow("digits beyond 32 bits above max") << B("10") << B("100") << B("99999999999") << B("100");
        QTest::newRow("beyond 32 bits below min") << B("10") << B("100") << B("-99999999999") << B("10");
        QTest::newRow("beyond 32 bits without bounds") << B() << B() << B("99999999999") << B("99999999999");
        // Bounds that fight each other must still let a change end, on one of them.
        QTest::newRow("min above max") << B("10") << B("5") << B("20") << B("10");
        QTest::newRow("equal bounds written differently") << B("5") << B("05") << B("7") << B("5");
    }

    void textValue_boundedByWholeNumbersOnly()
    {
        QFETCH(QByteArray, minValue);
        QFETCH(QByteArray, maxValue);
        QFETCH(QByteArray, value);
        QFETCH(QByteArray, shown);
        TextTweak set(1, &m_context);
        TextTweak typed(2, &m_context);
        typed.setValue("42");
        for (TextTweak *tweak : {&set, &typed}) {
            tweak->setMinValue(minValue);
            tweak->setMaxValue(maxValue);
        }
        set.setValue(value);
        QCOMPARE(set.Value(), shown);
        typed.boxTextChanged(value); // the player's typing is bounded alike, a cleared box too
        QCOMPARE(typed.Value(), shown);
    }

    void textBounding_agreesWithReadingEveryTextAgain()
    {
        // The model keeps each text's number; every way a text or a bound changes must keep them in step.
        const QList<QByteArray> texts = {"",     "0",   "5",  "05",  "10",         "-3",         "7.5", "100",
                                         " 42 ", "abc", "+8", "1e3", "2147483647", "2147483648", "-0",  "9.5"};
        QRandomGenerator random(20261207);
        const auto pick = [&] { return texts[random.bounded(int(texts.size()))]; };
        for (int round = 0; round < 3000; ++round) {
            TextTweak tweak(1, &m_context);
            PlainBox plain;
            for (int step = 0; step < 8; ++step) {
                const QByteArray text = pick();
                const int way = random.bounded(6);
                if (way == 0) {
                    tweak.setMinValue(text);
                    plain.min = text;
                } else if (way == 1) {
                    tweak.setMaxValue(text);
                    plain.max = text;
                } else if (way == 2) {
                    tweak.setValue(text);
                    plain.apply(text);
                } else if (way == 3) {
                    tweak.boxTextChanged(text);
                    plain.setBoxText(text);
                } else if (way == 4) {
                    tweak.restoreValueState({text, "0", -1});
                    plain.text = text;
                } else {
                    const PropertyStore store{{QStringLiteral("Value"), text},
                                              {QStringLiteral("MaxValue"), pick()},
                                              {QStringLiteral("MinValue"), pick()}};
                    tweak.readProperties(store); // the value first, bounded as the box was
                    plain.setBoxText(text);
                    plain.max = store.value(QStringLiteral("MaxValue"));
                    plain.min = store.value(QStringLiteral("MinValue"));
                }
                const QByteArray probe = pick();
                QVERIFY2(tweak.Value() == plain.text && tweak.MinMaxValue(probe) == plain.bounded(probe),
                         qPrintable(QStringLiteral("round %1, step %2").arg(round).arg(step)));
            }
        }
    }

    void rules_evaluateOrChangeNothing_data()
    {
        QTest::addColumn<bool>("numeric");
        QTest::addColumn<QByteArray>("rule");
        QTest::addColumn<qint32>("upload");
        QTest::addColumn<qint32>("download");
        QTest::addColumn<QByteArray>("result"); // "": Value and Default stay as they were

        const auto row = [](bool numeric, const char *rule, qint32 upload, qint32 download, const char *result) {
            QTest::addRow("%s, us %d, ds %d", rule, upload, download)
                << numeric << QByteArray(rule) << upload << download << QByteArray(result);
        };
        const auto onOff = [&](const char *rule, qint32 upload, qint32 download, const char *result) {
            row(false, rule, upload, download, result);
        };
        onOff("us>6000", 4000, 0, "1");
        onOff("us>6000", 6000, 0, "0");
        onOff("ds<16000", 0, 64000, "1");
        onOff("ds<16000", 0, 16000, "0");
        onOff("16000<ds", 0, 8000, "1");
        onOff("us<ds", 3000, 2000, "1");
        onOff("us>6000.5", 6000, 0, "0"); // the operand rounds to 6000
        onOff("us>6000>1", 4000, 0, "1"); // tokens after the third are not read
        for (const char *rule : {"us", "us>", ">6000", "us*2>100", "US>100", "us >100"})
            onOff(rule, 4000, 0, "");

        // Left to right, each step rounded, halves to even.
        const auto numeric = [&](const char *rule, const char *result, qint32 upload = 3000, qint32 download = 12000) {
            row(true, rule, upload, download, result);
        };
        numeric("ds/8", "1500");
        numeric("us*2+ds", "18000");
        numeric("2+3*4", "20");
        numeric("14/4", "4");
        numeric("us/7000*8", "0");
        numeric("us-4000", "-1000");
        numeric("3^2", "9");
        numeric("us", "3000");
        numeric("2.5*ds", "24000");
        numeric("2147483646+1", "2147483647");
        numeric("0-2147483647-1", "-2147483648");
        for (const char *rule : {"us/0", "US*2", "us *2", "ds/", "us++2", "-5", "us<5", "4294967296/2", "us*1000000",
                                 "2147483647+1", "0-2147483647-2", "2^31"})
            numeric(rule, "");
        numeric("us/ds", "", std::numeric_limits<qint32>::min(), -1);
        numeric("0^ds", "", 3000, -1);
    }

    void rules_evaluateOrChangeNothing()
    {
        QFETCH(bool, numeric);
        QFETCH(QByteArray, rule);
        QFETCH(qint32, upload);
        QFETCH(qint32, download);
        QFETCH(QByteArray, result);
        m_state.uploadSpeed = upload;
        m_state.downloadSpeed = download;
        SimpleTweak simple(1, &m_context);
        TextTweak text(1, &m_context);
        TweakModel &tweak = numeric ? static_cast<TweakModel &>(text) : simple;
        tweak.setValue("7");
        tweak.setDefault("7");
        if (numeric) {
            text.setPing(rule);
            text.SetPing();
        } else {
            simple.setPing(rule);
            simple.SetPing();
            QCOMPARE(simple.shown(), result == "1"   ? SimpleTweak::Shown::On
                                     : result == "0" ? SimpleTweak::Shown::Off
                                                     : SimpleTweak::Shown::None);
        }
        QCOMPARE(tweak.Value(), result.isEmpty() ? QByteArray("7") : result);
        QCOMPARE(tweak.Default(), result.isEmpty() ? QByteArray("7") : result);
        // A numeric rule that fails tells the player, once; tst_loadedprofile checks what it says.
        QCOMPARE(m_errors.size(), numeric && result.isEmpty() ? 1 : 0);
    }

    void numericRule_aboveMax_defaultKeepsFullResult()
    {
        TextTweak tweak(1, &m_context);
        tweak.setMinValue("100");
        tweak.setMaxValue("1000");
        tweak.setPreset_Quality("500");
        tweak.setPing("ds/8");
        tweak.SetPing();
        QCOMPARE(tweak.Default(), QByteArray("1500"));
        QCOMPARE(tweak.Value(), QByteArray("1000"));
        tweak.menuPreset(PresetChoice::Quality); // a ruled tweak takes no preset
        QCOMPARE(tweak.Value(), QByteArray("1000"));
        tweak.setValue("500");
        tweak.menuDefault();
        QCOMPARE(tweak.Value(), QByteArray("1000"));
    }

    void listening_inOrderUntilTheHoldGoes_evenDuringAChange()
    {
        SimpleTweak tweak(1, &m_context);
        QStringList calls;
        TweakModel::Listening first;
        TweakModel::Listening second;
        TweakModel::Listening third;
        first = tweak.onDisplayChanged([&] {
            calls << QStringLiteral("first");
            second.reset(); // a later listener stops listening before its turn
            first.reset();  // and this one while it runs
            third = tweak.onDisplayChanged([&] { calls << QStringLiteral("added"); });
        });
        second = tweak.onDisplayChanged([&] { calls << QStringLiteral("second"); });
        third = tweak.onDisplayChanged([&] { calls << QStringLiteral("third"); });
        tweak.setValue("1");
        // The replaced third listener stopped listening; the one added during the change waits for the next.
        QCOMPARE(calls, QStringList{QStringLiteral("first")});
        calls.clear();
        tweak.setValue("0");
        QCOMPARE(calls, QStringList{QStringLiteral("added")});

        // A moved hold keeps listening; the hold it was moved from ends nothing.
        calls.clear();
        TweakModel::Listening moved = std::move(third);
        third.reset();
        tweak.setValue("1");
        QCOMPARE(calls, QStringList{QStringLiteral("added")});
        moved.reset();
        tweak.setValue("0");
        QCOMPARE(calls, QStringList{QStringLiteral("added")});

        // A hold may outlive its tweak: there is nothing to end then, and nothing is touched.
        TweakModel::Listening hold;
        {
            auto text = std::make_unique<TextTweak>(1, &m_context);
            hold = text->onDisplayChanged([&calls] { calls << QStringLiteral("text"); });
        }
        hold.reset();
    }

    void labelRelease_marksOnlyRuledTweaksAndOpensOnlyOnRightButton()
    {
        SimpleTweak plain(1, &m_context);
        QVERIFY(plain.labelButtonReleased(2));
        QVERIFY(!plain.labelButtonReleased(1));
        QCOMPARE(plain.defaultMenuCaption(), QStringLiteral("Default"));

        SimpleTweak ruled(2, &m_context);
        ruled.setPing("us>6000");
        QVERIFY(!ruled.optimizedMarked()); // not before the first release
        QVERIFY(!ruled.labelButtonReleased(1));
        QCOMPARE(ruled.defaultMenuCaption(), QStringLiteral("Optimized"));
        QVERIFY(ruled.labelButtonReleased(2));
        QVERIFY(ruled.optimizedMarked());
    }

    void menuDefaultAndPresets_applyToEachKind()
    {
        SimpleTweak simple(1, &m_context);
        MultiTweak multi(1, &m_context);
        multi.AddCVars({{"Low", "25"}, {"High", "100"}, {"Ultra", "200"}});
        TextTweak text(1, &m_context);
        text.setMaxValue("10");
        // Default, High Quality, FPS Boost and Die Hard in turn, each a change, as each kind takes them.
        const std::tuple<TweakModel *, QByteArrayList, QByteArrayList> kinds[] = {
            {&simple, {"1", "0", "1", "0"}, {"1", "0", "1", "0"}},
            {&multi, {"1", "2", "0", "1"}, {"100", "200", "25", "100"}},
            {&text, {"42", "3", "4", "5"}, {"10", "3", "4", "5"}}};
        for (const auto &[tweak, presets, values] : kinds) {
            tweak->setDefault(presets[0]);
            tweak->setPreset_Quality(presets[1]);
            tweak->setPreset_FPS(presets[2]);
            tweak->setPreset_DieHard(presets[3]);
            tweak->menuDefault();
            QByteArrayList shown{tweak->Value()};
            for (const PresetChoice choice : {PresetChoice::Quality, PresetChoice::Fps, PresetChoice::DieHard}) {
                tweak->menuPreset(choice);
                shown << tweak->Value();
            }
            QCOMPARE(shown, values);
        }
    }

    void savedState_roundTripsEveryPropertyAsStored()
    {
        SimpleTweak simple(1, &m_context);
        MultiTweak multi(1, &m_context);
        TextTweak text(1, &m_context);
        for (TweakModel *tweak : std::initializer_list<TweakModel *>{&simple, &multi, &text}) {
            // Texts every setter would change: rules split again, values bounded or matched with the entries.
            PropertyStore store;
            for (const QString &name : tweak->storeOrder())
                store.insert(name, name.toUtf8() + " 1<2+3");
            tweak->readProperties(store);
            PropertyStore written;
            tweak->writeProperties(written);
            QCOMPARE(written, store);
            tweak->readProperties(PropertyStore()); // a missing name reads as ""
            QCOMPARE(tweak->Tweak(), QByteArray());
        }

        // Values are stored as they are, without touching what the widgets show.
        simple.setValue("0");
        simple.readProperties({{QStringLiteral("Value"), "1"}});
        QCOMPARE(simple.Value(), QByteArray("1"));
        QCOMPARE(simple.shown(), SimpleTweak::Shown::Off);
        multi.AddCVars({{"Low", "25"}, {"High", "100"}});
        multi.readProperties({{QStringLiteral("Value"), "100"}});
        QCOMPARE(multi.Value(), QByteArray("100"));
        QCOMPARE(multi.selected(), 0);
        // A numeric value is the box's text, bounded by the bounds in force before the stored ones are read.
        const PropertyStore bounds{{QStringLiteral("Value"), "250"}, {QStringLiteral("MaxValue"), "100"}};
        TextTweak fresh(2, &m_context);
        fresh.readProperties(bounds);
        QCOMPARE(fresh.Value(), QByteArray("250"));
        QCOMPARE(fresh.MaxValue(), QByteArray("100"));
        text.setMaxValue("50");
        text.readProperties(bounds);
        QCOMPARE(text.Value(), QByteArray("50"));
    }

private:
    ProgramState m_state;
    TweakContext m_context;
    QStringList m_errors;
};

QTEST_GUILESS_MAIN(TestTweakModels)
#include "tst_tweakmodels.moc"
