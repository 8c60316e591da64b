#include "chatview.h"

#include "art/fonts.h"
#include "art/palette.h"
#include "chatparagraph.h"
#include "chatviewaccessible.h"
#include "media/colourtext.h"
#include "weblink.h"

#include <QAction>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QDesktopServices>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMessageBox>
#include <QScrollBar>
#include <algorithm>
#include <climits>

namespace velmora {

namespace {

constexpr int kMaxLinkSlot = ChatView::LinkSlotCount - 1;

// Display numbers of links stop at INT_MAX instead of wrapping: every number past the slots
// fails to open anyway, and a flood of links can never bring a small number back.
int nextLinkNumber(int number)
{
    return number < INT_MAX ? number + 1 : INT_MAX;
}

} // namespace

ChatView::ChatView(QWidget* parent)
    : QAbstractScrollArea(parent)
{
    // Before anything asks for the view's accessible interface (a new name does).
    ChatViewAccessible::install();
    setObjectName(QStringLiteral("mainchat"));
    setAccessibleName(QStringLiteral("Chat"));
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setFocusPolicy(Qt::StrongFocus);
    art::styleScrollBars(this);

    // An opaque black viewport also lets scrolling move pixels instead of repainting them all.
    QPalette pal = viewport()->palette();
    pal.setColor(QPalette::Base, art::palette::black);
    pal.setColor(QPalette::Window, art::palette::black);
    viewport()->setPalette(pal);
    viewport()->setBackgroundRole(QPalette::Base);
    viewport()->setAutoFillBackground(true);
    viewport()->setMouseTracking(true);

    using namespace colours;
    m_styles[0] = {toQColor(clLime), false, false, false};
    m_styles[1] = {toQColor(clWhite), true, false, false};
    m_styles[2] = {toQColor(clSilver), true, false, false};
    m_styles[3] = {toQColor(clMaroon), false, true, false};
    m_styles[4] = {ChatLine::LinkColour, false, false, true};
    m_styles[5] = {ChatLine::LinkColour, false, false, true};
    for (int i = 6; i < StyleCount; ++i)
        m_styles[std::size_t(i)] = {toQColor(clWindowText), false, false, false};
    // The fonts come with the first line (makeFonts): an empty chat needs none.

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

void ChatView::addLine(ChatLine line, const QColor& colour)
{
    if (line.style < 0 || line.style >= StyleCount)
        line.style = ChatLine::SystemStyle;
    makeFonts();
    setStyleColour(line.style, colour);
    setStyleBold(line.style, true);

    auto p = std::make_unique<Paragraph>();
    p->line = std::move(line);
    p->line.text.squeeze();
    p->line.runs.shrink_to_fit();
    p->serial = m_nextSerial++;
    storeLinks(*p);
    p->contentBytes = qint64(sizeof(Paragraph)) + qint64(p->line.text.capacity()) * qint64(sizeof(QChar)) +
                      qint64(p->line.runs.capacity() * sizeof(LineRun));
    m_contentBytes += p->contentBytes;
    m_paragraphs.push_back(std::move(p));
    m_heights.append(0);
    trimHistory();
    finishLine();
}

void ChatView::addSystemLine(const QString& text, const QColor& colour)
{
    addLine(parseSystemLine(text), colour);
}

void ChatView::addPlayerLine(int sender, const QString& text, const QColor& colour)
{
    addLine(parsePlayerLine(sender, text), colour);
}

void ChatView::addPlayerLine(int sender, const QString& name, const QString& text, const QColor& colour)
{
    addLine(parsePlayerLine(sender, name, text), colour);
}

// Each link takes the next display number and the next of the 101 slots: after slot 100 the
// slots go round again from 1, so slot 0 only ever holds the first link since start-up.
void ChatView::storeLinks(Paragraph& p)
{
    p.firstLink = m_linkCount;
    for (const LineRun& run : p.line.runs) {
        if (run.kind == ChatItemKind::Smiley)
            p.hasSmiley = true;
        if (run.kind != ChatItemKind::Link)
            continue;
        ++m_linkCounter;
        if (m_linkCounter > kMaxLinkSlot)
            m_linkCounter = 1;
        m_linkSlots[std::size_t(m_linkCounter)] = p.line.text.mid(run.start, run.length);
        m_linkCount = nextLinkNumber(m_linkCount);
    }
}

// ---- Styles -------------------------------------------------------------------------------

QColor ChatView::styleColour(int style) const
{
    return style >= 0 && style < StyleCount ? m_styles[std::size_t(style)].colour : QColor();
}

void ChatView::setStyleColour(int style, const QColor& colour)
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
    QFont font(art::arialFamily());
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
    return exportText(p, 0, int(p.line.text.size()));
}

QList<ChatRun> ChatView::paragraphRuns(int index) const
{
    QList<ChatRun> result;
    if (index < 0 || index >= paragraphCount())
        return result;
    const Paragraph& p = *m_paragraphs[std::size_t(index)];
    int link = p.firstLink;
    for (const LineRun& run : p.line.runs) {
        ChatRun out;
        out.kind = run.kind;
        out.style = run.style;
        out.smiley = run.smiley;
        if (run.kind == ChatItemKind::Link) {
            out.linkNumber = link;
            link = nextLinkNumber(link);
        }
        if (run.kind != ChatItemKind::Smiley)
            out.text = p.line.text.mid(run.start, run.length);
        result.append(out);
    }
    return result;
}

QString ChatView::linkSlot(int slot) const
{
    return slot >= 0 && slot < LinkSlotCount ? m_linkSlots[std::size_t(slot)] : QString();
}

QString ChatView::exportText(const Paragraph& p, int from, int to) const
{
    QString out;
    for (const LineRun& run : p.line.runs) {
        const int a = std::max(from, run.start);
        const int b = std::min(to, run.start + run.length);
        if (a >= b)
            continue;
        // A smiley copies as its code, so a pasted line shows it again.
        if (run.kind == ChatItemKind::Smiley)
            out += QStringLiteral(":)#") + QString::number(run.smiley + 10);
        else
            out += QStringView(p.line.text).mid(a, b - a);
    }
    return out;
}

// ---- Links --------------------------------------------------------------------------------

std::optional<QUrl> ChatView::webAddressFor(const QString& linkText)
{
    return velmora::webAddressFor(linkText);
}

bool ChatView::mainchatJump(int number)
{
    // A link that went with its line cannot be clicked, and its slot may hold a newer link.
    if (number < m_firstShownLink || number > kMaxLinkSlot || m_linkSlots[std::size_t(number)].isEmpty()) {
        reportFailure();
        return false;
    }
    const std::optional<QUrl> url = webAddressFor(m_linkSlots[std::size_t(number)]);
    if (!url) {
        reportFailure();
        return false;
    }
    // Whether the browser managed is not ours to report.
    if (m_urlOpener)
        m_urlOpener(*url);
    return true;
}

void ChatView::reportFailure()
{
    if (m_failureReporter)
        m_failureReporter(QStringLiteral("Cannot open Webpage"));
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
        const int b = i == to.paragraph ? to.offset : int(p.line.text.size());
        parts.append(exportText(p, a, b));
    }
    return parts.join(QLatin1Char('\n'));
}

void ChatView::selectAll()
{
    if (m_paragraphs.empty())
        return;
    m_anchor = Position{0, 0};
    m_cursor = Position{paragraphCount() - 1, int(m_paragraphs.back()->line.text.size())};
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
    m_laidOutChars = 0;
    m_contentBytes = 0;
    m_linkCount = 0; // the slots and their counter carry on
    m_firstShownLink = 0;
    m_anchor.reset();
    m_cursor.reset();
    m_selecting = false;
    m_pressedLink = -1;
    updateScrollRange();
    viewport()->update();
    emit cleared();
}

// ---- Events -------------------------------------------------------------------------------

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
    if (moveCurrentLine(event)) {
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
