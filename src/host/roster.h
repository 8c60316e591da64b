#pragma once

#include "chatbudget.h"
#include "game/constants.h"
#include "protocol/framer.h"
#include "seatkeeper.h"

#include <QByteArray>
#include <QString>
#include <array>
#include <functional>

namespace velmora {

class TSock;

// The host's connections by slot number: slots 1..4 hold the seats, 5..9
// spectators, and the slots from 10 on the connections that wait aside in a
// full game while a seat is kept (see SeatKeeper). A kept seat's slot is
// not free; a newcomer who finds no free slot and no kept seat is refused. A leaving connection's slot goes to the next
// arrival, lowest number first. Nothing is broadcast to a waiting slot.
class Roster {
public:
    struct Connection {
        QString name; // the login name; empty until the connection logs in
        bool connected = false;
        bool loggedIn = false; // it has sent its login and had its catch-up
        TSock* sock = nullptr; // owned by the listener
        Framer framer;
        quint64 id = 0; // which connection holds the slot now
        ChatBudget chat;
        bool knowsExtensions = false; // it announced the game's own messages
        bool heartbeat = false;       // it answers pings, and goes when it falls silent
        bool leaving = false;         // its player chose to go: nothing is held for him
        qint64 lastHeardMs = 0;       // on the host's clock
    };
    // Who a message goes to: everybody, only the peers that know the game's
    // own messages, or only those that do not.
    enum class Audience { Everyone, Extended, Plain };

    // The number a waiting connection is greeted with, whichever waiting
    // slot it is in.
    static constexpr int kTransitSlot = protocol::ext::kTransitSlot;

    const Connection& operator[](int slot) const { return m_slots[slot]; }
    Connection& operator[](int slot) { return m_slots[slot]; }
    // The highest slot handed out so far; it never goes down.
    int highestSlot() const { return m_highest; }
    // The slot for a new connection, or 0 when the game is full. A seat
    // that `isKept` is not free.
    int freeSlot(const std::function<bool(int)>& isKept) const;
    // The lowest spectator's slot with nobody in it, or 0.
    int freeSpectatorSlot() const;
    // Puts a new connection into a slot, releasing the closed socket of
    // whoever held it before.
    void attach(int slot, TSock* sock);
    // The slot a connection still holds; 0 once it has gone or its slot
    // belongs to a newcomer.
    int slotOf(quint64 id) const;
    // Moves a connection that has not logged in to another slot (a rejoin):
    // its socket, its unread bytes and its identity go along, the slot it
    // leaves is free, and the one it takes keeps its name.
    void moveConnection(int from, int to);

    // Sending goes only to slots whose connection is present.
    void sendTo(int slot, const QByteArray& message);
    void sendToAll(const QByteArray& message, Audience audience = Audience::Everyone);
    void sendToOthers(int slot, const QByteArray& message, Audience audience = Audience::Everyone);
    // The turn's messages go to connections that have logged in: a newcomer
    // learns the turn from its catch-up at login, and only once.
    void sendToLoggedIn(const QByteArray& message);
    // The same, for the seats only: spectators are not told whose turn it is.
    void sendToSeats(const QByteArray& message);
    // Spectators that have logged in, of the audience given.
    void sendToSpectators(const QByteArray& message, Audience audience);

private:
    bool reaches(int slot, Audience audience) const;

    std::array<Connection, SeatKeeper::kLastWaitingSlot + 1> m_slots; // [0] unused
    int m_highest = 0;
    quint64 m_lastId = 0;
};

} // namespace velmora
