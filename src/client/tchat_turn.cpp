// A turn on the client: the throw, the dice, and the darts they make.

#include "client/board/dartboardpanel.h"
#include "client/board/dicepanel.h"
#include "client/board/scoregrid.h"
#include "hostmessages.h"
#include "protocol/message.h"
#include "tchat.h"
#include "windows/tallylistform.h"

#include <QAction>
#include <QLabel>

namespace velmora {

void Tchat::clearall()
{
    m_scoreboard = {};
    for (int seat = 1; seat <= 4; ++seat) {
        m_eyes[seat - 1]->hide();
        redrawScoreboard(seat);
        m_score[seat - 1]->setText(QStringLiteral("0"));
    }
    m_justWatch->setChecked(false);
    cleardarts();
}

void Tchat::cleardarts()
{
    m_dice->cleardarts();
    m_dartboard->hideMarkers();
}

void Tchat::startthegame(const QString& rest)
{
    const hostmessages::GameStart start = hostmessages::readGameStart(rest);
    m_throws = 0;
    m_labelRound->setText(QStringLiteral("Throws: 0"));
    m_dice->hideWinner();
    clearall();

    const QString starter = start.starter <= 4 ? seatName(start.starter) : QString();
    m_teamGame = start.team;
    if (!start.team) {
        m_labelTeamgame->clear();
        addlinetochat(QStringLiteral("0+") + starter + QStringLiteral(" has started a game."), kLime);
    } else {
        m_labelTeamgame->setText(QStringLiteral("Team Game"));
        addlinetochat(QStringLiteral("0+") + starter + QStringLiteral(" has started a TEAM game."), kLime);
        for (int seat : {3, 4}) {
            QLabel* name = m_playerName[seat - 1];
            if (name->text() == QLatin1String("<Waiting>"))
                name->setText(name->toolTip());
        }
    }
    const bool points = start.points != QLatin1String("0");
    for (QLabel* score : m_score)
        score->setVisible(points);
    m_labelPoints->setVisible(points);
    if (seatName(2) == QLatin1String("<Waiting>"))
        m_playerName[1]->setText(QStringLiteral("Borl"));
    loadchecklist();
}

void Tchat::getnextplayer(const QString& rest)
{
    const int seat = hostmessages::readSeat(rest);
    m_dice->cancelDrag();
    m_whoseturn = seat;
    const bool mine = seat == m_myseat;
    m_dice->setOwnTurn(mine);
    if (mine)
        m_labelRound->setText(QStringLiteral("Throws: %1").arg(++m_throws));
    m_imageTurn->move(m_imageTurn->x(), m_playerName[seat - 1]->y());
    if (mine) {
        playsounds(m_turnSound == 1 ? QStringLiteral("turnnew") : QStringLiteral("turn"));
        m_labelTurn->setText(QStringLiteral("Your Turn."));
    } else {
        m_labelTurn->setText(seatName(seat) + QStringLiteral("'s turn."));
    }
    m_dice->setThrowVisible(mine);
    m_dice->setAutoplaceVisible(false);
}

void Tchat::button_throwdartsClick()
{
    cleardarts();
    send(protocol::encode("CMD_throwdarts", {QString::number(m_myseat)}));
    m_dice->setThrowVisible(false);
    m_dice->setAutoplaceVisible(true);
}

void Tchat::loaddice(const QString& rest)
{
    const QList<int> values = hostmessages::readDice(rest);
    cleardarts();
    m_dice->setThrowVisible(false);
    m_dice->loaddice(values, [this](int k) { return int(m_random.bounded(k)); });
    playsounds(QStringLiteral("dice1"));
}

void Tchat::requestPlacement(int die, int dart, int slot)
{
    if (m_whoseturn != m_myseat || !m_isconnected)
        return;
    send(protocol::encode("CMD_placedice", {QString::number(m_myseat), QString::number(die), QString::number(dart),
                                            QString::number(slot)}));
}

void Tchat::requestAutoplace()
{
    if (m_whoseturn == m_myseat && m_isconnected)
        send(protocol::encode("CMD_autoplace", {QString::number(m_myseat)}));
}

void Tchat::placedice(const QString& rest)
{
    const hostmessages::DiePlaced placed = hostmessages::readDiePlaced(rest);
    const bool dartComplete = placed.slot == 4;
    if (dartComplete) {
        postscore(placed.seat, placed.value);
        if (placed.dart == 3) {
            m_dice->setAutoplaceVisible(false);
            m_labelTurn->clear();
        }
    }
    m_dice->setDartLabel(placed.dart, placed.value);
    m_dice->placeDie(placed.die, placed.dart, placed.slot);
    if (!dartComplete)
        return;

    const QString sound = m_dartboard->showDart(placed.dart, placed.value);
    playsounds(sound);
    if (sound == QLatin1String("dbull") && placed.seat == m_myseat && m_windows.tally &&
        !m_windows.tally->checklist().isEmpty())
        m_windows.tally->countDoubleBull();
}

} // namespace velmora
