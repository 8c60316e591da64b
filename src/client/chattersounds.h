#pragma once

#include <QString>

namespace velmora {

// The chatter sounds players send each other, by number 1..20; 0 is the
// menu's "<Cancel>". Out of range gives an empty text.
QString chatterSoundName(int number);

} // namespace velmora
