#pragma once

#include "gameevents.h"
#include "placement.h"
#include "rules.h"

#include <array>
#include <functional>
#include <random>
#include <vector>

namespace velmora {

// The turn engine: whose turn it is, the dice of the turn, the marks and the
// scores, and who has won. It knows nothing of connections or timers; every
// operation checks who may act and either refuses (saying why) or changes the
// game and announces what happened, in order, to its listener. The host
// turns the announcements into messages and paces the computer's seats; a
// test drives it directly.
class GameEngine {
public:
    enum class Phase { NoGame, AwaitingThrow, Placing, ScoringPause, Over };
    // Who plays a seat: nobody (it takes no turns), a person, the computer
    // (nobody holds it but it takes turns), or the computer for a person who
    // holds the seat and watches.
    enum class SeatRole { Empty, Person, Computer, Watching };
    enum class Outcome {
        Done,
        NoGame,        // no game runs
        NotYourTurn,   // the seat is not the current one
        NotThrownYet,  // a placement before the throw
        AlreadyThrown, // a second throw in one turn
        DieUsed,
        PlaceTaken,
        OutOfRange, // a seat, die, dart or place number that does not exist
        NothingToPlace,
        NotScoring, // the turn is not waiting to be scored
    };

    struct Seat {
        rules::Marks marks{};
        int score = 0;
        int diceCount = 0;     // dice placed in its current turn
        bool toThrow = false;  // its turn is open and it has not thrown
        bool occupied = false; // a person holds the seat
        bool watching = false; // ... and lets the computer play it
        bool held = false;     // its person's connection was lost; kept for his return
    };

    using Listener = std::function<void(const GameEvent&)>;

    GameEngine();

    // The listener hears every event; it must not call back into the engine.
    void setListener(Listener listener) { m_listener = std::move(listener); }
    // Replaces the die (1..6 per call) and the draw of the seat before the
    // first turn (1..4), for games with known dice.
    void setDiceRoller(std::function<int()> roller) { m_rollDie = std::move(roller); }
    void setSeatDraw(std::function<int()> draw) { m_drawSeat = std::move(draw); }

    // --- seats -------------------------------------------------------------
    // A person now holds the seat / nobody does. A seat keeps its marks and
    // score for whoever takes it next; leaving ends its watching.
    void takeSeat(int seat);
    void leaveSeat(int seat);
    // The seat's person has lost his connection and may come back: the seat
    // stays in play and the computer plays it meanwhile; watching is kept,
    // so a turn he had handed over stays handed over. takeSeat gives it
    // back; releaseHold lets it go as leaveSeat does.
    void holdSeat(int seat);
    void releaseHold(int seat);
    // Watching on or off; switching it on during the seat's own turn hands
    // the turn to the computer at once (see handOver).
    [[nodiscard]] Outcome setWatching(int seat, bool on);

    // --- the game ------------------------------------------------------------
    // A new game, replacing any that runs: clears marks, scores and watching,
    // draws a seat and opens the turn of the seat after it.
    void startGame(bool team, bool points);
    [[nodiscard]] Outcome throwDice(int seat);
    [[nodiscard]] Outcome placeDie(int seat, const rules::Placement& placement);
    // The computer's next placement for the seat (one die).
    [[nodiscard]] Outcome placeNextForComputer(int seat);
    // Every remaining die by the computer's rule; the player's own
    // placements stay where they are.
    [[nodiscard]] Outcome autoPlace(int seat);
    // Finishes the current seat's business at once: throws if it has not
    // thrown, otherwise places everything left.
    [[nodiscard]] Outcome handOver(int seat);
    // Plays the current seat's turn out: throws if need be, then places
    // everything left.
    [[nodiscard]] Outcome playOut(int seat);
    // Scores the turn once every die lies on a dart (after the scoring pause),
    // then announces the winner or opens the next turn.
    [[nodiscard]] Outcome endTurn();

    // --- state -----------------------------------------------------------------
    Phase phase() const { return m_phase; }
    bool isRunning() const { return m_phase != Phase::NoGame && m_phase != Phase::Over; }
    int currentSeat() const { return m_current; }
    bool isTeamGame() const { return m_team; }
    bool isPointsGame() const { return m_points; }
    const Seat& seat(int number) const { return m_seats[number]; }
    SeatRole role(int seat) const;
    // Seat 2 always plays; another seat plays while a person holds it or it
    // waits for his return.
    bool inPlay(int seat) const
    {
        return seat == game::kAlwaysInPlay || m_seats[seat].occupied || m_seats[seat].held;
    }
    bool computerDriven(int seat) const { return !m_seats[seat].occupied || m_seats[seat].watching; }
    const rules::TurnDice& turn() const { return m_turn; }
    const rules::DartResults& dartResults() const { return m_results; }
    // This turn's placements in the order they were made, to bring a
    // newcomer's board to where everybody else's is.
    const std::vector<event::DiePlaced>& placedThisTurn() const { return m_placedThisTurn; }

private:
    void openNextTurn();
    Outcome mayPlace(int seat) const;
    bool checkForWin(int seat) const;
    void announce(const GameEvent& event);

    std::array<Seat, game::kSeats + 1> m_seats; // [0] unused
    Phase m_phase = Phase::NoGame;
    int m_current = 0;
    bool m_team = false;
    bool m_points = false;
    rules::TurnDice m_turn;
    rules::DartResults m_results;
    std::vector<event::DiePlaced> m_placedThisTurn; // at most a throw's dice

    Listener m_listener;
    std::mt19937 m_random;
    std::function<int()> m_rollDie;
    std::function<int()> m_drawSeat;
};

} // namespace velmora
