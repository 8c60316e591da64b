// Rejoining a game after a lost connection: the session tries the host
// again at growing pauses, shows the token it was given, and rebuilds the
// board from what the host sends back.

#include "core/clientsession.h"
#include "protocol/extensions.h"

#include <algorithm>

namespace velmora {

namespace ext = protocol::ext;

namespace {

QString secondsText(int ms)
{
    return QStringLiteral("%1 s").arg(std::max(1, (ms + 999) / 1000));
}

} // namespace

void ClientSession::beginRejoining()
{
    m_attempt = 0;
    m_lostFor.start();
    setState(State::Rejoining);
    const std::optional<int> pause = m_schedule.pauseBefore(1, 0);
    emit systemLine(QStringLiteral("Connection to %1 lost; trying to rejoin in %2...")
                        .arg(m_addressTried, secondsText(pause.value_or(0))));
    scheduleAttempt();
}

void ClientSession::scheduleAttempt()
{
    if (const std::optional<int> pause = m_schedule.pauseBefore(m_attempt + 1, m_lostFor.elapsed()))
        m_retryTimer.start(*pause);
    else
        giveUp();
}

void ClientSession::startAttempt()
{
    ++m_attempt;
    m_linkEnd = LinkEnd::Lost;
    m_framer = Framer();
    m_inboundPump.discard(0);
    m_sock.disconnect(this);
    m_sock.close();
    wireSocket();
    m_attemptTimer.start(m_schedule.attemptTimeoutMs);
    if (const Result<bool> opened = m_sock.open(); !opened)
        attemptFailed(QString::fromStdString(opened.error()));
}

void ClientSession::attemptFailed(const QString& why)
{
    if (m_state != State::Rejoining)
        return;
    m_attemptTimer.stop();
    m_sock.disconnect(this);
    m_sock.close();
    const std::optional<int> pause = m_schedule.pauseBefore(m_attempt + 1, m_lostFor.elapsed());
    if (!pause) {
        emit systemLine(QStringLiteral("Rejoin attempt %1 failed: %2.").arg(m_attempt).arg(why));
        giveUp();
        return;
    }
    emit systemLine(QStringLiteral("Rejoin attempt %1 failed: %2; trying again in %3.")
                        .arg(m_attempt)
                        .arg(why, secondsText(*pause)));
    m_retryTimer.start(*pause);
}

void ClientSession::giveUp()
{
    m_retryTimer.stop();
    m_attemptTimer.stop();
    m_sock.disconnect(this);
    m_sock.close();
    m_rejoinToken.clear();
    setState(State::GivenUp);
    emit systemLine(QStringLiteral("Gave up rejoining %1 after %2 attempts. You are not connected.")
                        .arg(m_addressTried)
                        .arg(m_attempt));
}

// The host greeted the new connection with a slot of its own; we ask for
// ours back instead of logging in.
void ClientSession::askForSeat(int slot)
{
    m_myseat = slot;
    send(ext::toHost::Extensions{slot, ext::toHost::Extensions::ourFeatures()}.encode() +
             ext::toHost::Rejoin{slot, m_rejoinToken}.encode(),
         true);
}

void ClientSession::onRejoined(const ext::toClient::Rejoined& m)
{
    if (m_state != State::Rejoining)
        return;
    m_attemptTimer.stop();
    m_myseat = m.slot;
    // What follows is the game as it stands; it is shown, not told line by
    // line. The new token ends it.
    setState(State::CatchingUp);
    forgetGame();
}

void ClientSession::onRejoinRefused()
{
    if (m_state != State::Rejoining)
        return;
    m_attemptTimer.stop();
    m_rejoinToken.clear();
    emit systemLine(QStringLiteral("The host no longer keeps your seat; you join the game as a newcomer."));
    forgetGame();
    logIn(m_myseat);
}

void ClientSession::onRejoinToken(const QString& token)
{
    m_rejoinToken = token;
    if (m_state != State::CatchingUp)
        return;
    setState(State::LoggedIn);
    emit systemLine(isSpectator() ? QStringLiteral("Rejoined the game as a spectator.")
                                  : QStringLiteral("Rejoined the game in seat %1.").arg(m_myseat));
    emit rejoined();
}

void ClientSession::onSeatHeld(int seat, int seconds, const QString& name)
{
    SeatState& s = m_model.seat(seat);
    s.name = name;
    s.kind = SeatKind::Person;
    const QString kept = seconds == 1 ? QStringLiteral("1 second") : QStringLiteral("%1 seconds").arg(seconds);
    tell(QStringLiteral("%1 lost the connection; the seat is kept for %2.").arg(name, kept));
    emit seatChanged(seat);
    emit rosterChanged();
}

void ClientSession::onGameKind(bool team, bool points)
{
    m_model.teamGame = team;
    m_model.pointsGame = points;
    fillComputerSeats(team);
    emit gameKindChanged();
}

// The board as it was may be stale: every seat, spectator, mark and die is
// dropped before the host's account of the game comes in.
void ClientSession::forgetGame()
{
    const QList<Spectator> spectators = std::exchange(m_model.spectators, {});
    const int ownTurns = m_model.ownTurns;
    const int whoseturn = m_model.whoseturn;
    m_model = GameModel();
    // Kept to count our turns as a window that never lost the link did:
    // the turn the catch-up names was counted already if it had begun.
    m_model.ownTurns = ownTurns;
    m_model.whoseturn = whoseturn;
    for (const Spectator& s : spectators)
        emit spectatorLeft(s);
    for (int seat = 1; seat <= game::kSeats; ++seat) {
        emit seatChanged(seat);
        emit watchingChanged(seat);
        emit marksChanged(seat);
        emit pointsChanged(seat);
    }
    emit dartsCleared();
    emit rosterChanged();
}

} // namespace velmora
