#pragma once

#include "decoded.h"

#include <QByteArray>
#include <QString>

// The game's own messages beyond the common set: rejoining a running game
// after a lost connection, and what a rejoining window needs to know.
//
// A client announces that it knows them with CMD_extensions before its
// login; a host sends them only to connections that did, so a peer that
// speaks only the common set never sees one. A host that does not know them
// ignores them, as it ignores any command word it does not know.
//
// Client to host                       fields
//   CMD_extensions    Extensions       slot + features ("rejoin")
//   CMD_rejoin        Rejoin           slot + token              in place of the login
//   CMD_leaving       Leaving          slot                      the player chose to leave
//
// Host to client
//   CMD_rejointoken   RejoinToken      token                     after a login or a rejoin
//   CMD_rejoined      Rejoined         slot                      the connection holds its old slot again
//   CMD_rejoinrefused RejoinRefused    (none)                    nothing is held for that token: log in
//   CMD_seatheld      SeatHeld         seat + seconds + name     a seat's connection was lost; kept that long
//   CMD_gamekind      GameKind         kind(t/n) + points(1/0) + the running game, for a catch-up
//   CMD_removed       Removed          (none)                    the host's player removed us: do not come back
namespace velmora::protocol::ext {

inline constexpr const char* kRejoinFeature = "rejoin";
// A host whose every slot is taken while a seat is held greets a newcomer
// with this number: only a rejoin may follow; anything else finds it full.
inline constexpr int kTransitSlot = 10;
// A rejoin token: 128 random bits as 32 lower-case hexadecimal digits.
inline constexpr int kTokenLength = 32;
// No seat is held longer than a day, whatever the host is told.
inline constexpr int kMaxHoldSeconds = 24 * 60 * 60;

bool isToken(const QString& text);

namespace toHost {

struct Extensions {
    static constexpr const char* kCommand = "CMD_extensions";
    int slot = 0;
    QString features; // space-separated feature words
    bool knowsRejoin() const;
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

struct RejoinRefused {
    static constexpr const char* kCommand = "CMD_rejoinrefused";
    static Decoded<RejoinRefused> decode(const QString& rest);
    QByteArray encode() const;
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

struct Removed {
    static constexpr const char* kCommand = "CMD_removed";
    static Decoded<Removed> decode(const QString& rest);
    QByteArray encode() const;
};

} // namespace toClient

} // namespace velmora::protocol::ext
