// Rejoining after a lost connection: the seat of a player whose connection
// drops during a game waits for him a while, played by the computer, and
// only a connection that shows the token he was given takes it back.

#include "protocol/catalogue.h"
#include "protocol/extensions.h"
#include "tserver.h"

#include <QDebug>
#include <QRandomGenerator>

namespace velmora {

namespace ext = protocol::ext;
namespace toClient = protocol::toClient;

namespace {

QString newToken()
{
    quint32 words[4];
    QRandomGenerator::system()->fillRange(words);
    QString token;
    for (quint32 w : words)
        token += QStringLiteral("%1").arg(w, 8, 16, QLatin1Char('0'));
    return token;
}

} // namespace

void TServer::setUpRejoinDispatch()
{
    auto& d = m_dispatcher;
    d.on<ext::toHost::Extensions>([this](int from, const QString& text, const auto& m) {
        Roster::Connection& c = m_roster[from];
        if (!speaksFor(from, m.slot, text) || !m.knowsRejoin() || c.knowsExtensions)
            return;
        c.knowsExtensions = true;
        if (c.loggedIn)
            welcomeExtended(from);
    });
    d.on<ext::toHost::Rejoin>([this](int from, const QString& text, const auto& m) { onRejoin(from, text, m); });
    d.on<ext::toHost::Leaving>([this](int from, const QString& text, const auto& m) {
        if (speaksFor(from, m.slot, text))
            m_roster[from].leaving = true;
    });
}

void TServer::setRejoinGrace(int seconds)
{
    m_rejoinGraceSeconds = std::clamp(seconds, 0, ext::kMaxHoldSeconds);
}

int TServer::holdSecondsLeft(int slot) const
{
    if (slot < 1 || slot > game::kSeats || !m_roster[slot].held)
        return 0;
    const qint64 ms = m_roster[slot].holdEnds.remainingTime();
    return int((ms + 999) / 1000);
}

void TServer::welcomeExtended(int slot)
{
    for (int seat = 1; seat <= game::kSeats; ++seat) {
        if (m_roster[seat].held)
            m_roster.sendTo(slot, ext::toClient::SeatHeld{seat, holdSecondsLeft(seat), m_roster[seat].name}.encode());
    }
    if (m_engine.isRunning()) {
        m_roster.sendTo(slot, ext::toClient::GameKind{m_engine.isTeamGame(), m_engine.isPointsGame()}.encode());
        for (int seat = 1; seat <= game::kSeats; ++seat) {
            if (m_engine.seat(seat).watching)
                m_roster.sendTo(slot, toClient::JustWatching{seat, true}.encode());
        }
    }
    giveToken(slot);
}

void TServer::giveToken(int slot)
{
    Roster::Connection& c = m_roster[slot];
    if (!c.knowsExtensions || m_rejoinGraceSeconds == 0)
        return;
    c.token = newToken();
    m_roster.sendTo(slot, ext::toClient::RejoinToken{c.token}.encode());
}

// Only a seated player of a running game who was given a token, and whose
// connection was lost rather than closed by his choice or for breaking the
// rules, has his seat kept.
bool TServer::mayHold(int slot, CloseReason reason) const
{
    const Roster::Connection& c = m_roster[slot];
    if (m_rejoinGraceSeconds == 0 || slot > game::kSeats || !c.loggedIn || c.token.isEmpty() || c.leaving ||
        !m_engine.isRunning())
        return false;
    switch (reason) {
    case CloseReason::ClosedByPeer:
    case CloseReason::Reset:
    case CloseReason::OutputBoundExceeded:
        return true;
    case CloseReason::ClosedHere:
    case CloseReason::FramingBroken:
    case CloseReason::InputBoundExceeded:
        return false;
    }
    return false;
}

void TServer::holdSeat(int slot)
{
    Roster::Connection& c = m_roster[slot];
    // Peers that do not know holds see the departure they always saw; ours
    // see the seat kept, and for how long.
    m_roster.sendToOthers(slot, toClient::PlayerDisconnected{slot, c.name}.encode(), Roster::Audience::Plain);
    m_roster.sendToOthers(slot, ext::toClient::SeatHeld{slot, m_rejoinGraceSeconds, c.name}.encode(),
                          Roster::Audience::Extended);
    c.connected = false;
    c.loggedIn = false;
    c.held = true;
    c.holdEnds = QDeadlineTimer(qint64(m_rejoinGraceSeconds) * 1000);
    m_inboundPump.discard(c.id);
    m_engine.holdSeat(slot);
    emit seatHeld(slot, c.name, m_rejoinGraceSeconds);
    // The computer goes on with his turn at its own pace, so that he can
    // take it up where it stands if he is back in time.
    if (slot == m_engine.currentSeat())
        m_pacer.resume();
    armHoldTimer();
}

void TServer::releaseHeldSeat(int slot)
{
    Roster::Connection& c = m_roster[slot];
    if (!c.held)
        return;
    const QString name = c.name;
    c.held = false;
    c.name.clear();
    c.token.clear();
    m_engine.releaseHold(slot);
    // The others who know holds learn now what the rest learnt at the loss.
    m_roster.sendToAll(toClient::PlayerDisconnected{slot, name}.encode(), Roster::Audience::Extended);
    emit departed(slot, name);
    armHoldTimer();
}

void TServer::releaseExpiredHolds()
{
    for (int seat = 1; seat <= game::kSeats; ++seat) {
        if (m_roster[seat].held && m_roster[seat].holdEnds.hasExpired())
            releaseHeldSeat(seat);
    }
    armHoldTimer();
}

void TServer::armHoldTimer()
{
    qint64 next = -1;
    for (int seat = 1; seat <= game::kSeats; ++seat) {
        if (!m_roster[seat].held)
            continue;
        const qint64 left = m_roster[seat].holdEnds.remainingTime();
        if (next < 0 || left < next)
            next = left;
    }
    if (next < 0)
        m_holdTimer.stop();
    else
        m_holdTimer.start(int(std::min<qint64>(next, ext::kMaxHoldSeconds * qint64(1000))));
}

// A spectator has nothing to keep, but may come back as a spectator.
void TServer::rememberSpectator(int slot)
{
    const Roster::Connection& c = m_roster[slot];
    m_returningSpectators.removeIf([](const ReturningSpectator& r) { return r.until.hasExpired(); });
    if (slot <= game::kSeats || c.token.isEmpty() || c.leaving || m_rejoinGraceSeconds == 0)
        return;
    if (m_returningSpectators.size() >= game::kMaxConnections - game::kSeats)
        m_returningSpectators.removeFirst();
    m_returningSpectators.append({c.token, c.name, QDeadlineTimer(qint64(m_rejoinGraceSeconds) * 1000)});
}

int TServer::heldSeatFor(const QString& token) const
{
    for (int seat = 1; seat <= game::kSeats; ++seat) {
        const Roster::Connection& c = m_roster[seat];
        if ((c.held || c.loggedIn) && !c.token.isEmpty() && c.token == token)
            return seat;
    }
    return 0;
}

void TServer::expectRejoin(TSock* sock)
{
    constexpr int kRejoinWithinMs = 10000;
    const quint64 id = m_roster[Roster::kTransitSlot].id;
    QTimer::singleShot(kRejoinWithinMs, sock, [this, id] {
        if (m_roster.slotOf(id) == Roster::kTransitSlot)
            refuseAsFull(Roster::kTransitSlot);
    });
}

bool TServer::isRejoinTraffic(const QString& text)
{
    return text.isEmpty() || text.startsWith(QLatin1String(ext::toHost::Extensions::kCommand)) ||
           text.startsWith(QLatin1String(ext::toHost::Rejoin::kCommand));
}

void TServer::refuseAsFull(int slot)
{
    m_roster.sendTo(slot, toClient::Full{}.encode());
    dropConnection(slot, CloseReason::ClosedHere);
}

void TServer::onRejoin(int from, const QString& text, const ext::toHost::Rejoin& m)
{
    if (!speaksFor(from, m.slot, text))
        return;
    Roster::Connection& c = m_roster[from];
    if (c.loggedIn) {
        qWarning().noquote() << "velmora host: dropped a rejoin on a connection that has logged in:" << text.left(120);
        return;
    }
    c.knowsExtensions = true;
    if (const int seat = heldSeatFor(m.token)) {
        if (m_roster[seat].connected)
            supersede(seat);
        rejoinSeat(from, seat);
        return;
    }
    for (qsizetype i = 0; i < m_returningSpectators.size(); ++i) {
        const ReturningSpectator r = m_returningSpectators[i];
        if (r.token == m.token && !r.until.hasExpired()) {
            m_returningSpectators.removeAt(i);
            rejoinAsSpectator(from, r.name);
            return;
        }
    }
    // From the transit slot there is no seat to log in to instead.
    if (from == Roster::kTransitSlot)
        refuseAsFull(from);
    else
        m_roster.sendTo(from, ext::toClient::RejoinRefused{}.encode());
}

// The player is back before the host noticed his old connection go (a
// sleeping laptop, say): the old one is let go without a word, as if lost.
void TServer::supersede(int slot)
{
    Roster::Connection& c = m_roster[slot];
    if (c.sock) {
        c.sock->disconnect(this);
        c.sock->close();
    }
    c.connected = false;
    c.loggedIn = false;
    c.held = true;
    m_inboundPump.discard(c.id);
    m_engine.holdSeat(slot);
}

void TServer::rejoinSeat(int from, int seat)
{
    const QString name = m_roster[seat].name;
    m_roster.moveConnection(from, seat);
    leaveTransitSlot(from);
    m_roster.sendTo(seat, ext::toClient::Rejoined{seat}.encode());
    // Back in his seat: a computer step already armed finds him there and
    // does nothing, so he goes on from where the turn stands.
    m_engine.takeSeat(seat);
    announceArrival(seat, name);
    if (m_engine.isRunning())
        m_announcer.bringUpToDate(seat);
    if (m_engine.seat(seat).watching)
        m_roster.sendToOthers(seat, toClient::JustWatching{seat, true}.encode(), Roster::Audience::Plain);
    welcomeExtended(seat);
    armHoldTimer();
    emit rejoined(seat, name);
}

void TServer::rejoinAsSpectator(int from, const QString& name)
{
    int slot = from;
    if (from <= game::kSeats || from == Roster::kTransitSlot) {
        const int free = m_roster.freeSpectatorSlot();
        if (free == 0 && from == Roster::kTransitSlot) {
            refuseAsFull(from);
            return;
        }
        if (free != 0) {
            m_roster.moveConnection(from, free);
            leaveTransitSlot(from);
            slot = free;
        }
    }
    m_roster.sendTo(slot, ext::toClient::Rejoined{slot}.encode());
    announceArrival(slot, name);
    if (m_engine.isRunning())
        m_announcer.bringUpToDate(slot);
    welcomeExtended(slot);
    emit rejoined(slot, name);
}

// The slot a rejoining connection was accepted into is free again; nobody
// heard of it. If it was a seat the computer was playing, the computer goes on.
void TServer::leaveTransitSlot(int from)
{
    if (from > game::kSeats)
        return;
    m_engine.leaveSeat(from);
    if (from == m_engine.currentSeat())
        m_pacer.resume();
}

} // namespace velmora
