#include "roster.h"

#include "protocol/tsock.h"

#include <QDebug>
#include <algorithm>

namespace velmora {

int Roster::freeSlot(const std::function<bool(int)>& isKept) const
{
    for (int s = 1; s <= m_highest; ++s) {
        if (!m_slots[s].connected && !isKept(s))
            return s;
    }
    return m_highest < game::kMaxConnections ? m_highest + 1 : 0;
}

int Roster::freeSpectatorSlot() const
{
    for (int s = game::kSeats + 1; s <= game::kMaxConnections; ++s) {
        if (!m_slots[s].connected)
            return s;
    }
    return 0;
}

void Roster::attach(int slot, TSock* sock)
{
    if (slot <= game::kMaxConnections)
        m_highest = std::max(m_highest, slot);
    Connection& c = m_slots[slot];
    if (c.sock)
        c.sock->deleteLater();
    c.sock = sock;
    c.connected = true;
    c.loggedIn = false;
    c.framer = Framer();
    c.chat = ChatBudget();
    c.id = ++m_lastId;
    c.knowsExtensions = false;
    c.heartbeat = false;
    c.leaving = false;
}

void Roster::moveConnection(int from, int to)
{
    if (from == to)
        return;
    Connection& moving = m_slots[from];
    Connection& target = m_slots[to];
    if (target.sock && target.sock != moving.sock)
        target.sock->deleteLater(); // the lost connection's closed socket
    target.sock = moving.sock;
    if (target.sock)
        target.sock->setTag(to);
    target.connected = moving.connected;
    target.loggedIn = false;
    target.framer = std::move(moving.framer);
    target.id = moving.id;
    target.chat = moving.chat;
    target.knowsExtensions = moving.knowsExtensions;
    target.heartbeat = moving.heartbeat;
    target.lastHeardMs = moving.lastHeardMs;
    target.leaving = false;
    moving = Connection();
    m_highest = std::max(m_highest, to);
}

int Roster::slotOf(quint64 id) const
{
    for (int s = 1; s <= m_highest; ++s) {
        if (m_slots[s].id == id && m_slots[s].connected)
            return s;
    }
    for (int s = SeatKeeper::kFirstWaitingSlot; s <= SeatKeeper::kLastWaitingSlot; ++s) {
        if (m_slots[s].id == id && m_slots[s].connected)
            return s;
    }
    return 0;
}

void Roster::sendTo(int slot, const QByteArray& message)
{
    const Connection& c = m_slots[slot];
    if (!c.connected || !c.sock || !c.sock->isConnected())
        return;
    if (const Status sent = c.sock->send(message); !sent)
        qWarning().noquote() << "velmora host: nothing sent to slot" << slot << "-"
                             << QString::fromStdString(sent.error());
}

bool Roster::reaches(int slot, Audience audience) const
{
    switch (audience) {
    case Audience::Everyone:
        return true;
    case Audience::Extended:
        return m_slots[slot].knowsExtensions;
    case Audience::Plain:
        return !m_slots[slot].knowsExtensions;
    }
    return false;
}

void Roster::sendToAll(const QByteArray& message, Audience audience)
{
    for (int s = 1; s <= m_highest; ++s) {
        if (reaches(s, audience))
            sendTo(s, message);
    }
}

void Roster::sendToOthers(int slot, const QByteArray& message, Audience audience)
{
    for (int s = 1; s <= m_highest; ++s) {
        if (s != slot && reaches(s, audience))
            sendTo(s, message);
    }
}

void Roster::sendToLoggedIn(const QByteArray& message)
{
    for (int s = 1; s <= m_highest; ++s) {
        if (m_slots[s].loggedIn)
            sendTo(s, message);
    }
}

void Roster::sendToSeats(const QByteArray& message)
{
    for (int s = 1; s <= std::min(m_highest, game::kSeats); ++s) {
        if (m_slots[s].loggedIn)
            sendTo(s, message);
    }
}

void Roster::sendToSpectators(const QByteArray& message, Audience audience)
{
    for (int s = game::kSeats + 1; s <= m_highest; ++s) {
        if (m_slots[s].loggedIn && reaches(s, audience))
            sendTo(s, message);
    }
}

} // namespace velmora
