#pragma once

// Walks what a screen reader sees of a window and lists every control a
// person can reach or press that has no name to hear: anything focusable,
// anything with a press, toggle or menu action, and anything whose role is a
// kind of button, box, link or entry. Each is described as
// "Role objectName (ClassName)", so a failing test says which one.

#include <QAccessible>
#include <QAccessibleInterface>
#include <QMetaEnum>
#include <QObject>
#include <QRegularExpression>
#include <QStringList>

namespace velmora::testing {

struct AccessibleWalk {
    // Hidden controls (a page not in front) are left out unless asked for.
    bool includeInvisible = false;
};

// Whether a reader at its usual level would say "colon", "semicolon" or
// "dash" where a pause was meant: a semicolon, a colon ending a word, or a
// dash between spaces. Addresses
// ("velmora://host:7772") keep the colons they are made of.
inline bool readsPunctuation(const QString& text)
{
    static const QRegularExpression pause(QStringLiteral(";|:(\\s|$)|\\s-\\s"));
    return text.contains(pause);
}

namespace detail {

inline bool isOperable(QAccessibleInterface* iface)
{
    static const QAccessible::Role roles[] = {
        QAccessible::PushButton, QAccessible::CheckBox,   QAccessible::RadioButton,    QAccessible::Link,
        QAccessible::ComboBox,   QAccessible::ButtonMenu, QAccessible::ButtonDropDown, QAccessible::EditableText,
        QAccessible::SpinBox,    QAccessible::Slider,     QAccessible::MenuItem,       QAccessible::PageTab,
        QAccessible::List,       QAccessible::Tree};
    if (iface->state().focusable)
        return true;
    for (QAccessible::Role role : roles)
        if (iface->role() == role)
            return true;
    if (QAccessibleActionInterface* actions = iface->actionInterface()) {
        const QStringList names = actions->actionNames();
        for (const QString& action :
             {QAccessibleActionInterface::pressAction(), QAccessibleActionInterface::toggleAction(),
              QAccessibleActionInterface::showMenuAction()})
            if (names.contains(action))
                return true;
    }
    return false;
}

inline QString describe(QAccessibleInterface* iface)
{
    const char* role = QMetaEnum::fromType<QAccessible::Role>().valueToKey(iface->role());
    QString text = role ? QString::fromLatin1(role) : QString::number(iface->role());
    if (const QObject* object = iface->object())
        text += QStringLiteral(" '%1' (%2)")
                    .arg(object->objectName(), QString::fromLatin1(object->metaObject()->className()));
    else if (QAccessibleInterface* parent = iface->parent(); parent && parent->object())
        text += QStringLiteral(" in '%1'").arg(parent->object()->objectName());
    return text;
}

inline void collectUnnamed(QAccessibleInterface* iface, const AccessibleWalk& walk, QStringList& found, int depth)
{
    if (!iface || !iface->isValid() || depth > 64)
        return;
    if (!walk.includeInvisible && iface->state().invisible)
        return;
    if (isOperable(iface) && iface->text(QAccessible::Name).trimmed().isEmpty())
        found << describe(iface);
    for (int i = 0; i < iface->childCount(); ++i)
        collectUnnamed(iface->child(i), walk, found, depth + 1);
}

// Every name and description under `iface` that a reader would speak with
// "colon" or "semicolon"; the subtree of `skipped` (an object name) is left out.
inline void collectPunctuated(QAccessibleInterface* iface, const QString& skipped, QStringList& found, int depth)
{
    if (!iface || !iface->isValid() || depth > 64)
        return;
    if (!skipped.isEmpty() && iface->object() && iface->object()->objectName() == skipped)
        return;
    for (QAccessible::Text t : {QAccessible::Name, QAccessible::Description}) {
        const QString text = iface->text(t);
        if (readsPunctuation(text))
            found << text;
    }
    for (int i = 0; i < iface->childCount(); ++i)
        collectPunctuated(iface->child(i), skipped, found, depth + 1);
}

} // namespace detail

// Every operable control under `root` (the root included) without a name.
// Works without an active screen reader: the interfaces are made on demand.
inline QStringList unnamedControls(QObject* root, AccessibleWalk walk = {})
{
    QStringList found;
    detail::collectUnnamed(QAccessible::queryAccessibleInterface(root), walk, found, 0);
    return found;
}

// Every name and description under `root` a reader would say with "colon"
// or "semicolon", leaving out the subtree of the object named `skipped`.
inline QStringList punctuatedTexts(QObject* root, const QString& skipped = {})
{
    QStringList found;
    detail::collectPunctuated(QAccessible::queryAccessibleInterface(root), skipped, found, 0);
    return found;
}

} // namespace velmora::testing
