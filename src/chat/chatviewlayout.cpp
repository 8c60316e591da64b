// Laying out, scrolling and painting of the chat display.

#include "chatparagraph.h"
#include "chatview.h"

#include <QFontMetricsF>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <algorithm>
#include <climits>
#include <cmath>
#include <span>

namespace velmora {

namespace {

// Layouts within this many screens above and below the view are kept however many there are.
constexpr int kKeepAroundScreens = 2;

QPixmap placeholderSmiley()
{
    QPixmap pixmap(ChatView::SmileyWidth, ChatView::SmileyHeight);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QColor(0x80, 0x60, 0x00));
    painter.setBrush(QColor(0xFF, 0xD8, 0x00));
    painter.drawEllipse(QRectF(1.5, 0.5, 14, 14));
    painter.setBrush(Qt::black);
    painter.setPen(Qt::NoPen);
    painter.drawEllipse(QRectF(5, 4, 2, 3));
    painter.drawEllipse(QRectF(10, 4, 2, 3));
    painter.setPen(QPen(Qt::black, 1.2));
    painter.setBrush(Qt::NoBrush);
    painter.drawArc(QRectF(4.5, 4.5, 8, 7), 200 * 16, 140 * 16);
    return pixmap;
}

// Glyph runs know they are underlined, but the painter draws their underline from the run's
// origin instead of its first glyph; the view draws underlines itself.
QGlyphRun undecorated(QGlyphRun run)
{
    run.setUnderline(false);
    return run;
}

QRectF underlineRect(const QTextLine& line, int from, int to, const QFont& font)
{
    const QFontMetricsF metrics(font);
    const qreal x1 = line.cursorToX(from);
    const qreal x2 = line.cursorToX(to);
    const qreal thickness = std::max<qreal>(1.0, metrics.lineWidth());
    return QRectF(x1, line.y() + line.ascent() + metrics.underlinePos() - thickness / 2, x2 - x1, thickness);
}

// The runs that overlap [from, to). Runs lie end to end in text order, so a long line with
// thousands of links costs a search per text line instead of a walk over every run.
std::span<const LineRun> runsIn(const std::vector<LineRun>& runs, int from, int to)
{
    const auto first = std::partition_point(runs.begin(), runs.end(),
                                            [from](const LineRun& run) { return run.start + run.length <= from; });
    const auto last = std::partition_point(first, runs.end(), [to](const LineRun& run) { return run.start < to; });
    return {first, last};
}

} // namespace

void ChatView::finishLine()
{
    if (m_paragraphs.empty())
        return;
    const int index = paragraphCount() - 1;
    if (scrollOff()) {
        // Not necessarily shown: guess its height now and lay it out when it comes into view.
        m_heights.set(index, estimateHeight(*m_paragraphs.back()));
        layOutVisible(false);
    } else {
        ensureLaidOut(index);
        layOutVisible(true);
    }
    const qint64 top = m_heights.offset(index) - verticalScrollBar()->value();
    if (top < viewport()->height())
        viewport()->update(QRect(0, int(std::max<qint64>(top, 0)), viewport()->width(), m_heights.height(index)));
}

// ---- Layout -------------------------------------------------------------------------------

int ChatView::availableWidth() const
{
    return std::max(1, viewport()->width() - 2 * Margin);
}

quint64 ChatView::layoutKey() const
{
    return (quint64(quint32(availableWidth())) << 32) | quint64(quint32(m_fontGeneration + 1));
}

int ChatView::estimateHeight(const Paragraph& p) const
{
    const QFontMetricsF metrics(m_fonts[std::size_t(p.line.style)]);
    const qreal width = metrics.horizontalAdvance(p.line.text);
    const int lines = std::max(1, int(std::ceil(width / availableWidth())));
    const qreal lineHeight = p.hasSmiley ? std::max<qreal>(metrics.height(), SmileyHeight) : metrics.height();
    return int(std::min<qreal>(std::ceil(lines * lineHeight), INT_MAX / 2));
}

