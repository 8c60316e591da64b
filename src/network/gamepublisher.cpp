#include "gamepublisher.h"

#include "avahi.h"

#include <QDBusArgument>
#include <QDBusObjectPath>
#include <QDBusServiceWatcher>
#include <QDebug>

namespace velmora::net {

namespace {

// Avahi offers another name this many times before we give up.
constexpr int kMaxRenames = 50;

QVariant textArgument(const GameRecord& record)
{
    QDBusArgument items;
    items.beginArray(qMetaTypeId<QByteArray>());
    for (const QByteArray& item : encodeRecord(record))
        items << item;
    items.endArray();
    return QVariant::fromValue(items);
}

// The service's fixed arguments: any interface and protocol, no flags,
// then (name, type, the default domain).
QList<QVariant> serviceArguments(const QString& name)
{
    return {avahi::kAnyInterface, avahi::kAnyProtocol, 0u, name, QString::fromLatin1(kServiceType), QString()};
}

} // namespace

GamePublisher::GamePublisher(quint16 port, QObject* parent)
    : QObject(parent)
    , m_port(port)
{
}

GamePublisher::~GamePublisher()
{
    withdraw();
}

void GamePublisher::publish(const GameRecord& record)
{
    if (m_wanted && record == m_record)
        return;
    const bool first = !m_wanted;
    m_record = record;
    m_wanted = true;
    if (first) {
        m_name = cleanTitle(record.title);
        if (m_name.isEmpty())
            m_name = QStringLiteral("Velmora game");
        createGroup();
        if (!m_watcher && avahi::bus().isConnected()) {
            m_watcher =
                new QDBusServiceWatcher(avahi::kService, avahi::bus(), QDBusServiceWatcher::WatchForOwnerChange, this);
            connect(m_watcher, &QDBusServiceWatcher::serviceRegistered, this, &GamePublisher::onAvahiRegistered);
            connect(m_watcher, &QDBusServiceWatcher::serviceUnregistered, this, &GamePublisher::onAvahiGone);
        }
        return;
    }
    updateText();
}

void GamePublisher::withdraw()
{
    m_wanted = false;
    dropGroup();
}

void GamePublisher::createGroup()
{
    if (!avahi::bus().isConnected()) {
        fail(avahi::unavailableReason());
        return;
    }
    if (m_creating || !m_group.isEmpty())
        return;
    m_creating = true;
    avahi::callAsync(avahi::call(QStringLiteral("/"), avahi::kServer, QStringLiteral("EntryGroupNew")), this,
                     [this](const QDBusMessage& reply) {
                         m_creating = false;
                         if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) {
                             fail(avahi::unavailableReason());
                             return;
                         }
                         m_group = reply.arguments().constFirst().value<QDBusObjectPath>().path();
                         if (!m_wanted) {
                             dropGroup();
                             return;
                         }
                         avahi::bus().connect(avahi::kService, m_group, avahi::kEntryGroup,
                                              QStringLiteral("StateChanged"), this,
                                              SLOT(onGroupStateChanged(QDBusMessage)));
                         addService();
                     });
}

void GamePublisher::addService()
{
    QList<QVariant> arguments = serviceArguments(m_name);
    arguments << QString() << QVariant::fromValue(m_port) << textArgument(m_record);
    avahi::callAsync(avahi::call(m_group, avahi::kEntryGroup, QStringLiteral("AddService"), arguments), this,
                     [this, group = m_group](const QDBusMessage& reply) {
                         if (group != m_group)
                             return;
                         if (reply.type() == QDBusMessage::ReplyMessage) {
                             avahi::send(avahi::call(m_group, avahi::kEntryGroup, QStringLiteral("Commit")));
                             return;
                         }
                         // Another service of ours on this computer has the name.
                         if (reply.errorName() == QLatin1String("org.freedesktop.Avahi.CollisionError"))
                             rename();
                         else
                             fail(QStringLiteral("The game could not be announced on this network: %1")
                                      .arg(reply.errorMessage().left(200)));
                     });
}

void GamePublisher::rename()
{
    if (++m_renames > kMaxRenames) {
        fail(QStringLiteral("The game could not be announced on this network: no free name for it."));
        return;
    }
    m_established = false;
    avahi::callAsync(
        avahi::call(QStringLiteral("/"), avahi::kServer, QStringLiteral("GetAlternativeServiceName"), {m_name}), this,
        [this, group = m_group](const QDBusMessage& reply) {
            if (group != m_group || m_group.isEmpty())
                return;
            if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) {
                fail(avahi::unavailableReason());
                return;
            }
            m_name = reply.arguments().constFirst().toString();
            avahi::send(avahi::call(m_group, avahi::kEntryGroup, QStringLiteral("Reset")));
            addService();
        });
}

void GamePublisher::updateText()
{
    if (m_group.isEmpty() || !m_established)
        return; // what is added later carries the record as it is then
    QList<QVariant> arguments = serviceArguments(m_name);
    arguments << textArgument(m_record);
    avahi::send(avahi::call(m_group, avahi::kEntryGroup, QStringLiteral("UpdateServiceTxt"), arguments));
}

void GamePublisher::onGroupStateChanged(const QDBusMessage& message)
{
    if (message.path() != m_group || message.arguments().isEmpty())
        return;
    switch (avahi::GroupState(message.arguments().constFirst().toInt())) {
    case avahi::GroupState::Established:
        m_established = true;
        m_problem.clear();
        emit established(m_name);
        // A record that changed while the service was being registered.
        updateText();
        return;
    case avahi::GroupState::Collision:
        rename();
        return;
    case avahi::GroupState::Failure:
        fail(QStringLiteral("The game could not be announced on this network: %1")
                 .arg(message.arguments().value(1).toString().left(200)));
        return;
    default:
        return;
    }
}

void GamePublisher::dropGroup()
{
    m_established = false;
    if (m_group.isEmpty())
        return;
    avahi::bus().disconnect(avahi::kService, m_group, avahi::kEntryGroup, QStringLiteral("StateChanged"), this,
                            SLOT(onGroupStateChanged(QDBusMessage)));
    avahi::send(avahi::call(m_group, avahi::kEntryGroup, QStringLiteral("Free")));
    m_group.clear();
}

void GamePublisher::fail(const QString& reason)
{
    if (reason == m_problem)
        return;
    m_problem = reason;
    emit unavailable(reason);
}

void GamePublisher::onAvahiRegistered()
{
    // Avahi (re)started: what it knew of us is gone, so announce afresh.
    m_group.clear();
    m_established = false;
    if (m_wanted)
        createGroup();
}

void GamePublisher::onAvahiGone()
{
    m_group.clear();
    m_established = false;
    if (m_wanted)
        fail(avahi::unavailableReason());
}

} // namespace velmora::net
