#include "tselbuttonaccessible.h"

#include "tselbutton.h"

namespace velmora {

namespace {

QAccessibleInterface* makeInterface(const QString& className, QObject* object)
{
    if (className != QLatin1String(TSelButton::staticMetaObject.className()))
        return nullptr;
    if (auto* button = qobject_cast<TSelButton*>(object))
        return new TSelButtonAccessible(button);
    return nullptr;
}

} // namespace

TSelButtonAccessible::TSelButtonAccessible(TSelButton* button)
    : QAccessibleWidget(button, QAccessible::PushButton)
{
}

TSelButton* TSelButtonAccessible::button() const
{
    return static_cast<TSelButton*>(widget());
}

QString TSelButtonAccessible::text(QAccessible::Text t) const
{
    if (t == QAccessible::Name && button()->accessibleName().isEmpty())
        return button()->caption();
    return QAccessibleWidget::text(t);
}

QAccessible::State TSelButtonAccessible::state() const
{
    QAccessible::State state = QAccessibleWidget::state();
    if (!button()->isButtonEnabled())
        state.disabled = true;
    if (button()->look() == TSelButton::Look::Pressed)
        state.pressed = true;
    return state;
}

QStringList TSelButtonAccessible::actionNames() const
{
    QStringList names = QAccessibleWidget::actionNames();
    if (button()->isEnabled() && button()->isButtonEnabled())
        names.prepend(pressAction());
    return names;
}

void TSelButtonAccessible::doAction(const QString& actionName)
{
    if (actionName == pressAction())
        button()->click();
    else
        QAccessibleWidget::doAction(actionName);
}

QStringList TSelButtonAccessible::keyBindingsForAction(const QString& actionName) const
{
    if (actionName == pressAction())
        return {QStringLiteral("Space")};
    return QAccessibleWidget::keyBindingsForAction(actionName);
}

void TSelButtonAccessible::install()
{
    QAccessible::installFactory(makeInterface); // Qt keeps each factory once
}

} // namespace velmora