bool ChatView::ensureLaidOut(int index)
{
    Paragraph& p = *m_paragraphs[std::size_t(index)];
    const quint64 key = layoutKey();
    if (p.layout && p.layoutKey == key)
        return false;
    if (!p.layout) {
        m_laidOut.push_back(index);
        m_laidOutChars += p.line.text.size();
    }
    layOut(p);
    p.layoutKey = key;
    const bool changed = m_heights.height(index) != p.laidOutHeight;
    m_heights.set(index, p.laidOutHeight);
    return changed;
}

void ChatView::layOut(Paragraph& p)
{
    const std::vector<LineRun>& runs = p.line.runs;
    QList<QTextLayout::FormatRange> formats;
    formats.reserve(qsizetype(runs.size()));
    for (const LineRun& run : runs) {
        QTextLayout::FormatRange range;
        range.start = run.start;
        range.length = run.length;
        QFont font = m_fonts[std::size_t(run.style)];
        if (run.kind == ChatItemKind::Smiley) {
            // The stand-in character takes exactly the picture's width.
            font.setUnderline(false);
            const qreal advance = QFontMetricsF(font).horizontalAdvance(ChatLine::SmileyPlaceholder);
            font.setLetterSpacing(QFont::AbsoluteSpacing, SmileyWidth - advance);
        }
        range.format.setFont(font);
        formats.append(range);
    }

    p.glyphs.clear();
    p.layout = std::make_unique<QTextLayout>(p.line.text, m_fonts[0]);
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    p.layout->setTextOption(option);
    p.layout->setFormats(formats);
    p.layout->setCacheEnabled(true);

    const qreal width = availableWidth();
    qreal y = 0;
    p.layout->beginLayout();
    for (;;) {
        QTextLine line = p.layout->createLine();
        if (!line.isValid())
            break;
        line.setLineWidth(width);
        qreal height = line.height();
        if (p.hasSmiley) {
            const int from = line.textStart();
            const int to = from + line.textLength();
            for (const LineRun& run : runsIn(runs, from, to)) {
                if (run.kind == ChatItemKind::Smiley && run.start >= from)
                    height = std::max<qreal>(height, SmileyHeight);
            }
        }
        // A smiley taller than the text sits on the line's bottom, the text below its top.
        line.setPosition(QPointF(0, y + height - line.height()));
        y += height;
    }
    p.layout->endLayout();
    p.laidOutHeight = int(std::min<qreal>(std::ceil(y), INT_MAX / 2));

    for (int i = 0; i < p.layout->lineCount(); ++i) {
        const QTextLine line = p.layout->lineAt(i);
        const int from = line.textStart();
        const int to = from + line.textLength();
        for (const LineRun& run : runsIn(runs, from, to)) {
            const int a = std::max(from, run.start);
            const int b = std::min(to, run.start + run.length);
            if (run.kind == ChatItemKind::Smiley || a >= b)
                continue;
            const QFont& font = m_fonts[std::size_t(run.style)];
            for (const QGlyphRun& glyphs : line.glyphRuns(a, b - a))
                p.glyphs.push_back({run.style, undecorated(glyphs), QRectF()});
            if (font.underline())
                p.glyphs.push_back({run.style, QGlyphRun(), underlineRect(line, a, b, font)});
        }
    }
}

void ChatView::forgetLayout(Paragraph& p)
{
    // The height stays: it is still exact for this width, only the shapes go.
    if (p.layout)
        m_laidOutChars -= p.line.text.size();
    p.layout.reset();
    p.glyphs.clear();
    p.glyphs.shrink_to_fit();
}

void ChatView::dropFarLayouts()
{
    if (m_laidOut.size() <= std::size_t(2 * LayoutsKept) && m_laidOutChars <= 2 * LaidOutCharactersKept)
        return;
    const qint64 top = verticalScrollBar()->value();
    const qint64 around = qint64(kKeepAroundScreens) * viewport()->height();
    const int first = m_heights.indexAt(top - around);
    const int last = m_heights.indexAt(top + viewport()->height() + around);
    std::vector<int> kept;
    std::size_t count = m_laidOut.size();
    // The oldest layouts go first, down to the figures kept.
    for (const int index : m_laidOut) {
        const bool over = count > std::size_t(LayoutsKept) || m_laidOutChars > LaidOutCharactersKept;
        if (over && (index < first || index > last)) {
            forgetLayout(*m_paragraphs[std::size_t(index)]);
            --count;
        } else {
            kept.push_back(index);
        }
    }
    m_laidOut = std::move(kept);
}

