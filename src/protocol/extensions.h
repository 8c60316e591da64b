#pragma once

#include "decoded.h"
#include "message.h"

#include <QByteArray>
#include <QString>

// The game's own messages beyond the common set: rejoining a running game
// after a lost connection, what a rejoining window needs to know, and a
// heartbeat that finds a link which went quiet.
//
// A client announces the features it knows with CMD_extensions right after
// its login (or with its rejoin); a host sends these messages only to
// connections that did, so a peer that speaks only the common set never sees
// one. A host that does not know them ignores them, as it ignores any
// command word it does not know.
//
// Client to host                       fields
//   CMD_extensions    Extensions       slot + features ("rejoin heartbeat")
//   CMD_rejoin        Rejoin           slot + token              in place of the login
//   CMD_leaving       Leaving          slot                      the player chose to leave
//   CMD_pong          Pong             slot                      the answer to every ping
//
// Host to client
//   CMD_rejointoken   RejoinToken      token                     after a login or a rejoin
//   CMD_rejoined      Rejoined         slot                      the connection holds its old slot again
//   CMD_rejoinrefused RejoinRefused    (none)                    nothing is held for that token: log in
//   CMD_seatheld      SeatHeld         seat + seconds + name     a seat's connection was lost; kept that long
//   CMD_gamekind      GameKind         kind(t/n) + points(1/0) + the running game, for a catch-up
//   CMD_removed       Removed          (none)                    the host's player removed us: do not come back
//   CMD_ping          Ping             (none)                    to "heartbeat" peers, every few seconds
//   CMD_goodbye       Goodbye          (none)                    the host is ending the game on purpose
//   CMD_whoseturn     WhoseTurn        seat                      a turn begins (to spectators, who are
//                                                                not sent CMD_nextplayer)
namespace velmora::protocol::ext {

inline constexpr const char* kRejoinFeature = "rejoin";
// A peer that announces this answers pings, so it may be dropped when it
// goes quiet for longer than kSilenceLimitMs.
inline constexpr const char* kHeartbeatFeature = "heartbeat";
// How often a host pings, and how long either side waits without hearing
// anything before it takes the link for dead.
inline constexpr int kPingIntervalMs = 5000;
inline constexpr int kSilenceLimitMs = 15000;
// A host whose every slot is taken while a seat is held greets a newcomer
// with this number: only a rejoin may follow; anything else finds it full.
inline constexpr int kTransitSlot = 10;
// A rejoin token: 128 random bits as 32 lower-case hexadecimal digits.
inline constexpr int kTokenLength = 32;
// A fresh token from the system's generator.
QString newToken();
// No seat is held longer than a day, whatever the host is told.
inline constexpr int kMaxHoldSeconds = 24 * 60 * 60;

bool isToken(const QString& text);

// A message that is its command word alone: whatever follows it is ignored.
template <typename Message> struct WordOnly {
    static Decoded<Message> decode(const QString&) { return Message{}; }
    QByteArray encode() const { return protocol::encode(Message::kCommand); }
};

namespace toHost {

struct Extensions {
    static constexpr const char* kCommand = "CMD_extensions";
    int slot = 0;
    QString features; // space-separated feature words
    bool knows(const char* feature) const;
    bool knowsRejoin() const { return knows(kRejoinFeature); }
    // What our own windows announce.
    static QString ourFeatures();
    static Decoded<Extensions> decode(const QString& rest);
    QByteArray encode() const;
};

struct Rejoin {
    static constexpr const char* kCommand = "CMD_rejoin";
    int slot = 0;
    QString token;
    static Decoded<Rejoin> decode(const QString& rest);
    QByteArray encode() const;
};

struct Leaving {
    static constexpr const char* kCommand = "CMD_leaving";
    int slot = 0;
    static Decoded<Leaving> decode(const QString& rest);
    QByteArray encode() const;
};

struct Pong {
    static constexpr const char* kCommand = "CMD_pong";
    int slot = 0;
    static Decoded<Pong> decode(const QString& rest);
    QByteArray encode() const;
};

} // namespace toHost

namespace toClient {

struct RejoinToken {
    static constexpr const char* kCommand = "CMD_rejointoken";
    QString token;
    static Decoded<RejoinToken> decode(const QString& rest);
    QByteArray encode() const;
};

struct Rejoined {
    static constexpr const char* kCommand = "CMD_rejoined";
    int slot = 0;
    static Decoded<Rejoined> decode(const QString& rest);
    QByteArray encode() const;
};

struct RejoinRefused : WordOnly<RejoinRefused> {
    static constexpr const char* kCommand = "CMD_rejoinrefused";
};

struct SeatHeld {
    static constexpr const char* kCommand = "CMD_seatheld";
    int seat = 0;
    int seconds = 0; // how much longer the seat is kept
    QString name;
    static Decoded<SeatHeld> decode(const QString& rest);
    QByteArray encode() const;
};

struct GameKind {
    static constexpr const char* kCommand = "CMD_gamekind";
    bool team = false;
    bool points = true;
    static Decoded<GameKind> decode(const QString& rest);
    QByteArray encode() const;
};

struct Removed : WordOnly<Removed> {
    static constexpr const char* kCommand = "CMD_removed";
};

struct Ping : WordOnly<Ping> {
    static constexpr const char* kCommand = "CMD_ping";
};

struct Goodbye : WordOnly<Goodbye> {
    static constexpr const char* kCommand = "CMD_goodbye";
};

struct WhoseTurn {
    static constexpr const char* kCommand = "CMD_whoseturn";
    int seat = 0;
    static Decoded<WhoseTurn> decode(const QString& rest);
    QByteArray encode() const;
};

} // namespace toClient

} // namespace velmora::protocol::ext
