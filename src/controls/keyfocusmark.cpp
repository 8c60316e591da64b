#include "keyfocusmark.h"

#include <QFocusEvent>
#include <QPainter>

namespace velmora {

namespace {

bool isReturn(Qt::FocusReason reason)
{
    return reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason;
}

} // namespace

bool KeyFocusMark::follow(const QFocusEvent* event)
{
    const bool before = m_shown;
    const Qt::FocusReason reason = event->reason();
    if (event->gotFocus()) {
        m_shown = isReturn(reason) ? m_marked : reason != Qt::MouseFocusReason;
    } else if (event->lostFocus()) {
        m_marked = m_shown && isReturn(reason);
        m_shown = false;
    }
    return m_shown != before;
}

bool KeyFocusMark::keyUsed()
{
    const bool before = m_shown;
    m_shown = true;
    return !before;
}

void paintDottedFrame(QPainter& painter, const QRect& frame, const QColor& colour)
{
    if (frame.width() < 2 || frame.height() < 2)
        return;
    // Dots by filled pixels, not a dashed pen: they stay square and crisp at every scale.
    for (int x = frame.left(); x <= frame.right(); x += 2) {
        painter.fillRect(x, frame.top(), 1, 1, colour);
        painter.fillRect(x, frame.bottom(), 1, 1, colour);
    }
    for (int y = frame.top(); y <= frame.bottom(); y += 2) {
        painter.fillRect(frame.left(), y, 1, 1, colour);
        painter.fillRect(frame.right(), y, 1, 1, colour);
    }
}

} // namespace velmora