void ChatView::layOutVisible(bool keepAtEnd)
{
    if (m_inLayout)
        return;
    m_inLayout = true;
    QScrollBar* bar = verticalScrollBar();
    // Laying out corrects guessed heights, which moves what is visible: repeat until it settles.
    for (int round = 0; round < 8; ++round) {
        updateScrollRange();
        if (keepAtEnd)
            bar->setValue(bar->maximum());
        const qint64 top = bar->value();
        const qint64 bottom = top + viewport()->height();
        bool changed = false;
        int index = m_heights.indexAt(top);
        if (index >= 0) {
            for (qint64 y = m_heights.offset(index); index < paragraphCount() && y < bottom; ++index) {
                changed |= ensureLaidOut(index);
                y += m_heights.height(index);
            }
        }
        if (!changed)
            break;
        m_repaintAll = true;
    }
    updateScrollRange();
    if (keepAtEnd)
        bar->setValue(bar->maximum());
    m_inLayout = false;
    if (m_repaintAll) {
        m_repaintAll = false;
        viewport()->update();
    }
    dropFarLayouts();
}

void ChatView::updateScrollRange()
{
    QScrollBar* bar = verticalScrollBar();
    const qint64 maximum = std::clamp<qint64>(m_heights.total() - viewport()->height(), 0, INT_MAX);
    bar->setRange(0, int(maximum));
    bar->setPageStep(std::max(1, viewport()->height()));
    if (m_fontsMade)
        bar->setSingleStep(QFontMetrics(m_fonts[0]).height());
}

void ChatView::makeFonts()
{
    if (m_fontsMade)
        return;
    m_fontsMade = true;
    for (int i = 0; i < StyleCount; ++i)
        m_fonts[std::size_t(i)] = styleFont(i);
    verticalScrollBar()->setSingleStep(QFontMetrics(m_fonts[0]).height());
}

bool ChatView::atEnd() const
{
    return verticalScrollBar()->value() >= verticalScrollBar()->maximum();
}

void ChatView::fontsChanged()
{
    if (!m_fontsMade)
        return; // nothing is laid out yet; the first line makes the fonts as they are then
    const bool keepAtEnd = atEnd();
    for (int i = 0; i < StyleCount; ++i)
        m_fonts[std::size_t(i)] = styleFont(i);
    ++m_fontGeneration;
    m_repaintAll = true;
    layOutVisible(keepAtEnd);
    viewport()->update();
}

// ---- Painting -----------------------------------------------------------------------------

void ChatView::paintEvent(QPaintEvent* event)
{
    QPainter painter(viewport());
    const qint64 scroll = verticalScrollBar()->value();
    const QRect area = event->rect();
    const qint64 top = scroll + area.top();
    const qint64 bottom = scroll + area.bottom() + 1;
    int index = m_heights.indexAt(top);
    if (index < 0)
        return;
    std::pair<Position, Position> selection;
    const bool selected = hasSelection();
    if (selected)
        selection = orderedSelection();
    bool changed = false;
    for (qint64 y = m_heights.offset(index); index < paragraphCount() && y < bottom; ++index) {
        changed |= ensureLaidOut(index);
        paintParagraph(painter, *m_paragraphs[std::size_t(index)], index, QPointF(Margin, qreal(y - scroll)),
                       selected ? &selection : nullptr);
        y += m_heights.height(index);
    }
    if (changed) {
        // A guessed height was wrong: settle the scroll range once this paint is over.
        QMetaObject::invokeMethod(
            this,
            [this] {
                m_repaintAll = true;
                layOutVisible(atEnd() && !scrollOff());
            },
            Qt::QueuedConnection);
    }
    paintCurrentLine(painter);
}

