#include "app/programstate.h"
#include "tweaks/connectionrule.h"
#include "tweaks/simpletweak.h"
#include "tweaks/texttweak.h"

#include <QTest>

#include <limits>

using namespace Tunesmith;

class TestConnectionRules : public QObject
{
    Q_OBJECT

public:
    TestConnectionRules()
    {
        m_context.state = &m_state;
        m_context.reportRuleError = [this](const QString &message) { m_errors.append(message); };
    }

private slots:
    void init();

    void setPing_storesSplitForm_data();
    void setPing_storesSplitForm();

    void onOffRule_comparesAsTheTableSays_data();
    void onOffRule_comparesAsTheTableSays();
    void onOffRule_thatCannotBeEvaluated_leavesValueAndDefault_data();
    void onOffRule_thatCannotBeEvaluated_leavesValueAndDefault();
    void onOffRuleGivingZero_isWhatOptimizedAppliesLater();

    void numericRule_evaluatesLeftToRight_data();
    void numericRule_evaluatesLeftToRight();
    void numericRule_failure_reportsSplitFormAndChangesNothing_data();
    void numericRule_failure_reportsSplitFormAndChangesNothing();
    void numericRule_aboveMax_defaultKeepsFullResult();
    void rules_readSpeedsOnlyWhenEvaluated();

private:
    ProgramState m_state;
    TweakContext m_context;
    QStringList m_errors;
};

void TestConnectionRules::init()
{
    m_errors.clear();
    m_state.uploadSpeed = 3000;
    m_state.downloadSpeed = 12000;
}

void TestConnectionRules::setPing_storesSplitForm_data()
{
    QTest::addColumn<bool>("numeric");
    QTest::addColumn<QByteArray>("written");
    QTest::addColumn<QByteArray>("split");

    QTest::newRow("greater") << false << QByteArray("us>6000") << QByteArray("us|>|6000");
    QTest::newRow("less") << false << QByteArray("ds<16000") << QByteArray("ds|<|16000");
    QTest::newRow("arithmetic kept in on/off") << false << QByteArray("us*2>100") << QByteArray("us*2|>|100");
    QTest::newRow("two signs") << false << QByteArray("1<us>2") << QByteArray("1|<|us|>|2");
    QTest::newRow("every operator") << true << QByteArray("1+2-3*4/5^6") << QByteArray("1|+|2|-|3|*|4|/|5|^|6");
    QTest::newRow("worked example") << true << QByteArray("us*2+ds") << QByteArray("us|*|2|+|ds");
    QTest::newRow("comparison kept in numeric") << true << QByteArray("us<5") << QByteArray("us<5");
    QTest::newRow("doubled operator") << true << QByteArray("us--2") << QByteArray("us|-||-|2");
    QTest::newRow("empty") << true << QByteArray() << QByteArray();
}

void TestConnectionRules::setPing_storesSplitForm()
{
    QFETCH(bool, numeric);
    QFETCH(QByteArray, written);
    QFETCH(QByteArray, split);
    if (numeric) {
        TextTweak tweak(1, &m_context);
        tweak.setPing(written);
        QCOMPARE(tweak.Ping(), split);
        QCOMPARE(tweak.Default(), QByteArray()); // setting Ping evaluates nothing
    } else {
        SimpleTweak tweak(1, &m_context);
        tweak.setPing(written);
        QCOMPARE(tweak.Ping(), split);
        QCOMPARE(tweak.Default(), QByteArray());
    }
}

void TestConnectionRules::onOffRule_comparesAsTheTableSays_data()
{
    QTest::addColumn<QByteArray>("rule");
    QTest::addColumn<qint32>("upload");
    QTest::addColumn<qint32>("download");
    QTest::addColumn<QByteArray>("expected");

    QTest::newRow("us>6000, us 4000") << QByteArray("us>6000") << 4000 << 0 << QByteArray("1");
    QTest::newRow("us>6000, equal") << QByteArray("us>6000") << 6000 << 0 << QByteArray("0");
    QTest::newRow("us>6000, us 8000") << QByteArray("us>6000") << 8000 << 0 << QByteArray("0");
    QTest::newRow("us<6000, equal") << QByteArray("us<6000") << 6000 << 0 << QByteArray("0");
    QTest::newRow("ds<16000, ds 64000") << QByteArray("ds<16000") << 0 << 64000 << QByteArray("1");
    QTest::newRow("ds<16000, ds 8000") << QByteArray("ds<16000") << 0 << 8000 << QByteArray("0");
    QTest::newRow("16000<ds, ds 8000") << QByteArray("16000<ds") << 0 << 8000 << QByteArray("1");
    QTest::newRow("16000<ds, ds 64000") << QByteArray("16000<ds") << 0 << 64000 << QByteArray("0");
    QTest::newRow("both speeds") << QByteArray("us<ds") << 3000 << 2000 << QByteArray("1");
    QTest::newRow("negative speed") << QByteArray("us<0") << -5 << 0 << QByteArray("0");
    QTest::newRow("rounded operand") << QByteArray("us>6000.5") << 6000 << 0 << QByteArray("0");
    QTest::newRow("tokens after the third ignored") << QByteArray("us>6000>1") << 4000 << 0 << QByteArray("1");
}

