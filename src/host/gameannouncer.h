#pragma once

#include "game/gameevents.h"

#include <QString>
#include <functional>

namespace velmora {

class GameEngine;
class Roster;

// The game on the wire: each event of the engine as the message it puts out,
// in the order the engine announced it, and the game as it stands for a
// newcomer who logs in while it runs.
//
// A connection follows the turns from its catch-up on: what the catch-up
// repeats (the boards, whose turn it is, the dice and their places, the
// scores) reaches only connections that have logged in, so a connection
// accepted just before a turn opens does not get that turn twice.
class GameAnnouncer {
public:
    using WinnerHook = std::function<void(const QString& names)>;

    // `onWinner` hears the winner text once it has gone out.
    GameAnnouncer(Roster& roster, const GameEngine& engine, WinnerHook onWinner);

    void announce(const GameEvent& event);
    // Every board in play as of the last turn's end, whose turn it is, the
    // dice of the turn and the dice placed so far in it, in order, so that
    // the newcomer's board marks this turn's darts like everybody's.
    void bringUpToDate(int slot);

private:
    void announceWinner(const event::Winner& winner);
    // A seat's login name, or the computer player's name when nobody holds it.
    QString displayName(int seat) const;

    Roster& m_roster;
    const GameEngine& m_engine;
    WinnerHook m_onWinner;
};

} // namespace velmora
