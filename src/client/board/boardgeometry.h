#pragma once

// Where things go on the client's board: where the dice fall when thrown, the
// dart slots on the dice panel, and where a dart lands on the dartboard
// picture. Plain functions over QtCore types, no widgets. The game's rules
// (marks, darts, the counts) are the host's own, in src/game.

#include "game/dartresult.h"

#include <QPoint>
#include <QSize>
#include <functional>

namespace velmora::board {

// Where die 1..12 falls on a dice panel of the given size when the dice are
// thrown. random(k) must return 0..k-1; it is called three times, in this
// order: the die's row spread, then the left jitter random(10), then the top
// jitter random(8). Returns a null point for a die outside 1..12.
QPoint scatterPosition(int die, QSize panel, const std::function<int(int)>& random);

// Top-left corner of the thrown-dart marker for a dart, in dartboard panel
// coordinates, before the marker is lifted by markerLift. A dart that is no
// bull and no sum 1..20 lands on the bull's place.
QPoint markerPosition(const DartResult& result);
// The marker's picture has the dart's tip at its bottom, so it is lifted by this much.
inline constexpr int markerLift = 28;

// Top-left corner of slot 1..4 of dart 1..3 on the dice panel; null point out of range.
QPoint slotPosition(int dart, int slot);

} // namespace velmora::board