void TestConnectionRules::onOffRule_comparesAsTheTableSays()
{
    QFETCH(QByteArray, rule);
    QFETCH(qint32, upload);
    QFETCH(qint32, download);
    QFETCH(QByteArray, expected);
    m_state.uploadSpeed = upload;
    m_state.downloadSpeed = download;
    SimpleTweak tweak(1, &m_context);
    tweak.setPing(rule);
    tweak.SetPing();
    QCOMPARE(tweak.Value(), expected);
    QCOMPARE(tweak.Default(), expected);
    QCOMPARE(tweak.shown(), expected == "1" ? SimpleTweak::Shown::On : SimpleTweak::Shown::Off);
    QVERIFY(m_errors.isEmpty());
}

void TestConnectionRules::onOffRule_thatCannotBeEvaluated_leavesValueAndDefault_data()
{
    QTest::addColumn<QByteArray>("rule");

    QTest::newRow("empty") << QByteArray();
    QTest::newRow("variable only") << QByteArray("us");
    QTest::newRow("nothing after the sign") << QByteArray("us>");
    QTest::newRow("nothing before the sign") << QByteArray(">6000");
    QTest::newRow("arithmetic operand") << QByteArray("us*2>100");
    QTest::newRow("upper-case variable") << QByteArray("US>100");
    QTest::newRow("blank in variable") << QByteArray("us >100");
    QTest::newRow("no sign") << QByteArray("us=100");
}

void TestConnectionRules::onOffRule_thatCannotBeEvaluated_leavesValueAndDefault()
{
    QFETCH(QByteArray, rule);
    SimpleTweak tweak(1, &m_context);
    tweak.setValue("1");
    tweak.setDefault("1");
    tweak.setPing(rule);
    tweak.SetPing();
    QCOMPARE(tweak.Value(), QByteArray("1"));
    QCOMPARE(tweak.Default(), QByteArray("1"));
    QCOMPARE(tweak.shown(), SimpleTweak::Shown::On);
}

void TestConnectionRules::onOffRuleGivingZero_isWhatOptimizedAppliesLater()
{
    SimpleTweak tweak(1, &m_context);
    tweak.setPing("us>100");
    tweak.SetPing();
    QCOMPARE(tweak.shown(), SimpleTweak::Shown::Off);
    tweak.clickButton(1);
    tweak.labelButtonReleased(2);
    QCOMPARE(tweak.defaultMenuCaption(), QStringLiteral("Optimized"));
    tweak.menuDefault();
    QCOMPARE(tweak.Value(), QByteArray("0"));
    QCOMPARE(tweak.shown(), SimpleTweak::Shown::Off);
}

void TestConnectionRules::numericRule_evaluatesLeftToRight_data()
{
    QTest::addColumn<QByteArray>("rule");
    QTest::addColumn<QByteArray>("expected");

    // Upload speed 3000, download speed 12000.
    QTest::newRow("ds/8") << QByteArray("ds/8") << QByteArray("1500");
    QTest::newRow("us*2+ds") << QByteArray("us*2+ds") << QByteArray("18000");
    QTest::newRow("no precedence") << QByteArray("2+3*4") << QByteArray("20");
    QTest::newRow("ds/7 rounds") << QByteArray("ds/7") << QByteArray("1714");
    QTest::newRow("10/4 half to even") << QByteArray("10/4") << QByteArray("2");
    QTest::newRow("14/4 half to even") << QByteArray("14/4") << QByteArray("4");
    QTest::newRow("us-4000 negative") << QByteArray("us-4000") << QByteArray("-1000");
    QTest::newRow("3^2") << QByteArray("3^2") << QByteArray("9");
    QTest::newRow("2^30") << QByteArray("2^30") << QByteArray("1073741824");
    QTest::newRow("us*8/1000") << QByteArray("us*8/1000") << QByteArray("24");
    QTest::newRow("us/1000*8") << QByteArray("us/1000*8") << QByteArray("24");
    QTest::newRow("us/7000*8 rounds first") << QByteArray("us/7000*8") << QByteArray("0");
    QTest::newRow("variable alone") << QByteArray("us") << QByteArray("3000");
    QTest::newRow("fraction operand rounds") << QByteArray("2.5*ds") << QByteArray("24000");
    QTest::newRow("int32 max") << QByteArray("2147483646+1") << QByteArray("2147483647");
}

void TestConnectionRules::numericRule_evaluatesLeftToRight()
{
    QFETCH(QByteArray, rule);
    QFETCH(QByteArray, expected);
    TextTweak tweak(1, &m_context);
    tweak.setPing(rule);
    tweak.SetPing();
    QCOMPARE(tweak.Default(), expected);
    QCOMPARE(tweak.Value(), expected);
    QVERIFY(m_errors.isEmpty());
}

