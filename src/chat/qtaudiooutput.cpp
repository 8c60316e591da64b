// The "velmora-audio" module: the game's recordings through QSoundEffect.

#include "chat/audiooutput.h"
#include "plugins/moduleloader.h"

#include <QAudioDevice>
#include <QMediaDevices>
#include <QSoundEffect>

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

class QtAudioOutput final : public AudioOutput {
public:
    explicit QtAudioOutput(QObject* owner)
        : m_owner(owner)
    {
    }

    bool available() override { return hasAudioOutput(); }

    void play(const QUrl& recording) override
    {
        QSoundEffect* sound = effect();
        if (sound->audioDevice().isNull()) // made while there was no output
            sound->setAudioDevice(QMediaDevices::defaultAudioOutput());
        sound->stop();
        sound->setSource(recording); // no reload when the source is unchanged
        sound->play();               // queued by the effect while it still loads
    }

    bool isPlaying() const override { return m_effect && m_effect->isPlaying(); }

private:
    // Made on the first sound; the owner deletes it.
    QSoundEffect* effect()
    {
        if (!m_effect)
            m_effect = new QSoundEffect(m_owner);
        return m_effect;
    }

    QObject* m_owner;
    QSoundEffect* m_effect = nullptr;
};

} // namespace

} // namespace velmora

VELMORA_MODULE_ENTRY velmora::AudioOutput* velmora_make_audio_output_v1(QObject* owner)
{
    return new velmora::QtAudioOutput(owner);
}
