#include "clirun.h"

#include <QProcess>
#include <QTest>

namespace
{

// A run of program with the environment's display variables taken away and the given ones added.
Run runProgram(const QString &program, const QStringList &arguments, const QStringList &environment = {})
{
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "XDG_DATA_HOME"})
        env.remove(QString::fromLatin1(name));
    for (const QString &setting : environment)
        env.insert(setting.section(QLatin1Char('='), 0, 0), setting.section(QLatin1Char('='), 1));
    process.setProcessEnvironment(env);
    process.start(program, arguments);
    Run run;
    if (process.waitForFinished(30000) && process.exitStatus() == QProcess::NormalExit)
        run.status = process.exitCode();
    run.out = process.readAllStandardOutput();
    run.err = process.readAllStandardError();
    return run;
}

} // namespace

class TestAuthorTools : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void helpAndVersion_withoutADisplay_data();
    void helpAndVersion_withoutADisplay();
};

void TestAuthorTools::helpAndVersion_withoutADisplay_data()
{
    QTest::addColumn<QString>("program");
    QTest::addColumn<QString>("arguments");
    QTest::addColumn<int>("status");
    QTest::addColumn<QByteArray>("out"); // its beginning

    const QString cli = QStringLiteral(TUNESMITH_CLI);
    const QString window = QStringLiteral(TUNESMITH_WINDOW);
    QTest::newRow("cli --help") << cli << "--help" << 0 << QByteArray("Usage: tunesmith-cli [--program-folder DIR]");
    QTest::newRow("cli -h, as the launcher passes it")
        << cli << "--program-folder|.|-h" << 0 << QByteArray("Usage: tunesmith-cli");
    QTest::newRow("cli --version") << cli << "--version" << 0 << QByteArray("tunesmith-cli 1.03\n");
    QTest::newRow("cli unknown") << cli << "--helpful" << 2 << QByteArray();
    QTest::newRow("window --help") << window << "--help" << 0 << QByteArray("Usage: tunesmith [--help | --version]");
    QTest::newRow("window --version") << window << "--version" << 0 << QByteArray("tunesmith 1.03\n");
}

void TestAuthorTools::helpAndVersion_withoutADisplay()
{
    QFETCH(QString, program);
    QFETCH(QString, arguments);
    QFETCH(int, status);
    QFETCH(QByteArray, out);
    const Run run = runProgram(program, arguments.split(QLatin1Char('|')));
    QCOMPARE(run.status, status);
    QVERIFY2(run.out.startsWith(out), run.out);
    QCOMPARE(run.err.isEmpty(), status == 0);
}

QTEST_GUILESS_MAIN(TestAuthorTools)
#include "tst_authortools.moc"
