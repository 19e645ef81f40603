#include "about/widgets/frmabout.h"
#include "about/widgets/sndmidi.h"
#include "app/programstate.h"
#include "app/widgets/platform.h"

#include <QFile>
#include <QLabel>
#include <QPointer>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QtEndian>

#include <cmath>
#include <memory>
#include <optional>

using namespace Tunesmith;

namespace
{

// Seconds of music in resources/tsm.mid: 65 beats at 144 a minute (scripts/make_tune.py). FluidSynth's player
// ends two seconds of silence after the music.
constexpr double tuneSeconds = 65 * 60.0 / 144;
constexpr double playerGraceSeconds = 2;

struct WavInfo
{
    int channels = 0;
    int sampleRate = 0;
    int bitsPerSample = 0;
    double seconds = 0;
    int peak = 0;             // of 16-bit samples
    double firstAudible = -1; // seconds from the start to the first sample above 1% of full scale
    double lastAudible = 0;   // and to the last one
};

std::optional<WavInfo> readWav(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QByteArray bytes = file.readAll();
    if (bytes.size() < 12 || !bytes.startsWith("RIFF") || bytes.mid(8, 4) != "WAVE")
        return std::nullopt;
    WavInfo info;
    QByteArray data;
    for (qsizetype at = 12; at + 8 <= bytes.size();) {
        const QByteArray id = bytes.mid(at, 4);
        const quint32 size = qFromLittleEndian<quint32>(bytes.constData() + at + 4);
        const QByteArray chunk = bytes.mid(at + 8, size);
        if (id == "fmt " && chunk.size() >= 16) {
            info.channels = qFromLittleEndian<quint16>(chunk.constData() + 2);
            info.sampleRate = int(qFromLittleEndian<quint32>(chunk.constData() + 4));
            info.bitsPerSample = qFromLittleEndian<quint16>(chunk.constData() + 14);
        } else if (id == "data") {
            data = chunk;
        }
        at += 8 + size + (size & 1);
    }
    if (info.channels <= 0 || info.sampleRate <= 0 || info.bitsPerSample != 16)
        return std::nullopt;
    const qsizetype samples = data.size() / 2;
    info.seconds = double(samples) / info.channels / info.sampleRate;
    for (qsizetype i = 0; i < samples; ++i) {
        const int level = std::abs(int(qFromLittleEndian<qint16>(data.constData() + 2 * i)));
        info.peak = std::max(info.peak, level);
        if (level > 328 && info.firstAudible < 0)
            info.firstAudible = double(i) / info.channels / info.sampleRate;
        if (level > 328)
            info.lastAudible = double(i) / info.channels / info.sampleRate;
    }
    return info;
}

bool copyTune(const QString &folder)
{
    return QFile::copy(QStringLiteral(TUNESMITH_RESOURCES "/tsm.mid"), folder + QStringLiteral("/tsm.mid"));
}

} // namespace

class TestFrmAbout : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    ProgramState m_state;
    QPointer<frmAbout> m_about;

    frmAbout *open(const QString &wavName = QString())
    {
        m_about = new frmAbout(m_state, nullptr);
        // Before the first event: the tune starts from a timer.
        m_about->player()->setRenderFile(wavName.isEmpty() ? QString() : m_dir->filePath(wavName));
        m_about->show();
        return m_about;
    }
    bool closeAndWait()
    {
        m_about->close();
        return QTest::qWaitFor([this] { return m_about.isNull(); }, 2000);
    }

