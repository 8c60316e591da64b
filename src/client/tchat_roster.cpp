// The seats on the board, the spectators, and who is just watching.

#include "chat/chatview.h"
#include "client/board/scoregrid.h"
#include "hostmessages.h"
#include "protocol/message.h"
#include "tchat.h"
#include "windows/spylistform.h"
#include "windows/tallylistform.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>

namespace velmora {

namespace {
const QString kWaiting = QStringLiteral("<Waiting>");
const QString kBorl = QStringLiteral("Borl");
} // namespace

void Tchat::newplayerinfo(const QString& rest)
{
    const hostmessages::Participant p = hostmessages::readParticipant(rest);
    if (p.number == m_myseat) {
        addlinetochat(QStringLiteral("0+You are Connected."), kLime);
        addlinetochat(QStringLiteral("0+Click Ctrl-i for Quick Instructions."), kLime);
        m_mychat->setFocus();
    } else {
        addlinetochat(QStringLiteral("0+") + p.name + QStringLiteral(" is Connected."), kLime);
    }

    if (p.number > 4) {
        if (m_windows.spies)
            m_windows.spies->addEntry(QStringLiteral("%1: %2").arg(p.number).arg(p.name));
        addlinetochat(p.number == m_myseat ? QStringLiteral("0+You are spying.")
                                           : QStringLiteral("0+") + p.name + QStringLiteral(" is spying."),
                      kLime);
    } else {
        m_playerName[p.number - 1]->setText(p.name);
        m_playerName[p.number - 1]->show();
        m_score[p.number - 1]->show();
        m_grid[p.number - 1]->show();
    }
    playsounds(QStringLiteral("entered"));
    loadchecklist();
}

void Tchat::playerdisconnected(const QString& rest)
{
    const hostmessages::Participant p = hostmessages::readParticipant(rest);
    if (p.number == m_myseat) {
        m_isconnected = false;
        close();
        return;
    }
    if (p.number > 4) {
        const QString entry = QStringLiteral("%1: %2").arg(p.number).arg(p.name);
        if (m_windows.spies && !m_windows.spies->isEmpty() && m_windows.spies->removeEntry(entry))
            addlinetochat(QStringLiteral("0+") + p.name + QStringLiteral(" has left."), kLime);
    } else {
        QLabel* name = m_playerName[p.number - 1];
        const QString shown = name->text();
        if (shown != kWaiting && shown != kBorl)
            addlinetochat(QStringLiteral("0+") + shown + QStringLiteral(" disconnected."), kLime);
        if (p.number == 2)
            name->setText(kBorl);
        else if (p.number >= 3 && m_teamGame)
            name->setText(name->toolTip());
        else
            name->setText(kWaiting);
        m_eyes[p.number - 1]->hide();
    }
    loadchecklist();
}

void Tchat::justwatching(const QString& rest)
{
    const hostmessages::WatchChange change = hostmessages::readWatchChange(rest);
    if (change.seat > 4)
        return;
    if (change.seat == m_myseat)
        m_justWatch->setChecked(change.watching);
    const QString name = seatName(change.seat);
    addlinetochat(QStringLiteral("0+") + name +
                      (change.watching ? QStringLiteral(" is just watching") : QStringLiteral(" now playing again")),
                  kLime);
    m_eyes[change.seat - 1]->setVisible(change.watching);
}

void Tchat::JustWatch1Click()
{
    if (!m_isconnected || m_myseat > 4)
        return;
    send(protocol::encode("CMD_justwatch", {QString::number(m_myseat),
                                            m_justWatch->isChecked() ? QStringLiteral("2") : QStringLiteral("1")}));
}

void Tchat::seatContextMenu(int seat, const QPoint& globalPos)
{
    for (QAction* item : {m_removeFromGame, m_setToJustWatch, m_unsetJustWatch})
        item->setEnabled(m_ishost);
    const QString name = seatName(seat);
    if (name == kBorl || name == kWaiting)
        m_removeFromGame->setEnabled(false);
    m_popupSeat = seat;
    m_popupKick->popup(globalPos);
}

void Tchat::RemoveFromGame1Click()
{
    kicking(m_popupSeat);
}

void Tchat::SettoJustWatch1Click()
{
    if (m_isconnected && m_popupSeat >= 1 && m_popupSeat <= 4)
        send(protocol::encode("CMD_justwatch", {QString::number(m_popupSeat), QStringLiteral("1")}));
}

void Tchat::UnsetJustWatch1Click()
{
    if (m_isconnected && m_popupSeat >= 1 && m_popupSeat <= 4)
        send(protocol::encode("CMD_justwatch", {QString::number(m_popupSeat), QStringLiteral("2")}));
}

void Tchat::kicking(int number)
{
    if (m_ishost && m_isconnected)
        send(protocol::encode("CMD_kickhim", {QString::number(m_myseat), QString::number(number)},
                              protocol::Trailing::Yes));
}

void Tchat::loadchecklist()
{
    Ttallylist* tally = m_windows.tally;
    if (!tally)
        return;
    tally->clearChecklist();
    for (int seat = 1; seat <= 4; ++seat) {
        const QString name = seatName(seat);
        if (seat != m_myseat && name != kWaiting)
            tally->addToChecklist(name, tally->isTallied(name));
    }
}

} // namespace velmora
