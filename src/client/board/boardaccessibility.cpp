#include "boardaccessibility.h"

#include "dartslot.h"
#include "dicepanel.h"
#include "dieimage.h"
#include "scoregrid.h"

#include <QAccessibleWidget>
#include <QPointer>
#include <array>

namespace velmora {

namespace {

// A die: a button whose press places it, as a left click does. Only the
// dice still to be placed may be pressed.
class DieAccessible : public QAccessibleWidget {
public:
    explicit DieAccessible(DieImage* die)
        : QAccessibleWidget(die, QAccessible::Button)
    {
    }

    QAccessible::State state() const override
    {
        QAccessible::State state = QAccessibleWidget::state();
        const DieImage* d = die();
        state.disabled = !d->available();
        state.focusable = d->available();
        const auto* panel = qobject_cast<const DicePanel*>(d->parentWidget());
        state.focused = panel && panel->readerFocus() == d;
        return state;
    }

    QStringList actionNames() const override { return die()->available() ? QStringList{pressAction()} : QStringList{}; }

    void doAction(const QString& action) override
    {
        if (action == pressAction() && die()->available())
            die()->press();
    }

private:
    DieImage* die() const { return static_cast<DieImage*>(widget()); }
};

// A part of a widget that a reader reads as one text (a score board's
// target, the board's state): no object of its own, the widget's window.
class PartReading : public QAccessibleInterface {
public:
    explicit PartReading(QWidget* widget)
        : m_widget(widget)
    {
    }

    bool isValid() const override { return m_widget; }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override { return m_widget ? m_widget->window()->windowHandle() : nullptr; }
    QAccessibleInterface* parent() const override { return QAccessible::queryAccessibleInterface(m_widget.data()); }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QAccessible::Role role() const override { return QAccessible::StaticText; }
    void setText(QAccessible::Text, const QString&) override {}

    QAccessible::State state() const override
    {
        QAccessible::State state;
        state.readOnly = true;
        state.focusable = true;
        state.invisible = !m_widget || !m_widget->isVisible();
        state.focused = m_widget && focused();
        return state;
    }

protected:
    virtual bool focused() const = 0;
    QPointer<QWidget> m_widget;
};

// What the board says as it takes the keyboard: whose turn and what Space does next.
class BoardStateReading : public PartReading {
public:
    using PartReading::PartReading;

    QString text(QAccessible::Text t) const override
    {
        return m_widget && t == QAccessible::Name ? panel()->boardState() : QString();
    }

    QRect rect() const override
    {
        return m_widget ? QRect(m_widget->mapToGlobal(QPoint(0, 0)), m_widget->size()) : QRect();
    }

protected:
    bool focused() const override { return panel()->readerFocus() == panel(); }

private:
    DicePanel* panel() const { return static_cast<DicePanel*>(m_widget.data()); }
};

// The dice panel: the keyboard stays on the panel, and its state or the die
// (or button) in its ring stands for the focus within it. The panel itself
// never claims a reader's focus, which would read all its places at once.
class DicePanelAccessible : public QAccessibleWidget {
public:
    explicit DicePanelAccessible(DicePanel* panel)
        : QAccessibleWidget(panel, QAccessible::Pane, QStringLiteral("Dice"))
        , m_state(QAccessible::registerAccessibleInterface(new BoardStateReading(panel)))
    {
    }

    ~DicePanelAccessible() override { QAccessible::deleteAccessibleInterface(m_state); }

    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Description && widget()->accessibleDescription().isEmpty())
            return QStringLiteral("Arrow keys choose a die. Space or Enter throws, places the chosen die or starts "
                                  "the game. A places the rest.");
        return QAccessibleWidget::text(t);
    }

    QAccessible::State state() const override
    {
        QAccessible::State state = QAccessibleWidget::state();
        state.focused = false;
        return state;
    }

    int childCount() const override { return QAccessibleWidget::childCount() + 1; }

    QAccessibleInterface* child(int index) const override
    {
        return index == QAccessibleWidget::childCount() ? QAccessible::accessibleInterface(m_state)
                                                        : QAccessibleWidget::child(index);
    }

    int indexOfChild(const QAccessibleInterface* child) const override
    {
        return child == QAccessible::accessibleInterface(m_state) ? QAccessibleWidget::childCount()
                                                                  : QAccessibleWidget::indexOfChild(child);
    }

