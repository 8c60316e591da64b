#include "tickbox.h"

#include "art/artwork.h"
#include "art/palette.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

namespace velmora {

namespace {

class TickBoxAccessible : public QAccessibleWidget {
public:
    explicit TickBoxAccessible(TickBox* box)
        : QAccessibleWidget(box, QAccessible::CheckBox)
    {
    }
    QAccessible::State state() const override
    {
        QAccessible::State state = QAccessibleWidget::state();
        state.checkable = true;
        state.checked = box()->state() == 1;
        return state;
    }
    QStringList actionNames() const override
    {
        QStringList names = QAccessibleWidget::actionNames();
        if (box()->isEnabled())
            names.prepend(toggleAction());
        return names;
    }
    void doAction(const QString& actionName) override
    {
        if (actionName == toggleAction() || actionName == pressAction())
            box()->click();
        else
            QAccessibleWidget::doAction(actionName);
    }
    QStringList keyBindingsForAction(const QString& actionName) const override
    {
        if (actionName == toggleAction())
            return {QStringLiteral("Space")};
        return QAccessibleWidget::keyBindingsForAction(actionName);
    }

private:
    TickBox* box() const { return static_cast<TickBox*>(widget()); }
};

QAccessibleInterface* makeInterface(const QString& className, QObject* object)
{
    if (className != QLatin1String(TickBox::staticMetaObject.className()))
        return nullptr;
    if (auto* box = qobject_cast<TickBox*>(object))
        return new TickBoxAccessible(box);
    return nullptr;
}

} // namespace

TickBox::TickBox(const QString& objectName, QWidget* parent)
    : QWidget(parent)
{
    QAccessible::installFactory(makeInterface); // Qt keeps each factory once
    setObjectName(objectName);
    setFixedSize(35, 36);
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::TabFocus);
}

void TickBox::setState(int state)
{
    const bool wasTicked = m_state == 1;
    m_state = state;
    update();
    if (wasTicked != (m_state == 1)) {
        QAccessible::State changed;
        changed.checked = true;
        QAccessibleStateChangeEvent event(this, changed);
        QAccessible::updateAccessibility(&event);
    }
}

void TickBox::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.drawPixmap(0, 0, art::tickBox(m_state == 1, devicePixelRatioF()));
    // The picture's box spans about 5 to 30 each way: the mark rings it in the margin around it.
    if (m_focusMark.shown())
        paintDottedFrame(painter, rect().adjusted(1, 1, -1, -1), art::palette::textLime);
}

void TickBox::mousePressEvent(QMouseEvent* event)
{
    event->accept();
}

void TickBox::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit clicked();
}

void TickBox::keyPressEvent(QKeyEvent* event)
{
    if (event->key() != Qt::Key_Space) {
        QWidget::keyPressEvent(event);
        return;
    }
    event->accept();
    if (m_focusMark.keyUsed())
        update();
    if (!event->isAutoRepeat())
        click();
}

void TickBox::focusInEvent(QFocusEvent* event)
{
    QWidget::focusInEvent(event);
    if (m_focusMark.follow(event))
        update();
}

void TickBox::focusOutEvent(QFocusEvent* event)
{
    QWidget::focusOutEvent(event);
    if (m_focusMark.follow(event))
        update();
}

} // namespace velmora
