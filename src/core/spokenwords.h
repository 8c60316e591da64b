#pragma once

#include "game/dartresult.h"
#include "game/rules.h"

#include <QList>
#include <QString>

// What a screen reader says for the board's pieces: the words a player
// would use aloud, not the texts drawn on the board ("dBull", a light).
namespace velmora::spoken {

// "17", "12, a miss", "bull", "double bull"; "nothing" for an empty dart.
QString dartResult(const DartResult& result);
// What a dart did, to follow "Borl's dart 1": "hits 17", "hits the bull",
// "misses with 12", "is empty".
QString dartHit(const DartResult& result);
// A target 15..21 as a player names it: "15" .. "20", "bull".
QString target(int target);
// "no marks", "one mark", "two marks", "closed".
QString marks(int count);
// A die's face: "blank" before the throw, else its pips.
QString face(int face);
// The faces of a throw in order: "5, 3, 1, ...".
QString faces(const QList<int>& faces);
// A score board in short, targets in order and only those with marks:
// "15 closed, 17 two marks, bull one mark"; "no marks" for an empty board.
QString board(const rules::Marks& marks);

} // namespace velmora::spoken
