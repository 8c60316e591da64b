#pragma once

#include "game/dartresult.h"
#include "game/rules.h"

#include <QList>
#include <QString>
#include <array>
#include <optional>
#include <utility>

namespace velmora {

// Who holds a seat: nobody yet, a person with a connection, or the computer
// (the opponent in seat 2, the partners in seats 3 and 4 of a team game).
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

// One die of the turn on the table: its face (0 blank) and whether it may
// still be placed.
struct DieState {
    int face = 0;
    bool available = false;
};

// The game as one client sees it, kept in step with the host's messages.
// Plain data with the few rules the client applies itself.
struct GameModel {
    static constexpr int kSeats = game::kSeats;
    static constexpr int kDice = game::kDicePerThrow;
    static constexpr int kDarts = game::kDarts;
    static constexpr int kPlacesPerDart = game::kDicePerDart;

    // The name shown on an empty seat.
    static QString waitingName();
    // The computer player that fills a seat nobody holds; empty for seat 1.
    static QString computerName(int seat);

    std::array<SeatState, kSeats> seats;
    QList<Spectator> spectators;
    int whoseturn = 0;
    int ownTurns = 0; // the player's own turns this game
    bool teamGame = false;
    bool pointsGame = true;
    std::array<DieState, kDice> dice{};
    std::array<std::array<bool, kPlacesPerDart>, kDarts> placesFilled{};
    std::array<DartResult, kDarts> darts{};

    GameModel();

    SeatState& seat(int number) { return seats[number - 1]; }
    const SeatState& seat(int number) const { return seats[number - 1]; }
    static bool isSeat(int number) { return number >= 1 && number <= kSeats; }

    // Empties the darts: no die available (faces kept), every place free.
    void clearDarts();
    // A new game: no marks, no points, nobody watching, empty darts.
    void clearBoard();
    // The first free place, taking darts 1..3 and within a dart places 1..4.
    std::optional<std::pair<int, int>> firstFreePlace() const;
    // Marks a completed dart on a seat's board; marks never pass three.
    void postDart(int seat, const DartResult& result);
    // A seat falls back to its computer player or to empty.
    void vacate(int seat);
};

} // namespace velmora
