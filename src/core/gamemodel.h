#pragma once

#include "game/dartresult.h"
#include "game/darts.h"
#include "game/rules.h"

#include <QList>
#include <QString>
#include <array>
#include <optional>
#include <utility>

namespace velmora {

// Who holds a seat: nobody yet, a person with a connection, or the computer
// (the opponent in seat 2, and in a team game every seat nobody holds;
// rules::computerPlays says which).
enum class SeatKind { Empty, Person, Computer };

struct SeatState {
    QString name;
    SeatKind kind = SeatKind::Empty;
    bool watching = false; // the person lets the computer play for now
    rules::Marks marks{};
    int points = 0;
};

struct Spectator {
    int number = 0; // 5..9
    QString name;
    bool operator==(const Spectator&) const = default;
};

// The game as one client sees it, kept in step with the host's messages.
// Plain data; the boards and the darts follow the game's own rules
// (game/rules.h, game/darts.h), as the host's do.
struct GameModel {
    // The name shown on an empty seat.
    static QString waitingName();
    // The computer player that fills a seat nobody holds.
    static QString computerName(int seat);

    std::array<SeatState, game::kSeats> seats;
    QList<Spectator> spectators;
    int whoseturn = 0;
    int ownTurns = 0; // the player's own turns this game
    bool teamGame = false;
    bool pointsGame = true;
    // This turn's dice: their faces (0 blank), which are out of play and what
    // lies on each dart. A die is out of play once placed or until a throw.
    rules::TurnDice turn;
    // Each dart's result as the host reported it.
    rules::DartResults darts{};

    GameModel();

    SeatState& seat(int number) { return seats[number - 1]; }
    const SeatState& seat(int number) const { return seats[number - 1]; }

    bool dieAvailable(int die) const;
    // Some die of a throw still waits for its place.
    bool diceLeftToPlace() const;
    // How many dice of this throw still wait for a place (none before the throw).
    int diceLeft() const;
    // A new throw: every die in play with its face, every place free.
    void throwDice(const std::array<int, game::kDicePerThrow>& faces);
    // Empties the darts: no die in play (faces kept), every place free.
    void clearDarts();
    // A new game: no marks, no points, nobody watching, empty darts.
    void clearBoard();
    // Marks a completed dart on a seat's board.
    void postDart(int seat, const DartResult& result);
    // A seat falls back to its computer player or to empty.
    void vacate(int seat);
};

} // namespace velmora
