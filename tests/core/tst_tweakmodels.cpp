#include "app/numbertext.h"
#include "app/programstate.h"
#include "tweaks/multitweak.h"
#include "tweaks/simpletweak.h"
#include "tweaks/texttweak.h"

#include <QRandomGenerator>
#include <QTest>

#include <memory>

using namespace Tunesmith;

class TestTweakModels : public QObject
{
    Q_OBJECT

public:
    TestTweakModels() { m_context.state = &m_state; }

private slots:
    void simpleSetValue_onlyExactOneOrZeroChangesDisplay_data();
    void simpleSetValue_onlyExactOneOrZeroChangesDisplay();
    void simpleClicks_fillOneMarker_andSettersNeverChangeTheValue();

    void multiAddCVarAndPick_selectsFirstEntryEveryTime();
    void multiSetValue_takesPositionAndReadsValueText_data();
    void multiSetValue_takesPositionAndReadsValueText();
    void multiSetDesAsValue_selectsLastMatchingValueOnly_data();
    void multiSetDesAsValue_selectsLastMatchingValueOnly();

    void textWorkedSequence_typingPastMaxShowsMax();
    void textSetValue_boundsWholeNumbersOnly_data();
    void textSetValue_boundsWholeNumbersOnly();
    void textClearedBox_showsZero();
    void textFightingBounds_settleOnABound_data();
    void textFightingBounds_settleOnABound();
    void textMinMaxValue_boundsLikeTheBoxWithoutTouchingIt_data();
    void textMinMaxValue_boundsLikeTheBoxWithoutTouchingIt();
    void textBounding_agreesWithReadingEveryTextAgain();

    void listening_inOrderUntilTheHoldGoes_evenDuringAChange();
    void listening_holdMayOutliveTheTweak();

    void labelRelease_marksOnlyRuledTweaksAndOpensOnlyOnRightButton();
    void menuDefaultAndPresets_applyToEachKind();

    void savedState_roundTripsEveryProperty();
    void savedState_missingNamesReadAsEmpty();
    void savedState_valuesStoredWithoutTouchingWidgets();
    void savedState_numericValueBoundedByEarlierBounds();

private:
    ProgramState m_state;
    TweakContext m_context;
};

void TestTweakModels::simpleSetValue_onlyExactOneOrZeroChangesDisplay_data()
{
    QTest::addColumn<QByteArray>("value");
    QTest::addColumn<int>("shown");

    const int on = int(SimpleTweak::Shown::On);
    const int off = int(SimpleTweak::Shown::Off);
    QTest::newRow("1") << QByteArray("1") << on;
    QTest::newRow("0") << QByteArray("0") << off;
    QTest::newRow("blank before 1") << QByteArray(" 1") << off;
    QTest::newRow("blank after 1") << QByteArray("1 ") << off;
    QTest::newRow("01") << QByteArray("01") << off;
    QTest::newRow("on") << QByteArray("on") << off;
    QTest::newRow("empty") << QByteArray("") << off;
    QTest::newRow("2") << QByteArray("2") << off;
}

void TestTweakModels::simpleSetValue_onlyExactOneOrZeroChangesDisplay()
{
    QFETCH(QByteArray, value);
    QFETCH(int, shown);
    SimpleTweak tweak(1, &m_context);
    tweak.setValue("0");
    tweak.setValue(value);
    QCOMPARE(tweak.Value(), value); // what a save writes, even when the buttons cannot show it
    QCOMPARE(int(tweak.shown()), shown);
    QCOMPARE(tweak.onMarkerFilled(), shown == int(SimpleTweak::Shown::On));
    QCOMPARE(tweak.offMarkerFilled(), shown == int(SimpleTweak::Shown::Off));
}

void TestTweakModels::simpleClicks_fillOneMarker_andSettersNeverChangeTheValue()
{
    SimpleTweak tweak(1, &m_context);
    QCOMPARE(tweak.shown(), SimpleTweak::Shown::None);
    tweak.setValue("2");
    tweak.clickButton(1);
    QCOMPARE(tweak.Value(), QByteArray("1"));
    tweak.clickButton(0);
    QVERIFY(tweak.offMarkerFilled() && !tweak.onMarkerFilled());
    QCOMPARE(tweak.Value(), QByteArray("0"));
    tweak.menuDefault(); // an empty default changes nothing
    QCOMPARE(tweak.Value(), QByteArray("0"));
    tweak.clickButton(1);
    QCOMPARE(tweak.shown(), SimpleTweak::Shown::On);
    QVERIFY(tweak.onMarkerFilled() && !tweak.offMarkerFilled());
    // Only the menus apply defaults and presets; setting them leaves value and buttons alone.
    tweak.setDefault("0");
    tweak.setPreset_Quality("0");
    tweak.setPreset_FPS("0");
    tweak.setPreset_DieHard("0");
    QCOMPARE(tweak.Value(), QByteArray("1"));
    QCOMPARE(tweak.shown(), SimpleTweak::Shown::On);
}

