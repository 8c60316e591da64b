#pragma once

#include <QAccessibleWidget>
#include <QHash>

namespace velmora {

class ChatView;

// What a screen reader finds of the chat: a list named as the view ("Chat") with one item per
// kept line, oldest first, each named by the line as it is spoken (ChatView::spokenLine). An
// item is made only when the reader first asks for it, and goes with its line, so a long
// history costs nothing until it is read.
class ChatViewAccessible : public QAccessibleWidget {
public:
    explicit ChatViewAccessible(ChatView* view);
    ~ChatViewAccessible() override;

    // Makes every chat view answer with this interface; once is enough.
    static void install();
    // Tells the reader that the line at `index` has the focus.
    static void focusLine(ChatView* view, int index);

    QAccessible::Role role() const override { return QAccessible::List; }
    int childCount() const override;
    QAccessibleInterface* child(int index) const override;
    int indexOfChild(const QAccessibleInterface* child) const override;
    QAccessibleInterface* childAt(int x, int y) const override;
    QAccessibleInterface* focusChild() const override;

private:
    ChatView* view() const;
    // Drops the items of lines that have left the history.
    void forgetGoneLines() const;

    mutable QHash<quint64, QAccessible::Id> m_items; // by line serial
    mutable quint64 m_firstKept = 0;                 // the oldest kept serial when last looked
};

} // namespace velmora