private Q_SLOTS:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
        m_state = ProgramState();
        m_state.programFolder = m_dir->path();
        Platform::setRecording(true);
        Platform::takeOpenedLinks();
    }

    void cleanup()
    {
        delete m_about;
        m_dir.reset();
    }

    void open_showsNameVersionAndLayout()
    {
        open();
        QCOMPARE(m_about->size(), QSize(289, 249));
        QVERIFY(m_about->testAttribute(Qt::WA_DeleteOnClose));
        // The version shown follows the version the updater compares.
        QCOMPARE(m_about->findChild<QLabel *>(QStringLiteral("lblVersion"))->text(), QStringLiteral("v1.03"));
    }

    void links_openOurPages_data()
    {
        QTest::addColumn<QString>("control");
        QTest::addColumn<QUrl>("url");
        QTest::newRow("homepage") << "lblSite" << Platform::homePage();
        QTest::newRow("email") << "lblEmail" << Platform::mailLink();
        QTest::newRow("donate") << "imgDonate" << Platform::donationPage();
    }

    void links_openOurPages()
    {
        QFETCH(QString, control);
        QFETCH(QUrl, url);
        open();
        auto *label = m_about->findChild<QLabel *>(control);
        QVERIFY(label);
        QCOMPARE(label->cursor().shape(), Qt::PointingHandCursor);
        QTest::mouseClick(label, Qt::LeftButton, {}, QPoint(3, 3));
        QCOMPARE(Platform::takeOpenedLinks(), QList<QUrl>{url});
        if (url.scheme() == QLatin1String("mailto"))
            QVERIFY(url.query().contains(QStringLiteral("subject=Tunesmith")));
        // The right button opens nothing.
        QTest::mouseClick(label, Qt::RightButton, {}, QPoint(3, 3));
        QVERIFY(Platform::takeOpenedLinks().isEmpty());
    }

    void tune_playsOnceFromStartWhileOpen()
    {
        if (sndMidi::soundFontPath().isEmpty())
            QSKIP("no General MIDI SoundFont installed");
        QVERIFY(copyTune(m_dir->path()));
        open(QStringLiteral("tune.wav"));
        QVERIFY(QTest::qWaitFor([this] { return m_about->player()->isOpen(); }, 5000));
        QVERIFY(m_about->player()->isPlaying());
        // The file driver renders in real time: the whole tune takes its own length.
        QVERIFY(QTest::qWaitFor([this] { return !m_about->player()->isPlaying(); }, int(tuneSeconds * 1000) + 30000));
        QVERIFY(closeAndWait());
        const auto wav = readWav(m_dir->filePath(QStringLiteral("tune.wav")));
        QVERIFY(wav);
        qInfo("rendered %.2f s at %d Hz, %d channels, peak %d, music to %.2f s", wav->seconds, wav->sampleRate,
              wav->channels, wav->peak, wav->lastAudible);
        QVERIFY(wav->peak > 3000);
        QVERIFY2(std::abs(wav->lastAudible - tuneSeconds) < 1, qPrintable(QString::number(wav->lastAudible)));
        QVERIFY2(wav->seconds > tuneSeconds && wav->seconds < tuneSeconds + playerGraceSeconds + 1.5,
                 qPrintable(QString::number(wav->seconds)));
    }

    void tune_stopsAtCloseAndPlaysAgainFromStart()
    {
        if (sndMidi::soundFontPath().isEmpty())
            QSKIP("no General MIDI SoundFont installed");
        QVERIFY(copyTune(m_dir->path()));
        for (const QString &name : {QStringLiteral("first.wav"), QStringLiteral("second.wav")}) {
            open(name);
            QVERIFY(QTest::qWaitFor([this] { return m_about->player()->isOpen(); }, 5000));
            QTest::qWait(1500);
            QVERIFY(m_about->player()->isPlaying());
            // Closing releases the player at once: the file is complete and stops growing.
            QVERIFY(closeAndWait());
            const auto wav = readWav(m_dir->filePath(name));
            QVERIFY(wav);
            qInfo("%s: %.2f s, peak %d", qPrintable(name), wav->seconds, wav->peak);
            QVERIFY(wav->seconds > 0.5 && wav->seconds < 4);
            // From the start of the tune, whose first bar begins with a chord.
            QVERIFY(wav->firstAudible >= 0 && wav->firstAudible < 0.2);
            // Still playing when the box closed: sound up to the end of the file.
            QVERIFY(wav->lastAudible > wav->seconds - 0.5);
            QVERIFY(wav->peak > 3000);
            QTest::qWait(200);
            QCOMPARE(readWav(m_dir->filePath(name))->seconds, wav->seconds);
        }
    }

    void tune_deletedWithoutClose_stopsToo()
    {
        if (sndMidi::soundFontPath().isEmpty())
            QSKIP("no General MIDI SoundFont installed");
        QVERIFY(copyTune(m_dir->path()));
        open(QStringLiteral("tune.wav"));
        QVERIFY(QTest::qWaitFor([this] { return m_about->player()->isOpen(); }, 5000));
        delete m_about;
        const auto wav = readWav(m_dir->filePath(QStringLiteral("tune.wav")));
        QVERIFY(wav);
        QVERIFY(wav->seconds < 2);
    }

    void tune_closedWhileOpening_releasesEverything()
    {
        if (sndMidi::soundFontPath().isEmpty())
            QSKIP("no General MIDI SoundFont installed");
        QVERIFY(copyTune(m_dir->path()));
        open(QStringLiteral("tune.wav"));
        QCoreApplication::processEvents(); // the timer starts opening the tune
        QVERIFY(!m_about->player()->isOpen());
        QVERIFY(closeAndWait());
        const QString wav = m_dir->filePath(QStringLiteral("tune.wav"));
        const qint64 size = QFileInfo(wav).size();
        QTest::qWait(300);
        QCOMPARE(QFileInfo(wav).size(), size);
    }

    void tune_missingOrBroken_boxOpensSilently_data()
    {
        QTest::addColumn<QByteArray>("tune");
        QTest::newRow("missing") << QByteArray();
        QTest::newRow("not a MIDI file") << QByteArray("This is no tune.");
        QTest::newRow("header only") << QByteArray("MThd\0\0\0\x06\0\x01\0\x02\x01\xe0", 14);
    }

    void tune_missingOrBroken_boxOpensSilently()
    {
        QFETCH(QByteArray, tune);
        if (!tune.isNull()) {
            QFile file(m_state.tunePath());
            QVERIFY(file.open(QIODevice::WriteOnly));
            QCOMPARE(file.write(tune), tune.size());
        }
        open(QStringLiteral("tune.wav"));
        QTest::qWait(300);
        QVERIFY(m_about->isVisible());
        QVERIFY(!m_about->player()->isPlaying());
        QVERIFY(closeAndWait());
    }
};

QTEST_MAIN(TestFrmAbout)
#include "tst_frmabout.moc"
