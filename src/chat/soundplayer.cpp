#include "soundplayer.h"

#include <QAudioDevice>
#include <QFile>
#include <QMediaDevices>
#include <QSoundEffect>

// Resources compiled into a static library are linked only when referenced.
static void initSoundResources()
{
    Q_INIT_RESOURCE(sounds);
}

namespace velmora {

namespace {

constexpr QLatin1StringView resourceFolder{":/velmora/sounds/"};

// Recording names are short lower-case words and numbers; anything else
// (a peer may send any text) never reaches the resource system.
bool plausibleName(QStringView name)
{
    if (name.isEmpty() || name.size() > 16)
        return false;
    for (const QChar c : name)
        if (!(c >= u'a' && c <= u'z') && !(c >= u'0' && c <= u'9'))
            return false;
    return true;
}

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

} // namespace

SoundPlayer::SoundPlayer(QObject* parent)
    : QObject(parent)
{
    initSoundResources();
}

SoundPlayer::~SoundPlayer() = default;

QUrl SoundPlayer::recordingUrl(QAnyStringView name)
{
    const QString lower = name.toString().toLower();
    if (!plausibleName(lower))
        return {};
    const QString path = resourceFolder + lower + QStringLiteral(".wav");
    if (!QFile::exists(path))
        return {};
    return QUrl(QStringLiteral("qrc") + path);
}

void SoundPlayer::prepare()
{
    if (hasAudioOutput())
        effect();
}

bool SoundPlayer::play(QAnyStringView name)
{
    const QUrl url = recordingUrl(name);
    if (url.isEmpty())
        return false;
    // Checked on every play: an output may come or go while the game runs,
    // and without one QSoundEffect warns and claims to play forever.
    m_audible = hasAudioOutput();
    if (m_audible) {
        QSoundEffect* sound = effect();
        if (sound->audioDevice().isNull()) // made while there was no output
            sound->setAudioDevice(QMediaDevices::defaultAudioOutput());
        sound->stop();
        sound->setSource(url); // no reload when the source is unchanged
        sound->play();         // queued by the effect while it still loads
    }
    m_current = name.toString().toLower();
    emit played(m_current);
    return true;
}

bool SoundPlayer::isPlaying() const
{
    return m_audible && m_effect && m_effect->isPlaying();
}

QSoundEffect* SoundPlayer::effect()
{
    if (!m_effect)
        m_effect = new QSoundEffect(this);
    return m_effect;
}

} // namespace velmora
