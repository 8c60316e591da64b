#include "chatview.h"

#include "colourtext.h"

#include <QAction>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QDesktopServices>
#include <QFontMetricsF>
#include <QGlyphRun>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMessageBox>
#include <QPainter>
#include <QRegularExpression>
#include <QScrollBar>
#include <QTextLayout>
#include <algorithm>
#include <climits>
#include <cmath>

namespace velmora {

namespace {

// Stands in for a smiley in a paragraph's layout text; it is never drawn, only measured, and
// its letter spacing is set so that it takes exactly the picture's width.
constexpr QChar kSmileyChar = QLatin1Char('O');
constexpr int kMaxLinkSlot = ChatView::LinkSlotCount - 1;
// Layouts kept for paragraphs far out of view before the oldest are dropped again.
constexpr std::size_t kLayoutsKept = 400;
constexpr int kKeepAround = 100;

bool isLinkWord(const QString& word)
{
    return !word.isEmpty() && (word.contains(QLatin1String("http://")) || word.contains(QLatin1String("www.")));
}

bool isPlausibleHost(const QString& host)
{
    if (host.isEmpty())
        return false;
    if (host.contains(QLatin1Char(':')))
        return true; // an IPv6 address, already checked by QUrl
    const QStringList labels = host.split(QLatin1Char('.'));
    for (const QString& label : labels) {
        if (label.isEmpty() || label.size() > 63)
            return false;
        for (const QChar c : label) {
            const bool ok =
                (c >= QLatin1Char('a') && c <= QLatin1Char('z')) || (c >= QLatin1Char('A') && c <= QLatin1Char('Z')) ||
                (c >= QLatin1Char('0') && c <= QLatin1Char('9')) || c == QLatin1Char('-') || c == QLatin1Char('_');
            if (!ok)
                return false;
        }
    }
    return true;
}

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

} // namespace

struct ChatView::GlyphPiece {
    int style;
    QGlyphRun run;
    QRectF underline; // drawn by us when not empty
};

struct ChatView::Paragraph {
    QString text; // layout text: runs laid end to end, one character per smiley
    std::vector<Run> runs;
    bool hasSmiley = false;
    std::unique_ptr<QTextLayout> layout;
    std::vector<GlyphPiece> glyphs; // the unselected text, ready to draw in any colour
    quint64 layoutKey = 0;          // width and fonts the layout was made for; 0: none
    int laidOutHeight = 0;
};

ChatView::ChatView(QWidget* parent)
    : QAbstractScrollArea(parent)
{
    setObjectName(QStringLiteral("mainchat"));
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setFocusPolicy(Qt::StrongFocus);

    // An opaque black viewport also lets scrolling move pixels instead of repainting them all.
    QPalette pal = viewport()->palette();
    pal.setColor(QPalette::Base, Qt::black);
    pal.setColor(QPalette::Window, Qt::black);
    viewport()->setPalette(pal);
    viewport()->setBackgroundRole(QPalette::Base);
    viewport()->setAutoFillBackground(true);
    viewport()->setMouseTracking(true);

    using namespace colours;
    m_styles[0] = {clLime, false, false, false};
    m_styles[1] = {clWhite, true, false, false};
    m_styles[2] = {clSilver, true, false, false};
    m_styles[3] = {clMaroon, false, true, false};
    m_styles[4] = {clGreen, false, false, true};
    m_styles[5] = {clGreen, false, false, true};
    for (int i = 6; i < StyleCount; ++i)
        m_styles[std::size_t(i)] = {clWindowText, false, false, false};
    for (int i = 0; i < StyleCount; ++i)
        m_fonts[std::size_t(i)] = styleFont(i);

    m_urlOpener = [](const QUrl& url) { return QDesktopServices::openUrl(url); };
    m_failureReporter = [this](const QString& text) {
        QMessageBox::warning(window(), QStringLiteral("Velmora"), text);
    };

    m_menu = new QMenu(this);
    m_menu->setObjectName(QStringLiteral("PopupMenu1"));
    m_selectAll = m_menu->addAction(QStringLiteral("Select All"), this, &ChatView::selectAll);
    m_selectAll->setObjectName(QStringLiteral("SelectAll1"));
    m_copy = m_menu->addAction(QStringLiteral("Copy"), this, &ChatView::copy);
    m_copy->setObjectName(QStringLiteral("Copy1"));
    m_copy->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_C));
    m_copy->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    m_menu->addSeparator();
    m_clear = m_menu->addAction(QStringLiteral("Clear Main Chat"), this, &ChatView::clear);
    m_clear->setObjectName(QStringLiteral("ClearMainChat1"));
    m_scrollOff = m_menu->addAction(QStringLiteral("Scroll Chat Off"));
    m_scrollOff->setObjectName(QStringLiteral("ScrollChatOff1"));
    m_scrollOff->setCheckable(true);
    m_scrollOff->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    // Ctrl+S works anywhere in the window, Ctrl+C only while the chat has the focus.
    m_scrollOff->setShortcutContext(Qt::WindowShortcut);
    addAction(m_copy);
    addAction(m_scrollOff);

    updateScrollRange();
}

