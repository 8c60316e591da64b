// The "velmora-net" module: the game's TCP connections and listeners through
// Qt's network library.

#include "plugins/moduleloader.h"
#include "protocol/streamconnection.h"

#include <QHostAddress>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

#include <memory>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <utility>

namespace velmora {

namespace {

// A peer that vanished without a word (a pulled cable, a sleeping laptop)
// is found by the kernel, whatever the peer speaks: a quiet connection is
// probed after 10 s, every 5 s, three times, and data left unacknowledged
// for 20 s ends it.
void keepProbing(QTcpSocket* socket)
{
    const auto fd = static_cast<int>(socket->socketDescriptor());
    if (fd < 0)
        return;
    socket->setSocketOption(QAbstractSocket::KeepAliveOption, 1);
    const int idleS = 10;
    const int intervalS = 5;
    const int probes = 3;
    const unsigned unacknowledgedMs = 20000;
    ::setsockopt(fd, IPPROTO_TCP, TCP_KEEPIDLE, &idleS, sizeof idleS);
    ::setsockopt(fd, IPPROTO_TCP, TCP_KEEPINTVL, &intervalS, sizeof intervalS);
    ::setsockopt(fd, IPPROTO_TCP, TCP_KEEPCNT, &probes, sizeof probes);
    ::setsockopt(fd, IPPROTO_TCP, TCP_USER_TIMEOUT, &unacknowledgedMs, sizeof unacknowledgedMs);
}

int wsaCodeFor(QAbstractSocket::SocketError error)
{
    switch (error) {
    case QAbstractSocket::ConnectionRefusedError:
        return 10061;
    case QAbstractSocket::HostNotFoundError:
        return 11001;
    case QAbstractSocket::SocketAccessError:
        return 10013;
    case QAbstractSocket::SocketResourceError:
        return 10055;
    case QAbstractSocket::SocketTimeoutError:
        return 10060;
    case QAbstractSocket::DatagramTooLargeError:
        return 10040;
    case QAbstractSocket::NetworkError:
        return 10051;
    case QAbstractSocket::AddressInUseError:
        return 10048;
    case QAbstractSocket::SocketAddressNotAvailableError:
        return 10049;
    case QAbstractSocket::UnsupportedSocketOperationError:
        return 10045;
    case QAbstractSocket::OperationError:
        return 10036;
    case QAbstractSocket::TemporaryError:
        return 10035;
    default:
        return 10022;
    }
}

// The socket reports through the owner's events while the owner holds it;
// queued reports that arrive after it let go find no events and do nothing.
class QtStreamConnection final : public StreamConnection {
public:
    explicit QtStreamConnection(QTcpSocket* socket)
        : m_socket(socket)
    {
        m_socket->setSocketOption(QAbstractSocket::LowDelayOption, 1);
        const std::weak_ptr<StreamEvents> events = m_events;
        const auto report = [events](auto member, auto... args) {
            if (const std::shared_ptr<StreamEvents> e = events.lock(); e && (*e).*member)
                ((*e).*member)(args...);
        };
        QObject::connect(m_socket, &QTcpSocket::connected, m_socket, [socket, report] {
            keepProbing(socket);
            report(&StreamEvents::connected);
        });
        QObject::connect(m_socket, &QTcpSocket::readyRead, m_socket, [report] { report(&StreamEvents::readyRead); });
        QObject::connect(m_socket, &QTcpSocket::bytesWritten, m_socket, [report] { report(&StreamEvents::written); });
        QObject::connect(
            m_socket, &QTcpSocket::disconnected, m_socket, [report] { report(&StreamEvents::disconnected); },
            Qt::QueuedConnection);
        QObject::connect(
            m_socket, &QTcpSocket::errorOccurred, m_socket,
            [report](QAbstractSocket::SocketError error) {
                // A peer that closes, resets or aborts simply leaves: the
                // disconnected that follows says so.
                if (error != QAbstractSocket::RemoteHostClosedError)
                    report(&StreamEvents::failed, wsaCodeFor(error));
            },
            Qt::QueuedConnection);
    }

    ~QtStreamConnection() override
    {
        m_events.reset();
        if (!m_socket)
            return; // handed over by closeInBackground()
        m_socket->abort();
        m_socket->deleteLater(); // may be reporting right now
    }

    void setEvents(StreamEvents events) override { *m_events = std::move(events); }
    void connectToHost(const QString& host, quint16 port) override { m_socket->connectToHost(host, port); }
    bool isConnected() const override { return m_socket->state() == QAbstractSocket::ConnectedState; }
    quint16 localPort() const override { return m_socket->localPort(); }

    QString peerAddress() const override
    {
        bool isIpv4 = false;
        const quint32 ipv4 = m_socket->peerAddress().toIPv4Address(&isIpv4);
        return isIpv4 ? QHostAddress(ipv4).toString() : m_socket->peerAddress().toString();
    }

    void write(const QByteArray& bytes) override { m_socket->write(bytes); }

    void flush() override
    {
        if (isConnected())
            m_socket->flush();
    }

    QByteArray readAll() override { return m_socket->readAll(); }
    qint64 bytesAvailable() const override { return m_socket->bytesAvailable(); }
    qint64 bytesToWrite() const override { return m_socket->bytesToWrite(); }
    void abort() override { m_socket->abort(); }

    void closeInBackground(int lingerMs) override
    {
        if (isConnected() && m_socket->bytesToWrite() > 0) {
            m_events.reset();
            QTcpSocket* socket = std::exchange(m_socket, nullptr);
            QObject::disconnect(socket, nullptr, socket, nullptr);
            QObject::connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
            QTimer::singleShot(lingerMs, socket, [socket] { socket->abort(); });
            socket->disconnectFromHost();
        }
        delete this; // with nothing left to send, the connection goes at once
    }

private:
    QTcpSocket* m_socket;
    std::shared_ptr<StreamEvents> m_events = std::make_shared<StreamEvents>();
};

class QtStreamListener final : public StreamListener {
public:
    QtStreamListener()
    {
        // A connect storm waits in the kernel rather than being turned away.
        m_server.setListenBacklogSize(SOMAXCONN);
    }

    void setPendingHandler(std::function<void()> handler) override
    {
        QObject::disconnect(&m_server, &QTcpServer::newConnection, nullptr, nullptr);
        QObject::connect(&m_server, &QTcpServer::newConnection, &m_server, std::move(handler));
    }

    bool listen(quint16 port) override { return m_server.listen(QHostAddress::Any, port); }
    quint16 port() const override { return m_server.serverPort(); }

    StreamConnection* takePending() override
    {
        QTcpSocket* socket = m_server.nextPendingConnection();
        if (!socket)
            return nullptr;
        socket->setParent(nullptr); // the connection outlives the listener
        keepProbing(socket);
        return new QtStreamConnection(socket);
    }

private:
    QTcpServer m_server;
};

} // namespace

} // namespace velmora

VELMORA_MODULE_ENTRY velmora::StreamConnection* velmora_make_stream_connection_v1()
{
    return new velmora::QtStreamConnection(new QTcpSocket);
}

VELMORA_MODULE_ENTRY velmora::StreamListener* velmora_make_stream_listener_v1()
{
    return new velmora::QtStreamListener;
}
