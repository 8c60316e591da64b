#pragma once

#include "gamerecord.h"

#include <QObject>
#include <QString>
#include <memory>

namespace velmora {

class TServer;

namespace net {

class GamePublisher;

// A listening host's game on the local network: its title, and its players,
// spectators and state as the host has them, announced again whenever one
// of them changes, and taken back when this object goes (before the host).
class HostPublication : public QObject {
    Q_OBJECT
public:
    // `hostPlayer` is the hosting player's name; a dedicated host has none
    // and names whoever holds seat 1.
    HostPublication(const TServer& server, const QString& title, const QString& hostPlayer = {},
                    QObject* parent = nullptr);
    ~HostPublication() override;

    // The game's record as the host has it now.
    GameRecord record() const;
    const GamePublisher& publisher() const { return *m_publisher; }

    // The default title of a player's game.
    static QString titleFor(const QString& playerName);

signals:
    void established(const QString& name);
    void unavailable(const QString& reason);

private:
    void refresh();

    const TServer& m_server;
    QString m_title;
    QString m_hostPlayer;
    std::unique_ptr<GamePublisher> m_publisher;
    bool m_refreshQueued = false;
};

} // namespace net
} // namespace velmora
