// A turn on the board: the throw, the dice, the darts they make, and the end of a game.

#include "chatarea.h"
#include "client/board/dartboardpanel.h"
#include "client/board/dicepanel.h"
#include "client/board/picturelabel.h"
#include "client/board/readername.h"
#include "core/clientsession.h"
#include "core/spokenwords.h"
#include "tchat.h"

#include <QAction>
#include <QLabel>

namespace velmora {

namespace {

// The player's own turns so far: "Throws: 3" on the board, "Throws 3" said.
void showThrows(QLabel* label, int count)
{
    label->setText(QStringLiteral("Throws: %1").arg(count));
    setReaderName(label, QStringLiteral("Throws %1").arg(count));
}

} // namespace

void Tchat::onGameStarted()
{
    showThrows(m_labelRound, 0);
    m_dice->hideWinner();
    showGameKind();
}

void Tchat::showGameKind()
{
    const GameModel& model = m_session->model();
    m_labelTeamgame->setText(model.teamGame ? QStringLiteral("Team Game") : QString());
    for (const SeatWidgets& w : m_seats)
        w.points->setVisible(model.pointsGame);
    m_labelPoints->setVisible(model.pointsGame);
}

void Tchat::onTurnChanged(int seat)
{
    const bool mine = m_session->isMyTurn();
    m_dice->cancelDrag();
    m_dice->setOwnTurn(mine);
    if (mine)
        showThrows(m_labelRound, m_session->model().ownTurns);
    m_imageTurn->move(m_imageTurn->x(), m_seats[seat - 1].name->y());
    m_labelTurn->setText(mine ? QStringLiteral("Your Turn.") : seatName(seat) + QStringLiteral("'s turn."));
    m_dice->setThrowVisible(mine);
    m_dice->setAutoplaceVisible(false);
}

void Tchat::onThrowClicked()
{
    m_session->throwDarts();
    m_dice->setThrowVisible(false);
    m_dice->setAutoplaceVisible(true);
}

void Tchat::clearDarts()
{
    m_dice->cleardarts();
    m_chatArea->dartboard()->hideMarkers();
}

void Tchat::onDiceThrown()
{
    const auto& faces = m_session->model().turn.values;
    m_chatArea->dartboard()->hideMarkers();
    m_dice->loaddice(QList<int>(faces.begin(), faces.end()), [this](int k) { return int(m_random.bounded(k)); });
    if (m_session->throwAwaited())
        m_dice->setThrowVisible(true);
    // Dice thrown for the player (by the host, as he took his seat) are his to place.
    if (m_session->mayPlaceDice())
        m_dice->setAutoplaceVisible(true);
}

void Tchat::onDiePlaced(int seat, int die, int dart, int place)
{
    Q_UNUSED(seat);
    const DartResult& result = m_session->model().darts[dart - 1];
    if (rules::allPlaced(m_session->model().turn.places)) {
        m_dice->setAutoplaceVisible(false);
        m_labelTurn->clear();
    }
    m_dice->setDartLabel(dart, result.isEmpty() ? QStringLiteral("0") : QString::fromStdString(result.text()),
                         spoken::dartResult(result));
    m_dice->placeDie(die, dart, place);
}

void Tchat::onDartCompleted(int seat, int dart, const DartResult& result)
{
    Q_UNUSED(seat);
    m_chatArea->dartboard()->showDart(dart, result);
}

void Tchat::onWinner(const QString& names)
{
    m_dice->setAutoplaceVisible(false);
    m_dice->setThrowVisible(false);
    m_dice->showWinner(names);
    if (m_session->isHost())
        m_dice->setStartVisible(true);
}

} // namespace velmora
