#pragma once

#include <array>
#include <string_view>

// The sizes and names of the game, each defined once for the host, the
// client and the wire.
namespace velmora::game {

inline constexpr int kSeats = 4;          // seats 1..4; 1 and 3 play with 2 and 4 in a team game
inline constexpr int kMaxConnections = 9; // connections 1..4 hold the seats, 5..9 watch
inline constexpr int kDarts = 3;
inline constexpr int kDicePerDart = 4;
inline constexpr int kDicePerThrow = kDarts * kDicePerDart;
inline constexpr int kDieFaces = 6;     // a die shows 1 to 6
inline constexpr int kFirstTarget = 15; // targets 15..20 and the bull
inline constexpr int kBull = 21;        // the bull's number on the wire
inline constexpr int kTargetCount = kBull - kFirstTarget + 1;
inline constexpr int kClosed = 3; // marks that close a target
inline constexpr int kBullPoints = 25;
inline constexpr int kChatterSounds = 20;
// The computer's pace in milliseconds until the player chooses one.
inline constexpr int kDefaultBotDelayMs = 500;
// Seat 2 always plays; when nobody holds it, the computer does.
inline constexpr int kAlwaysInPlay = 2;

// Who plays a seat that no person holds: "Borl" in seat 2, "Dask" and
// "Tumm" in seats 3 and 4 (those two only in team games), "Kelm" in seat 1
// of a team game that its player left (rules::computerPlays says when).
inline constexpr std::array<std::string_view, kSeats + 1> kComputerNames = {"", "Kelm", "Borl", "Dask", "Tumm"};

// A seat's team partner: 1 with 3, 2 with 4.
constexpr int partnerOf(int seat)
{
    return (seat + 1) % kSeats + 1;
}

} // namespace velmora::game
