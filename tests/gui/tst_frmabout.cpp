#include "about/widgets/frmabout.h"
#include "about/widgets/sndmidi.h"
#include "app/programstate.h"
#include "app/widgets/platform.h"
#include "testfiles.h"

#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QPointer>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using namespace Tunesmith;
using namespace Qt::StringLiterals;

namespace
{

// Seconds of music in resources/tsm.mid: 65 beats at 144 a minute (scripts/make_tune.py). FluidSynth's player
// ends two seconds of silence after the music.
constexpr double tuneSeconds = 65 * 60.0 / 144;
constexpr double playerGraceSeconds = 2;

} // namespace

// The About box: the version, our links and the tune it plays while open.
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
        m_state = ProgramState();
        m_state.programFolder = m_dir->path();
        Platform::setRecording(true);
        Platform::takeOpenedLinks();
        if (QByteArray(QTest::currentTestFunction()).startsWith("tune_") && sndMidi::soundFontPath().isEmpty())
            QSKIP("no General MIDI SoundFont installed");
    }

    void cleanup()
    {
        delete m_about;
        m_dir.reset();
    }

    void links_openOurPagesOnALeftClick()
    {
        open();
        // The version shown follows the version the updater compares.
        QCOMPARE(m_about->findChild<QLabel *>(u"lblVersion"_s)->text(), u"v1.03"_s);
        const std::pair<const char *, QUrl> links[] = {{"lblSite", Platform::homePage()},
                                                       {"lblEmail", Platform::mailLink()},
                                                       {"imgDonate", Platform::donationPage()}};
        for (const auto &[name, url] : links) {
            auto *label = m_about->findChild<QLabel *>(QLatin1String(name));
            QCOMPARE(label->cursor().shape(), Qt::PointingHandCursor);
            QTest::mouseClick(label, Qt::RightButton, {}, QPoint(3, 3));
            QVERIFY(Platform::takeOpenedLinks().isEmpty());
            QTest::mouseClick(label, Qt::LeftButton, {}, QPoint(3, 3));
            QCOMPARE(Platform::takeOpenedLinks(), QList<QUrl>{url});
        }
    }

    void tune_playsOnceFromTheStartWhileOpen_stopsWhenTheBoxGoes()
    {
        QVERIFY(QFile::copy(QStringLiteral(TUNESMITH_RESOURCES "/tsm.mid"), m_state.tunePath()));
        // After a close three seconds in, the next box plays the whole tune again, from its start.
        for (const QByteArrayView how : {"close", "play through", "delete", "close while opening"}) {
            const QString name = QString::fromLatin1(how) + u".wav"_s;
            const QString wav = m_dir->filePath(name);
            open(name);
            if (how == "close while opening") {
                QCoreApplication::processEvents(); // the timer starts opening the tune
                QVERIFY(!m_about->player()->isOpen());
            } else {
                QVERIFY(QTest::qWaitFor([this] { return m_about->player()->isOpen(); }, 5000));
                QVERIFY(m_about->player()->isPlaying());
            }
            if (how == "close")
                QTest::qWait(3000);
            if (how == "play through") { // the file driver renders in real time: the tune takes its own length
                QElapsedTimer clock;
                clock.start();
                QVERIFY(QTest::qWaitFor([this] { return !m_about->player()->isPlaying(); },
                                        int(tuneSeconds * 1000) + 30000));
                const double seconds = clock.elapsed() / 1000.0;
                QVERIFY2(seconds > tuneSeconds && seconds < tuneSeconds + playerGraceSeconds + 1.5,
                         qPrintable(QString::number(seconds)));
            }
            if (how == "delete")
                delete m_about;
            else
                QVERIFY(closeAndWait());
            // The player is released at once: the file is complete and stops growing.
            const qint64 size = QFileInfo(wav).size();
            QVERIFY(how == "close while opening" || size > 0);
            QTest::qWait(200);
            QCOMPARE(QFileInfo(wav).size(), size);
        }
    }

    void missingOrBrokenTune_boxOpensSilently()
    {
        // Missing, not a MIDI file, a header only.
        for (const QByteArray &tune :
             {QByteArray(), QByteArray("This is no tune."), QByteArray("MThd\0\0\0\x06\0\x01\0\x02\x01\xe0", 14)}) {
            if (!tune.isNull())
                QVERIFY(writeAll(m_state.tunePath(), tune));
            open(u"tune.wav"_s);
            QTest::qWait(300);
            QVERIFY(m_about->isVisible());
            QVERIFY(!m_about->player()->isPlaying());
            QVERIFY(closeAndWait());
        }
    }
};

QTEST_MAIN(TestFrmAbout)
#include "tst_frmabout.moc"
