#pragma once

#include "game/constants.h"
#include "protocol/extensions.h"

#include <QDeadlineTimer>
#include <QList>
#include <QObject>
#include <QString>
#include <QTimer>
#include <array>
#include <optional>

namespace velmora {

// What a lost connection leaves behind, and who may take it back: the one
// owner of the tokens our windows were given, the seats kept for players
// whose connection was lost (and until when), the spectators who may come
// back as spectators, and the connections that wait aside in a full game for
// the chance to show a token. One timer serves every deadline.
//
// A full game keeps several waiting places. A newcomer is always let in to
// one, the oldest waiting connection making room when all are taken, and
// each has a few seconds to show its token; the host reads what a waiting
// connection says as soon as it arrives. So whatever a hostile peer opens
// and holds, a returning player's connection is the newest, and it is seated
// one round trip after its greeting.
class SeatKeeper : public QObject {
    Q_OBJECT
public:
    static constexpr int kFirstWaitingSlot = protocol::ext::kTransitSlot;
    static constexpr int kWaitingPlaces = 8;
    static constexpr int kLastWaitingSlot = kFirstWaitingSlot + kWaitingPlaces - 1;
    // How long a waiting connection has to show its token.
    static constexpr int kWaitingMs = 3000;
    static constexpr int kDefaultGraceSeconds = 90;

    explicit SeatKeeper(QObject* parent = nullptr);

    static bool isWaitingSlot(int slot) { return slot >= kFirstWaitingSlot && slot <= kLastWaitingSlot; }

    // How long a lost player's seat is kept (0: not at all).
    void setGraceSeconds(int seconds);
    int graceSeconds() const { return m_graceSeconds; }

    // A fresh token for the connection in `slot`, replacing its old one.
    QString issueToken(int slot);
    const QString& token(int slot) const { return m_tokens[slot]; }
    void forgetToken(int slot) { m_tokens[slot].clear(); }
    // The seat whose connection, present or lost, was given `token`; 0 if none.
    int seatFor(const QString& token) const;

    // Seats kept for their lost players. `chatMark` is where the chat stood
    // when the seat was lost, so that the player can be told what he missed.
    void hold(int seat, const QString& name, quint64 chatMark);
    // Ends a hold (the player is back, or the seat is given up); false if
    // the seat was not held.
    bool release(int seat);
    bool isHeld(int seat) const { return seat >= 1 && seat <= game::kSeats && m_held[seat].has_value(); }
    bool anyHeld() const;
    QString heldName(int seat) const { return isHeld(seat) ? m_held[seat]->name : QString(); }
    quint64 chatMark(int seat) const { return isHeld(seat) ? m_held[seat]->chatMark : 0; }
    // Whole seconds (rounded up) a held seat still waits; 0 if not held.
    int secondsLeft(int seat) const;

    // A spectator whose connection was lost may come back as one.
    struct Spectator {
        QString token;
        QString name;
        quint64 chatMark = 0;
        QDeadlineTimer until;
    };
    void rememberSpectator(const QString& token, const QString& name, quint64 chatMark);
    std::optional<Spectator> takeSpectator(const QString& token);

    // A connection that arrived in a full game while a seat is held: the
    // waiting place it takes, and the place whose connection must go first
    // to make room (0 when one was free).
    struct WaitingPlace {
        int slot = 0;
        int evicted = 0;
    };
    WaitingPlace admitWaiting();
    // The waiting connection in `slot` has gone or been seated.
    void leaveWaiting(int slot);
    bool isWaiting(int slot) const { return isWaitingSlot(slot) && m_waiting[slot - kFirstWaitingSlot].has_value(); }

signals:
    void holdExpired(int seat);
    void waitedTooLong(int slot);

private:
    struct Hold {
        QString name;
        quint64 chatMark = 0;
        QDeadlineTimer ends;
    };
    struct Waiting {
        quint64 arrival = 0;
        QDeadlineTimer until;
    };

    void onTimer();
    void rearm();

    int m_graceSeconds = kDefaultGraceSeconds;
    std::array<QString, game::kMaxConnections + 1> m_tokens;      // [0] unused
    std::array<std::optional<Hold>, game::kSeats + 1> m_held;     // [0] unused
    std::array<std::optional<Waiting>, kWaitingPlaces> m_waiting; // by slot - kFirstWaitingSlot
    quint64 m_arrivals = 0;
    QList<Spectator> m_spectators; // at most one per spectator's slot
    QTimer m_timer;                // the next deadline of a hold or a waiting connection
};

} // namespace velmora
