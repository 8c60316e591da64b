#include "chatviewaccessible.h"

#include "chatview.h"

#include <QPointer>
#include <QScrollBar>
#include <QWindow>

namespace velmora {

namespace {

// One line of the chat. It finds its line by serial number each time, so it never reads a
// line that has gone, and reports itself invalid once its own has.
class ChatLineAccessible : public QAccessibleInterface {
public:
    ChatLineAccessible(ChatView* view, quint64 serial)
        : m_view(view)
        , m_serial(serial)
    {
    }

    quint64 serial() const { return m_serial; }

    bool isValid() const override { return index() >= 0; }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override { return m_view ? m_view->window()->windowHandle() : nullptr; }
    QAccessibleInterface* parent() const override
    {
        return m_view ? QAccessible::queryAccessibleInterface(m_view.data()) : nullptr;
    }
    QAccessibleInterface* focusChild() const override { return nullptr; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QAccessible::Role role() const override { return QAccessible::ListItem; }
    void setText(QAccessible::Text, const QString&) override {}

    QString text(QAccessible::Text t) const override
    {
        if (t != QAccessible::Name || index() < 0)
            return {};
        // An empty line is said as readers say one, not skipped as if nothing were there.
        const QString line = m_view->spokenLine(index());
        return line.isEmpty() ? QStringLiteral("blank") : line;
    }

    QRect rect() const override
    {
        if (index() < 0)
            return {};
        const QRect rect = m_view->lineRect(index());
        return QRect(m_view->viewport()->mapToGlobal(rect.topLeft()), rect.size());
    }

    QAccessible::State state() const override
    {
        QAccessible::State state;
        state.readOnly = true;
        state.focusable = true;
        state.selectable = true;
        const int at = index();
        if (at < 0) {
            state.invalid = true;
            return state;
        }
        state.focused = state.selected = m_view->hasFocus() && m_view->currentLine() == at;
        state.offscreen = !m_view->lineRect(at).intersects(m_view->viewport()->rect());
        return state;
    }

private:
    int index() const { return m_view ? m_view->lineIndex(m_serial) : -1; }

    QPointer<ChatView> m_view;
    quint64 m_serial;
};

QAccessibleInterface* makeInterface(const QString& className, QObject* object)
{
    if (className == QLatin1StringView(ChatView::staticMetaObject.className()) && object && object->isWidgetType())
        return new ChatViewAccessible(static_cast<ChatView*>(object));
    return nullptr;
}

} // namespace

ChatViewAccessible::ChatViewAccessible(ChatView* view)
    : QAccessibleWidget(view, QAccessible::List)
{
}

ChatViewAccessible::~ChatViewAccessible()
{
    for (const QAccessible::Id id : std::as_const(m_items))
        QAccessible::deleteAccessibleInterface(id);
}

void ChatViewAccessible::install()
{
    static const bool installed = (QAccessible::installFactory(makeInterface), true);
    Q_UNUSED(installed);
}

void ChatViewAccessible::focusLine(ChatView* view, int index)
{
    if (index < 0 || index >= view->paragraphCount())
        return;
    QAccessibleEvent event(view, QAccessible::Focus);
    event.setChild(index);
    QAccessible::updateAccessibility(&event);
}

ChatView* ChatViewAccessible::view() const
{
    return static_cast<ChatView*>(widget());
}

void ChatViewAccessible::forgetGoneLines() const
{
    // Lines leave from the oldest end (or all at once), so a new oldest serial says some went.
    const quint64 first = view()->paragraphCount() > 0 ? view()->lineSerial(0) : ~quint64(0);
    if (first == m_firstKept)
        return;
    m_firstKept = first;
    for (auto it = m_items.begin(); it != m_items.end();) {
        if (it.key() < first) {
            QAccessible::deleteAccessibleInterface(it.value());
            it = m_items.erase(it);
        } else {
            ++it;
        }
    }
}

int ChatViewAccessible::childCount() const
{
    forgetGoneLines();
    return view()->paragraphCount();
}

QAccessibleInterface* ChatViewAccessible::child(int index) const
{
    forgetGoneLines();
    const quint64 serial = view()->lineSerial(index);
    if (serial == 0)
        return nullptr;
    if (const auto found = m_items.constFind(serial); found != m_items.cend())
        return QAccessible::accessibleInterface(*found);
    auto* item = new ChatLineAccessible(view(), serial);
    m_items.insert(serial, QAccessible::registerAccessibleInterface(item));
    return item;
}

int ChatViewAccessible::indexOfChild(const QAccessibleInterface* child) const
{
    const auto* item = dynamic_cast<const ChatLineAccessible*>(child);
    return item && item->parent() == this ? view()->lineIndex(item->serial()) : -1;
}

QAccessibleInterface* ChatViewAccessible::childAt(int x, int y) const
{
    return child(view()->lineIndexAt(view()->viewport()->mapFromGlobal(QPoint(x, y))));
}

QAccessibleInterface* ChatViewAccessible::focusChild() const
{
    return view()->hasFocus() ? child(view()->currentLine()) : nullptr;
}

} // namespace velmora