void TestTweakModels::multiAddCVarAndPick_selectsFirstEntryEveryTime()
{
    MultiTweak tweak(1, &m_context);
    tweak.AddCVar("Low", "25");
    QCOMPARE(tweak.selected(), 0);
    QCOMPARE(tweak.Value(), QByteArray("25"));
    tweak.AddCVar("High", "100");
    QCOMPARE(tweak.entries().size(), 2);
    QCOMPARE(tweak.entries().at(1).description, QByteArray("High"));
    QCOMPARE(tweak.entries().at(1).value, QByteArray("100"));
    QCOMPARE(tweak.selected(), 0);
    tweak.pick(1);
    QCOMPARE(tweak.Value(), QByteArray("100"));
    tweak.AddCVar("Ultra", "200");
    QCOMPARE(tweak.selected(), 0);
    QCOMPARE(tweak.Value(), QByteArray("25"));
    tweak.pick(3); // no such entry
    QCOMPARE(tweak.selected(), 0);
    QCOMPARE(tweak.Value(), QByteArray("25"));

    // Adding a list at once ends as adding its entries one by one does, after a pick too.
    MultiTweak whole(2, &m_context);
    whole.AddCVars({});
    QCOMPARE(whole.selected(), -1);
    whole.AddCVars({{"Low", "25"}, {"High", "100"}});
    whole.pick(1);
    whole.AddCVars({{"Ultra", "200"}});
    QCOMPARE(whole.entries().size(), 3);
    QCOMPARE(whole.entries().at(2).value, QByteArray("200"));
    QCOMPARE(whole.valueState(), tweak.valueState());
}

void TestTweakModels::multiSetValue_takesPositionAndReadsValueText_data()
{
    QTest::addColumn<QByteArray>("position");
    QTest::addColumn<int>("selected");
    QTest::addColumn<QByteArray>("value");

    // Starts on entry 1 ("100"); a position that is no entry changes nothing.
    QTest::newRow("0") << QByteArray("0") << 0 << QByteArray("25");
    QTest::newRow("2") << QByteArray("2") << 2 << QByteArray("200");
    QTest::newRow("blanks around") << QByteArray(" 2 ") << 2 << QByteArray("200");
    QTest::newRow("half to even") << QByteArray("0.5") << 0 << QByteArray("25");
    QTest::newRow("1.5 to even") << QByteArray("1.5") << 2 << QByteArray("200");
    QTest::newRow("-1 clears the selection") << QByteArray("-1") << -1 << QByteArray();
    QTest::newRow("past the end") << QByteArray("3") << 1 << QByteArray("100");
    QTest::newRow("below -1") << QByteArray("-2") << 1 << QByteArray("100");
    QTest::newRow("beyond 16 bits") << QByteArray("65536") << 1 << QByteArray("100");
    QTest::newRow("empty") << QByteArray("") << 1 << QByteArray("100");
    QTest::newRow("value text") << QByteArray("High") << 1 << QByteArray("100");
    QTest::newRow("exponent") << QByteArray("2e0") << 1 << QByteArray("100");
}

void TestTweakModels::multiSetValue_takesPositionAndReadsValueText()
{
    QFETCH(QByteArray, position);
    QFETCH(int, selected);
    QFETCH(QByteArray, value);
    MultiTweak tweak(1, &m_context);
    tweak.AddCVar("Low", "25");
    tweak.AddCVar("High", "100");
    tweak.AddCVar("Ultra", "200");
    tweak.setValue("1");
    QCOMPARE(tweak.Value(), QByteArray("100"));
    tweak.setValue(position);
    QCOMPARE(tweak.selected(), selected);
    QCOMPARE(tweak.Value(), value);
}

