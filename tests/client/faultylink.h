#pragma once

// A network link between windows and their host that a test can break: it
// passes bytes both ways between each connection made to it and a new
// connection to the host, and on demand resets every connection it carries
// (both ends see the link break), goes down altogether (nothing answers on
// its port until it comes back up on the same port) or goes silent (nothing
// passes either way, not even a close, and new connections wait unanswered,
// as when a cable is pulled; once it carries bytes again, what either end
// closed meanwhile is closed at the other).

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

    // The pipes' sockets go with the link, after its members: they must not
    // call back into it as they close.
    ~FaultyLink() override
    {
        for (const Pipe& pipe : m_pipes) {
            pipe.near->disconnect();
            pipe.far->disconnect();
        }
    }

    quint16 port() const { return m_port; }
    int connectionsMade() const { return m_made; }
    // Bytes passed either way so far.
    qint64 bytesCarried() const { return m_carried; }

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

    void setSilent(bool silent)
    {
        m_silent = silent;
        if (silent)
            return;
        for (auto& pipe : m_pipes) {
            if (pipe.near->state() != QAbstractSocket::ConnectedState)
                pipe.far->abort();
            else if (pipe.far->state() != QAbstractSocket::ConnectedState)
                pipe.near->abort();
        }
        onConnection();
    }

private:
    struct Pipe {
        QTcpSocket* near; // the window's end
        QTcpSocket* far;  // the host's end
    };

    void onConnection()
    {
        if (m_silent)
            return; // they wait in the listener's queue
        while (QTcpSocket* near = m_server.nextPendingConnection()) {
            ++m_made;
            auto* far = new QTcpSocket(this);
            near->setParent(this);
            m_pipes.push_back({near, far});
            // While silent, what arrives is lost, as on a dead cable.
            connect(near, &QTcpSocket::readyRead, far, [this, near, far] {
                const QByteArray bytes = near->readAll();
                if (!m_silent && far->state() == QAbstractSocket::ConnectedState) {
                    m_carried += bytes.size();
                    far->write(bytes);
                }
            });
            connect(far, &QTcpSocket::connected, near, [near, far] { far->write(near->readAll()); });
            connect(far, &QTcpSocket::readyRead, near, [this, near, far] {
                const QByteArray bytes = far->readAll();
                if (!m_silent) {
                    m_carried += bytes.size();
                    near->write(bytes);
                }
            });
            // Either end going closes the other, unless the link is silent.
            connect(near, &QTcpSocket::disconnected, far, [this, far] {
                if (!m_silent)
                    far->disconnectFromHost();
            });
            connect(far, &QTcpSocket::disconnected, near, [this, near] {
                if (!m_silent)
                    near->disconnectFromHost();
            });
            far->connectToHost(QHostAddress::LocalHost, m_hostPort);
        }
    }

    quint16 m_hostPort;
    quint16 m_port = 0;
    int m_made = 0;
    bool m_silent = false;
    qint64 m_carried = 0;
    QTcpServer m_server;
    std::vector<Pipe> m_pipes;
};

} // namespace velmora::testing
