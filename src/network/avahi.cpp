#include "avahi.h"

#include <QDBusError>
#include <QDBusPendingCallWatcher>

namespace velmora::net::avahi {

QDBusConnection bus()
{
    return QDBusConnection::systemBus();
}

QDBusMessage call(const QString& path, const QString& interface, const QString& method,
                  const QList<QVariant>& arguments)
{
    QDBusMessage message = QDBusMessage::createMethodCall(kService, path, interface, method);
    message.setArguments(arguments);
    return message;
}

void callAsync(const QDBusMessage& message, QObject* context, std::function<void(const QDBusMessage&)> done)
{
    auto* watcher = new QDBusPendingCallWatcher(bus().asyncCall(message), context);
    QObject::connect(watcher, &QDBusPendingCallWatcher::finished, context, [watcher, done = std::move(done)] {
        watcher->deleteLater();
        done(watcher->reply());
    });
}

void send(const QDBusMessage& message)
{
    bus().send(message);
}

QString unavailableReason()
{
    return QStringLiteral("Games on this network cannot be listed or announced: this computer's service "
                          "discovery (avahi-daemon) is not running. Joining by address still works.");
}

bool meansUnavailable(const QDBusError& error)
{
    switch (error.type()) {
    case QDBusError::ServiceUnknown:
    case QDBusError::NoServer:
    case QDBusError::Disconnected:
    case QDBusError::NoReply:
    case QDBusError::Timeout:
    case QDBusError::TimedOut:
        return true;
    default:
        return error.name() == QLatin1String("org.freedesktop.Avahi.NotSupportedError") ||
               error.name() == QLatin1String("org.freedesktop.Avahi.BadStateError");
    }
}

} // namespace velmora::net::avahi