void TestTweakModels::multiSetDesAsValue_selectsLastMatchingValueOnly_data()
{
    QTest::addColumn<QByteArray>("wanted");
    QTest::addColumn<int>("selected");

    // Entries: Off/0, Low/1, Same/1, High/x, Upper/X; starts on entry 0.
    QTest::newRow("single match") << QByteArray("x") << 3;
    QTest::newRow("case differs") << QByteArray("X") << 4;
    QTest::newRow("last of two matches") << QByteArray("1") << 2;
    QTest::newRow("description is not a value") << QByteArray("High") << 0;
    QTest::newRow("empty matches nothing") << QByteArray("") << 0;
    QTest::newRow("trailing blank") << QByteArray("x ") << 0;
    QTest::newRow("numerically equal text") << QByteArray("01") << 0;
}

void TestTweakModels::multiSetDesAsValue_selectsLastMatchingValueOnly()
{
    QFETCH(QByteArray, wanted);
    QFETCH(int, selected);
    MultiTweak tweak(1, &m_context);
    tweak.AddCVar("Off", "0");
    tweak.AddCVar("Low", "1");
    tweak.AddCVar("Same", "1");
    tweak.AddCVar("High", "x");
    tweak.AddCVar("Upper", "X");
    tweak.SetDesAsValue(wanted);
    QCOMPARE(tweak.selected(), selected);
    QCOMPARE(tweak.Value(), tweak.entries().at(selected).value);
}

void TestTweakModels::textWorkedSequence_typingPastMaxShowsMax()
{
    TextTweak tweak(1, &m_context);
    tweak.setMaxValue("100");
    tweak.setValue("50");
    QCOMPARE(tweak.Value(), QByteArray("50"));
    tweak.boxTextChanged("500");
    QCOMPARE(tweak.Value(), QByteArray("100"));
    tweak.boxTextChanged("1000.5");
    QCOMPARE(tweak.Value(), QByteArray("1000.5"));
}

void TestTweakModels::textSetValue_boundsWholeNumbersOnly_data()
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
    QTest::newRow("fraction equal to max") << B() << B("100") << B("100.0") << B("100.0");
    QTest::newRow("below min") << B("10") << B() << B("3") << B("10");
    QTest::newRow("empty counts as zero below min") << B("10") << B() << B() << B("10");
    QTest::newRow("fraction below min") << B("10") << B() << B("3.2") << B("3.2");
    QTest::newRow("negative below min") << B("-5") << B() << B("-7") << B("-5");
    QTest::newRow("blanks kept inside") << B("10") << B("100") << B(" 50 ") << B(" 50 ");
    QTest::newRow("empty without bounds") << B() << B() << B() << B("0");
    QTest::newRow("anything without bounds") << B() << B() << B("1.2.3") << B("1.2.3");
    QTest::newRow("letters never compared") << B("10") << B("100") << B("abc") << B("abc");
    QTest::newRow("digits beyond 32 bits above max") << B("10") << B("100") << B("99999999999") << B("100");
    QTest::newRow("beyond 32 bits below min") << B("10") << B("100") << B("-99999999999") << B("10");
    QTest::newRow("beyond 32 bits without bounds") << B() << B() << B("99999999999") << B("99999999999");
    QTest::newRow("non-numeric max ignored") << B() << B("abc") << B("5") << B("5");
}

void TestTweakModels::textSetValue_boundsWholeNumbersOnly()
{
    QFETCH(QByteArray, minValue);
    QFETCH(QByteArray, maxValue);
    QFETCH(QByteArray, value);
    QFETCH(QByteArray, shown);
    TextTweak tweak(1, &m_context);
    tweak.setMinValue(minValue);
    tweak.setMaxValue(maxValue);
    tweak.setValue(value);
    QCOMPARE(tweak.Value(), shown);
    // Typing the text into a fresh box bounds it alike; an empty box reports no change for "".
    TextTweak typed(2, &m_context);
    typed.setMinValue(minValue);
    typed.setMaxValue(maxValue);
    typed.boxTextChanged(value);
    QCOMPARE(typed.Value(), value.isEmpty() ? QByteArray() : shown);
}

void TestTweakModels::textClearedBox_showsZero()
{
    TextTweak tweak(1, &m_context);
    tweak.setValue("42");
    tweak.boxTextChanged("");
    QCOMPARE(tweak.Value(), QByteArray("0"));
}

