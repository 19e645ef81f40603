#include <QDir>
#include <QFile>
#include <QTest>

#include <cstddef>
#include <cstdint>

// The fuzz targets, built into this test under names of their own.
extern "C" int fuzzProfile(const std::uint8_t *data, std::size_t size);
extern "C" int fuzzConfigMerge(const std::uint8_t *data, std::size_t size);
extern "C" int fuzzConfigReader(const std::uint8_t *data, std::size_t size);
extern "C" int fuzzSettings(const std::uint8_t *data, std::size_t size);
extern "C" int fuzzManifest(const std::uint8_t *data, std::size_t size);
extern "C" int fuzzConnectionRule(const std::uint8_t *data, std::size_t size);
extern "C" int fuzzNumberText(const std::uint8_t *data, std::size_t size);

namespace
{

using Target = int (*)(const std::uint8_t *, std::size_t);

struct NamedTarget
{
    const char *folder; // tests/data/fuzz/<folder>: the inputs that once failed, kept as regression tests
    Target run;
};

const NamedTarget targets[] = {
    {"profile", fuzzProfile},       {"configmerge", fuzzConfigMerge}, {"configreader", fuzzConfigReader},
    {"settings", fuzzSettings},     {"manifest", fuzzManifest},       {"connectionrule", fuzzConnectionRule},
    {"numbertext", fuzzNumberText},
};

} // namespace

Q_DECLARE_METATYPE(Target)

// Every input a fuzz target ever failed on, run through the target again in the ordinary and the sanitizer
// builds. A broken property aborts the target with a message naming it; the sample profiles run through the
// profile target as well.
class TestFuzzReplay : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void replay_keepsEveryProperty_data()
    {
        QTest::addColumn<Target>("target");
        QTest::addColumn<QString>("input");
        int inputs = 0;
        for (const NamedTarget &target : targets) {
            const QDir folder(QStringLiteral(TUNESMITH_TEST_DATA "/fuzz/") + QLatin1String(target.folder));
            for (const QString &name : folder.entryList(QDir::Files)) {
                QTest::addRow("%s/%s", target.folder, qPrintable(name)) << target.run << folder.filePath(name);
                ++inputs;
            }
        }
        const QDir samples(QStringLiteral(TUNESMITH_SAMPLE_PROFILES));
        for (const QString &name : samples.entryList({QStringLiteral("*.tsm")}, QDir::Files))
            QTest::addRow("profile/%s", qPrintable(name)) << Target(fuzzProfile) << samples.filePath(name);
        QVERIFY(inputs > 0);
    }

    void replay_keepsEveryProperty()
    {
        QFETCH(Target, target);
        QFETCH(QString, input);
        QFile file(input);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        QCOMPARE(target(reinterpret_cast<const std::uint8_t *>(bytes.constData()), std::size_t(bytes.size())), 0);
    }
};

QTEST_GUILESS_MAIN(TestFuzzReplay)
#include "tst_fuzzreplay.moc"
