#pragma once

#include "tchat.h"

#include <memory>

namespace velmora {

class GameCore;

// The program's windows around one game core, made as the game makes them:
// the main window first; the lobby download's window once it is on the
// screen, just before the game starts; every other side window only when
// first needed (see Tchat::LateWindows). All side windows start hidden and
// outlive the main window.
class GameWindows {
public:
    explicit GameWindows(GameCore& core);
    ~GameWindows();
    GameWindows(const GameWindows&) = delete;
    GameWindows& operator=(const GameWindows&) = delete;

    Tchat& main() { return *m_chat; }
    // Makes every side window now rather than later (tests reach them from
    // the start).
    void makeAllNow();

    // Each nullptr until made.
    Ttallylist* tally() const { return m_tally.get(); }
    Tspylist* spies() const { return m_spies.get(); }
    Tphrases* phrases() const { return m_phrases.get(); }
    Tdownload* download() const { return m_download.get(); }
    Tgamestart* gamestart() const { return m_gamestart.get(); }
    Tabout* about() const { return m_about.get(); }
    Thelp* help() const { return m_help.get(); }

private:
    Tchat::SideWindows makeFirstWindows();
    Ttallylist* tallyWindow();

    GameCore& m_core;
    // Declared before the main window, so they go after it.
    std::unique_ptr<Ttallylist> m_tally;
    std::unique_ptr<Tspylist> m_spies;
    std::unique_ptr<Tphrases> m_phrases;
    std::unique_ptr<Tdownload> m_download;
    std::unique_ptr<Tgamestart> m_gamestart;
    std::unique_ptr<Tabout> m_about;
    std::unique_ptr<Thelp> m_help;
    std::unique_ptr<Tchat> m_chat;
};

} // namespace velmora
