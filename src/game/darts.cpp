#include "darts.h"

#include <algorithm>

namespace velmora::rules {

bool inRange(const Placement& p)
{
    return p.die >= 1 && p.die <= game::kDicePerThrow && p.dart >= 1 && p.dart <= game::kDarts && p.place >= 1 &&
           p.place <= game::kDicePerDart;
}

bool dartComplete(const DartPlaces& places, int dart)
{
    const auto& dice = places[dart - 1];
    return std::none_of(dice.begin(), dice.end(), [](int value) { return value == 0; });
}

bool allPlaced(const DartPlaces& places)
{
    for (int dart = 1; dart <= game::kDarts; ++dart)
        if (!dartComplete(places, dart))
            return false;
    return true;
}

std::optional<std::pair<int, int>> firstEmptyPlace(const DartPlaces& places)
{
    for (int dart = 1; dart <= game::kDarts; ++dart)
        for (int place = 1; place <= game::kDicePerDart; ++place)
            if (places[dart - 1][place - 1] == 0)
                return std::pair{dart, place};
    return std::nullopt;
}

std::optional<Landing> layDie(TurnDice& turn, const Placement& p)
{
    if (!inRange(p))
        return std::nullopt;
    const int value = turn.values[p.die - 1];
    int& spot = turn.places[p.dart - 1][p.place - 1];
    if (turn.used[p.die - 1] || value < 1 || value > game::kDieFaces || spot != 0)
        return std::nullopt;
    spot = value;
    turn.used[p.die - 1] = true;

    int sum = 0;
    for (int v : turn.places[p.dart - 1])
        sum += v;
    Landing landing;
    landing.result = DartResult::fromSum(sum);
    landing.dartComplete = dartComplete(turn.places, p.dart);
    landing.allPlaced = allPlaced(turn.places);
    return landing;
}

} // namespace velmora::rules
