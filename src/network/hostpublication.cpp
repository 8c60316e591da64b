#include "hostpublication.h"

#include "game/constants.h"
#include "gamepublisher.h"
#include "host/tserver.h"
#include "protocol/message.h"

#include <QTimer>

namespace velmora::net {

HostPublication::HostPublication(const TServer& server, const QString& title, const QString& hostPlayer,
                                 QObject* parent)
    : QObject(parent)
    , m_server(server)
    , m_title(title)
    , m_hostPlayer(hostPlayer)
    , m_publisher(std::make_unique<GamePublisher>(server.port()))
{
    connect(m_publisher.get(), &GamePublisher::established, this, &HostPublication::established);
    connect(m_publisher.get(), &GamePublisher::unavailable, this, &HostPublication::unavailable);
    // Each of these may change who is there or whether a game runs; a burst
    // of them is announced once.
    const auto changed = [this] {
        if (m_refreshQueued)
            return;
        m_refreshQueued = true;
        QTimer::singleShot(0, this, &HostPublication::refresh);
    };
    connect(&server, &TServer::loggedIn, this, changed);
    connect(&server, &TServer::departed, this, changed);
    connect(&server, &TServer::seatHeld, this, changed);
    connect(&server, &TServer::rejoined, this, changed);
    connect(&server, &TServer::gameStarted, this, changed);
    connect(&server, &TServer::winnerAnnounced, this, changed);
    // From the event loop, so that whoever made us hears how it went.
    changed();
}

HostPublication::~HostPublication() = default;

QString HostPublication::titleFor(const QString& playerName)
{
    return defaultTitle(playerName);
}

GameRecord HostPublication::record() const
{
    GameRecord r{QString::fromLatin1(protocol::kVersion), m_title, 0, 0, m_server.engine().isRunning(), m_hostPlayer};
    if (r.host.isEmpty() && m_server.slotCount() >= 1 && m_server.connection(1).loggedIn)
        r.host = m_server.connection(1).name;
    const int highest = std::min(m_server.slotCount(), game::kMaxConnections);
    for (int slot = 1; slot <= highest; ++slot) {
        const auto& c = m_server.connection(slot);
        if (!c.loggedIn && !m_server.isHeld(slot))
            continue;
        if (slot <= game::kSeats)
            ++r.players;
        else
            ++r.spectators;
    }
    return r;
}

void HostPublication::refresh()
{
    m_refreshQueued = false;
    m_publisher->publish(record());
}

} // namespace velmora::net