void TestConnectionRules::numericRule_failure_reportsSplitFormAndChangesNothing_data()
{
    QTest::addColumn<QByteArray>("rule");
    QTest::addColumn<qint32>("upload");
    QTest::addColumn<qint32>("download");
    QTest::addColumn<QByteArray>("split");

    const qint32 lowest = std::numeric_limits<qint32>::min();
    QTest::newRow("division by zero") << QByteArray("us/0") << 3000 << 12000 << QByteArray("us|/|0");
    QTest::newRow("upper-case variable") << QByteArray("US*2") << 3000 << 12000 << QByteArray("US|*|2");
    QTest::newRow("blank after variable") << QByteArray("us *2") << 3000 << 12000 << QByteArray("us |*|2");
    QTest::newRow("trailing operator") << QByteArray("ds/") << 3000 << 12000 << QByteArray("ds|/|");
    QTest::newRow("empty token") << QByteArray("us++2") << 3000 << 12000 << QByteArray("us|+||+|2");
    QTest::newRow("leading minus") << QByteArray("-5") << 3000 << 12000 << QByteArray("|-|5");
    QTest::newRow("leftover comparison") << QByteArray("us<5") << 3000 << 12000 << QByteArray("us<5");
    QTest::newRow("operand beyond 32 bits")
        << QByteArray("4294967296/2") << 3000 << 12000 << QByteArray("4294967296|/|2");
    QTest::newRow("overflow on *") << QByteArray("us*1000000") << 3000 << 12000 << QByteArray("us|*|1000000");
    QTest::newRow("overflow on +") << QByteArray("2147483647+1") << 3000 << 12000 << QByteArray("2147483647|+|1");
    QTest::newRow("overflow on -") << QByteArray("0-2147483647-2") << 3000 << 12000 << QByteArray("0|-|2147483647|-|2");
    QTest::newRow("overflow on /") << QByteArray("us/ds") << lowest << -1 << QByteArray("us|/|ds");
    QTest::newRow("overflow on ^") << QByteArray("2^31") << 3000 << 12000 << QByteArray("2|^|31");
    QTest::newRow("zero to a negative power") << QByteArray("0^ds") << 3000 << -1 << QByteArray("0|^|ds");
}

void TestConnectionRules::numericRule_failure_reportsSplitFormAndChangesNothing()
{
    QFETCH(QByteArray, rule);
    QFETCH(qint32, upload);
    QFETCH(qint32, download);
    QFETCH(QByteArray, split);
    m_state.uploadSpeed = upload;
    m_state.downloadSpeed = download;
    TextTweak tweak(1, &m_context);
    tweak.setValue("7");
    tweak.setDefault("7");
    tweak.setPing(rule);
    tweak.SetPing();
    const QString message = QStringLiteral("Decimal value detected in condition: ") + QString::fromLatin1(split) +
                            QStringLiteral(". Please avoid using decimal value's.");
    QCOMPARE(m_errors, QStringList{message});
    QCOMPARE(tweak.Default(), QByteArray("7"));
    QCOMPARE(tweak.Value(), QByteArray("7"));
}

void TestConnectionRules::numericRule_aboveMax_defaultKeepsFullResult()
{
    TextTweak tweak(1, &m_context);
    tweak.setMinValue("100");
    tweak.setMaxValue("1000");
    tweak.setPing("ds/8");
    tweak.SetPing();
    QCOMPARE(tweak.Default(), QByteArray("1500"));
    QCOMPARE(tweak.Value(), QByteArray("1000"));
    QCOMPARE(tweak.MinMaxValue(tweak.Default()), 1000); // what the description box shows
    tweak.setValue("500");
    tweak.menuDefault();
    QCOMPARE(tweak.Value(), QByteArray("1000"));
    tweak.SetPing(); // same result again: bounded again
    QCOMPARE(tweak.Value(), QByteArray("1000"));

    m_state.downloadSpeed = 80;
    tweak.SetPing();
    QCOMPARE(tweak.Default(), QByteArray("10"));
    QCOMPARE(tweak.Value(), QByteArray("100"));
}

void TestConnectionRules::rules_readSpeedsOnlyWhenEvaluated()
{
    SimpleTweak simple(1, &m_context);
    simple.setPing("us>6000");
    TextTweak text(1, &m_context);
    text.setPing("us*2");
    simple.SetPing();
    text.SetPing();
    QCOMPARE(simple.Value(), QByteArray("1"));
    QCOMPARE(text.Value(), QByteArray("6000"));

    m_state.uploadSpeed = 8000;
    QCOMPARE(simple.Value(), QByteArray("1"));
    QCOMPARE(text.Value(), QByteArray("6000"));
    simple.SetPing();
    text.SetPing();
    QCOMPARE(simple.Value(), QByteArray("0"));
    QCOMPARE(simple.Default(), QByteArray("0"));
    QCOMPARE(text.Value(), QByteArray("16000"));
}

QTEST_GUILESS_MAIN(TestConnectionRules)
#include "tst_connectionrules.moc"
