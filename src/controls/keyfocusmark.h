#pragma once

#include <QColor>
#include <QRect>

class QFocusEvent;
class QPainter;

namespace velmora {

// Whether a control shows that it holds the keyboard. The mark appears
// when the player moves the focus there (Tab, Shift+Tab) or uses a key on
// it, never for a mouse click nor for the focus a window hands its first
// control when it opens, so a player who uses the mouse sees the window
// exactly as before. Leaving the window and coming back keeps the mark.
class KeyFocusMark {
public:
    // Follows a focus event; true when the mark comes or goes.
    bool follow(const QFocusEvent* event);
    // A key was used on the control while it has the focus.
    bool keyUsed();
    bool shown() const { return m_shown; }

private:
    bool m_shown = false;
    bool m_marked = false; // shown when the window lost the focus
};

// A dotted one-pixel frame just inside `frame`, dots two pixels apart, in
// logical pixels (so two device pixels wide at 200 %).
void paintDottedFrame(QPainter& painter, const QRect& frame, const QColor& colour);

} // namespace velmora
