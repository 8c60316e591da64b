#pragma once

#include "constants.h"
#include "dartresult.h"

#include <array>
#include <optional>
#include <utility>

// The dice of a turn on its three darts, as the host and every client keep
// them: which die lies where, what each dart makes of its dice, and when a
// dart and the turn are complete. One set of rules for both sides, whatever
// the order in which the places were filled.
namespace velmora::rules {

// The twelve places, dart by dart; each holds the value of the die lying
// there, 0 while empty.
using DartPlaces = std::array<std::array<int, game::kDicePerDart>, game::kDarts>;

// This turn's dice: values 1..6 by die number (0 before the throw), which
// dice are out of play (placed, or not part of a throw), and the places.
struct TurnDice {
    std::array<int, game::kDicePerThrow> values{};
    std::array<bool, game::kDicePerThrow> used{};
    DartPlaces places{};
};

// One placement: die 1..12 onto dart 1..3, place 1..4.
struct Placement {
    int die = 0;
    int dart = 0;
    int place = 0;
    bool operator==(const Placement&) const = default;
};

bool inRange(const Placement& placement);

// A dart (1..3) is complete when all four of its places hold a die, in
// whatever order they were filled; the turn's dice are all placed when all
// three darts are.
bool dartComplete(const DartPlaces& places, int dart);
bool allPlaced(const DartPlaces& places);

// The first empty place (dart, place), taking dart 1 places 1..4, then dart
// 2, then dart 3: where a player's click puts a die. None when all are filled.
std::optional<std::pair<int, int>> firstEmptyPlace(const DartPlaces& places);

// What a die's landing did to its dart.
struct Landing {
    DartResult result;         // the dart's result so far
    bool dartComplete = false; // the dart now holds all four of its dice
    bool allPlaced = false;    // every place of the three darts is filled
};

// Lays a die into a place. None, and nothing changed, when the numbers are
// out of range, the die is out of play or shows no value, or the place is taken.
std::optional<Landing> layDie(TurnDice& turn, const Placement& placement);

} // namespace velmora::rules
