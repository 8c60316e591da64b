// Reading the history line by line: the current line the keys move, the mark
// drawn on it, and the focus the screen reader follows onto it.

#include "art/palette.h"
#include "chatparagraph.h"
#include "chatview.h"
#include "chatviewaccessible.h"
#include "media/spokenchat.h"

#include <QAccessible>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QPainter>
#include <QScrollBar>
#include <algorithm>

namespace velmora {

namespace {

bool isReturn(Qt::FocusReason reason)
{
    return reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason;
}

} // namespace

quint64 ChatView::lineSerial(int index) const
{
    return index >= 0 && index < paragraphCount() ? m_paragraphs[std::size_t(index)]->serial : 0;
}

int ChatView::lineIndex(quint64 serial) const
{
    // Lines come and go in order, so the kept ones hold consecutive serials.
    if (m_paragraphs.empty() || serial < m_paragraphs.front()->serial)
        return -1;
    const quint64 index = serial - m_paragraphs.front()->serial;
    return index < quint64(paragraphCount()) ? int(index) : -1;
}

QString ChatView::spokenLine(int index) const
{
    if (index < 0 || index >= paragraphCount())
        return {};
    const Paragraph& p = *m_paragraphs[std::size_t(index)];
    QString out;
    for (const LineRun& run : p.line.runs) {
        if (run.kind == ChatItemKind::Smiley)
            out += QStringLiteral(" smiley ");
        else
            out += QStringView(p.line.text).mid(run.start, run.length);
    }
    return spoken::chatLine(out);
}

QRect ChatView::lineRect(int index) const
{
    if (index < 0 || index >= paragraphCount())
        return {};
    const qint64 top = m_heights.offset(index) - verticalScrollBar()->value();
    return QRect(0, int(top), viewport()->width(), m_heights.height(index));
}

int ChatView::lineIndexAt(const QPoint& viewportPos) const
{
    const qint64 y = qint64(verticalScrollBar()->value()) + viewportPos.y();
    if (y < 0 || y >= m_heights.total() || !viewport()->rect().contains(viewportPos))
        return -1;
    return m_heights.indexAt(y);
}

void ChatView::setCurrentLine(int index)
{
    if (index < 0 || index >= paragraphCount())
        return;
    m_currentSerial = lineSerial(index);
    scrollToLine(index);
    viewport()->update();
    if (hasFocus())
        tellCurrentLine();
}

void ChatView::tellCurrentLine()
{
    const int index = currentLine();
    if (index < 0)
        return;
    ChatViewAccessible::focusLine(this, index);
    emit lineFocused(index);
}

// Page Up and Page Down go to the line a view's height away, and at least one line.
int ChatView::pageStep(int from, int direction) const
{
    const qint64 height = std::max(1, viewport()->height());
    const qint64 y = m_heights.offset(from) + direction * height;
    const int target = m_heights.indexAt(std::clamp<qint64>(y, 0, std::max<qint64>(0, m_heights.total() - 1)));
    if (target < 0)
        return direction < 0 ? 0 : paragraphCount() - 1;
    return target == from ? from + direction : target;
}

bool ChatView::moveCurrentLine(const QKeyEvent* event)
{
    if (m_paragraphs.empty() || (event->modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier)
        return false;
    const int last = paragraphCount() - 1;
    // A current line that went with the oldest lines leaves the keys at the oldest kept one.
    const int from = std::max(0, currentLine());
    int to = from;
    switch (event->key()) {
    case Qt::Key_Up:
        to = std::max(0, from - 1);
        break;
    case Qt::Key_Down:
        to = std::min(last, from + 1);
        break;
    case Qt::Key_Home:
        to = 0;
        break;
    case Qt::Key_End:
        to = last;
        break;
    case Qt::Key_PageUp:
        to = from == 0 ? 0 : pageStep(from, -1);
        break;
    case Qt::Key_PageDown:
        to = from == last ? last : pageStep(from, 1);
        break;
    default:
        return false;
    }
    m_keyMark.keyUsed();
    // At either end the line is said again, so the player hears where he is.
    setCurrentLine(std::clamp(to, 0, last));
    return true;
}

void ChatView::scrollToLine(int index)
{
    const QRect rect = paragraphRect(index);
    QScrollBar* bar = verticalScrollBar();
    if (rect.bottom() >= viewport()->height())
        bar->setValue(bar->value() + rect.bottom() + 1 - viewport()->height());
    const QRect after = paragraphRect(index);
    if (after.top() < 0)
        bar->setValue(bar->value() + after.top());
}

void ChatView::focusInEvent(QFocusEvent* event)
{
    QAbstractScrollArea::focusInEvent(event);
    m_keyMark.follow(event);
    if (!isReturn(event->reason()) || currentLine() < 0)
        m_currentSerial = m_paragraphs.empty() ? 0 : m_paragraphs.back()->serial;
    viewport()->update();
    // The widget's own focus is told to the reader after this handler: the line follows it.
    if (currentLine() >= 0)
        QMetaObject::invokeMethod(
            this,
            [this] {
                if (hasFocus())
                    tellCurrentLine();
            },
            Qt::QueuedConnection);
}

void ChatView::focusOutEvent(QFocusEvent* event)
{
    QAbstractScrollArea::focusOutEvent(event);
    m_keyMark.follow(event);
    viewport()->update();
}

void ChatView::paintCurrentLine(QPainter& painter)
{
    if (!m_keyMark.shown() || !hasFocus())
        return;
    const QRect rect = lineRect(currentLine());
    if (!rect.isEmpty())
        paintDottedFrame(painter, rect.adjusted(1, 0, -1, 0), art::palette::textLime);
}

} // namespace velmora
