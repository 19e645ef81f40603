#pragma once

#include <QObject>
#include <QString>

#include <memory>

class QThread;

namespace Tunesmith
{

// The About box's MIDI player: plays a standard MIDI file once through FluidSynth and a General MIDI SoundFont,
// asynchronously. Without a SoundFont, an audio device or a readable tune it stays silent and says nothing.
class sndMidi : public QObject
{
    Q_OBJECT

public:
    explicit sndMidi(QObject *parent = nullptr);
    ~sndMidi() override;

    // Opens the tune and starts it from its start. The SoundFont is read on a thread of its own, so the window
    // stays responsive; the tune starts when it is ready. While a tune is open this does nothing: a playing tune
    // goes on, and one that has ended does not start again.
    void PlayMidi(const QString &strPath);
    // Stops the open tune at once and releases the player, the synthesizer and the audio device.
    void StopMidi(const QString &strPath);

    // The tune has been opened (and is playing or has ended).
    bool isOpen() const;
    // Open and not yet at its end.
    bool isPlaying() const;

    // Renders into a WAV file instead of the sound card, for tests and machines without sound; "" for the sound
    // card. Starts as the environment variable TUNESMITH_MIDI_WAV says. Takes effect at the next PlayMidi.
    void setRenderFile(const QString &wavPath);
    QString renderFile() const { return m_renderFile; }

    // The General MIDI SoundFont where Debian installs one; "" when there is none.
    static QString soundFontPath();

private:
    struct Device;
    void adoptOpened();

    std::unique_ptr<Device> m_device;
    // While the player is being opened: the thread that opens it and where it leaves the result.
    QThread *m_opener = nullptr;
    std::shared_ptr<std::unique_ptr<Device>> m_opened;
    QString m_renderFile;
};

} // namespace Tunesmith
