#include "gamewindows.h"

#include "core/gamecore.h"
#include "records/tallybook.h"
#include "windows/aboutform.h"
#include "windows/downloadform.h"
#include "windows/gamestartform.h"
#include "windows/helpform.h"
#include "windows/phrasesform.h"
#include "windows/spylistform.h"
#include "windows/tallylistform.h"

namespace velmora {

namespace {

template <typename Window, typename... Arguments> Window* made(std::unique_ptr<Window>& window, Arguments&... arguments)
{
    if (!window)
        window = std::make_unique<Window>(arguments...);
    return window.get();
}

} // namespace

GameWindows::GameWindows(GameCore& core)
    : m_core(core)
    , m_chat(std::make_unique<Tchat>(core))
{
    m_chat->attachWhenShown([this] { return makeFirstWindows(); });
    Tchat::LateWindows late;
    late.about = [this] { return made(m_about); };
    late.help = [this] { return made(m_help); };
    late.tally = [this] { return tallyWindow(); };
    late.spies = [this] { return made(m_spies); };
    late.phrases = [this] { return made(m_phrases); };
    late.gamestart = [this] { return made(m_gamestart); };
    m_chat->setLateWindows(std::move(late));
}

GameWindows::~GameWindows()
{
    m_chat.reset();
}

void GameWindows::makeAllNow()
{
    m_chat->attachWhenShown({});
    Tchat::SideWindows all;
    all.about = made(m_about);
    all.help = made(m_help);
    all.tally = tallyWindow();
    all.spies = made(m_spies);
    all.phrases = made(m_phrases);
    all.download = made(m_download);
    all.gamestart = made(m_gamestart);
    m_chat->attach(all);
}

Ttallylist* GameWindows::tallyWindow()
{
    if (m_tally)
        return m_tally.get();
    // The window shows the core's tally and asks the core for every change.
    m_tally = std::make_unique<Ttallylist>(m_core.tally());
    QObject::connect(m_tally.get(), &Ttallylist::tallyRequested, &m_core, &GameCore::tallyPlayer);
    QObject::connect(m_tally.get(), &Ttallylist::untallyRequested, &m_core, &GameCore::untallyPlayer);
    QObject::connect(m_tally.get(), &Ttallylist::resetRequested, &m_core, &GameCore::resetTally);
    return m_tally.get();
}

Tchat::SideWindows GameWindows::makeFirstWindows()
{
    // The tally is read as the game starts, and so written back when it ends,
    // whether or not its window is ever opened; an unreadable file is told
    // by the window now.
    Tchat::SideWindows windows;
    if (!m_core.tally().loaded())
        windows.tally = tallyWindow();
    windows.download = made(m_download);
    return windows;
}

} // namespace velmora
