#pragma once

#include "game/dartresult.h"

#include <QList>
#include <QString>

// What a screen reader says for the board's pieces: the words a player
// would use aloud, not the texts drawn on the board ("dBull", a light).
namespace velmora::spoken {

// "17", "12, a miss", "bull", "double bull"; "nothing" for an empty dart.
QString dartResult(const DartResult& result);
// A target 15..21 as a player names it: "15" .. "20", "bull".
QString target(int target);
// "no marks", "one mark", "two marks", "closed".
QString marks(int count);
// A die's face: "blank" before the throw, else its pips.
QString face(int face);
// The faces of a throw in order: "5, 3, 1, ...".
QString faces(const QList<int>& faces);

} // namespace velmora::spoken
