#pragma once

#include "network/gameaddress.h"

#include <QHostAddress>
#include <QObject>
#include <QTcpSocket>
#include <QTimer>

namespace velmora::lobby {

// Before the game is started to join, the lobby makes sure somebody listens
// there: a host name is looked up (asynchronously), then one connection is
// tried and closed again, within a bounded time. Says in one line why not.
class JoinCheck : public QObject {
    Q_OBJECT
public:
    static constexpr int kConnectWithinMs = 5000;

    explicit JoinCheck(QObject* parent = nullptr);
    ~JoinCheck() override;

    // Starts over for `address` (its port, or the game's); an earlier check is dropped.
    void start(const net::GameAddress& address);
    void cancel();

signals:
    void reachable(const velmora::net::GameAddress& address);
    void failed(const QString& reason);

private:
    void lookedUp(int id, const QList<QHostAddress>& addresses);
    void probe(const QHostAddress& address);
    void finish(const QString& reason);

    net::GameAddress m_address;
    QTcpSocket m_probe;
    QTimer m_deadline;
    int m_lookup = -1;
    bool m_running = false;
};

} // namespace velmora::lobby
