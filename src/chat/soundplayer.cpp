#include "soundplayer.h"

#include "audiooutput.h"
#include "plugins/moduleloader.h"

#include <QFile>

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
    output();
}

bool SoundPlayer::play(QAnyStringView name)
{
    const QUrl url = recordingUrl(name);
    if (url.isEmpty())
        return false;
    // Without an output Qt's effect warns and claims to play forever.
    AudioOutput* sound = output();
    m_audible = sound && sound->available();
    if (m_audible)
        sound->play(url);
    m_current = name.toString().toLower();
    emit played(m_current);
    return true;
}

bool SoundPlayer::isPlaying() const
{
    return m_audible && m_output && m_output->isPlaying();
}

AudioOutput* SoundPlayer::output()
{
    if (m_outputTried)
        return m_output.get();
    m_outputTried = true;
    QString error;
    if (auto make = modules::entryPoint<MakeAudioOutput>(QLatin1StringView(kAudioModule), kMakeAudioOutput, &error))
        m_output.reset(make(this));
    else
        qWarning("The game stays silent: %s", qPrintable(error));
    return m_output.get();
}

} // namespace velmora
