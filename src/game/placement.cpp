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
    // Low dice first, on the first dart: they would spoil any other dart.
    for (int place = 0; place < game::kDicePerDart; ++place) {
        if (turn.places[0][place] != 0)
            continue;
        if (const auto die = lowestFreeDie(turn, 3))
            return Placement{*die, 1, place + 1};
        break;
    }
    for (int dart = 0; dart < game::kDarts; ++dart) {
        for (int place = 0; place < game::kDicePerDart; ++place) {
            if (turn.places[dart][place] != 0)
                continue;
            if (const auto die = lowestFreeDie(turn, 7))
                return Placement{*die, dart + 1, place + 1};
            return std::nullopt;
        }
    }
    return std::nullopt;
}

} // namespace velmora::rules
