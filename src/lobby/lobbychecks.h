#pragma once

#include "base/result.h"

#include <QString>

namespace velmora::lobby {

// A player's name fits on a seat label and in one line of the chat.
inline constexpr qsizetype kMaxPlayerName = 20;

// The name a player typed, blanks around it dropped, or in one line why it
// cannot be used: empty, too long, or holding characters the game's messages
// cannot carry ("+" separates their fields) or a screen cannot show.
Result<QString> checkPlayerName(const QString& typed);

} // namespace velmora::lobby
