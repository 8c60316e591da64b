// The score boards, the turn results and the end of a game.

#include "client/board/boardrules.h"
#include "client/board/dicepanel.h"
#include "client/board/scoregrid.h"
#include "hostmessages.h"
#include "tchat.h"
#include "windows/tallylistform.h"

#include <QLabel>

namespace velmora {

void Tchat::postscore(int seat, const QString& value)
{
    board::postscore(m_scoreboard[seat - 1], value);
    redrawScoreboard(seat);
}

void Tchat::redrawScoreboard(int seat)
{
    m_grid[seat - 1]->setMarks(m_scoreboard[seat - 1]);
}

void Tchat::loadboard(const QString& rest)
{
    const hostmessages::BoardSnapshot snapshot = hostmessages::readBoardSnapshot(rest);
    m_score[snapshot.seat - 1]->setText(snapshot.score);
    rules::marksOn(m_scoreboard[snapshot.seat - 1], snapshot.target) = snapshot.marks;
    redrawScoreboard(snapshot.seat);
}

void Tchat::endturn(const QString& rest)
{
    const hostmessages::TurnResult result = hostmessages::readTurnResult(rest);
    m_score[result.seat - 1]->setText(QString::number(result.score));
}

void Tchat::tendturn(const QString& rest)
{
    const hostmessages::TurnResult result = hostmessages::readTurnResult(rest);
    m_score[result.seat - 1]->setText(QString::number(result.score));
    for (const QString& dart : result.darts)
        postscore(result.seat, dart);
}

void Tchat::winner(const QString& rest)
{
    const QString& text = rest;
    const bool team = text.contains(QLatin1String(" and "));
    playsounds(QStringLiteral("winner"));
    m_dice->setAutoplaceVisible(false);
    m_dice->setThrowVisible(false);
    addlinetochat(QStringLiteral("0+") + text +
                      (team ? QStringLiteral(" have Won the Game!") : QStringLiteral(" has Won the Game!")),
                  kLime);
    m_dice->showWinner(text);
    if (m_ishost)
        m_dice->setStartVisible(true);

    Ttallylist* tally = m_windows.tally;
    if (tally && m_myseat >= 1 && m_myseat <= 4 && !tally->checklist().isEmpty() && !team)
        tally->addgame(text == seatName(m_myseat) ? QStringLiteral("addtomine") : text);
}

} // namespace velmora
