// The "velmora-audio" module: the game's recordings through QSoundEffect.

#include "chat/audiooutput.h"
#include "plugins/moduleloader.h"

#include <QAudioDevice>
#include <QMediaDevices>
#include <QSoundEffect>

#include <array>

namespace velmora {

namespace {

QtMessageHandler previousHandler = nullptr;

void quietAudioProbe(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (!message.startsWith(QLatin1StringView("PulseAudioService:")))
        previousHandler(type, context, message);
}

// Whether any audio output exists. The first look connects to the sound
// server, and Qt complains aloud when there is none; a game without sound
// has nothing to report, so that one complaint is kept quiet.
bool hasAudioOutput()
{
    static bool probed = false;
    if (probed)
        return !QMediaDevices::audioOutputs().isEmpty();
    probed = true;
    previousHandler = qInstallMessageHandler(quietAudioProbe);
    const bool any = !QMediaDevices::audioOutputs().isEmpty();
    qInstallMessageHandler(previousHandler);
    return any;
}

// Two effects taking turns: a new recording is loaded into the effect that
// is not sounding, while the other is stopped. Loading it into the effect
// still stopping the last recording lost the new one now and then; one
// effect per recording keeps a stream open for each and costs an idle game
// CPU time.
class QtAudioOutput final : public AudioOutput {
public:
    explicit QtAudioOutput(QObject* owner)
        : m_owner(owner)
        , m_available(hasAudioOutput()) // first: the quiet look for a sound server
        , m_devices(new QMediaDevices(owner))
    {
        // An output may come or go while the game runs.
        QObject::connect(m_devices, &QMediaDevices::audioOutputsChanged, m_devices,
                         [this] { m_available = !QMediaDevices::audioOutputs().isEmpty(); });
    }

    ~QtAudioOutput() override { delete m_devices; }

    bool available() override { return m_available; }

    void play(const QUrl& recording) override
    {
        QSoundEffect* sound = m_current && m_current->source() == recording ? m_current : spare();
        if (m_current && m_current != sound)
            m_current->stop();
        if (sound->audioDevice().isNull()) // made while there was no output
            sound->setAudioDevice(QMediaDevices::defaultAudioOutput());
        sound->stop(); // the same recording again starts from its beginning
        sound->setSource(recording); // no reload when the source is unchanged
        sound->play();               // queued by the effect while it still loads
        m_current = sound;
    }

    bool isPlaying() const override { return m_current && m_current->isPlaying(); }

private:
    // The effect not sounding now; made on first need, the owner deletes both.
    QSoundEffect* spare()
    {
        QSoundEffect*& sound = m_effects[m_current == m_effects[0] ? 1 : 0];
        if (!sound)
            sound = new QSoundEffect(m_owner);
        return sound;
    }

    QObject* m_owner;
    bool m_available;
    QMediaDevices* m_devices;
    std::array<QSoundEffect*, 2> m_effects{};
    QSoundEffect* m_current = nullptr;
};

} // namespace

} // namespace velmora

VELMORA_MODULE_ENTRY velmora::AudioOutput* velmora_make_audio_output_v1(QObject* owner)
{
    return new velmora::QtAudioOutput(owner);
}
