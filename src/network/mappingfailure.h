#pragma once

#include <QString>
#include <QtGlobal>

class QHostAddress;

namespace velmora::net {

// How long a mapping is asked for, by either protocol; it is renewed at half
// its life while the game runs.
inline constexpr quint32 kLeaseSeconds = 3600;

// Why a router did not open the game's port, as the one asking next needs it:
// after no answer or a refusal another protocol is worth a try; an outside
// address that is not public stays so whichever protocol is asked.
enum class MappingFailure { NoAnswer, Refused, NotPublic };

// Whether an address can be reached from the internet at all.
bool isPublicAddress(const QHostAddress& address);
// Why a router whose own outside address is this one cannot let players in.
QString notPublicReason(const QHostAddress& outside);

} // namespace velmora::net
