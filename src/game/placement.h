#pragma once

#include "rules.h"

#include <array>
#include <optional>

// How the computer places dice, and how "Auto Place" fills the empty places.
namespace velmora::rules {

// This turn's dice as the host keeps them: values 1..6 by die number, which
// dice lie on a dart, and the value lying in each place (0 = empty).
struct TurnDice {
    std::array<int, game::kDicePerThrow> values{};
    std::array<bool, game::kDicePerThrow> used{};
    std::array<std::array<int, game::kDicePerDart>, game::kDarts> places{};
};

// One placement: die 1..12 onto dart 1..3, place 1..4.
struct Placement {
    int die = 0;
    int dart = 0;
    int place = 0;
    bool operator==(const Placement&) const = default;
};

// The next placement the computer makes, or none when every place is filled
// or no die is left. Low dice (1 or 2) go on the first dart first; then every
// empty place, dart by dart, takes the lowest-numbered die left. The rule
// looks at nothing but the dice.
std::optional<Placement> nextPlacement(const TurnDice& turn);

} // namespace velmora::rules