void TestTweakModels::textFightingBounds_settleOnABound_data()
{
    QTest::addColumn<QByteArray>("minValue");
    QTest::addColumn<QByteArray>("maxValue");
    QTest::addColumn<QByteArray>("value");

    QTest::newRow("min above max, between") << QByteArray("10") << QByteArray("5") << QByteArray("7");
    QTest::newRow("min above max, above both") << QByteArray("10") << QByteArray("5") << QByteArray("20");
    QTest::newRow("equal written differently") << QByteArray("5") << QByteArray("05") << QByteArray("7");
    QTest::newRow("equal written differently, reversed") << QByteArray("05") << QByteArray("5") << QByteArray("5");
}

void TestTweakModels::textFightingBounds_settleOnABound()
{
    QFETCH(QByteArray, minValue);
    QFETCH(QByteArray, maxValue);
    QFETCH(QByteArray, value);
    TextTweak tweak(1, &m_context);
    tweak.setMinValue(minValue);
    tweak.setMaxValue(maxValue);
    tweak.setValue(value); // must return at all
    QVERIFY2(tweak.Value() == minValue || tweak.Value() == maxValue, tweak.Value().constData());
    tweak.boxTextChanged(value);
    QVERIFY2(tweak.Value() == minValue || tweak.Value() == maxValue, tweak.Value().constData());
}

void TestTweakModels::textMinMaxValue_boundsLikeTheBoxWithoutTouchingIt_data()
{
    QTest::addColumn<QByteArray>("minValue");
    QTest::addColumn<QByteArray>("maxValue");
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<qint32>("expected");

    QTest::newRow("empty with min 5") << QByteArray("5") << QByteArray() << QByteArray() << 5;
    QTest::newRow("empty without bounds") << QByteArray() << QByteArray() << QByteArray() << 0;
    QTest::newRow("7.5 rounds up, unbounded") << QByteArray() << QByteArray("5") << QByteArray("7.5") << 8;
    QTest::newRow("6.5 rounds down, unbounded") << QByteArray("7") << QByteArray() << QByteArray("6.5") << 6;
    QTest::newRow("above max") << QByteArray() << QByteArray("100") << QByteArray("1500") << 100;
    QTest::newRow("below min") << QByteArray("10") << QByteArray("100") << QByteArray("3") << 10;
    QTest::newRow("inside") << QByteArray("10") << QByteArray("100") << QByteArray(" 42 ") << 42;
    QTest::newRow("max written with zero") << QByteArray() << QByteArray("0100") << QByteArray("250") << 100;
}

void TestTweakModels::textMinMaxValue_boundsLikeTheBoxWithoutTouchingIt()
{
    QFETCH(QByteArray, minValue);
    QFETCH(QByteArray, maxValue);
    QFETCH(QByteArray, text);
    QFETCH(qint32, expected);
    TextTweak tweak(1, &m_context);
    tweak.setMinValue(minValue);
    tweak.setMaxValue(maxValue);
    tweak.boxTextChanged("12.5");
    QCOMPARE(tweak.MinMaxValue(text), expected);
    QCOMPARE(tweak.Value(), QByteArray("12.5"));
}

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
        if (!v.contains('.')) {
            const auto maxNumber = toInt32(max);
            const auto current = toInt32Saturated(text);
            if (maxNumber && current && *maxNumber <= *current)
                setBoxText(max);
        }
        if (!v.contains('.')) {
            const auto minNumber = toInt32(min);
            const auto current = toInt32Saturated(text);
            if (minNumber && current && *minNumber >= *current)
                setBoxText(min);
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

void TestTweakModels::textBounding_agreesWithReadingEveryTextAgain()
{
    // The model keeps each text's number; every way a text or a bound changes must keep them in step.
    const QList<QByteArray> texts = {"",     "0",   "5",  "05",  "10",         "-3",         "7.5", "100",
                                     " 42 ", "abc", "+8", "1e3", "2147483647", "2147483648", "-0",  "9.5"};
    QRandomGenerator random(20261207);
    const auto pick = [&] { return texts[random.bounded(int(texts.size()))]; };
    for (int round = 0; round < 3000; ++round) {
        TextTweak tweak(1, &m_context);
        PlainBox plain;
        QByteArrayList steps;
        for (int step = 0; step < 8; ++step) {
            const QByteArray text = pick();
            switch (random.bounded(6)) {
            case 0:
                tweak.setMinValue(text);
                plain.min = text;
                steps << "min " + text;
                break;
            case 1:
                tweak.setMaxValue(text);
                plain.max = text;
                steps << "max " + text;
                break;
            case 2:
                tweak.setValue(text);
                plain.apply(text);
                steps << "value " + text;
                break;
            case 3:
                tweak.boxTextChanged(text);
                plain.setBoxText(text);
                steps << "typed " + text;
                break;
            case 4:
                tweak.restoreValueState({text, "0", -1});
                plain.text = text;
                steps << "state " + text;
                break;
            case 5: {
                const QByteArray max = pick();
                const QByteArray min = pick();
                PropertyStore store;
                store.insert(QStringLiteral("Value"), text);
                store.insert(QStringLiteral("MaxValue"), max);
                store.insert(QStringLiteral("MinValue"), min);
                tweak.readProperties(store);
                plain.setBoxText(text);
                plain.max = max;
                plain.min = min;
                steps << "stored " + text + " " + max + " " + min;
                break;
            }
            }
            const QByteArray probe = pick();
            QVERIFY2(tweak.Value() == plain.text && tweak.MinMaxValue(probe) == plain.bounded(probe),
                     (steps.join(" / ") + " / probe " + probe).constData());
        }
    }
}

void TestTweakModels::listening_inOrderUntilTheHoldGoes_evenDuringAChange()
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
}

