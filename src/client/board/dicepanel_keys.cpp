// The dice panel from the keyboard: the ring over the dice and the keys that
// press what it marks, through the same paths as the mouse.

#include "boardaccessibility.h"
#include "controls/focusmark.h"
#include "controls/picturebutton.h"
#include "dicepanel.h"
#include "dieimage.h"

#include <QAccessible>
#include <QKeyEvent>
#include <algorithm>
#include <limits>
#include <tuple>
#include <vector>

namespace velmora {

void DicePanel::keyPressEvent(QKeyEvent* event)
{
    const Qt::KeyboardModifiers chord = Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier;
    if (event->modifiers() & chord) {
        event->ignore(); // the window's menus and shortcuts
        return;
    }
    switch (event->key()) {
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Up:
    case Qt::Key_Down:
        m_readerOnState = false; // from the board's state to the ring, even where it stays
        moveFocusedDie(event->key());
        updateFocusRing();
        break;
    case Qt::Key_Space:
    case Qt::Key_Return:
    case Qt::Key_Enter:
        m_readerOnState = false;
        if (!event->isAutoRepeat()) // a held key never throws and places a whole turn
            activateKeyTarget();
        updateFocusRing();
        break;
    case Qt::Key_A:
        clickButton(Button::AutoPlace);
        break;
    default:
        // Typing on the board goes nowhere, least of all into the chat.
        if (event->text().isEmpty()) {
            event->ignore();
            return;
        }
        break;
    }
    event->accept();
}

void DicePanel::focusInEvent(QFocusEvent* event)
{
    QWidget::focusInEvent(event);
    // Qt tells readers of the panel's focus after this event: the board's
    // state is told after that, so that it, not the whole panel, is heard.
    m_readerOnState = true;
    m_tellQueued = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            m_tellQueued = false;
            m_toldTarget = nullptr;
            updateFocusRing();
        },
        Qt::QueuedConnection);
    updateFocusRing();
    update();
}

void DicePanel::focusOutEvent(QFocusEvent* event)
{
    QWidget::focusOutEvent(event);
    updateFocusRing();
    update();
}

QWidget* DicePanel::keyTarget() const
{
    if (offers(Button::Throw))
        return m_throw;
    if (DieImage* die = dieAt(m_focusDie))
        return die;
    if (offers(Button::Start))
        return m_start;
    return nullptr;
}

QWidget* DicePanel::readerFocus() const
{
    if (!hasFocus())
        return nullptr;
    QWidget* target = keyTarget();
    return m_readerOnState || !target ? const_cast<DicePanel*>(this) : target;
}

void DicePanel::activateKeyTarget()
{
    QWidget* target = keyTarget();
    if (target == m_throw)
        clickButton(Button::Throw);
    else if (target == m_start)
        clickButton(Button::Start);
    else if (target)
        diePressed(m_focusDie, Qt::LeftButton); // exactly what a left click on it does
}

namespace {

auto readingOrder(QPoint at, int number)
{
    return std::tuple(at.x(), at.y(), number);
}

} // namespace

std::vector<const DieImage*> DicePanel::freeDiceInOrder() const
{
    std::vector<const DieImage*> dice;
    for (const DieImage* die : m_dice)
        if (die->available())
            dice.push_back(die);
    std::sort(dice.begin(), dice.end(), [](const DieImage* x, const DieImage* y) {
        return readingOrder(x->pos(), x->number()) < readingOrder(y->pos(), y->number());
    });
    return dice;
}

void DicePanel::refreshFocusedDie()
{
    const DieImage* current = dieAt(m_focusDie);
    if (m_ownTurn && current && current->available()) {
        updateFocusRing();
        return;
    }
    // The next die after the one just placed, from where it lay; else the first.
    std::vector<const DieImage*> dice;
    if (m_ownTurn)
        dice = freeDiceInOrder();
    const auto after = std::find_if(dice.begin(), dice.end(), [&](const DieImage* die) {
        return current && readingOrder(die->pos(), die->number()) > readingOrder(m_lastFocusAt, current->number());
    });
    const DieImage* next = after != dice.end() ? *after : dice.empty() ? nullptr : dice.front();
    setFocusedDie(next ? next->number() : 0);
}

void DicePanel::setFocusedDie(int die)
{
    if (const DieImage* image = dieAt(die))
        m_lastFocusAt = image->pos();
    const bool changed = die != m_focusDie;
    m_focusDie = die;
    updateFocusRing();
    if (changed)
        emit focusedDieChanged(die);
}

void DicePanel::moveFocusedDie(int key)
{
    const DieImage* current = dieAt(m_focusDie);
    if (!current)
        return;
    // Left and right walk the dice in their order, so every die can be
    // reached; up and down go to the nearest die above or below.
    const std::vector<const DieImage*> dice = freeDiceInOrder();
    const auto here = std::find(dice.begin(), dice.end(), current);
    const DieImage* next = nullptr;
    if (key == Qt::Key_Right && here + 1 < dice.end())
        next = *(here + 1);
    else if (key == Qt::Key_Left && here > dice.begin())
        next = *(here - 1);
    qint64 nearest = std::numeric_limits<qint64>::max();
    for (const DieImage* die : dice) {
        const QPoint d = die->pos() - current->pos();
        const bool beyond = key == Qt::Key_Up ? d.y() < 0 : key == Qt::Key_Down && d.y() > 0;
        const qint64 distance = qint64(d.x()) * d.x() + qint64(d.y()) * d.y();
        if (beyond && distance < nearest) {
            nearest = distance;
            next = die;
        }
    }
    if (next)
        setFocusedDie(next->number());
}

void DicePanel::updateFocusRing()
{
    if (!m_ring)
        return;
    QWidget* target = hasFocus() ? keyTarget() : nullptr;
    m_ring->surround(target ? target->geometry() : QRect());
    // Screen readers follow the ring, or the board's state, as the focus within the panel.
    QWidget* reader = readerFocus();
    if (reader == m_toldTarget || m_tellQueued)
        return;
    m_toldTarget = reader;
    tellReader();
}

void DicePanel::tellReader()
{
    if (!QAccessible::isActive())
        return; // no reader listens
    if (m_toldTarget == this) {
        if (QAccessibleInterface* state = boardStateAccessible(this)) {
            QAccessibleEvent event(state, QAccessible::Focus);
            QAccessible::updateAccessibility(&event);
        }
    } else if (m_toldTarget) {
        QAccessibleEvent event(m_toldTarget, QAccessible::Focus);
        QAccessible::updateAccessibility(&event);
    }
}

} // namespace velmora
