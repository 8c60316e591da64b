// The dice panel from the keyboard: the ring over the dice and the keys that
// press what it marks, through the same paths as the mouse.

#include "dicepanel.h"
#include "dieimage.h"
#include "controls/focusmark.h"
#include "controls/picturebutton.h"

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
        moveFocusedDie(event->key());
        break;
    case Qt::Key_Space:
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (!event->isAutoRepeat()) // a held key never throws and places a whole turn
            activateKeyTarget();
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

void DicePanel::refreshFocusedDie()
{
    const DieImage* current = dieAt(m_focusDie);
    if (m_ownTurn && current && current->available()) {
        updateFocusRing();
        return;
    }
    // From the die just placed to the nearest left; in a new throw, from the left edge.
    const QPoint from = current ? m_lastFocusAt : QPoint(0, height() / 2);
    int best = 0;
    qint64 bestDistance = std::numeric_limits<qint64>::max();
    for (const DieImage* die : m_dice) {
        if (!m_ownTurn || !die->available())
            continue;
        const QPoint d = die->pos() - from;
        const qint64 distance = qint64(d.x()) * d.x() + qint64(d.y()) * d.y();
        if (distance < bestDistance) {
            bestDistance = distance;
            best = die->number();
        }
    }
    setFocusedDie(best);
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
    // Left and right walk the dice in the order of their places from left to
    // right (then top to bottom), so every die can be reached; up and down go
    // to the nearest die above or below.
    std::vector<const DieImage*> dice;
    for (const DieImage* die : m_dice)
        if (die->available())
            dice.push_back(die);
    const auto order = [](const DieImage* d) { return std::tuple(d->pos().x(), d->pos().y(), d->number()); };
    std::sort(dice.begin(), dice.end(), [&](const DieImage* x, const DieImage* y) { return order(x) < order(y); });
    const auto here = std::find(dice.begin(), dice.end(), current);
    const DieImage* next = nullptr;
    if (key == Qt::Key_Right && here + 1 < dice.end())
        next = *(here + 1);
    else if (key == Qt::Key_Left && here > dice.begin())
        next = *(here - 1);
    qint64 bestScore = std::numeric_limits<qint64>::max();
    for (const DieImage* die : dice) {
        const QPoint d = die->pos() - current->pos();
        const bool beyond = key == Qt::Key_Up ? d.y() < 0 : key == Qt::Key_Down && d.y() > 0;
        const qint64 score = std::abs(d.y()) + 2 * qint64(std::abs(d.x()));
        if (beyond && score < bestScore) {
            bestScore = score;
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
    // Screen readers follow the ring as the focus within the panel.
    if (target == m_toldTarget)
        return;
    m_toldTarget = target;
    if (target) {
        QAccessibleEvent event(target, QAccessible::Focus);
        QAccessible::updateAccessibility(&event);
    }
}

} // namespace velmora
