#pragma once

#include "chatline.h"
#include "controls/keyfocusmark.h"
#include "heightindex.h"

#include <QAbstractScrollArea>
#include <QFont>
#include <QHash>
#include <QList>
#include <QPixmap>
#include <QUrl>
#include <array>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

class QAction;
class QMenu;
class QTextLayout;
class QTextLine;

namespace velmora {

// One item of a paragraph as the display holds it.
struct ChatRun {
    ChatItemKind kind = ChatItemKind::Text;
    QString text;        // empty for a smiley
    int style = 0;       // text style; links always use the link style
    int smiley = -1;     // picture number of a smiley
    int linkNumber = -1; // document-order number of a link since the last clear
};

// The chat display "mainchat": a read-only view of paragraphs made of styled text runs, link
// runs and smiley pictures, on black. Lines arrive parsed (chatline.h); the view lays them out
// and paints them. Each paragraph keeps its own text layout, made when it is first shown and
// dropped again when far out of view. A line has no colour of its own: it is drawn in its
// style's colour, looked up when painting, so a style's new colour reaches every line of that
// style already shown with a repaint and no new layout. Appending costs the same however long
// the game runs, and the history keeps only the newest lines within a fixed budget, so its
// memory stays flat too.
class ChatView : public QAbstractScrollArea {
    Q_OBJECT

public:
    static constexpr int StyleCount = 15;
    static constexpr int LinkStyle = ChatLine::LinkStyle;
    static constexpr int LinkSlotCount = 101;
    static constexpr int SmileyCount = ChatLine::SmileyCount;
    static constexpr int SmileyWidth = 17;
    static constexpr int SmileyHeight = 16;
    static constexpr int Margin = 5;
    // The history kept by default: the newest lines up to this many, and up to this much
    // content (text and runs); the oldest go first.
    static constexpr int DefaultMaxLines = 5000;
    static constexpr qint64 DefaultMaxContentBytes = 4 * 1024 * 1024;
    // Layouts far out of view go once they hold more than twice this many characters (or
    // there are more than twice LayoutsKept of them), down to these figures.
    static constexpr qint64 LaidOutCharactersKept = 64 * 1024;
    static constexpr int LayoutsKept = 400;

    explicit ChatView(QWidget* parent = nullptr);
    ~ChatView() override;

    // Shows one line in the given colour. The colour becomes the colour of the line's style,
    // and so of every earlier line of that style too, and the style turns bold.
    void addLine(ChatLine line, const QColor& colour);
    // A line of the game's own (lime, or silver for the quick instructions).
    void addSystemLine(const QString& text, const QColor& colour = ChatLine::SystemColour);
    // A chat or action line of sender 1 to 9 ("Ann chats: hi", "Ann waves").
    void addPlayerLine(int sender, const QString& text, const QColor& colour);
    // The same with its name part ("Ann chats:", or empty) and the text after it apart.
    void addPlayerLine(int sender, const QString& name, const QString& text, const QColor& colour);

    // The history bound: the oldest lines go once either limit is passed (the newest line
    // always stays). Lowering a limit trims at once.
    void setHistoryLimits(int maxLines, qint64 maxContentBytes);
    int maxLines() const { return m_maxLines; }
    qint64 maxContentBytes() const { return m_maxContentBytes; }
    // Bytes held by the kept lines' text and runs, and the characters that hold a layout now.
    qint64 contentBytes() const { return m_contentBytes; }
    qint64 laidOutCharacters() const { return m_laidOutChars; }

    // Opens the link shown with this number. Only http and https addresses leave the program;
    // anything else reports "Cannot open Webpage". True when the address was handed on.
    bool mainchatJump(int number);

    // The address a stored link word opens, or nullopt when it must not be opened.
    static std::optional<QUrl> webAddressFor(const QString& linkText);

    // Selection and clipboard.
    bool hasSelection() const;
    QString selectedText() const;
    void selectAll();
    void copy();
    void clear();

    // Text styles: colour and bold per style, one size for all.
    QColor styleColour(int style) const;
    void setStyleColour(int style, const QColor& colour);
    bool styleBold(int style) const;
    void setStyleBold(int style, bool bold);
    QFont styleFont(int style) const;
    int textSize() const { return m_textSize; }
    void setTextSize(int points);

    bool scrollOff() const;
    void setScrollOff(bool off);

    // Content, for the window and for tests.
    int paragraphCount() const { return int(m_paragraphs.size()); }
    QString paragraphText(int index) const;
    QList<ChatRun> paragraphRuns(int index) const;
    // Links shown since the last clear; the oldest of them may have gone with their lines.
    int linkCount() const { return m_linkCount; }
    QString linkSlot(int slot) const;
    int linkCounter() const { return m_linkCounter; }

    // Where a paragraph and a link currently lie, in viewport coordinates (laid out if needed).
    QRect paragraphRect(int index);
    QRect linkRect(int number);