    QAccessibleInterface* focusChild() const override
    {
        auto* panel = static_cast<DicePanel*>(widget());
        QWidget* focus = panel->readerFocus();
        if (!focus)
            return nullptr;
        return focus == panel ? QAccessible::accessibleInterface(m_state)
                              : QAccessible::queryAccessibleInterface(focus);
    }

    QAccessibleInterface* stateReading() const { return QAccessible::accessibleInterface(m_state); }

private:
    QAccessible::Id m_state;
};

// One target's reading on a score board; the keys walk them.
class ScoreReading : public PartReading {
public:
    ScoreReading(ScoreGrid* grid, int column)
        : PartReading(grid)
        , m_column(column)
    {
    }

    QString text(QAccessible::Text t) const override
    {
        return m_widget && t == QAccessible::Name ? grid()->reading(m_column) : QString();
    }

    QRect rect() const override
    {
        if (!m_widget)
            return {};
        const QRect column = grid()->columnRect(m_column);
        return QRect(m_widget->mapToGlobal(column.topLeft()), column.size());
    }

protected:
    bool focused() const override { return grid()->hasFocus() && grid()->currentColumn() == m_column; }

private:
    ScoreGrid* grid() const { return static_cast<ScoreGrid*>(m_widget.data()); }
    int m_column;
};

// A score board: a group of its seven readings, kept for as long as the board.
class ScoreGridAccessible : public QAccessibleWidget {
public:
    explicit ScoreGridAccessible(ScoreGrid* grid)
        : QAccessibleWidget(grid, QAccessible::Grouping)
    {
        for (int c = 0; c < ScoreGrid::columns; ++c)
            m_readings[c] = QAccessible::registerAccessibleInterface(new ScoreReading(grid, c));
    }

    ~ScoreGridAccessible() override
    {
        for (QAccessible::Id id : m_readings)
            QAccessible::deleteAccessibleInterface(id);
    }

    int childCount() const override { return ScoreGrid::columns; }

    // The reader's focus is the target in the mark, never the whole board.
    QAccessible::State state() const override
    {
        QAccessible::State state = QAccessibleWidget::state();
        state.focused = false;
        return state;
    }

    QAccessibleInterface* focusChild() const override
    {
        const auto* grid = static_cast<const ScoreGrid*>(widget());
        return grid->hasFocus() ? child(grid->currentColumn()) : nullptr;
    }

    QAccessibleInterface* child(int index) const override
    {
        return index >= 0 && index < ScoreGrid::columns ? QAccessible::accessibleInterface(m_readings[index]) : nullptr;
    }

    int indexOfChild(const QAccessibleInterface* child) const override
    {
        for (int c = 0; c < ScoreGrid::columns; ++c)
            if (QAccessible::accessibleInterface(m_readings[c]) == child)
                return c;
        return -1;
    }

    QAccessibleInterface* childAt(int x, int y) const override
    {
        for (int c = 0; c < ScoreGrid::columns; ++c) {
            QAccessibleInterface* reading = child(c);
            if (reading && reading->rect().contains(x, y))
                return reading;
        }
        return nullptr;
    }

private:
    std::array<QAccessible::Id, ScoreGrid::columns> m_readings{};
};

QAccessibleInterface* boardAccessible(const QString& className, QObject* object)
{
    if (className == QLatin1String(DieImage::staticMetaObject.className()))
        return new DieAccessible(static_cast<DieImage*>(object));
    if (className == QLatin1String(DicePanel::staticMetaObject.className()))
        return new DicePanelAccessible(static_cast<DicePanel*>(object));
    // A dart's place is read, not pressed: text that says what lies on it.
    if (className == QLatin1String(DartSlot::staticMetaObject.className()))
        return new QAccessibleWidget(static_cast<QWidget*>(object), QAccessible::StaticText);
    if (className == QLatin1String(ScoreGrid::staticMetaObject.className()))
        return new ScoreGridAccessible(static_cast<ScoreGrid*>(object));
    return nullptr;
}

} // namespace

void installBoardAccessibility()
{
    QAccessible::installFactory(boardAccessible); // Qt keeps each factory once
}

QAccessibleInterface* boardStateAccessible(DicePanel* panel)
{
    auto* iface = dynamic_cast<DicePanelAccessible*>(QAccessible::queryAccessibleInterface(panel));
    return iface ? iface->stateReading() : nullptr;
}

} // namespace velmora
