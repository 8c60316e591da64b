// The settings file, the sounds and the side windows' hooks of the main window.

#include "chat/chatview.h"
#include "chat/soundnames.h"
#include "chat/soundplayer.h"
#include "chatarea.h"
#include "clientsession.h"
#include "records/gamesettings.h"
#include "tchat.h"
#include "windows/aboutform.h"
#include "windows/downloadform.h"
#include "windows/gamestartform.h"
#include "windows/helpform.h"
#include "windows/phrasesform.h"
#include "windows/tallylistform.h"

#include <QAction>
#include <QActionGroup>
#include <QSignalBlocker>

namespace velmora {

namespace {

void setCheckedQuietly(QAction* item, bool checked)
{
    if (!item)
        return;
    const QSignalBlocker blocker(item);
    item->setChecked(checked);
}

} // namespace

void Tchat::buildSettings()
{
    m_settings = std::make_unique<GameSettings>();
    // A failed save is told in a box, never while a message is being handled.
    connect(m_settings.get(), &GameSettings::writeFailed, this, &Tchat::report);
    connect(m_settings.get(), &GameSettings::loaded, this, &Tchat::applySettings);
    // Read once per connection, when the host has told us who we are.
    connect(m_session.get(), &ClientSession::joined, m_settings.get(), &GameSettings::load);

    m_soundPlayer = new SoundPlayer(this);
    connect(m_soundPlayer, &SoundPlayer::played, this, &Tchat::soundPlayed);
    placeAt(GameSettings::kDefaultBounds);
}

void Tchat::applySettings()
{
    const GameSettings& s = *m_settings;
    applyTextSize(s.textSize());
    placeAt(s.bounds());
    applyTextColour(s.textColour());
    for (int n = 1; n <= GameSettings::kPhraseCount; ++n) {
        if (!s.storedPhrase(n).isEmpty())
            m_chatArea->setPhrase(n, s.storedPhrase(n));
    }
    if (m_windows.gamestart)
        m_windows.gamestart->changebox(QStringLiteral("checkbox_points"), s.pointsGame() ? 1 : 0);
    applySoundSwitches(s.playSounds(), s.playVoiceOvers(), s.chatterSounds());
    setBotDelayMs(s.botSpeed());
    applyTurnSound(s.turnSound());
}

void Tchat::applyTextSize(int size)
{
    m_chatArea->view()->setTextSize(size);
    for (QAction* item : m_textSizeGroup->actions())
        item->setChecked(item->data().toInt() == size);
}

void Tchat::applyTextColour(quint32 colour)
{
    m_chatColour = colour;
    m_chatArea->setEntryColour(toQColor(colour));
}

void Tchat::applySoundSwitches(bool nonVoice, bool voice, bool chatter)
{
    m_options.playSounds = nonVoice;
    m_options.playVoiceSounds = voice;
    m_options.playChatterSounds = chatter;
    setCheckedQuietly(findChild<QAction*>(QStringLiteral("PlaySounds1")), nonVoice);
    setCheckedQuietly(findChild<QAction*>(QStringLiteral("PlayVoiceSounds1")), voice);
    setCheckedQuietly(findChild<QAction*>(QStringLiteral("PlayChatterSounds1")), chatter);
}

void Tchat::applyTurnSound(int choice)
{
    m_options.turnSound = choice == 1 ? 1 : 0;
    setCheckedQuietly(findChild<QAction*>(QStringLiteral("Classic1")), m_options.turnSound == 0);
    setCheckedQuietly(findChild<QAction*>(QStringLiteral("New1")), m_options.turnSound == 1);
}

void Tchat::placeAt(const QRect& frameBounds)
{
    // The bounds include the frame; Qt places and sizes the inside.
    const QSize frame = frameGeometry().size() - geometry().size();
    move(frameBounds.topLeft());
    resize(frameBounds.size() - frame);
}

void Tchat::playsounds(const QString& name)
{
    const sounds::Switches switches{m_options.playSounds, m_options.playVoiceSounds, m_options.playChatterSounds};
    // A peer may send any text as a chatter sound: only the twenty recordings play.
    const bool allowed = name.startsWith(QLatin1String("wave"), Qt::CaseInsensitive)
                             ? switches.chatter && sounds::chatterNumber(name) > 0
                             : sounds::gameSoundAllowed(name, switches);
    if (allowed)
        m_soundPlayer->play(name);
}

void Tchat::showPhraseEditor()
{
    if (!m_windows.phrases)
        return;
    if (!m_windows.phrases->isVisible())
        m_windows.phrases->setPhrases(m_chatArea->phrases());
    showSideWindow(m_windows.phrases);
}

void Tchat::acceptPhrases(const QStringList& phrases)
{
    for (int n = 1; n <= GameSettings::kPhraseCount; ++n)
        m_chatArea->setPhrase(n, phrases.value(n - 1));
    m_settings->savePhrases(phrases);
}

void Tchat::configureDownload()
{
    // The lobby stores where its installer and program are; without them the window's own defaults stay.
    const QString url = m_settings->lobbyInstallerUrl();
    if (!url.isEmpty())
        m_windows.download->setInstallerUrl(QUrl(url));
    const QString path = m_settings->lobbyPath();
    if (!path.isEmpty())
        m_windows.download->setLobbyPath(path);
}

void Tchat::connectSideWindows()
{
    const SideWindows& w = m_windows;
    if (w.tally)
        connect(w.tally, &Ttallylist::checklistRefreshWanted, this, &Tchat::rebuildTallyChecklist);
    if (w.phrases)
        connect(w.phrases, &Tphrases::phrasesAccepted, this, &Tchat::acceptPhrases);
    if (w.help)
        connect(w.help, &Thelp::aboutRequested, this, &Tchat::showAbout, Qt::UniqueConnection);
    if (w.download) {
        connect(w.download, &Tdownload::exitRequested, this, &QWidget::close);
        w.download->setMessageReporter([this](const QString& text) { report(text); });
    }
}

} // namespace velmora