void TestTweakModels::listening_holdMayOutliveTheTweak()
{
    int calls = 0;
    TweakModel::Listening hold;
    {
        auto tweak = std::make_unique<TextTweak>(1, &m_context);
        hold = tweak->onDisplayChanged([&calls] { ++calls; });
        tweak->setValue("5");
        QCOMPARE(calls, 1);
    }
    hold.reset(); // the tweak is gone: nothing to end, nothing touched
    QCOMPARE(calls, 1);
}

void TestTweakModels::labelRelease_marksOnlyRuledTweaksAndOpensOnlyOnRightButton()
{
    SimpleTweak plain(1, &m_context);
    QVERIFY(plain.labelButtonReleased(2));
    QVERIFY(!plain.labelButtonReleased(1));
    QVERIFY(!plain.labelButtonReleased(4));
    QVERIFY(!plain.optimizedMarked());
    QCOMPARE(plain.defaultMenuCaption(), QStringLiteral("Default"));
    QVERIFY(plain.presetMenuEnabled());

    MultiTweak list(1, &m_context);
    QVERIFY(list.labelButtonReleased(2));
    QVERIFY(!list.optimizedMarked());

    SimpleTweak ruled(2, &m_context);
    ruled.setPing("us>6000");
    QVERIFY(!ruled.optimizedMarked()); // not before the first release
    QVERIFY(!ruled.labelButtonReleased(1));
    QVERIFY(ruled.optimizedMarked());
    QCOMPARE(ruled.defaultMenuCaption(), QStringLiteral("Optimized"));
    QVERIFY(!ruled.presetMenuEnabled());
    QVERIFY(ruled.labelButtonReleased(2));
    QVERIFY(ruled.optimizedMarked());

    TextTweak ruledText(1, &m_context);
    ruledText.setPing("ds/8");
    QVERIFY(!ruledText.labelButtonReleased(0));
    QCOMPARE(ruledText.defaultMenuCaption(), QStringLiteral("Optimized"));
}

void TestTweakModels::menuDefaultAndPresets_applyToEachKind()
{
    SimpleTweak simple(1, &m_context);
    simple.setDefault("1");
    simple.setPreset_FPS("0");
    simple.menuDefault();
    QCOMPARE(simple.shown(), SimpleTweak::Shown::On);
    simple.menuPreset(PresetChoice::Fps);
    QCOMPARE(simple.Value(), QByteArray("0"));

    MultiTweak multi(1, &m_context);
    multi.AddCVar("Low", "25");
    multi.AddCVar("High", "100");
    multi.setDefault("0");
    multi.setPreset_DieHard("1");
    multi.pick(1);
    multi.menuDefault();
    QCOMPARE(multi.Value(), QByteArray("25"));
    multi.menuPreset(PresetChoice::DieHard);
    QCOMPARE(multi.Value(), QByteArray("100"));

    TextTweak text(1, &m_context);
    text.setMaxValue("10");
    text.setDefault("42");
    text.setPreset_Quality("3");
    text.menuDefault();
    QCOMPARE(text.Value(), QByteArray("10"));
    text.menuPreset(PresetChoice::Quality);
    QCOMPARE(text.Value(), QByteArray("3"));
}