ChatView::~ChatView() = default;

// ---- Lines --------------------------------------------------------------------------------

void ChatView::addlinetochat(const QString& line, quint32 colour)
{
    const qsizetype plus = line.indexOf(QLatin1Char('+'));
    QString message = plus >= 0 ? line.mid(plus + 1) : line;
    bool ok = false;
    const int number = plus >= 0 ? line.left(plus).toInt(&ok) : 0;
    // Senders 1 to 9 own styles 6 to 14; anything that is not a sender is drawn as a system line.
    const int style = ok && number >= 1 && number <= 9 ? number + 5 : 0;

    const qsizetype colon = message.indexOf(QLatin1Char(':'));
    const QString name = colon >= 0 ? message.left(colon + 1) : QString();
    message.remove(0, name.size());

    setStyleColour(style, colour);
    setStyleBold(style, true);
    appendText(name + QLatin1Char(' '), style, true);

    static const QString smileyMark = QStringLiteral(":)#");
    qsizetype at;
    while ((at = message.indexOf(smileyMark)) >= 0) {
        const QString before = message.left(at);
        message.remove(0, at + smileyMark.size());
        const QString code = message.left(2);
        message.remove(0, code.size());
        appendWords(before + QLatin1Char(' '), style);
        bool codeOk = false;
        const int value = code.toInt(&codeOk);
        appendSmiley(codeOk && value >= 10 && value <= 27 ? value - 10 : 0);
    }
    if (!message.isEmpty())
        appendWords(message + QLatin1Char(' '), style);
    finishLine();
}

void ChatView::appendWords(const QString& text, int style)
{
    qsizetype pos = 0;
    while (pos < text.size()) {
        const qsizetype space = text.indexOf(QLatin1Char(' '), pos);
        const qsizetype end = space < 0 ? text.size() : space + 1;
        const QString word = text.mid(pos, end - pos);
        pos = end;
        if (isLinkWord(word))
            appendLink(word);
        else
            appendText(word, style, false);
    }
}

void ChatView::appendText(const QString& text, int style, bool newParagraph)
{
    if (newParagraph || m_paragraphs.empty()) {
        m_paragraphs.push_back(std::make_unique<Paragraph>());
        m_heights.append(0);
    }
    Paragraph& p = *m_paragraphs.back();
    // Neighbouring words of one style make one run: fewer pieces to shape and draw.
    if (!p.runs.empty() && p.runs.back().kind == ChatItemKind::Text && p.runs.back().style == style)
        p.runs.back().length += int(text.size());
    else
        p.runs.push_back({ChatItemKind::Text, style, int(p.text.size()), int(text.size()), -1, -1});
    p.text += text;
    p.layoutKey = 0;
}

void ChatView::appendLink(const QString& text)
{
    ++m_linkCounter;
    if (m_linkCounter > kMaxLinkSlot)
        m_linkCounter = 1;
    m_linkSlots[std::size_t(m_linkCounter)] = text;

    if (m_paragraphs.empty())
        appendText(QString(), 0, true);
    Paragraph& p = *m_paragraphs.back();
    p.runs.push_back({ChatItemKind::Link, LinkStyle, int(p.text.size()), int(text.size()), -1, m_linkCount++});
    p.text += text;
    p.layoutKey = 0;
}

