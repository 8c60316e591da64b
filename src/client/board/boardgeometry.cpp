#include "boardgeometry.h"

#include "game/constants.h"

#include <array>

namespace velmora::board {

namespace {

struct Scatter {
    int col;
    int rowBase;   // the die's first row
    int rowSpread; // random(rowSpread) is added to rowBase
};

// The dice fall in two loose bands right of the dart columns: odd dice mostly
// in the upper band, even dice (and 11) in the lower one.
constexpr std::array<Scatter, game::kDicePerThrow> scatterTable{{
    {6, 1, 3},
    {4, 4, 4},
    {5, 1, 3},
    {1, 4, 4},
    {2, 1, 3},
    {8, 4, 4},
    {3, 1, 3},
    {6, 4, 4},
    {7, 1, 3},
    {7, 4, 4},
    {5, 4, 4},
    {2, 4, 4},
}};

// Marker corners for the numbers 1..20, read off the dartboard picture.
constexpr std::array<QPoint, 20> markerTable{{
    {130, 72}, {148, 178}, {114, 194}, {164, 94}, {90, 72},   {173, 137}, {78, 184},  {54, 152}, {58, 96},  {172, 155},
    {49, 142}, {74, 81},   {171, 120}, {51, 119}, {164, 172}, {62, 168},  {132, 190}, {145, 90}, {94, 190}, {113, 72},
}};

constexpr QPoint bullMarker{115, 135};
constexpr QPoint doubleBullMarker{110, 139};

constexpr std::array<int, game::kDarts> slotLefts{9, 53, 97};
constexpr std::array<int, game::kDicePerDart> slotTops{30, 65, 101, 136};

} // namespace

QPoint scatterPosition(int die, QSize panel, const std::function<int(int)>& random)
{
    if (die < 1 || die > game::kDicePerThrow)
        return {};
    const Scatter& s = scatterTable[die - 1];
    const int row = s.rowBase + random(s.rowSpread);
    // C++ division truncates toward zero, as the formula wants even for tiny panels.
    const int left = s.col * ((panel.width() - 170) / 8) + random(10) + 106;
    const int top = row * ((panel.height() - 10) / 7) + random(8) - 32;
    return {left, top};
}

QPoint markerPosition(const DartResult& result)
{
    switch (result.kind()) {
    case DartResult::Kind::DoubleBull:
        return doubleBullMarker;
    case DartResult::Kind::Sum:
        if (result.sum() >= 1)
            return markerTable[result.sum() - 1];
        return bullMarker;
    default:
        return bullMarker;
    }
}

QPoint slotPosition(int dart, int slot)
{
    if (dart < 1 || dart > game::kDarts || slot < 1 || slot > game::kDicePerDart)
        return {};
    return {slotLefts[dart - 1], slotTops[slot - 1]};
}

} // namespace velmora::board
