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
        state.focused = panel && panel->hasFocus() && panel->keyTarget() == d;
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

// The dice panel: the keyboard stays on the panel, and the die or button in
// its ring stands for the focus within it.
class DicePanelAccessible : public QAccessibleWidget {
public:
    explicit DicePanelAccessible(DicePanel* panel)
        : QAccessibleWidget(panel, QAccessible::Pane, QStringLiteral("Dice"))
    {
    }

    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Description && widget()->accessibleDescription().isEmpty())
            return QStringLiteral("Arrow keys choose a die. Space or Enter throws, places the chosen die or starts "
                                  "the game. A places the rest.");
        return QAccessibleWidget::text(t);
    }

    QAccessibleInterface* focusChild() const override
    {
        const auto* panel = static_cast<const DicePanel*>(widget());
        if (!panel->hasFocus())
            return nullptr;
        QWidget* target = panel->keyTarget();
        return target ? QAccessible::queryAccessibleInterface(target) : nullptr;
    }
};

// One target's reading on a score board.
class ScoreReading : public QAccessibleInterface {
public:
    ScoreReading(ScoreGrid* grid, int column)
        : m_grid(grid)
        , m_column(column)
    {
    }

    bool isValid() const override { return m_grid; }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override { return m_grid ? m_grid->window()->windowHandle() : nullptr; }
    QAccessibleInterface* parent() const override { return QAccessible::queryAccessibleInterface(m_grid.data()); }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QAccessible::Role role() const override { return QAccessible::StaticText; }
    void setText(QAccessible::Text, const QString&) override {}

    QString text(QAccessible::Text t) const override
    {
        return m_grid && t == QAccessible::Name ? m_grid->reading(m_column) : QString();
    }

    QAccessible::State state() const override
    {
        QAccessible::State state;
        state.readOnly = true;
        state.invisible = !m_grid || !m_grid->isVisible();
        return state;
    }

    QRect rect() const override
    {
        if (!m_grid)
            return {};
        const QRect column(m_column * ScoreGrid::cell, 0, ScoreGrid::cell, ScoreGrid::rows * ScoreGrid::cell);
        return QRect(m_grid->mapToGlobal(column.topLeft()), column.size());
    }

private:
    QPointer<ScoreGrid> m_grid;
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

} // namespace velmora