void ChatView::paintSelectedLine(QPainter& painter, const Paragraph& p, const QTextLine& line, const QPointF& origin,
                                 int selFrom, int selTo)
{
    const int from = line.textStart();
    const int to = from + line.textLength();
    const QPalette& pal = palette();
    const int a = std::max(from, selFrom);
    const int b = std::min(to, selTo);
    if (a < b) {
        const qreal x1 = line.cursorToX(a);
        const qreal x2 = line.cursorToX(b);
        painter.fillRect(QRectF(origin.x() + x1, origin.y() + line.y(), x2 - x1, line.height()),
                         pal.color(QPalette::Active, QPalette::Highlight));
    }
    const QColor highlightedText = pal.color(QPalette::Active, QPalette::HighlightedText);
    for (const LineRun& run : runsIn(p.line.runs, from, to)) {
        if (run.kind == ChatItemKind::Smiley)
            continue;
        // Cut the run where the selection starts and ends, and draw each piece in its colour.
        const int cuts[] = {std::max(from, run.start), std::clamp(selFrom, from, to), std::clamp(selTo, from, to),
                            std::min(to, run.start + run.length)};
        int start = cuts[0];
        for (int c = 1; c < 4; ++c) {
            const int end = std::clamp(cuts[c], cuts[0], cuts[3]);
            if (end <= start)
                continue;
            const bool inside = start >= selFrom && end <= selTo;
            const QColor colour = inside ? highlightedText : m_styles[std::size_t(run.style)].colour;
            painter.setPen(colour);
            for (const QGlyphRun& glyphs : line.glyphRuns(start, end - start))
                painter.drawGlyphRun(origin, undecorated(glyphs));
            const QFont& font = m_fonts[std::size_t(run.style)];
            if (font.underline())
                painter.fillRect(underlineRect(line, start, end, font).translated(origin), colour);
            start = end;
        }
    }
}

void ChatView::paintParagraph(QPainter& painter, Paragraph& p, int index, const QPointF& origin,
                              const std::pair<Position, Position>* selection)
{
    if (!p.layout)
        return;
    int selFrom = 0;
    int selTo = 0;
    if (selection && index >= selection->first.paragraph && index <= selection->second.paragraph) {
        selFrom = index == selection->first.paragraph ? selection->first.offset : 0;
        selTo = index == selection->second.paragraph ? selection->second.offset : int(p.line.text.size());
    }

    if (selFrom >= selTo) {
        for (const GlyphPiece& piece : p.glyphs) {
            const QColor& colour = m_styles[std::size_t(piece.style)].colour;
            if (piece.underline.isEmpty()) {
                painter.setPen(colour);
                painter.drawGlyphRun(origin, piece.run);
            } else {
                painter.fillRect(piece.underline.translated(origin), colour);
            }
        }
    } else {
        for (int i = 0; i < p.layout->lineCount(); ++i)
            paintSelectedLine(painter, p, p.layout->lineAt(i), origin, selFrom, selTo);
    }

    if (p.hasSmiley) {
        for (const LineRun& run : p.line.runs) {
            if (run.kind != ChatItemKind::Smiley)
                continue;
            const QTextLine line = p.layout->lineForTextPosition(run.start);
            const QPointF at(origin.x() + line.cursorToX(run.start),
                             origin.y() + line.y() + line.height() - SmileyHeight);
            painter.drawPixmap(at, smileyPixmap(run.smiley));
        }
    }
}

QPixmap ChatView::smileyPixmap(int picture)
{
    auto it = m_smileyCache.constFind(picture);
    if (it != m_smileyCache.constEnd())
        return *it;
    QPixmap pixmap;
    if (m_smileyProvider)
        pixmap = m_smileyProvider(picture);
    if (pixmap.isNull())
        pixmap = placeholderSmiley();
    m_smileyCache.insert(picture, pixmap);
    return pixmap;
}

void ChatView::resizeEvent(QResizeEvent* event)
{
    const bool keepAtEnd = atEnd();
    QAbstractScrollArea::resizeEvent(event);
    m_repaintAll = true;
    layOutVisible(keepAtEnd);
}

void ChatView::scrollContentsBy(int, int dy)
{
    if (m_silentScroll)
        return; // the content moved by the same amount
    if (m_repaintAll) {
        viewport()->update();
    } else {
        viewport()->scroll(0, dy);
    }
    if (!m_inLayout)
        layOutVisible(false);
}

} // namespace velmora
