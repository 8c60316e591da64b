#pragma once

// A tally list window with an owner for its book: what the window asks for
// is done on the book, as the game core does it for the game's window.

#include "records/tallybook.h"
#include "windows/tallylistform.h"

namespace velmora::testing {

inline void ownTally(Ttallylist& window, TallyBook& book)
{
    QObject::connect(&window, &Ttallylist::tallyRequested, &book, &TallyBook::addOpponent);
    QObject::connect(&window, &Ttallylist::untallyRequested, &book, &TallyBook::removeOpponent);
    QObject::connect(&window, &Ttallylist::resetRequested, &book, &TallyBook::reset);
}

} // namespace velmora::testing
