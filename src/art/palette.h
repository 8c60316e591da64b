#pragma once

// The game's colours, named once: the pictures, the chat and the controls all draw with these.

#include <QColor>

class QAbstractScrollArea;
class QScrollBar;
class QStyle;

namespace velmora::art {

namespace palette {
// The board and the chat are black; the game's own marks are lime on it.
inline constexpr QColor black{0x00, 0x00, 0x00};
inline constexpr QColor lime{0x33, 0xff, 0x33};
// Lime lit up under the mouse.
inline constexpr QColor paleLime{0xa0, 0xff, 0x80};
// Lime pressed down, and the edges drawn around lime.
inline constexpr QColor green{0x11, 0xb0, 0x11};
inline constexpr QColor darkGreen{0x0b, 0x5e, 0x1a};
// Lime switched off: arrows of a scroll bar with nothing to scroll.
inline constexpr QColor dimGreen{0x0c, 0x33, 0x10};
// The text of the board, the side windows and the buttons: the chat's own
// lime (clLime), the frames' green (clGreen), the captions' silver (clSilver)
// and the grey of an empty place (clGray).
inline constexpr QColor textLime{0x00, 0xff, 0x00};
inline constexpr QColor frameGreen{0x00, 0x80, 0x00};
// The darker edge of the chat's entry box and phrase buttons.
inline constexpr QColor edgeGreen{0x00, 0x60, 0x00};
inline constexpr QColor silver{0xc0, 0xc0, 0xc0};
inline constexpr QColor grey{0x80, 0x80, 0x80};
} // namespace palette

// Gives a scroll bar the game's look: a black groove, a lime handle and lime arrows. Every
// scroll bar of the game goes through here, so the look lives in one place.
void styleScrollBar(QScrollBar* bar);
// Both scroll bars of a scroll area (a text view, a list, the chat).
void styleScrollBars(QAbstractScrollArea* area);
// The style that paints them, shared by every styled bar and owned by the application.
QStyle* scrollBarStyle();

} // namespace velmora::art
