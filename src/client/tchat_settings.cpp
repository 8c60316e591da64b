// The settings file, the sounds, the phrase editor and the lobby download of the main window.

#include "chat/chatview.h"
#include "media/colourtext.h"
#include "chat/soundplayer.h"
#include "chatarea.h"
#include "core/clientsession.h"
#include "core/gamecore.h"
#include "records/gamesettings.h"
#include "tchat.h"
#include "windows/downloadform.h"
#include "windows/gamestartform.h"
#include "windows/phrasesform.h"

#include <QAction>
#include <QActionGroup>

namespace velmora {

void Tchat::buildSettings()
{
    connect(m_settings, &GameSettings::loaded, this, &Tchat::applySettings);
    // An option saved after a move writes where the window is now.
    m_settings->setCurrentBounds([this] { return frameGeometry(); });

    m_soundPlayer = new SoundPlayer(this);
    connect(m_soundPlayer, &SoundPlayer::played, this, &Tchat::soundPlayed);
    placeAt(Preferences::kDefaultBounds);
}

void Tchat::applySettings()
{
    m_settingsLoaded = true;
    const Preferences& p = m_core.preferences();
    applyTextSize(p.textsize);
    placeAt(p.bounds);
    applyTextColour(p.textcolor);
    for (int n = 1; n <= Preferences::kPhraseCount; ++n) {
        if (!p.phrases[n - 1].isEmpty())
            m_chatArea->setPhrase(n, p.phrases[n - 1]);
    }
    if (m_windows.gamestart)
        m_windows.gamestart->changebox(QStringLiteral("checkbox_points"), p.points ? 1 : 0);
    showOptions(p);
}

void Tchat::applyTextSize(int size)
{
    m_chatArea->view()->setTextSize(size);
    for (QAction* item : m_textSizeGroup->actions())
        item->setChecked(item->data().toInt() == size);
}

void Tchat::applyTextColour(quint32 colour)
{
    m_chatArea->setEntryColour(toQColor(colour));
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
    m_soundPlayer->play(name);
}

void Tchat::showPhraseEditor()
{
    Tphrases* editor = phrasesWindow();
    if (!editor)
        return;
    if (!editor->isVisible())
        editor->setPhrases(m_chatArea->phrases());
    showSideWindow(editor);
}

void Tchat::acceptPhrases(const QStringList& phrases)
{
    for (int n = 1; n <= Preferences::kPhraseCount; ++n)
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

} // namespace velmora
