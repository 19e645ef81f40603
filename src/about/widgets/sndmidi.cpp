#include "sndmidi.h"

#include <QFile>
#include <QFileInfo>
#include <QLibrary>
#include <QLoggingCategory>
#include <QStringList>
#include <QThread>

#include <fluidsynth.h>

namespace Tunesmith
{

namespace
{

Q_LOGGING_CATEGORY(lcMidi, "tunesmith.midi", QtWarningMsg)

// clang-format off
#define TUNESMITH_FLUID_FUNCTIONS(X) \
    X(fluid_set_log_function) \
    X(new_fluid_settings) \
    X(delete_fluid_settings) \
    X(fluid_settings_setstr) \
    X(fluid_settings_setint) \
    X(fluid_settings_setnum) \
    X(new_fluid_synth) \
    X(delete_fluid_synth) \
    X(fluid_synth_sfload) \
    X(new_fluid_player) \
    X(delete_fluid_player) \
    X(fluid_player_add) \
    X(fluid_player_play) \
    X(fluid_player_stop) \
    X(fluid_player_get_status) \
    X(new_fluid_audio_driver) \
    X(delete_fluid_audio_driver) \
    X(fluid_is_midifile)
// clang-format on

// FluidSynth is loaded when the tune first plays, not when the program starts: it brings some forty libraries
// (sound servers, codecs) that would otherwise cost every start-up several milliseconds for a box few open.
struct FluidSynthApi
{
#define TUNESMITH_FLUID_FUNCTION(name) decltype(&::name) name = nullptr;
    TUNESMITH_FLUID_FUNCTIONS(TUNESMITH_FLUID_FUNCTION)
#undef TUNESMITH_FLUID_FUNCTION
    bool loaded = false;
};

// The library stays loaded for the rest of the run; nullptr when it is missing or lacks a function.
const FluidSynthApi *fluidSynth()
{
    static const FluidSynthApi api = [] {
        FluidSynthApi functions;
        QLibrary library(QStringLiteral("fluidsynth"), 3);
        if (!library.load()) {
            qCInfo(lcMidi, "no FluidSynth: %s", qPrintable(library.errorString()));
            return functions;
        }
        bool complete = true;
#define TUNESMITH_FLUID_FUNCTION(name)                                                                                 \
    functions.name = reinterpret_cast<decltype(&::name)>(library.resolve(#name));                                      \
    complete = complete && functions.name;
        TUNESMITH_FLUID_FUNCTIONS(TUNESMITH_FLUID_FUNCTION)
#undef TUNESMITH_FLUID_FUNCTION
        functions.loaded = complete;
        return functions;
    }();
    return api.loaded ? &api : nullptr;
}

void logToCategory(int level, const char *message, void *)
{
    if (level <= FLUID_ERR)
        qCInfo(lcMidi, "%s", message);
    else
        qCDebug(lcMidi, "%s", message);
}

// FluidSynth prints its errors to standard error by default; the tune stays silent instead, so they go to a
// logging category that is quiet unless asked for.
void quietFluidSynthLog()
{
    static const bool done = [] {
        for (int level = FLUID_PANIC; level < LAST_LOG_LEVEL; ++level)
            fluidSynth()->fluid_set_log_function(level, logToCategory, nullptr);
        return true;
    }();
    Q_UNUSED(done);
}

} // namespace

struct sndMidi::Device
{
    fluid_settings_t *settings = nullptr;
    fluid_synth_t *synth = nullptr;
    fluid_player_t *player = nullptr;
    fluid_audio_driver_t *driver = nullptr;

    Device() = default;
    Device(const Device &) = delete;
    Device &operator=(const Device &) = delete;

    ~Device()
    {
        if (player)
            fluidSynth()->fluid_player_stop(player);
        // The driver's thread drives the player and the synthesizer: it goes first.
        if (driver)
            fluidSynth()->delete_fluid_audio_driver(driver);
        if (player)
            fluidSynth()->delete_fluid_player(player);
        if (synth)
            fluidSynth()->delete_fluid_synth(synth);
        if (settings)
            fluidSynth()->delete_fluid_settings(settings);
    }

    // Reads the SoundFont and the tune and starts playing; nullptr when any step fails.
    static std::unique_ptr<Device> open(const QByteArray &tune, const QByteArray &soundFont,
                                        const QByteArray &renderFile)
    {
        auto device = std::make_unique<Device>();
        device->settings = fluidSynth()->new_fluid_settings();
        if (!device->settings)
            return nullptr;
        if (!renderFile.isEmpty()) {
            fluidSynth()->fluid_settings_setstr(device->settings, "audio.driver", "file");
            fluidSynth()->fluid_settings_setstr(device->settings, "audio.file.name", renderFile.constData());
        }
        // Only the instruments the tune uses are read from the SoundFont: a fraction of a second, not seconds.
        fluidSynth()->fluid_settings_setint(device->settings, "synth.dynamic-sample-loading", 1);
        fluidSynth()->fluid_settings_setnum(device->settings, "synth.gain", 0.5);
        device->synth = fluidSynth()->new_fluid_synth(device->settings);
        if (!device->synth || fluidSynth()->fluid_synth_sfload(device->synth, soundFont.constData(), 1) == FLUID_FAILED)
            return nullptr;
        device->player = fluidSynth()->new_fluid_player(device->synth);
        if (!device->player || fluidSynth()->fluid_player_add(device->player, tune.constData()) != FLUID_OK)
            return nullptr;
        device->driver = fluidSynth()->new_fluid_audio_driver(device->settings, device->synth);
        if (!device->driver || fluidSynth()->fluid_player_play(device->player) != FLUID_OK)
            return nullptr;
        return device;
    }
};

sndMidi::sndMidi(QObject *parent)
    : QObject(parent)
    , m_renderFile(qEnvironmentVariable("TUNESMITH_MIDI_WAV"))
{
    setObjectName(QStringLiteral("sndMidi"));
}

sndMidi::~sndMidi()
{
    StopMidi(QString());
}

QString sndMidi::soundFontPath()
{
    const QStringList candidates{
        QStringLiteral("/usr/share/sounds/sf2/FluidR3_GM.sf2"),
        QStringLiteral("/usr/share/sounds/sf2/default-GM.sf2"),
        QStringLiteral("/usr/share/soundfonts/default.sf2"),
    };
    for (const QString &candidate : candidates) {
        if (QFileInfo(candidate).isFile())
            return candidate;
    }
    return {};
}

void sndMidi::PlayMidi(const QString &strPath)
{
    if (m_device || m_opener)
        return;
    const QByteArray tune = QFile::encodeName(strPath);
    const QByteArray soundFont = QFile::encodeName(soundFontPath());
    const QByteArray renderFile = QFile::encodeName(m_renderFile);
    if (!QFileInfo(strPath).isFile() || soundFont.isEmpty() || !fluidSynth())
        return;
    quietFluidSynthLog();
    if (!fluidSynth()->fluid_is_midifile(tune.constData()))
        return;

    auto opened = std::make_shared<std::unique_ptr<Device>>();
    m_opened = opened;
    m_opener =
        QThread::create([opened, tune, soundFont, renderFile] { *opened = Device::open(tune, soundFont, renderFile); });
    connect(m_opener, &QThread::finished, this, &sndMidi::adoptOpened);
    m_opener->start();
}

void sndMidi::adoptOpened()
{
    if (!m_opener)
        return; // stopped while opening: StopMidi has released everything
    m_opener->wait();
    delete m_opener;
    m_opener = nullptr;
    m_device = std::move(*m_opened);
    m_opened.reset();
}

void sndMidi::StopMidi(const QString &strPath)
{
    Q_UNUSED(strPath); // only one tune is ever open
    if (m_opener) {
        // Opening takes a fraction of a second; what it opened is released at once.
        m_opener->disconnect(this);
        m_opener->wait();
        delete m_opener;
        m_opener = nullptr;
        m_opened.reset();
    }
    m_device.reset();
}

bool sndMidi::isOpen() const
{
    return m_device != nullptr;
}

bool sndMidi::isPlaying() const
{
    return m_device && fluidSynth()->fluid_player_get_status(m_device->player) == FLUID_PLAYER_PLAYING;
}

void sndMidi::setRenderFile(const QString &wavPath)
{
    m_renderFile = wavPath;
}

} // namespace Tunesmith