void ChatView::appendSmiley(int picture)
{
    if (m_paragraphs.empty())
        appendText(QString(), 0, true);
    Paragraph& p = *m_paragraphs.back();
    const int style = p.runs.empty() ? 0 : p.runs.front().style;
    p.runs.push_back({ChatItemKind::Smiley, style, int(p.text.size()), 1, picture, -1});
    p.text += kSmileyChar;
    p.hasSmiley = true;
    p.layoutKey = 0;
}

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
    const QFontMetricsF metrics(m_fonts[std::size_t(p.runs.empty() ? 0 : p.runs.front().style)]);
    const qreal width = metrics.horizontalAdvance(p.text);
    const int lines = std::max(1, int(std::ceil(width / availableWidth())));
    const qreal lineHeight = p.hasSmiley ? std::max<qreal>(metrics.height(), SmileyHeight) : metrics.height();
    return int(std::ceil(lines * lineHeight));
}

bool ChatView::ensureLaidOut(int index)
{
    Paragraph& p = *m_paragraphs[std::size_t(index)];
    const quint64 key = layoutKey();
    if (p.layout && p.layoutKey == key)
        return false;
    if (!p.layout)
        m_laidOut.push_back(index);
    layOut(p);
    p.layoutKey = key;
    const bool changed = m_heights.height(index) != p.laidOutHeight;
    m_heights.set(index, p.laidOutHeight);
    return changed;
}

void ChatView::layOut(Paragraph& p)
{
    QList<QTextLayout::FormatRange> formats;
    formats.reserve(qsizetype(p.runs.size()));
    for (const Run& run : p.runs) {
        QTextLayout::FormatRange range;
        range.start = run.start;
        range.length = run.length;
        QFont font = m_fonts[std::size_t(run.style)];
        if (run.kind == ChatItemKind::Smiley) {
            font.setUnderline(false);
            const qreal advance = QFontMetricsF(font).horizontalAdvance(kSmileyChar);
            font.setLetterSpacing(QFont::AbsoluteSpacing, SmileyWidth - advance);
        }
        range.format.setFont(font);
        formats.append(range);
    }

    p.glyphs.clear();
    p.layout = std::make_unique<QTextLayout>(p.text, m_fonts[0]);
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
            for (const Run& run : p.runs) {
                if (run.kind == ChatItemKind::Smiley && run.start >= from && run.start < to)
                    height = std::max<qreal>(height, SmileyHeight);
            }
        }
        // A smiley taller than the text sits on the line's bottom, the text below its top.
        line.setPosition(QPointF(0, y + height - line.height()));
        y += height;
    }
    p.layout->endLayout();
    p.laidOutHeight = int(std::ceil(y));

    for (int i = 0; i < p.layout->lineCount(); ++i) {
        const QTextLine line = p.layout->lineAt(i);
        const int from = line.textStart();
        const int to = from + line.textLength();
        for (const Run& run : p.runs) {
            const int a = std::max(from, run.start);
            const int b = std::min(to, run.start + run.length);
            if (run.kind == ChatItemKind::Smiley || a >= b)
                continue;
            const QList<QGlyphRun> runs = line.glyphRuns(a, b - a);
            for (const QGlyphRun& glyphs : runs)
                p.glyphs.push_back({run.style, undecorated(glyphs), QRectF()});
            if (m_fonts[std::size_t(run.style)].underline())
                p.glyphs.push_back(
                    {run.style, QGlyphRun(), underlineRect(line, a, b, m_fonts[std::size_t(run.style)])});
        }
    }
}

