// The bounded history: the oldest lines go once the view holds more lines or
// more text than its limits, and what the player sees, selects and may click
// moves with what is left.

#include "chatparagraph.h"
#include "chatview.h"

#include <QScrollBar>
#include <algorithm>

namespace velmora {

void ChatView::trimHistory()
{
    const int count = paragraphCount();
    int drop = 0;
    qint64 bytes = m_contentBytes;
    while (count - drop > 1 && (count - drop > m_maxLines || bytes > m_maxContentBytes))
        bytes -= m_paragraphs[std::size_t(drop++)]->contentBytes;
    if (drop > 0)
        dropOldest(drop);
}

void ChatView::dropOldest(int count)
{
    QScrollBar* bar = verticalScrollBar();
    const qint64 droppedHeight = m_heights.offset(count);
    const qint64 value = bar->value();
    for (int i = 0; i < count; ++i) {
        Paragraph& p = *m_paragraphs.front();
        m_contentBytes -= p.contentBytes;
        if (p.layout)
            m_laidOutChars -= p.line.text.size();
        m_paragraphs.pop_front();
    }
    m_heights.removeFront(count);
    std::erase_if(m_laidOut, [count](int index) { return index < count; });
    for (int& index : m_laidOut)
        index -= count;
    m_firstShownLink = m_paragraphs.empty() ? m_linkCount : m_paragraphs.front()->firstLink;

    // A selection end on a dropped line moves to the start of what is left.
    for (std::optional<Position>* end : {&m_anchor, &m_cursor}) {
        if (!*end)
            continue;
        if ((*end)->paragraph < count)
            **end = Position{0, 0};
        else
            (*end)->paragraph -= count;
    }

    // What was in view stays in view: the scroll position moves up with the lines above it,
    // and the pixels on screen stay right unless some of them belonged to the dropped lines.
    const qint64 target = value - droppedHeight;
    const bool inLayout = m_inLayout;
    m_inLayout = true;
    m_silentScroll = true;
    updateScrollRange();
    bar->setValue(int(std::max<qint64>(0, target)));
    m_silentScroll = false;
    m_inLayout = inLayout;
    if (target < 0) {
        m_repaintAll = true;
        viewport()->update();
    }
}

void ChatView::setHistoryLimits(int maxLines, qint64 maxContentBytes)
{
    const bool keepAtEnd = atEnd() && !scrollOff();
    m_maxLines = std::max(1, maxLines);
    m_maxContentBytes = std::max<qint64>(0, maxContentBytes);
    trimHistory();
    layOutVisible(keepAtEnd);
}

} // namespace velmora
