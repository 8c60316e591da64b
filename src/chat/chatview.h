#pragma once

#include "heightindex.h"

#include <QAbstractScrollArea>
#include <QFont>
#include <QHash>
#include <QList>
#include <QPixmap>
#include <QUrl>
#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

class QAction;
class QMenu;
class QTextLayout;

namespace velmora {

enum class ChatItemKind { Text, Link, Smiley };

// One item of a paragraph as the display holds it.
struct ChatRun {
    ChatItemKind kind = ChatItemKind::Text;
    QString text;        // empty for a smiley
    int style = 0;       // text style; links always use the link style
    int smiley = -1;     // picture number of a smiley
    int linkNumber = -1; // document-order number of a link since the last clear
};

// The chat display "mainchat": a read-only view of paragraphs made of styled text runs, link
// runs and smiley pictures, on black. Each paragraph keeps its own text layout, made when it
// is first shown; colours are looked up when painting, so a style's new colour reaches every
// line already shown without laying anything out again. Appending costs the same however long
// the history is.
class ChatView : public QAbstractScrollArea {
    Q_OBJECT

public:
    static constexpr int StyleCount = 15;
    static constexpr int LinkStyle = 4;
    static constexpr int LinkSlotCount = 101;
    static constexpr int SmileyCount = 18;
    static constexpr int SmileyWidth = 17;
    static constexpr int SmileyHeight = 16;
    static constexpr int Margin = 5;

    explicit ChatView(QWidget* parent = nullptr);
    ~ChatView() override;

    // Shows one "number+text" line in the given colour (0x00BBGGRR): number 0 is a system line,
    // 1 to 9 a sender, whose style is number + 5.
    void addlinetochat(const QString& line, quint32 colour);

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

    // Text styles: colour (0x00BBGGRR) and bold per style, one size for all.
    quint32 styleColour(int style) const;
    void setStyleColour(int style, quint32 colour);
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
    int linkCount() const { return m_linkCount; }
    QString linkSlot(int slot) const;
    int linkCounter() const { return m_linkCounter; }

    // Where a paragraph and a link currently lie, in viewport coordinates (laid out if needed).
    QRect paragraphRect(int index);
    QRect linkRect(int number);

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

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    struct Run {
        ChatItemKind kind;
        int style;
        int start; // in the paragraph's layout text
        int length;
        int smiley;
        int link;
    };
    struct GlyphPiece;
    struct Paragraph;
    struct Position {
        int paragraph = -1;
        int offset = 0;
        auto operator<=>(const Position&) const = default;
    };

    void appendText(const QString& text, int style, bool newParagraph);
    void appendLink(const QString& text);
    void appendSmiley(int picture);
    void appendWords(const QString& text, int style);
    void finishLine();

    int availableWidth() const;
    quint64 layoutKey() const;
    int estimateHeight(const Paragraph& p) const;
    bool ensureLaidOut(int index);
    void layOut(Paragraph& p);
    void dropFarLayouts();
    void layOutVisible(bool keepAtEnd);
    void updateScrollRange();
    bool atEnd() const;
    void fontsChanged();
    void styleColoursChanged();

    std::optional<Position> positionAt(const QPoint& viewportPos, bool exactCharacter);
    int linkAt(const QPoint& viewportPos);
    std::pair<Position, Position> orderedSelection() const;
    QString exportText(const Paragraph& p, int from, int to) const;
    void paintParagraph(QPainter& painter, Paragraph& p, int index, const QPointF& origin,
                        const std::pair<Position, Position>* selection);
    QPixmap smileyPixmap(int picture);
    void reportFailure();

    struct Style {
        quint32 colour;
        bool bold;
        bool italic;
        bool underline;
    };
    std::array<Style, StyleCount> m_styles;
    int m_textSize = 10;
    int m_fontGeneration = 0;
    std::array<QFont, StyleCount> m_fonts;

    std::vector<std::unique_ptr<Paragraph>> m_paragraphs;
    HeightIndex m_heights;
    std::vector<int> m_laidOut; // paragraphs holding a layout, oldest first
    int m_linkCount = 0;

    std::array<QString, LinkSlotCount> m_linkSlots;
    int m_linkCounter = -1;

    std::optional<Position> m_anchor;
    std::optional<Position> m_cursor;
    bool m_selecting = false;
    int m_pressedLink = -1;
    bool m_inLayout = false;
    bool m_repaintAll = false;

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
