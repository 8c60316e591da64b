// Where things are in the chat display: the rectangles of lines and links,
// and the text position or link under the mouse.

#include "chatparagraph.h"
#include "chatview.h"

#include <QScrollBar>
#include <QTextLayout>
#include <algorithm>

namespace velmora {

QRect ChatView::paragraphRect(int index)
{
    if (index < 0 || index >= paragraphCount())
        return {};
    ensureLaidOut(index);
    const qint64 top = m_heights.offset(index) - verticalScrollBar()->value();
    return QRect(0, int(top), viewport()->width(), m_heights.height(index));
}

QRect ChatView::linkRect(int number)
{
    for (int i = 0; i < paragraphCount(); ++i) {
        const Paragraph& p = *m_paragraphs[std::size_t(i)];
        int link = p.firstLink;
        for (const LineRun& run : p.line.runs) {
            if (run.kind != ChatItemKind::Link)
                continue;
            if (link++ != number)
                continue;
            const QRect para = paragraphRect(i);
            const QTextLine line = p.layout->lineForTextPosition(run.start);
            const int end = std::min(run.start + run.length, line.textStart() + line.textLength());
            const qreal x1 = line.cursorToX(run.start);
            const qreal x2 = line.cursorToX(end);
            return QRectF(Margin + x1, para.top() + line.y(), x2 - x1, line.height()).toAlignedRect();
        }
    }
    return {};
}

std::optional<ChatView::Position> ChatView::positionAt(const QPoint& viewportPos, bool exactCharacter)
{
    if (m_paragraphs.empty())
        return std::nullopt;
    const qint64 y = qint64(verticalScrollBar()->value()) + viewportPos.y();
    if (y >= m_heights.total()) {
        if (exactCharacter)
            return std::nullopt;
        return Position{paragraphCount() - 1, int(m_paragraphs.back()->line.text.size())};
    }
    const int index = m_heights.indexAt(y);
    ensureLaidOut(index);
    const Paragraph& p = *m_paragraphs[std::size_t(index)];
    const qreal localY = qreal(y - m_heights.offset(index));
    const qreal x = viewportPos.x() - Margin;
    QTextLine line;
    for (int i = 0; i < p.layout->lineCount(); ++i) {
        line = p.layout->lineAt(i);
        if (localY < line.y() + line.height())
            break;
    }
    if (!line.isValid())
        return exactCharacter ? std::nullopt : std::optional(Position{index, 0});
    if (exactCharacter) {
        if (x < 0 || x >= line.naturalTextWidth() || localY < line.y())
            return std::nullopt;
        return Position{index, line.xToCursor(x, QTextLine::CursorOnCharacter)};
    }
    return Position{index, line.xToCursor(std::max<qreal>(x, 0), QTextLine::CursorBetweenCharacters)};
}

int ChatView::linkAt(const QPoint& viewportPos)
{
    const std::optional<Position> pos = positionAt(viewportPos, true);
    if (!pos)
        return -1;
    const Paragraph& p = *m_paragraphs[std::size_t(pos->paragraph)];
    int link = p.firstLink;
    for (const LineRun& run : p.line.runs) {
        if (run.kind != ChatItemKind::Link)
            continue;
        if (pos->offset >= run.start && pos->offset < run.start + run.length)
            return link;
        link = link < INT_MAX ? link + 1 : INT_MAX;
    }
    return -1;
}

} // namespace velmora
