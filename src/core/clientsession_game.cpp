// What the host tells the client: the roster, the turns and the boards.

#include "media/soundnames.h"
#include "core/clientsession.h"
#include "protocol/extensions.h"
#include "records/preferences.h"

#include <QDebug>
#include <utility>

namespace velmora {

using namespace protocol::toClient;

void ClientSession::onLoginInfo(const SendLoginInfo& m)
{
    switch (m_state) {
    case State::Rejoining:
        askForSeat(m.slot);
        return;
    case State::Closing:
        m_myseat = m.slot; // the link is gone: there is nobody to answer
        return;
    default:
        logIn(m.slot);
        return;
    }
}

void ClientSession::logIn(int slot)
{
    m_myseat = slot;
    setState(State::LoggedIn);
    // A second terminator follows the login, as every client of the game
    // sends it; the host takes it as an empty message. Then we say that we
    // know the game's own messages; a host that does not ignores it.
    send(protocol::toHost::LoginInfo{slot, QLatin1String(protocol::kVersion), m_loginName}.encode() +
         protocol::kTerminator +
         protocol::ext::toHost::Extensions{slot, protocol::ext::toHost::Extensions::ourFeatures()}.encode());
}

void ClientSession::onFull()
{
    // A full game may still have room for us a moment later: our seat is
    // kept, and its waiting places are contested.
    if (m_state == State::Rejoining) {
        attemptFailed(QStringLiteral("the game is full"));
        return;
    }
    emit reportRequested(QStringLiteral("Game is full"));
    leave();
    emit closeRequested();
}

void ClientSession::onParticipant(int slot, const QString& name)
{
    const bool me = slot == m_myseat;
    if (me) {
        tell(QStringLiteral("You are Connected."));
        tell(QStringLiteral("Click Ctrl-i for Quick Instructions."));
        if (!std::exchange(m_joinedOnce, true))
            emit joined();
    } else {
        tell(name + QStringLiteral(" is Connected."));
    }
    if (!rules::isSeat(slot)) {
        const Spectator spectator{slot, name};
        m_model.spectators.append(spectator);
        emit spectatorJoined(spectator);
        tell(me ? QStringLiteral("You are spying.") : name + QStringLiteral(" is spying."));
    } else {
        SeatState& seat = m_model.seat(slot);
        seat.name = name;
        seat.kind = SeatKind::Person;
        emit seatChanged(slot);
    }
    playSound(sounds::enteredName);
    emit rosterChanged();
}

void ClientSession::onDeparture(const PlayerDisconnected& m)
{
    if (m.slot == m_myseat) {
        // The host let us go: the window closes.
        leave();
        emit closeRequested();
        return;
    }
    if (!rules::isSeat(m.slot)) {
        const Spectator spectator{m.slot, m.name};
        if (m_model.spectators.removeOne(spectator)) {
            tell(m.name + QStringLiteral(" has left."));
            emit spectatorLeft(spectator);
        }
    } else {
        const SeatState& seat = m_model.seat(m.slot);
        if (seat.kind == SeatKind::Person)
            tell(seat.name + QStringLiteral(" disconnected."));
        m_model.vacate(m.slot);
        emit seatChanged(m.slot);
        emit watchingChanged(m.slot);
    }
    emit rosterChanged();
}

void ClientSession::onJustWatching(const JustWatching& m)
{
    SeatState& seat = m_model.seat(m.seat);
    seat.watching = m.watching;
    tell(seat.name + (m.watching ? QStringLiteral(" is just watching") : QStringLiteral(" now playing again")));
    emit watchingChanged(m.seat);
}

void ClientSession::onChatterSound(const SoundPlayed& m)
{
    if (m_prefs->chatterSounds) {
        if (const QString name = sounds::chatterSound(m.sound); !name.isEmpty())
            emit soundPlayed(name);
        return;
    }
    if (rules::isSeat(m.slot))
        tell(m_model.seat(m.slot).name + QStringLiteral(": <Chatter Sound> ") + sounds::chatterCaption(m.sound));
}

void ClientSession::clearBoard()
{
    m_model.clearBoard();
    for (int seat = 1; seat <= game::kSeats; ++seat) {
        emit marksChanged(seat);
        emit pointsChanged(seat);
        emit watchingChanged(seat);
    }
    emit dartsCleared();
}

void ClientSession::onGameStarted(const GameStarted& m)
{
    m_model.ownTurns = 0;
    clearBoard();
    m_model.teamGame = m.team;
    m_model.pointsGame = m.points;
    const QString starter = rules::isSeat(m.starter) ? m_model.seat(m.starter).name : QString();
    tell(starter + (m.team ? QStringLiteral(" has started a TEAM game.") : QStringLiteral(" has started a game.")));
    fillComputerSeats(m.team);
    emit gameStarted();
    emit rosterChanged();
}

// Empty seats that play fall to the computer.
void ClientSession::fillComputerSeats(bool team)
{
    for (int seat = 1; seat <= game::kSeats; ++seat) {
        SeatState& s = m_model.seat(seat);
        if (s.kind != SeatKind::Empty || !rules::computerPlays(seat, team))
            continue;
        s.kind = SeatKind::Computer;
        s.name = GameModel::computerName(seat);
        emit seatChanged(seat);
    }
}

void ClientSession::onNextPlayer(const NextPlayer& m)
{
    const bool repeated = m_state == State::CatchingUp && m_model.whoseturn == m.seat;
    m_model.whoseturn = m.seat;
    const bool mine = isMyTurn();
    if (mine && !repeated)
        ++m_model.ownTurns;
    emit turnChanged(m.seat);
    if (mine)
        playSound(sounds::turnSound(m_prefs->turnsound));
}

void ClientSession::onDice(const TheDart& m)
{
    m_model.throwDice(m.dice);
    emit diceThrown();
    playSound(sounds::diceName);
}

// The die lands by the game's own rules, as it did on the host: its dart is
// complete once all four of its places hold a die, whatever their order.
void ClientSession::onDiePlaced(const DiePlaced& m)
{
    const std::optional<rules::Landing> landing = rules::layDie(m_model.turn, {m.die, m.dart, m.place});
    if (!landing) {
        // A die that is not on the table or a place already taken: the host never sends one.
        qWarning().noquote() << "velmora: dropped a placement the board cannot take: die" << m.die << "dart" << m.dart
                             << "place" << m.place;
        return;
    }
    if (landing->dartComplete) {
        m_model.postDart(m.seat, m.result);
        emit marksChanged(m.seat);
    }
    m_model.darts[m.dart - 1] = m.result;
    emit diePlaced(m.seat, m.die, m.dart, m.place);
    if (!landing->dartComplete)
        return;
    emit dartCompleted(m.seat, m.dart, m.result);
    playSound(sounds::dartSound(m.result));
}

void ClientSession::onLoadBoard(const LoadBoard& m)
{
    SeatState& seat = m_model.seat(m.seat);
    seat.points = m.score;
    rules::marksOn(seat.marks, m.target) = m.marks;
    emit pointsChanged(m.seat);
    emit marksChanged(m.seat);
}

void ClientSession::onEndTurn(const TurnScore& m, bool partner)
{
    m_model.seat(m.seat).points = m.score;
    emit pointsChanged(m.seat);
    // The partner shares the marks of the turn that was just played.
    if (!partner) {
        emit turnScored(m.seat);
        return;
    }
    for (const DartResult& dart : m.darts)
        m_model.postDart(m.seat, dart);
    emit marksChanged(m.seat);
}

void ClientSession::onWinner(const Winner& m)
{
    playSound(sounds::winnerName);
    tell(m.line());
    emit winnerAnnounced(m.names, m.team());
}

} // namespace velmora
