#include "gamewindows.h"

#include "gamecore.h"
#include "windows/aboutform.h"
#include "windows/downloadform.h"
#include "windows/gamestartform.h"
#include "windows/helpform.h"
#include "windows/phrasesform.h"
#include "windows/spylistform.h"
#include "windows/tallylistform.h"

namespace velmora {

GameWindows::GameWindows(GameCore& core)
    : m_core(core)
    , m_chat(std::make_unique<Tchat>(core))
{
    m_chat->attachWhenShown([this] { return makeSideWindows(); });
    m_chat->setLateWindows([this] { return makeAbout(); }, [this] { return makeHelp(); });
}

GameWindows::~GameWindows()
{
    m_chat.reset();
}

void GameWindows::makeAllNow()
{
    if (m_tally)
        return;
    makeAbout();
    makeHelp();
    m_chat->attachWhenShown({});
    m_chat->attach(makeSideWindows());
}

Tchat::SideWindows GameWindows::makeSideWindows()
{
    // In the order the game has always made them.
    m_tally = std::make_unique<Ttallylist>(m_core.tally());
    m_spies = std::make_unique<Tspylist>();
    m_phrases = std::make_unique<Tphrases>();
    m_download = std::make_unique<Tdownload>();
    m_gamestart = std::make_unique<Tgamestart>();
    Tchat::SideWindows windows;
    windows.about = m_about.get();
    windows.help = m_help.get();
    windows.tally = m_tally.get();
    windows.spies = m_spies.get();
    windows.phrases = m_phrases.get();
    windows.download = m_download.get();
    windows.gamestart = m_gamestart.get();
    return windows;
}

Tabout* GameWindows::makeAbout()
{
    if (!m_about)
        m_about = std::make_unique<Tabout>();
    return m_about.get();
}

Thelp* GameWindows::makeHelp()
{
    if (!m_help)
        m_help = std::make_unique<Thelp>();
    return m_help.get();
}

} // namespace velmora
