#include "roster.h"

#include "protocol/tsock.h"

#include <algorithm>

namespace velmora {

int Roster::freeSlot() const
{
    for (int s = 1; s <= m_highest; ++s) {
        if (!m_slots[s].connected)
            return s;
    }
    return m_highest < game::kMaxConnections ? m_highest + 1 : 0;
}

void Roster::attach(int slot, TSock* sock)
{
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
}

int Roster::slotOf(quint64 id) const
{
    for (int s = 1; s <= m_highest; ++s) {
        if (m_slots[s].id == id && m_slots[s].connected)
            return s;
    }
    return 0;
}

void Roster::sendTo(int slot, const QByteArray& message)
{
    const Connection& c = m_slots[slot];
    if (c.connected && c.sock && c.sock->isConnected())
        c.sock->send(message);
}

void Roster::sendToAll(const QByteArray& message)
{
    for (int s = 1; s <= m_highest; ++s)
        sendTo(s, message);
}

void Roster::sendToOthers(int slot, const QByteArray& message)
{
    for (int s = 1; s <= m_highest; ++s) {
        if (s != slot)
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

} // namespace velmora
