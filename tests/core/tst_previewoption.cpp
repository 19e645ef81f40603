#include "app/settings.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace Tunesmith;

class TestPreviewOption : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void read_onlyExactOneTurnsItOn_data();
    void read_onlyExactOneTurnsItOn();
    void toggle_appendsThenRewritesItsLine();
};

void TestPreviewOption::read_onlyExactOneTurnsItOn_data()
{
    QTest::addColumn<QByteArray>("settings");
    QTest::addColumn<bool>("preview");
    QTest::newRow("absent: off") << QByteArray("update|0\r\nbackups|1\r\n") << false;
    QTest::newRow("1: on") << QByteArray("preview|1\r\n") << true;
    QTest::newRow("0: off") << QByteArray("preview|0\r\n") << false;
    QTest::newRow("other texts: off") << QByteArray("preview|yes\r\npreview| 1\r\nPreview|1\r\n") << false;
    QTest::newRow("one line of 1 is enough") << QByteArray("preview|0\r\npreview|1\r\npreview|0\r\n") << true;
}

void TestPreviewOption::read_onlyExactOneTurnsItOn()
{
    QFETCH(QByteArray, settings);
    QFETCH(bool, preview);
    QTemporaryDir dir;
    ProgramState state;
    state.programFolder = dir.path();
    state.preview = true; // the read starts from off
    QFile file(state.settingsPath());
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(settings) == settings.size());
    file.close();
    Settings::read(state);
    QCOMPARE(state.preview, preview);
    // The other options keep their rule: on unless "0".
    QVERIFY(state.descriptions && state.autoUpdate == !settings.contains("update|0"));
}

void TestPreviewOption::toggle_appendsThenRewritesItsLine()
{
    QTemporaryDir dir;
    ProgramState state;
    state.programFolder = dir.path();
    QFile file(state.settingsPath());
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write("update|0\r\n") == 10);
    file.close();
    QString error;
    QVERIFY2(Settings::toggleOption(state, Option::Preview, &error), qPrintable(error));
    QVERIFY(state.preview);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), QByteArray("update|0\r\npreview|1\r\n"));
    file.close();
    QVERIFY(Settings::toggleOption(state, Option::Preview, &error));
    QVERIFY(!state.preview);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), QByteArray("update|0\r\npreview|0\r\n"));
}

QTEST_GUILESS_MAIN(TestPreviewOption)
#include "tst_previewoption.moc"
