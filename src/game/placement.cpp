#include "placement.h"

namespace velmora::rules {

namespace {

std::optional<int> lowestFreeDie(const TurnDice& turn, int belowValue)
{
    for (int die = 0; die < game::kDicePerThrow; ++die) {
        if (!turn.used[die] && turn.values[die] < belowValue)
            return die + 1;
    }
    return std::nullopt;
}

} // namespace

std::optional<Placement> nextPlacement(const TurnDice& turn)
{
    const auto place = firstEmptyPlace(turn.places);
    if (!place)
        return std::nullopt;
    // Low dice first, on the first dart: they would spoil any other dart.
    if (place->first == 1) {
        if (const auto die = lowestFreeDie(turn, 3))
            return Placement{*die, 1, place->second};
    }
    if (const auto die = lowestFreeDie(turn, game::kDieFaces + 1))
        return Placement{*die, place->first, place->second};
    return std::nullopt;
}

} // namespace velmora::rules
