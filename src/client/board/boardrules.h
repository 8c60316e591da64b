#pragma once

// The client's board rules: how a dart value marks a score board, where the
// dice fall when thrown, where a dart lands on the dartboard picture and which
// sound it makes. Plain functions over QtCore types, no widgets.

#include "game/constants.h"
#include "game/dartresult.h"

#include <QPoint>
#include <QSize>
#include <QString>
#include <array>
#include <functional>

namespace velmora::board {

// Marks of one seat's score board: index 0..5 for the targets 15..20, 6 for the bull.
using Marks = std::array<int, game::kTargetCount>;
inline constexpr int bullIndex = game::kBull - game::kFirstTarget;
inline constexpr int closedMarks = game::kClosed;

inline constexpr int diceCount = game::kDicePerThrow;
inline constexpr int dartCount = game::kDarts;
inline constexpr int slotsPerDart = game::kDicePerDart;

// Applies one dart to a score board: the bull adds one mark to the bull, the
// double bull two, a sum of 15..20 one to its target; marks never exceed 3
// and misses change nothing.
void postscore(Marks& marks, const DartResult& result);

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