void ChatView::dropFarLayouts()
{
    if (m_laidOut.size() <= 2 * kLayoutsKept)
        return;
    const int first = m_heights.indexAt(verticalScrollBar()->value());
    const int last = m_heights.indexAt(qint64(verticalScrollBar()->value()) + viewport()->height());
    std::vector<int> kept;
    std::size_t surplus = m_laidOut.size() - kLayoutsKept;
    for (const int index : m_laidOut) {
        if (surplus > 0 && (index < first - kKeepAround || index > last + kKeepAround)) {
            Paragraph& p = *m_paragraphs[std::size_t(index)];
            // The height stays: it is still exact for this width, only the shapes go.
            p.layout.reset();
            p.glyphs.clear();
            p.glyphs.shrink_to_fit();
            --surplus;
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
    bar->setSingleStep(QFontMetrics(m_fonts[0]).height());
}

bool ChatView::atEnd() const
{
    return verticalScrollBar()->value() >= verticalScrollBar()->maximum();
}

void ChatView::fontsChanged()
{
    const bool keepAtEnd = atEnd();
    for (int i = 0; i < StyleCount; ++i)
        m_fonts[std::size_t(i)] = styleFont(i);
    ++m_fontGeneration;
    m_repaintAll = true;
    layOutVisible(keepAtEnd);
    viewport()->update();
}

// ---- Styles -------------------------------------------------------------------------------

quint32 ChatView::styleColour(int style) const
{
    return style >= 0 && style < StyleCount ? m_styles[std::size_t(style)].colour : 0;
}

void ChatView::setStyleColour(int style, quint32 colour)
{
    if (style < 0 || style >= StyleCount || m_styles[std::size_t(style)].colour == colour)
        return;
    // Colours are looked up when painting: a repaint recolours every line of the style.
    m_styles[std::size_t(style)].colour = colour;
    viewport()->update();
}

bool ChatView::styleBold(int style) const
{
    return style >= 0 && style < StyleCount && m_styles[std::size_t(style)].bold;
}

void ChatView::setStyleBold(int style, bool bold)
{
    if (style < 0 || style >= StyleCount || m_styles[std::size_t(style)].bold == bold)
        return;
    m_styles[std::size_t(style)].bold = bold;
    fontsChanged();
}

QFont ChatView::styleFont(int style) const
{
    QFont font(QStringLiteral("Arial"));
    font.setStyleHint(QFont::SansSerif);
    font.setPointSize(m_textSize);
    if (style >= 0 && style < StyleCount) {
        const Style& s = m_styles[std::size_t(style)];
        font.setBold(s.bold);
        font.setItalic(s.italic);
        font.setUnderline(s.underline);
    }
    return font;
}

void ChatView::setTextSize(int points)
{
    if (points <= 0 || points == m_textSize)
        return;
    m_textSize = points;
    fontsChanged();
}

bool ChatView::scrollOff() const
{
    return m_scrollOff->isChecked();
}

void ChatView::setScrollOff(bool off)
{
    m_scrollOff->setChecked(off);
}

// ---- Content accessors --------------------------------------------------------------------

QString ChatView::paragraphText(int index) const
{
    if (index < 0 || index >= paragraphCount())
        return {};
    const Paragraph& p = *m_paragraphs[std::size_t(index)];
    return exportText(p, 0, int(p.text.size()));
}

QList<ChatRun> ChatView::paragraphRuns(int index) const
{
    QList<ChatRun> result;
    if (index < 0 || index >= paragraphCount())
        return result;
    const Paragraph& p = *m_paragraphs[std::size_t(index)];
    for (const Run& run : p.runs) {
        ChatRun out;
        out.kind = run.kind;
        out.style = run.style;
        out.smiley = run.smiley;
        out.linkNumber = run.link;
        if (run.kind != ChatItemKind::Smiley)
            out.text = p.text.mid(run.start, run.length);
        result.append(out);
    }
    return result;
}

QString ChatView::linkSlot(int slot) const
{
    return slot >= 0 && slot < LinkSlotCount ? m_linkSlots[std::size_t(slot)] : QString();
}

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
        for (const Run& run : p.runs) {
            if (run.kind != ChatItemKind::Link || run.link != number)
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

QString ChatView::exportText(const Paragraph& p, int from, int to) const
{
    QString out;
    for (const Run& run : p.runs) {
        const int a = std::max(from, run.start);
        const int b = std::min(to, run.start + run.length);
        if (a >= b)
            continue;
        // A smiley copies as its code, so a pasted line shows it again.
        if (run.kind == ChatItemKind::Smiley)
            out += QStringLiteral(":)#") + QString::number(run.smiley + 10);
        else
            out += QStringView(p.text).mid(a, b - a);
    }
    return out;
}

// ---- Links --------------------------------------------------------------------------------

std::optional<QUrl> ChatView::webAddressFor(const QString& linkText)
{
    QString text = linkText;
    while (text.endsWith(QLatin1Char(' ')))
        text.chop(1);
    if (text.left(7).compare(QLatin1String("http://"), Qt::CaseInsensitive) == 0)
        text.remove(0, 7);
    if (text.isEmpty())
        return std::nullopt;

    // Only the web leaves the program: a word that names another scheme (file:, a program...)
    // is refused, and a word without one is a web address.
    static const QRegularExpression schemePrefix(QStringLiteral("^[A-Za-z][A-Za-z0-9+.\\-]*://"));
    if (!schemePrefix.match(text).hasMatch())
        text.prepend(QLatin1String("http://"));
    const QUrl url(text, QUrl::TolerantMode);
    const QString scheme = url.scheme().toLower();
    if (!url.isValid() || (scheme != QLatin1String("http") && scheme != QLatin1String("https")))
        return std::nullopt;
    if (!isPlausibleHost(url.host(QUrl::FullyEncoded)))
        return std::nullopt;
    return url;
}

bool ChatView::mainchatJump(int number)
{
    if (number < 0 || number > kMaxLinkSlot || m_linkSlots[std::size_t(number)].isEmpty()) {
        reportFailure();
        return false;
    }
    const std::optional<QUrl> url = webAddressFor(m_linkSlots[std::size_t(number)]);
    if (!url) {
        reportFailure();
        return false;
    }
    // Whether the browser managed is not ours to report.
    try {
        if (m_urlOpener)
            m_urlOpener(*url);
    } catch (...) {
    }
    return true;
}

void ChatView::reportFailure()
{
    try {
        if (m_failureReporter)
            m_failureReporter(QStringLiteral("Cannot open Webpage"));
    } catch (...) {
    }
}

void ChatView::setSmileyProvider(std::function<QPixmap(int)> provider)
{
    m_smileyProvider = std::move(provider);
    m_smileyCache.clear();
    viewport()->update();
}

void ChatView::setUrlOpener(std::function<bool(const QUrl&)> opener)
{
    m_urlOpener = std::move(opener);
}

void ChatView::setFailureReporter(std::function<void(const QString&)> reporter)
{
    m_failureReporter = std::move(reporter);
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

// ---- Selection ----------------------------------------------------------------------------

bool ChatView::hasSelection() const
{
    return m_anchor && m_cursor && *m_anchor != *m_cursor;
}

std::pair<ChatView::Position, ChatView::Position> ChatView::orderedSelection() const
{
    return *m_anchor < *m_cursor ? std::pair(*m_anchor, *m_cursor) : std::pair(*m_cursor, *m_anchor);
}

QString ChatView::selectedText() const
{
    if (!hasSelection())
        return {};
    const auto [from, to] = orderedSelection();
    QStringList parts;
    for (int i = from.paragraph; i <= to.paragraph && i < paragraphCount(); ++i) {
        const Paragraph& p = *m_paragraphs[std::size_t(i)];
        const int a = i == from.paragraph ? from.offset : 0;
        const int b = i == to.paragraph ? to.offset : int(p.text.size());
        parts.append(exportText(p, a, b));
    }
    return parts.join(QLatin1Char('\n'));
}

void ChatView::selectAll()
{
    if (m_paragraphs.empty())
        return;
    m_anchor = Position{0, 0};
    m_cursor = Position{paragraphCount() - 1, int(m_paragraphs.back()->text.size())};
    viewport()->update();
}

void ChatView::copy()
{
    if (!hasSelection())
        return;
    QClipboard* clipboard = QGuiApplication::clipboard();
    clipboard->clear();
    clipboard->setText(selectedText());
}

void ChatView::clear()
{
    m_paragraphs.clear();
    m_heights.clear();
    m_laidOut.clear();
    m_linkCount = 0; // the slots and their counter carry on
    m_anchor.reset();
    m_cursor.reset();
    m_selecting = false;
    m_pressedLink = -1;
    updateScrollRange();
    viewport()->update();
    emit cleared();
}

std::optional<ChatView::Position> ChatView::positionAt(const QPoint& viewportPos, bool exactCharacter)
{
    if (m_paragraphs.empty())
        return std::nullopt;
    const qint64 y = qint64(verticalScrollBar()->value()) + viewportPos.y();
    if (y >= m_heights.total()) {
        if (exactCharacter)
            return std::nullopt;
        return Position{paragraphCount() - 1, int(m_paragraphs.back()->text.size())};
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
    for (const Run& run : p.runs) {
        if (run.kind == ChatItemKind::Link && pos->offset >= run.start && pos->offset < run.start + run.length)
            return run.link;
    }
    return -1;
}

// ---- Events -------------------------------------------------------------------------------

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
        selTo = index == selection->second.paragraph ? selection->second.offset : int(p.text.size());
    }
    const QPalette& pal = palette();
    const QColor highlight = pal.color(QPalette::Active, QPalette::Highlight);
    const QColor highlightedText = pal.color(QPalette::Active, QPalette::HighlightedText);

    if (selFrom >= selTo) {
        for (const GlyphPiece& piece : p.glyphs) {
            const QColor colour = toQColor(m_styles[std::size_t(piece.style)].colour);
            if (piece.underline.isEmpty()) {
                painter.setPen(colour);
                painter.drawGlyphRun(origin, piece.run);
            } else {
                painter.fillRect(piece.underline.translated(origin), colour);
            }
        }
    } else {
        for (int i = 0; i < p.layout->lineCount(); ++i) {
            const QTextLine line = p.layout->lineAt(i);
            const int from = line.textStart();
            const int to = from + line.textLength();
            const int a = std::max(from, selFrom);
            const int b = std::min(to, selTo);
            if (a < b) {
                const qreal x1 = line.cursorToX(a);
                const qreal x2 = line.cursorToX(b);
                painter.fillRect(QRectF(origin.x() + x1, origin.y() + line.y(), x2 - x1, line.height()), highlight);
            }
            for (const Run& run : p.runs) {
                if (run.kind == ChatItemKind::Smiley)
                    continue;
                // Cut the run where the selection starts and ends, and draw each piece in its colour.
                const int cuts[] = {std::max(from, run.start), std::clamp(selFrom, from, to),
                                    std::clamp(selTo, from, to), std::min(to, run.start + run.length)};
                int start = cuts[0];
                for (int c = 1; c < 4; ++c) {
                    const int end = std::clamp(cuts[c], cuts[0], cuts[3]);
                    if (end <= start)
                        continue;
                    const bool inside = start >= selFrom && end <= selTo;
                    const QColor colour = inside ? highlightedText : toQColor(m_styles[std::size_t(run.style)].colour);
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
    }

    if (p.hasSmiley) {
        for (const Run& run : p.runs) {
            if (run.kind != ChatItemKind::Smiley)
                continue;
            const QTextLine line = p.layout->lineForTextPosition(run.start);
            const QPointF at(origin.x() + line.cursorToX(run.start),
                             origin.y() + line.y() + line.height() - SmileyHeight);
            painter.drawPixmap(at, smileyPixmap(run.smiley));
        }
    }
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
    if (m_repaintAll) {
        viewport()->update();
    } else {
        viewport()->scroll(0, dy);
    }
    if (!m_inLayout)
        layOutVisible(false);
}

void ChatView::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        QAbstractScrollArea::mousePressEvent(event);
        return;
    }
    m_pressedLink = linkAt(event->position().toPoint());
    m_anchor = positionAt(event->position().toPoint(), false);
    m_cursor = m_anchor;
    m_selecting = m_anchor.has_value();
    viewport()->update();
}

void ChatView::mouseMoveEvent(QMouseEvent* event)
{
    const QPoint pos = event->position().toPoint();
    if (m_selecting && (event->buttons() & Qt::LeftButton)) {
        const std::optional<Position> cursor = positionAt(pos, false);
        if (cursor && cursor != m_cursor) {
            m_cursor = cursor;
            if (m_cursor != m_anchor)
                m_pressedLink = -1; // a drag selects; it does not open the link
            viewport()->update();
        }
    }
    viewport()->setCursor(linkAt(pos) >= 0 ? Qt::PointingHandCursor : Qt::ArrowCursor);
}

void ChatView::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        QAbstractScrollArea::mouseReleaseEvent(event);
        return;
    }
    m_selecting = false;
    const int link = m_pressedLink;
    m_pressedLink = -1;
    if (link >= 0 && linkAt(event->position().toPoint()) == link) {
        emit linkClicked(link);
        mainchatJump(link);
    }
}

void ChatView::keyPressEvent(QKeyEvent* event)
{
    const bool ctrlInsert = event->key() == Qt::Key_Insert && event->modifiers() == Qt::ControlModifier;
    if (event->matches(QKeySequence::Copy) || ctrlInsert) {
        copy();
        event->accept();
        return;
    }
    if (event->matches(QKeySequence::SelectAll)) {
        selectAll();
        event->accept();
        return;
    }
    QAbstractScrollArea::keyPressEvent(event);
}

void ChatView::contextMenuEvent(QContextMenuEvent* event)
{
    m_menu->popup(event->globalPos());
}

} // namespace velmora
