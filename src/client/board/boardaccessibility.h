#pragma once

namespace velmora {

// Tells Qt's accessibility how the board's own widgets present themselves to
// screen readers: a die is a button that places it, a dart's place is text,
// the dice panel's focus is the die (or button) in its ring, and a score
// board has one reading per target. The widgets call it themselves; calling
// it again does nothing.
void installBoardAccessibility();

} // namespace velmora
