// The chat as a screen reader reads it: a list with one item per kept line,
// and the keys that move the current line and send the reader's focus there.

#include "chatview.h"
#include "chatviewharness.h"
#include "strictwarnings.h"

#include <QAccessible>
#include <QApplication>
#include <QSignalSpy>
#include <QTest>

using namespace velmora;

namespace {

using Harness = testing::ChatViewHarness;

QAccessibleInterface* listOf(ChatView& view)
{
    return QAccessible::queryAccessibleInterface(&view);
}

QString itemText(ChatView& view, int index)
{
    QAccessibleInterface* item = listOf(view)->child(index);
    return item ? item->text(QAccessible::Name) : QStringLiteral("<none>");
}

// The names of the lines the reader was told have the focus, as it reads them.
struct ToldFocus {
    ChatView& view;
    QStringList names;
    explicit ToldFocus(ChatView& v)
        : view(v)
    {
        QObject::connect(&view, &ChatView::lineFocused, &view, [this](int index) {
            QAccessibleInterface* item = QAccessible::queryAccessibleInterface(&view)->child(index);
            names << (item && item->state().focused ? item->text(QAccessible::Name) : QStringLiteral("<unfocused>"));
        });
    }
    QString last() const { return names.isEmpty() ? QString() : names.last(); }
};

void focusView(Harness& h)
{
    h.show();
    QApplication::setActiveWindow(&h.view);
    QTRY_VERIFY(QApplication::activeWindow() == &h.view);
    h.view.setFocus(Qt::TabFocusReason);
    QVERIFY(h.view.hasFocus());
}

} // namespace

class TestChatReading : public QObject {
    Q_OBJECT

private slots:
    void init() { velmora::testing::failOnUnexpectedWarnings(); }

    // One item per line, oldest first, each with the words a reader should say.
    void linesAreItems()
    {
        Harness h;
        h.view.addSystemLine(QStringLiteral("You are Connected."));
        h.view.addPlayerLine(1, QStringLiteral("Ann chats:"), QStringLiteral(" hi:)#15 see https://a.org/x now"),
                             Qt::white);
        h.view.addPlayerLine(2, QString(), QStringLiteral("Bob waves"), Qt::white);
        QAccessibleInterface* list = listOf(h.view);
        QCOMPARE(list->role(), QAccessible::List);
        QCOMPARE(list->text(QAccessible::Name), QStringLiteral("Chat"));
        QCOMPARE(list->childCount(), 3);
        QCOMPARE(itemText(h.view, 0), QStringLiteral("You are Connected."));
        QCOMPARE(itemText(h.view, 1), QStringLiteral("Ann says hi smiley see https://a.org/x now"));
        QCOMPARE(itemText(h.view, 2), QStringLiteral("Bob waves"));
        QAccessibleInterface* item = list->child(1);
        QCOMPARE(item->role(), QAccessible::ListItem);
        QCOMPARE(item->parent(), list);
        QCOMPARE(list->indexOfChild(item), 1);
        QCOMPARE(list->child(1), item); // made once
        QCOMPARE(list->child(3), nullptr);
    }

    // The view takes the focus on its newest line; the keys move it and the reader follows.
    void keysMoveTheReadLine()
    {
        Harness h;
        ToldFocus focus(h.view);
        for (int i = 1; i <= 40; ++i)
            h.view.addSystemLine(QStringLiteral("line %1").arg(i));
        focusView(h);
        QTRY_COMPARE(focus.last(), QStringLiteral("line 40"));
        QCOMPARE(h.view.currentLine(), 39);

        // Each key says the line it moved to, scrolled into sight.
        const auto press = [&](Qt::Key key) {
            QTest::keyClick(&h.view, key);
            QAccessibleInterface* current = listOf(h.view)->focusChild();
            QVERIFY(current && current->state().focused);
            QCOMPARE(focus.last(), current->text(QAccessible::Name));
            QVERIFY(h.view.viewport()->rect().contains(h.view.lineRect(h.view.currentLine())));
        };
        press(Qt::Key_Up);
        QCOMPARE(focus.last(), QStringLiteral("line 39"));
        press(Qt::Key_Home);
        QCOMPARE(focus.last(), QStringLiteral("line 1"));
        press(Qt::Key_Up);
        QCOMPARE(focus.last(), QStringLiteral("line 1"));
        press(Qt::Key_Down);
        QCOMPARE(focus.last(), QStringLiteral("line 2"));
        press(Qt::Key_PageDown);
        const int paged = h.view.currentLine();
        QVERIFY(paged > 3 && paged < 39);
        press(Qt::Key_PageUp);
        QVERIFY(h.view.currentLine() < paged);
        press(Qt::Key_End);
        QCOMPARE(focus.last(), QStringLiteral("line 40"));
        press(Qt::Key_Up);
        QCOMPARE(focus.last(), QStringLiteral("line 39"));

        // A new line neither moves the read line nor takes the reader's focus.
        const int events = int(focus.names.size());
        h.view.addSystemLine(QStringLiteral("line 41"));
        QCOMPARE(h.view.currentLine(), 38);
        QCOMPARE(int(focus.names.size()), events);
        QCOMPARE(listOf(h.view)->childCount(), 41);
    }

    // Lines leaving the bounded history take their items with them; the rest keep theirs.
    void droppedLinesLeaveNoItems()
    {
        Harness h;
        ToldFocus focus(h.view);
        h.view.setHistoryLimits(3, ChatView::DefaultMaxContentBytes);
        for (int i = 1; i <= 3; ++i)
            h.view.addSystemLine(QStringLiteral("line %1").arg(i));
        focusView(h);
        QTRY_COMPARE(focus.last(), QStringLiteral("line 3"));
        QTest::keyClick(&h.view, Qt::Key_Home);
        QAccessibleInterface* list = listOf(h.view);
        const QAccessible::Id oldest = QAccessible::uniqueId(list->child(0));
        QAccessibleInterface* kept = list->child(2);

        h.view.addSystemLine(QStringLiteral("line 4"));
        h.view.addSystemLine(QStringLiteral("line 5"));
        QCOMPARE(list->childCount(), 3);
        QCOMPARE(QAccessible::accessibleInterface(oldest), nullptr);
        QCOMPARE(list->child(0), kept);
        QCOMPARE(itemText(h.view, 0), QStringLiteral("line 3"));
        QCOMPARE(itemText(h.view, 2), QStringLiteral("line 5"));
        // The read line went with them: the keys go on from the oldest kept line.
        QCOMPARE(h.view.currentLine(), -1);
        QTest::keyClick(&h.view, Qt::Key_Down);
        QCOMPARE(focus.last(), QStringLiteral("line 4"));

        const QAccessible::Id keptId = QAccessible::uniqueId(kept);
        h.view.clear();
        QCOMPARE(list->childCount(), 0);
        QCOMPARE(QAccessible::accessibleInterface(keptId), nullptr);
        QCOMPARE(list->child(0), nullptr);
    }
};

QTEST_MAIN(TestChatReading)
#include "test_chatreading.moc"
