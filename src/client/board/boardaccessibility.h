#pragma once

class QAccessibleInterface;

namespace velmora {

class DicePanel;

// Tells Qt's accessibility how the board's own widgets present themselves to
// screen readers: a die is a button that places it, a dart's place is text,
// the dice panel's focus is its state or the die (or button) in its ring,
// and a score board has one reading per target, which the keys walk. The
// widgets call it themselves; calling it again does nothing.
void installBoardAccessibility();

// The dice panel's reading of the board's state (DicePanel::boardState), its last child.
QAccessibleInterface* boardStateAccessible(DicePanel* panel);

} // namespace velmora
