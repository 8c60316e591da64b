#pragma once

// The names of Avahi's D-Bus interface (org.freedesktop.Avahi on the system
// bus), and the few helpers its users share.

#include <QDBusConnection>
#include <QDBusMessage>
#include <QString>
#include <functional>

class QObject;
class QDBusError;

namespace velmora::net::avahi {

inline const QString kService = QStringLiteral("org.freedesktop.Avahi");
inline const QString kServer = QStringLiteral("org.freedesktop.Avahi.Server");
// The same server's second interface: browsers and resolvers that start only
// when told to, so that no signal goes out before we listen for it.
inline const QString kServer2 = QStringLiteral("org.freedesktop.Avahi.Server2");
inline const QString kEntryGroup = QStringLiteral("org.freedesktop.Avahi.EntryGroup");
inline const QString kServiceBrowser = QStringLiteral("org.freedesktop.Avahi.ServiceBrowser");
inline const QString kServiceResolver = QStringLiteral("org.freedesktop.Avahi.ServiceResolver");

inline constexpr int kAnyInterface = -1;
inline constexpr int kAnyProtocol = -1;
inline constexpr int kIPv4 = 0;

enum class GroupState { Uncommitted = 0, Registering = 1, Established = 2, Collision = 3, Failure = 4 };

QDBusConnection bus();
QDBusMessage call(const QString& path, const QString& interface, const QString& method,
                  const QList<QVariant>& arguments = {});
// Sends a call and hands its answer (or error) to `done` on the event loop,
// unless `context` is gone by then.
void callAsync(const QDBusMessage& message, QObject* context, std::function<void(const QDBusMessage&)> done);
// A call whose answer nobody waits for (freeing an object).
void send(const QDBusMessage& message);

// Why games on this network cannot be listed or announced, in words for the
// player: the same sentence whatever the cause, so it is said once.
QString unavailableReason();
// Whether an error means that Avahi is not there at all.
bool meansUnavailable(const QDBusError& error);

} // namespace velmora::net::avahi
