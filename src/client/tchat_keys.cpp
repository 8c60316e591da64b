// The main window from the keyboard: the turn's items of the File menu, the
// key between the board and the chat entry, the keys that ask the narrator,
// and the seat menu on a focused seat.

#include "chatarea.h"
#include "client/board/dicepanel.h"
#include "core/narrator.h"
#include "tchat.h"

#include <QAction>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>

namespace velmora {

void Tchat::buildKeyItems(QMenu* file)
{
    // The board's own keys (DicePanel) work while it has the focus; these
    // items show them and press the same buttons from the menu.
    m_throwItem = addMenuItem(file, QStringLiteral("ThrowDarts1"), QStringLiteral("Throw Darts\tSpace"));
    connect(m_throwItem, &QAction::triggered, this, [this] { m_dice->clickButton(DicePanel::Button::Throw); });
    m_autoplaceItem = addMenuItem(file, QStringLiteral("AutoPlace1"), QStringLiteral("Auto Place\tA"));
    connect(m_autoplaceItem, &QAction::triggered, this, [this] { m_dice->clickButton(DicePanel::Button::AutoPlace); });
    file->addSeparator();
    // Kept up to date, so that the menu opened from the keyboard starts on the turn's next step.
    connect(m_dice, &DicePanel::offersChanged, this, &Tchat::showKeyItems);
    showKeyItems();
}

void Tchat::buildReaderItems(QMenu* view)
{
    // What a screen reader user asks of the game, from anywhere in the window,
    // the chat entry included: the keys are no text an entry takes.
    struct ReaderItem {
        const char* name;
        const char* caption;
        QKeyCombination key;
        void (Narrator::*ask)();
    };
    static const ReaderItem items[] = {
        {"RepeatAnnouncement1", "Repeat Last Announcement", Qt::CTRL | Qt::Key_R, &Narrator::repeatLast},
        {"SayMarksAndPoints1", "Say Marks and Points", Qt::CTRL | Qt::Key_P, &Narrator::tellScores},
        {"SayWhoseTurn1", "Say Whose Turn", Qt::CTRL | Qt::Key_T, &Narrator::tellTurn},
    };
    view->addSeparator();
    for (const ReaderItem& item : items) {
        QAction* action = addMenuItem(view, QString::fromLatin1(item.name), QString::fromLatin1(item.caption));
        action->setShortcut(QKeySequence(item.key));
        connect(action, &QAction::triggered, this, [this, ask = item.ask] {
            if (m_narrator)
                (m_narrator->*ask)();
        });
    }
}

void Tchat::showKeyItems()
{
    m_throwItem->setEnabled(m_dice->offers(DicePanel::Button::Throw));
    m_autoplaceItem->setEnabled(m_dice->offers(DicePanel::Button::AutoPlace));
}

void Tchat::focusBoard()
{
    m_dice->setFocus(Qt::ShortcutFocusReason);
}

void Tchat::switchBoardAndChat()
{
    // From the board to the chat entry; from anywhere else (the entry, the
    // chat, a seat, a phrase button) to the board.
    if (focusWidget() == m_dice)
        m_chatArea->entry()->setFocus(Qt::ShortcutFocusReason);
    else
        focusBoard();
}

bool Tchat::openSeatMenuFromKeyboard(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::KeyPress)
        return false;
    const auto* key = static_cast<QKeyEvent*>(event);
    const bool menuKey =
        key->key() == Qt::Key_Menu || (key->key() == Qt::Key_F10 && key->modifiers() == Qt::ShiftModifier);
    if (!menuKey)
        return false;
    for (int seat = 1; seat <= game::kSeats; ++seat) {
        QLabel* name = m_seats[seat - 1].name;
        if (watched != name)
            continue;
        onSeatMenuRequested(seat, name->mapToGlobal(QPoint(0, name->height())));
        // Opened from the keyboard, the menu starts on its first item that may be chosen.
        for (QAction* item : m_seatMenu.menu->actions()) {
            if (item->isEnabled() && !item->isSeparator()) {
                m_seatMenu.menu->setActiveAction(item);
                break;
            }
        }
        return true;
    }
    return false;
}

} // namespace velmora