    // Reading the history line by line, with the keys and through the screen reader's list
    // (chatviewaccessible.h). Every line shown gets a serial number of its own that is never
    // used again, so a line can still be told apart after older ones have gone.
    quint64 lineSerial(int index) const;
    int lineIndex(quint64 serial) const; // -1 once the line has gone
    // A line as a reader says it: its text with links as written and smileys as a word.
    QString spokenLine(int index) const;
    // Where a line lies in viewport coordinates by the heights known now (nothing laid out),
    // and the line at a viewport point (-1: none).
    QRect lineRect(int index) const;
    int lineIndexAt(const QPoint& viewportPos) const;
    // The line Up, Down, Home, End, Page Up and Page Down move while the view has the focus
    // (-1: none). It is the newest line when the view takes the focus; new lines leave it be.
    int currentLine() const { return lineIndex(m_currentSerial); }
    void setCurrentLine(int index);

    // The context menu and its actions, for the window's own menus.
    QMenu* contextMenu() const { return m_menu; }
    QAction* selectAllAction() const { return m_selectAll; }
    QAction* copyAction() const { return m_copy; }
    QAction* clearAction() const { return m_clear; }
    QAction* scrollOffAction() const { return m_scrollOff; }

    // Replaceable outside contacts: smiley pictures, the web opener, the failure report.
    void setSmileyProvider(std::function<QPixmap(int)> provider);
    void setUrlOpener(std::function<bool(const QUrl&)> opener);
    void setFailureReporter(std::function<void(const QString&)> reporter);

signals:
    // After "Clear Main Chat": the window gives the focus to its entry box.
    void cleared();
    // A single click on a link, before it is opened.
    void linkClicked(int number);
    // The screen reader was told that the line at `index` has the focus (a key moved the
    // current line there, or the view took the focus on it).
    void lineFocused(int index);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    struct GlyphPiece;
    struct Paragraph;
    struct Position {
        int paragraph = -1;
        int offset = 0;
        auto operator<=>(const Position&) const = default;
    };

    void finishLine();
    void trimHistory();
    void dropOldest(int count);
    void storeLinks(Paragraph& p);

    int availableWidth() const;
    quint64 layoutKey() const;
    int estimateHeight(const Paragraph& p) const;
    bool ensureLaidOut(int index);
    void layOut(Paragraph& p);
    void forgetLayout(Paragraph& p);
    void dropFarLayouts();
    void layOutVisible(bool keepAtEnd);
    void updateScrollRange();
    bool atEnd() const;
    void fontsChanged();
    // Looking fonts up costs the first window several milliseconds, so the
    // view makes its fonts only once it has a line to show.
    void makeFonts();

    std::optional<Position> positionAt(const QPoint& viewportPos, bool exactCharacter);
    int linkAt(const QPoint& viewportPos);
    std::pair<Position, Position> orderedSelection() const;
    QString exportText(const Paragraph& p, int from, int to) const;
    void paintParagraph(QPainter& painter, Paragraph& p, int index, const QPointF& origin,
                        const std::pair<Position, Position>* selection);
    void paintSelectedLine(QPainter& painter, const Paragraph& p, const QTextLine& line, const QPointF& origin,
                           int selFrom, int selTo);
    QPixmap smileyPixmap(int picture);
    void reportFailure();
    bool moveCurrentLine(const QKeyEvent* event);
    int pageStep(int from, int direction) const;
    void scrollToLine(int index);
    void tellCurrentLine();
    void paintCurrentLine(QPainter& painter);

    struct Style {
        QColor colour;
        bool bold;
        bool italic;
        bool underline;
    };
    std::array<Style, StyleCount> m_styles;
    int m_textSize = 10;
    int m_fontGeneration = 0;
    std::array<QFont, StyleCount> m_fonts;
    bool m_fontsMade = false;

    std::deque<std::unique_ptr<Paragraph>> m_paragraphs;
    HeightIndex m_heights;
    std::vector<int> m_laidOut; // paragraphs holding a layout, oldest first
    qint64 m_laidOutChars = 0;
    int m_maxLines = DefaultMaxLines;
    qint64 m_maxContentBytes = DefaultMaxContentBytes;
    qint64 m_contentBytes = 0;
    // Display numbers of links since the last clear: the next one, and the first still shown
    // (the ones before it went with their lines).
    int m_linkCount = 0;
    int m_firstShownLink = 0;

    std::array<QString, LinkSlotCount> m_linkSlots;
    int m_linkCounter = -1;

    quint64 m_nextSerial = 1;
    quint64 m_currentSerial = 0; // 0: no line
    KeyFocusMark m_keyMark;

    std::optional<Position> m_anchor;
    std::optional<Position> m_cursor;
    bool m_selecting = false;
    int m_pressedLink = -1;
    bool m_inLayout = false;
    bool m_repaintAll = false;
    bool m_silentScroll = false;

    std::function<QPixmap(int)> m_smileyProvider;
    QHash<int, QPixmap> m_smileyCache;
    std::function<bool(const QUrl&)> m_urlOpener;
    std::function<void(const QString&)> m_failureReporter;

    QMenu* m_menu = nullptr;
    QAction* m_selectAll = nullptr;
    QAction* m_copy = nullptr;
    QAction* m_clear = nullptr;
    QAction* m_scrollOff = nullptr;
};

} // namespace velmora
