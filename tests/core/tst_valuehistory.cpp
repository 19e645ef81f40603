#include "editor/tweaksearch.h"
#include "editor/valuehistory.h"
#include "loader/loadedprofile.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using namespace Tunesmith;

namespace
{

// Two pages: an on/off, a list and a bounded numeric tweak on the first, a ruled numeric tweak on the second.
const QByteArray profileText =
    "[title]\r\nTest Game\r\n1-2-2026\r\nTester\r\n"
    "[syntax]\r\ngame.cfg\r\nseta cvar \"value\"\r\n"
    "[add tab]\r\nVideo\r\n"
    "[add simple]\r\nr_fullscreen\r\n1|1|0|0\r\nFull screen\r\nRuns the game in a WINDOW or not.\r\n"
    "[add multi]\r\nr_picmip\r\nHigh|Medium|Low\r\n0|1|2\r\n1|0|2|2\r\nTexture detail\r\n"
    "How sharp textures are.\r\n"
    "[add text]\r\ncom_maxfps\r\n30|250\r\n85|60|125|250\r\nFrame limit\r\nMost frames a second.\r\n"
    "[add tab]\r\nNetwork\r\n"
    "[add ping text]\r\nrate\r\n2500|25000\r\nds/8\r\nRate\r\nBytes a second the server sends.\r\n";

} // namespace

class TestValueHistory : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();

    void restoreBefore_putsEveryKindBackExactly();
    void changesTo_listsOnlyChangedTweaksInSaveOrder();
    void restore_tellsTheViews();
    void findTweaks_data();
    void findTweaks();

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    ProgramState m_state;
    std::unique_ptr<LoadedProfile> m_profile;
};

void TestValueHistory::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    const QString path = m_dir->filePath(QStringLiteral("Test Game.tsm"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(profileText) == profileText.size());
    file.close();
    m_state = ProgramState();
    m_state.downloadSpeed = 80000;
    QString error;
    m_profile = loadProfile(path, m_state, {}, nullptr, &error);
    QVERIFY2(m_profile, qPrintable(error));
}

void TestValueHistory::restoreBefore_putsEveryKindBackExactly()
{
    SimpleTweak &simple = *m_profile->simple[0];
    MultiTweak &multi = *m_profile->multi[0];
    TextTweak &text = *m_profile->text[0];
    TextTweak &ruled = *m_profile->text[1];
    // States the setters cannot give back: a stored "2" under the On picture, a list value that is not its
    // entry's, a box text above its bound (as restored saved state leaves it), a rule's result.
    simple.setValue("1");
    simple.setValue("2");
    PropertyStore store;
    multi.writeProperties(store);
    store.insert(QStringLiteral("Value"), "odd");
    multi.readProperties(store);
    text.restoreValueState({"999", "85", -1});
    const ValueSnapshot before = ValueSnapshot::capture(*m_profile);

    simple.clickButton(0);
    multi.pick(2);
    text.setValue("30");
    m_state.downloadSpeed = 16000;
    ruled.SetPing();
    const QList<ValueChange> changes = before.changesTo(ValueSnapshot::capture(*m_profile));
    QCOMPARE(changes.size(), 4);

    restoreBefore(*m_profile, changes);
    QCOMPARE(simple.Value(), QByteArray("2"));
    QCOMPARE(simple.shown(), SimpleTweak::Shown::On);
    QCOMPARE(multi.Value(), QByteArray("odd"));
    QCOMPARE(multi.selected(), 1);
    QCOMPARE(text.Value(), QByteArray("999"));
    QCOMPARE(ruled.Value(), QByteArray("10000"));
    QCOMPARE(ruled.Default(), QByteArray("10000"));
    QVERIFY(before.changesTo(ValueSnapshot::capture(*m_profile)).isEmpty());

    restoreAfter(*m_profile, changes);
    QCOMPARE(simple.Value(), QByteArray("0"));
    QCOMPARE(simple.shown(), SimpleTweak::Shown::Off);
    QCOMPARE(multi.Value(), QByteArray("2"));
    QCOMPARE(text.Value(), QByteArray("30"));
    QCOMPARE(ruled.Value(), QByteArray("2500")); // 16000 / 8 held at its minimum; the rule's result stays whole
    QCOMPARE(ruled.Default(), QByteArray("2000"));
}

void TestValueHistory::changesTo_listsOnlyChangedTweaksInSaveOrder()
{
    const ValueSnapshot before = ValueSnapshot::capture(*m_profile);
    QCOMPARE(before.size(), 4);
    m_profile->multi[0]->pick(0);
    m_profile->text[0]->setValue("85"); // as it was
    m_profile->simple[0]->clickButton(0);
    const QList<ValueChange> changes = before.changesTo(ValueSnapshot::capture(*m_profile));
    QCOMPARE(changes.size(), 2);
    QCOMPARE(changes[0].kind, TweakKind::Simple); // the save order: on/off, numeric, list
    QCOMPARE(changes[0].before.value, QByteArray("1"));
    QCOMPARE(changes[0].after.value, QByteArray("0"));
    QCOMPARE(changes[1].kind, TweakKind::Multi);
    QCOMPARE(changes[1].after.shown, 0);
}

void TestValueHistory::restore_tellsTheViews()
{
    int shown = 0;
    const auto listening = m_profile->text[0]->onDisplayChanged([&shown] { ++shown; });
    m_profile->text[0]->restoreValueState({"100", "85", -1});
    QCOMPARE(shown, 1);
}

void TestValueHistory::findTweaks_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("found");
    QTest::newRow("variable name, any case") << "R_PIC" << QStringList{QStringLiteral("r_picmip")};
    QTest::newRow("short description") << "frame limit" << QStringList{QStringLiteral("com_maxfps")};
    QTest::newRow("long description") << "window" << QStringList{QStringLiteral("r_fullscreen")};
    QTest::newRow("page by page, in placing order")
        << "a"
        << QStringList{QStringLiteral("r_fullscreen"), QStringLiteral("r_picmip"), QStringLiteral("com_maxfps"),
                       QStringLiteral("rate")};
    QTest::newRow("nothing holds it") << "zzz" << QStringList{};
    QTest::newRow("empty text finds nothing") << "" << QStringList{};
}

void TestValueHistory::findTweaks()
{
    QFETCH(QString, text);
    QFETCH(QStringList, found);
    QStringList names;
    for (const TweakMatch &match : Tunesmith::findTweaks(*m_profile, text)) {
        names << QString::fromUtf8(m_profile->model(match.kind, match.index)->Tweak());
        QCOMPARE(match.page, match.kind == TweakKind::Text && match.index == 2 ? 1 : 0);
    }
    QCOMPARE(names, found);
}

QTEST_GUILESS_MAIN(TestValueHistory)
#include "tst_valuehistory.moc"