void TestTweakModels::savedState_roundTripsEveryProperty()
{
    SimpleTweak simple(1, &m_context);
    simple.setTweak("r_vsync");
    simple.setDefault("0");
    simple.setPreset_Quality("1");
    simple.setPreset_FPS("0");
    simple.setPreset_DieHard("0");
    simple.setPing("us>6000");
    simple.setValue("1");
    simple.setShortDescription("Vertical sync");
    simple.setLongDescription("Waits for the monitor.");
    simple.setDepartment("Graphics");
    PropertyStore store;
    simple.writeProperties(store);
    QCOMPARE(store.value(QStringLiteral("Ping")), QByteArray("us|>|6000"));
    QCOMPARE(store.value(QStringLiteral("ShortDescription")), QByteArray("Vertical sync"));

    SimpleTweak copy(2, &m_context);
    copy.readProperties(store);
    PropertyStore again;
    copy.writeProperties(again);
    QCOMPARE(again, store);
    QCOMPARE(copy.Ping(), QByteArray("us|>|6000")); // taken as split form, not split again
    QCOMPARE(copy.ShortDescription(), QByteArray("Vertical sync"));

    TextTweak text(1, &m_context);
    text.setTweak("r_gamma");
    text.setMinValue("50");
    text.setMaxValue("200");
    text.setValue("120");
    text.setPing("us*2+ds");
    text.setDepartment("Graphics");
    PropertyStore textStore;
    text.writeProperties(textStore);
    QCOMPARE(textStore.value(QStringLiteral("Value")), QByteArray("120"));
    QCOMPARE(textStore.value(QStringLiteral("MinValue")), QByteArray("50"));
    TextTweak textCopy(2, &m_context);
    textCopy.readProperties(textStore);
    PropertyStore textAgain;
    textCopy.writeProperties(textAgain);
    QCOMPARE(textAgain, textStore);
}

void TestTweakModels::savedState_missingNamesReadAsEmpty()
{
    SimpleTweak simple(1, &m_context);
    simple.setTweak("r_vsync");
    simple.setPing("us>1");
    simple.setValue("1");
    simple.setShortDescription("Vertical sync");
    simple.setDepartment("Graphics");
    PropertyStore partial;
    partial.insert(QStringLiteral("Tweak"), "r_other");
    simple.readProperties(partial);
    QCOMPARE(simple.Tweak(), QByteArray("r_other"));
    QCOMPARE(simple.Ping(), QByteArray());
    QCOMPARE(simple.Value(), QByteArray());
    QCOMPARE(simple.ShortDescription(), QByteArray());
    QCOMPARE(simple.Department(), QByteArray());

    TextTweak text(1, &m_context);
    text.readProperties(PropertyStore());
    PropertyStore written;
    text.writeProperties(written);
    QCOMPARE(written.size(), 12);
    for (const QByteArray &value : std::as_const(written))
        QCOMPARE(value, QByteArray());
}

void TestTweakModels::savedState_valuesStoredWithoutTouchingWidgets()
{
    SimpleTweak simple(1, &m_context);
    simple.setValue("0");
    PropertyStore store;
    store.insert(QStringLiteral("Value"), "1");
    simple.readProperties(store);
    QCOMPARE(simple.Value(), QByteArray("1"));
    QCOMPARE(simple.shown(), SimpleTweak::Shown::Off);

    MultiTweak multi(1, &m_context);
    multi.AddCVar("Low", "25");
    multi.AddCVar("High", "100");
    store.insert(QStringLiteral("Value"), "100");
    multi.readProperties(store);
    QCOMPARE(multi.Value(), QByteArray("100"));
    QCOMPARE(multi.selected(), 0);
}

void TestTweakModels::savedState_numericValueBoundedByEarlierBounds()
{
    // Value comes before MaxValue and MinValue in the store, so the box sees the bounds the control had before.
    PropertyStore store;
    store.insert(QStringLiteral("Value"), "250");
    store.insert(QStringLiteral("MaxValue"), "100");
    store.insert(QStringLiteral("MinValue"), "300");

    TextTweak fresh(1, &m_context);
    fresh.readProperties(store);
    QCOMPARE(fresh.Value(), QByteArray("250"));
    QCOMPARE(fresh.MaxValue(), QByteArray("100"));
    QCOMPARE(fresh.MinValue(), QByteArray("300"));

    TextTweak bounded(2, &m_context);
    bounded.setMaxValue("50");
    bounded.readProperties(store);
    QCOMPARE(bounded.Value(), QByteArray("50"));
    QCOMPARE(bounded.MaxValue(), QByteArray("100"));
}

QTEST_GUILESS_MAIN(TestTweakModels)
#include "tst_tweakmodels.moc"
