#pragma once

// A network link between windows and their host that a test can break: it
// passes bytes both ways between each connection made to it and a new
// connection to the host, and on demand resets every connection it carries
// (both ends see the link break) or goes down altogether (nothing answers on
// its port until it comes back up on the same port).

#include <QHostAddress>
#include <QObject>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>
#include <vector>

namespace velmora::testing {

class FaultyLink : public QObject {
public:
    explicit FaultyLink(quint16 hostPort)
        : m_hostPort(hostPort)
    {
        QVERIFY(m_server.listen(QHostAddress::LocalHost, 0));
        m_port = m_server.serverPort();
        connect(&m_server, &QTcpServer::newConnection, this, [this] { onConnection(); });
    }

    quint16 port() const { return m_port; }
    int connectionsMade() const { return m_made; }

    // Every connection through the link breaks at once.
    void reset()
    {
        for (auto& pipe : std::exchange(m_pipes, {})) {
            pipe.near->abort();
            pipe.far->abort();
            pipe.near->deleteLater();
            pipe.far->deleteLater();
        }
    }
    // Down: every connection breaks and nothing listens; up: it listens again.
    void setDown(bool down)
    {
        if (down) {
            reset();
            m_server.close();
        } else {
            QVERIFY(m_server.listen(QHostAddress::LocalHost, m_port));
        }
    }

private:
    struct Pipe {
        QTcpSocket* near; // the window's end
        QTcpSocket* far;  // the host's end
    };

    void onConnection()
    {
        while (QTcpSocket* near = m_server.nextPendingConnection()) {
            ++m_made;
            auto* far = new QTcpSocket(this);
            near->setParent(this);
            m_pipes.push_back({near, far});
            connect(near, &QTcpSocket::readyRead, far, [near, far] {
                if (far->state() == QAbstractSocket::ConnectedState)
                    far->write(near->readAll());
            });
            connect(far, &QTcpSocket::connected, near, [near, far] { far->write(near->readAll()); });
            connect(far, &QTcpSocket::readyRead, near, [near, far] { near->write(far->readAll()); });
            // Either end going closes the other.
            connect(near, &QTcpSocket::disconnected, far, [far] { far->disconnectFromHost(); });
            connect(far, &QTcpSocket::disconnected, near, [near] { near->disconnectFromHost(); });
            far->connectToHost(QHostAddress::LocalHost, m_hostPort);
        }
    }

    quint16 m_hostPort;
    quint16 m_port = 0;
    int m_made = 0;
    QTcpServer m_server;
    std::vector<Pipe> m_pipes;
};

} // namespace velmora::testing
