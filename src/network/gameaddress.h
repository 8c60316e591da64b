#pragma once

#include "base/result.h"
#include "protocol/message.h"

#include <QString>
#include <QStringView>
#include <optional>

namespace velmora::net {

// Where a game is hosted, checked: a host name (letters, digits and
// hyphens in dot-separated labels), an IPv4 address or an IPv6 address
// (kept without its brackets), and the port when one was given.
struct GameAddress {
    QString host;
    std::optional<quint16> port;

    quint16 portOr(quint16 fallback) const { return port.value_or(fallback); }
    bool isIPv6() const { return host.contains(u':'); }
    // HOST, HOST:PORT or [IPV6]:PORT, as the game's address parameter takes it.
    QString toString() const;
    bool operator==(const GameAddress&) const = default;
};

// The longest text taken as an address or an invitation.
inline constexpr qsizetype kMaxAddressText = 300;

// Reads what a player typed or was sent: HOST, HOST:PORT, [IPV6]:PORT, a
// bare IPv6 address, or an invitation velmora://HOST[:PORT] (a trailing "/"
// allowed). Surrounding blanks are ignored. The failure is one line for
// the player.
Result<GameAddress> parseGameAddress(QStringView text);

// The invitation to a game at `address` (its port, or the game's port).
QString invitationFor(const GameAddress& address);

} // namespace velmora::net
