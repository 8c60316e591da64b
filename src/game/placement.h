#pragma once

#include "darts.h"

#include <optional>

// How the computer places dice, and how "Auto Place" fills the empty places.
namespace velmora::rules {

// The next placement the computer makes, or none when every place is filled
// or no die is left. Low dice (1 or 2) go on the first dart first; then every
// empty place, dart by dart, takes the lowest-numbered die left. The rule
// looks at nothing but the dice.
std::optional<Placement> nextPlacement(const TurnDice& turn);

} // namespace velmora::rules
