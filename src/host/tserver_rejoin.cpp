// Rejoining after a lost connection: the seat of a player whose connection
// drops during a game waits for him a while, played by the computer, and
// only a connection that shows the token he was given takes it back. The
// heartbeat finds the connections that went quiet without closing.

#include "protocol/catalogue.h"
#include "protocol/extensions.h"
#include "tserver.h"

#include <QDebug>

namespace velmora {

namespace ext = protocol::ext;
namespace toClient = protocol::toClient;

void TServer::setUpRejoinDispatch()
{
    auto& d = m_dispatcher;
    d.on<ext::toHost::Extensions>(
        [this](int from, const QString& text, const auto& m) { onExtensions(from, text, m); });
    d.on<ext::toHost::Rejoin>([this](int from, const QString& text, const auto& m) { onRejoin(from, text, m); });
    d.on<ext::toHost::Leaving>([this](int from, const QString& text, const auto& m) {
        if (speaksFor(from, m.slot, text))
            m_roster[from].leaving = true;
    });
    // Hearing it is all that matters: any bytes keep a connection alive.
    d.on<ext::toHost::Pong>([](int, const QString&, const auto&) {});
}

void TServer::onExtensions(int from, const QString& text, const ext::toHost::Extensions& m)
{
    Roster::Connection& c = m_roster[from];
    if (!speaksFor(from, m.slot, text) || !m.knowsRejoin() || c.knowsExtensions)
        return;
    c.knowsExtensions = true;
    c.heartbeat = m.knows(ext::kHeartbeatFeature);
    if (c.heartbeat && !m_heartbeat.isActive() && !m_saidGoodbye)
        m_heartbeat.start();
    if (c.loggedIn)
        welcomeExtended(from);
}

// Every look drops the peers that have been silent too long, as if their
// connection had been reset; every second look pings the rest, which keeps
// them, and their windows, hearing from each other.
void TServer::onHeartbeat()
{
    const bool ping = (++m_heartbeatLooks % 2) == 0;
    bool anyLeft = false;
    for (int s = 1; s <= m_roster.highestSlot(); ++s) {
        const Roster::Connection& c = m_roster[s];
        if (!c.connected || !c.heartbeat)
            continue;
        if (m_clock.elapsed() - c.lastHeardMs > m_silenceLimitMs) {
            qWarning().noquote() << "velmora host: the connection in slot" << s << "went silent; taking it as lost";
            dropConnection(s, CloseReason::Reset);
            continue;
        }
        anyLeft = true;
        if (ping)
            m_roster.sendTo(s, ext::toClient::Ping{}.encode());
    }
    if (!anyLeft)
        m_heartbeat.stop();
}

void TServer::welcomeExtended(int slot)
{
    for (int seat = 1; seat <= game::kSeats; ++seat) {
        if (m_keeper.isHeld(seat))
            m_roster.sendTo(
                slot, ext::toClient::SeatHeld{seat, m_keeper.secondsLeft(seat), m_keeper.heldName(seat)}.encode());
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
    if (!m_roster[slot].knowsExtensions || m_keeper.graceSeconds() == 0)
        return;
    m_roster.sendTo(slot, ext::toClient::RejoinToken{m_keeper.issueToken(slot)}.encode());
}

// Only a seated player of a running game who was given a token, and whose
// connection was lost rather than closed by his choice or for breaking the
// rules, has his seat kept.
bool TServer::mayHold(int slot, CloseReason reason) const
{
    const Roster::Connection& c = m_roster[slot];
    if (m_keeper.graceSeconds() == 0 || slot > game::kSeats || !c.loggedIn || m_keeper.token(slot).isEmpty() ||
        c.leaving || !m_engine.isRunning() || m_saidGoodbye)
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
    const int grace = m_keeper.graceSeconds();
    // Peers that do not know holds see the departure they always saw; ours
    // see the seat kept, and for how long.
    m_roster.sendToOthers(slot, toClient::PlayerDisconnected{slot, c.name}.encode(), Roster::Audience::Plain);
    m_roster.sendToOthers(slot, ext::toClient::SeatHeld{slot, grace, c.name}.encode(), Roster::Audience::Extended);
    c.connected = false;
    c.loggedIn = false;
    m_keeper.hold(slot, c.name, m_chatHistory.mark());
    m_inboundPump.discard(c.id);
    m_engine.holdSeat(slot);
    emit seatHeld(slot, c.name, grace);
    // The computer goes on with his turn at its own pace, so that he can
    // take it up where it stands if he is back in time.
    if (slot == m_engine.currentSeat())
        m_pacer.resume();
}

void TServer::releaseHeldSeat(int slot)
{
    const QString name = m_keeper.heldName(slot);
    if (!m_keeper.release(slot))
        return;
    m_roster[slot].name.clear();
    m_keeper.forgetToken(slot);
    m_engine.releaseHold(slot);
    // The others who know holds learn now what the rest learnt at the loss.
    m_roster.sendToAll(toClient::PlayerDisconnected{slot, name}.encode(), Roster::Audience::Extended);
    emit departed(slot, name);
}

int TServer::admitWaiting()
{
    const SeatKeeper::WaitingPlace place = m_keeper.admitWaiting();
    if (place.evicted != 0) {
        // Made room for the newcomer: the oldest waiting connection goes.
        TSock* sock = m_roster[place.evicted].sock;
        m_roster[place.evicted] = Roster::Connection{};
        if (sock) {
            sock->disconnect(this);
            if (const Status sent = sock->send(toClient::Full{}.encode()); !sent)
                qWarning().noquote() << "velmora host: \"Game is full\" not sent:"
                                     << QString::fromStdString(sent.error());
            sock->close();
            sock->deleteLater();
        }
    }
    return place.slot;
}

// A waiting connection is heard at once, not at the queue's pace: all it
// may say is the rejoin, and it must not lose its place while the rejoin
// waits in the queue behind other connections' messages.
void TServer::receiveWhileWaiting(int slot, const QByteArray& bytes)
{
    Roster::Connection& c = m_roster[slot];
    const quint64 id = c.id;
    QList<QByteArray> messages;
    if (!c.framer.feed(bytes, [&messages](QByteArray message) { messages.append(std::move(message)); })) {
        letWaitingGo(slot);
        return;
    }
    for (const QByteArray& message : std::as_const(messages)) {
        const int now = m_roster.slotOf(id);
        if (now == 0)
            return;
        if (!SeatKeeper::isWaitingSlot(now)) {
            // Seated by its rejoin: the rest takes the usual road.
            if (!m_inboundPump.push(message, id))
                dropConnection(now, CloseReason::InputBoundExceeded);
            continue;
        }
        const QString text = protocol::fromWire(message.left(protocol::kMaxEntryLength));
        if (!isRejoinTraffic(text)) {
            letWaitingGo(now);
            return;
        }
        onMessage({text, id});
    }
}

bool TServer::isRejoinTraffic(const QString& text)
{
    return text.isEmpty() || text.startsWith(QLatin1String(ext::toHost::Extensions::kCommand)) ||
           text.startsWith(QLatin1String(ext::toHost::Rejoin::kCommand));
}

// The place is free at once; the connection goes as soon as its "full" is out.
void TServer::letWaitingGo(int slot)
{
    m_keeper.leaveWaiting(slot);
    if (!SeatKeeper::isWaitingSlot(slot) || !m_roster[slot].connected)
        return;
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
    if (const int seat = m_keeper.seatFor(m.token)) {
        if (m_roster[seat].connected)
            supersede(seat);
        rejoinSeat(from, seat);
        return;
    }
    if (const auto spectator = m_keeper.takeSpectator(m.token)) {
        rejoinAsSpectator(from, *spectator);
        return;
    }
    // From a waiting place there is no seat to log in to instead.
    if (SeatKeeper::isWaitingSlot(from))
        letWaitingGo(from);
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
    m_keeper.hold(slot, c.name, m_chatHistory.mark());
    m_inboundPump.discard(c.id);
    m_engine.holdSeat(slot);
}

void TServer::rejoinSeat(int from, int seat)
{
    const QString name = m_keeper.heldName(seat);
    const quint64 chatMark = m_keeper.chatMark(seat);
    m_keeper.release(seat);
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
    tellWhatWasSaid(seat, chatMark);
    emit rejoined(seat, name);
}

void TServer::rejoinAsSpectator(int from, const SeatKeeper::Spectator& spectator)
{
    int slot = from;
    if (from <= game::kSeats || SeatKeeper::isWaitingSlot(from)) {
        const int free = m_roster.freeSpectatorSlot();
        if (free == 0 && SeatKeeper::isWaitingSlot(from)) {
            letWaitingGo(from);
            return;
        }
        if (free != 0) {
            m_roster.moveConnection(from, free);
            leaveTransitSlot(from);
            slot = free;
        }
    }
    m_roster.sendTo(slot, ext::toClient::Rejoined{slot}.encode());
    announceArrival(slot, spectator.name);
    if (m_engine.isRunning())
        m_announcer.bringUpToDate(slot);
    welcomeExtended(slot);
    tellWhatWasSaid(slot, spectator.chatMark);
    emit rejoined(slot, spectator.name);
}

// After the catch-up, as they went out: the window shows them as news.
void TServer::tellWhatWasSaid(int slot, quint64 since)
{
    for (const QByteArray& line : m_chatHistory.since(since))
        m_roster.sendTo(slot, line);
}

// The slot a rejoining connection was accepted into is free again; nobody
// heard of it. If it was a seat the computer was playing, the computer goes on.
void TServer::leaveTransitSlot(int from)
{
    if (SeatKeeper::isWaitingSlot(from)) {
        m_keeper.leaveWaiting(from);
        return;
    }
    if (from > game::kSeats)
        return;
    m_engine.leaveSeat(from);
    if (from == m_engine.currentSeat())
        m_pacer.resume();
}

} // namespace velmora
