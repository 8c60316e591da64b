#include "tsock.h"

#include <QHostAddress>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>
#include <map>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>

namespace velmora {

namespace {

// How long a closed connection may take to hand its last bytes to the peer.
constexpr int kLingerMs = 5000;

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

} // namespace

QString wsaErrorName(int code)
{
    static const std::map<int, const char*> names = {
        {10004, "WSAEINTR"},           {10009, "WSAEBADF"},          {10013, "WSAEACCES"},
        {10014, "WSAEFAULT"},          {10022, "WSAEINVAL"},         {10024, "WSAEMFILE"},
        {10035, "WSAEWOULDBLOCK"},     {10036, "WSAEINPROGRESS"},    {10037, "WSAEALREADY"},
        {10038, "WSAENOTSOCK"},        {10039, "WSAEDESTADDRREQ"},   {10040, "WSAEMSGSIZE"},
        {10041, "WSAEPROTOTYPE"},      {10042, "WSAENOPROTOOPT"},    {10043, "WSAEPROTONOSUPPORT"},
        {10044, "WSAESOCKTNOSUPPORT"}, {10045, "WSAEOPNOTSUPP"},     {10046, "WSAEPFNOSUPPORT"},
        {10047, "WSAEAFNOSUPPORT"},    {10048, "WSAEADDRINUSE"},     {10049, "WSAEADDRNOTAVAIL"},
        {10050, "WSAENETDOWN"},        {10051, "WSAENETUNREACH"},    {10052, "WSAENETRESET"},
        {10053, "WSAECONNABORTED"},    {10054, "WSAECONNRESET"},     {10055, "WSAENOBUFS"},
        {10056, "WSAEISCONN"},         {10057, "WSAENOTCONN"},       {10058, "WSAESHUTDOWN"},
        {10059, "WSAETOOMANYREFS"},    {10060, "WSAETIMEDOUT"},      {10061, "WSAECONNREFUSED"},
        {10062, "WSAELOOP"},           {10063, "WSAENAMETOOLONG"},   {10064, "WSAEHOSTDOWN"},
        {10065, "WSAEHOSTUNREACH"},    {10066, "WSAENOTEMPTY"},      {10067, "WSAEPROCLIM"},
        {10068, "WSAEUSERS"},          {10069, "WSAEDQUOT"},         {10070, "WSAESTALE"},
        {10071, "WSAEREMOTE"},         {10091, "WSASYSNOTREADY"},    {10092, "WSAVERNOTSUPPORTED"},
        {10093, "WSANOTINITIALISED"},  {11001, "WSAHOST_NOT_FOUND"}, {11002, "WSATRY_AGAIN"},
        {11003, "WSANO_RECOVERY"},     {11004, "WSANO_DATA"},
    };
    const auto it = names.find(code);
    return QString::fromLatin1(it == names.end() ? "UNKNOWN ERROR" : it->second);
}

TSock::TSock(QObject* parent)
    : QObject(parent)
{
}

TSock::~TSock()
{
    // Freeing a socket object closes it without reporting to anyone.
    detachSocket();
    delete m_server;
}

void TSock::setHostName(const QString& name)
{
    if (m_connected)
        raiseInfo(SocketInfo::Lookup, QStringLiteral("Setting HostName While Connected Has No Effect"));
    m_hostName = name;
}

void TSock::setPortName(const QString& name)
{
    if (m_connected)
        raiseInfo(SocketInfo::Lookup, QStringLiteral("Setting PortName While Connected Has No Effect"));
    m_portName = name;
}

quint16 TSock::localPort() const
{
    if (m_server)
        return m_server->serverPort();
    return m_socket ? m_socket->localPort() : 0;
}

Result<bool> TSock::open()
{
    if (m_socket || m_server)
        return m_connected;

    raiseInfo(SocketInfo::Lookup, QStringLiteral("Lookup Of Port ") + m_portName);
    bool numeric = false;
    const uint port = m_portName.toUInt(&numeric);
    if (!numeric || port > 65535)
        return Failure{"Port Lookup - Could Not Find Service Entry"};
    const QString host = m_hostName.isEmpty() ? QStringLiteral("127.0.0.1") : m_hostName;
    raiseInfo(SocketInfo::Lookup, QStringLiteral("Lookup Of Host ") + host);

    auto* socket = new QTcpSocket(this);
    adopt(socket);
    connect(socket, &QTcpSocket::connected, this, [this, socket] {
        keepProbing(socket);
        m_connected = true;
        raiseInfo(SocketInfo::Connect, QStringLiteral("Non-Blocking Socket Connected"));
        emit connected();
    });
    socket->connectToHost(host, static_cast<quint16>(port));
    return false;
}

Status TSock::setListen(bool on)
{
    if (!on) {
        if (m_server) {
            delete m_server;
            m_server = nullptr;
            raiseInfo(SocketInfo::Listen, QStringLiteral("Listening Stopped"));
        }
        return success();
    }
    if (m_server) {
        raiseInfo(SocketInfo::Listen, QStringLiteral("Listening Already Running"));
        return success();
    }
    if (m_socket)
        return Failure{"Listen - Socket Already In Use"};

    bool numeric = false;
    const uint port = m_portName.toUInt(&numeric);
    if (!numeric || port > 65535)
        return Failure{"Port Lookup - Could Not Find Service Entry"};
    auto* server = new QTcpServer(this);
    // A connect storm waits in the kernel rather than being turned away.
    server->setListenBacklogSize(SOMAXCONN);
    if (!server->listen(QHostAddress::Any, static_cast<quint16>(port))) {
        delete server;
        return Failure{"Listen - Error Binding Socket"};
    }
    m_server = server;
    connect(server, &QTcpServer::newConnection, this, &TSock::acceptPending);
    raiseInfo(SocketInfo::Listen, QStringLiteral("Listening Started"));
    return success();
}

Result<TSock*> TSock::accept()
{
    if (!m_server)
        return Failure{"Accept - Socket Not In Listening Mode"};
    QTcpSocket* socket = m_server->nextPendingConnection();
    if (!socket) {
        raiseInfo(SocketInfo::Accept, QStringLiteral("Could Not Accept Connection"));
        return static_cast<TSock*>(nullptr);
    }
    auto* sock = new TSock(this);
    sock->m_portName = m_portName;
    // Peers on the dual-stack listener read as plain dotted IPv4 addresses.
    bool isIpv4 = false;
    const quint32 ipv4 = socket->peerAddress().toIPv4Address(&isIpv4);
    sock->m_hostName = isIpv4 ? QHostAddress(ipv4).toString() : socket->peerAddress().toString();
    sock->m_outputLimit = m_outputLimit;
    socket->setParent(sock);
    keepProbing(socket);
    sock->adopt(socket);
    sock->m_connected = true;
    raiseInfo(SocketInfo::Accept, QStringLiteral("Created New TSock Structure"));
    return sock;
}

void TSock::adopt(QTcpSocket* socket)
{
    m_socket = socket;
    socket->setSocketOption(QAbstractSocket::LowDelayOption, 1);
    connect(socket, &QTcpSocket::readyRead, this, [this] {
        raiseInfo(SocketInfo::Receive, QStringLiteral("Non-Blocking Incoming Data"));
        if (m_socket)
            emit readyRead(m_socket->bytesAvailable());
    });
    connect(socket, &QTcpSocket::bytesWritten, this, [this] {
        raiseInfo(SocketInfo::Send, QStringLiteral("Non-Blocking Outgoing Data"));
        emit written();
    });
    // A write that finds the peer gone makes Qt abort the socket inside that
    // very write; the departure is handled from the event loop instead, never
    // in the middle of whatever was sending (a broadcast, say).
    connect(
        socket, &QTcpSocket::disconnected, this, [this] { onPeerGone(CloseReason::ClosedByPeer); },
        Qt::QueuedConnection);
    connect(
        socket, &QTcpSocket::errorOccurred, this, [this](QAbstractSocket::SocketError error) { onSocketError(error); },
        Qt::QueuedConnection);
}

void TSock::onSocketError(int qtError)
{
    if (!m_socket)
        return; // reported after the connection was already closed
    const auto error = static_cast<QAbstractSocket::SocketError>(qtError);
    // A peer that closes, resets or aborts its connection simply leaves: the
    // disconnected() that follows is handled like an orderly close.
    if (error == QAbstractSocket::RemoteHostClosedError)
        return;
    const int code = wsaCodeFor(error);
    raiseInfo(SocketInfo::Error, QStringLiteral("Error #%1 (%2)").arg(code).arg(wsaErrorName(code)));
    if (m_connected && m_socket && m_socket->state() != QAbstractSocket::ConnectedState)
        onPeerGone(CloseReason::Reset);
}

void TSock::onPeerGone(CloseReason reason)
{
    if (!m_socket)
        return;
    if (!m_closeReason)
        m_closeReason = reason;
    emit disconnected();
    close();
}

void TSock::dropConnection(CloseReason reason)
{
    if (m_dropQueued || !m_socket)
        return;
    m_dropQueued = true;
    QTimer::singleShot(0, this, [this, reason] {
        m_dropQueued = false;
        if (!m_socket)
            return; // gone meanwhile, for its own reason
        m_closeReason = reason;
        // Nothing more goes to a peer we give up on.
        m_socket->abort();
        onPeerGone(reason);
    });
}

void TSock::detachSocket()
{
    if (!m_socket)
        return;
    QTcpSocket* socket = m_socket;
    m_socket = nullptr;
    socket->disconnect(this);
    if (socket->state() == QAbstractSocket::ConnectedState && socket->bytesToWrite() > 0) {
        // Let the last bytes (a "CMD_full+", say) reach the peer before the
        // connection goes down; give up on a peer that never takes them.
        socket->setParent(nullptr);
        connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        QTimer::singleShot(kLingerMs, socket, [socket] { socket->abort(); });
        socket->disconnectFromHost();
    } else {
        socket->abort();
        socket->deleteLater();
    }
}

void TSock::close()
{
    const bool wasListening = m_server != nullptr;
    const bool hadConnection = m_connected;
    const CloseReason reason = m_closeReason.value_or(CloseReason::ClosedHere);
    m_closeReason.reset();
    detachSocket();
    delete m_server;
    m_server = nullptr;
    m_connected = false;
    if (wasListening)
        return;
    raiseInfo(SocketInfo::Close, QStringLiteral("Socket Closed"));
    if (hadConnection)
        emit connectionClosed(reason);
}

Status TSock::send(const QByteArray& bytes)
{
    if (m_server)
        return Failure{"Send - Cannot Send On A Listener Socket"};
    if (!m_socket)
        return Failure{"Send - Socket Not Connected"};
    if (m_dropQueued || bytes.isEmpty())
        return success();
    m_socket->write(bytes);
    raiseInfo(SocketInfo::Send, QStringLiteral("Non-Blocking Outgoing Data"));
    if (m_socket && m_socket->state() == QAbstractSocket::ConnectedState)
        m_socket->flush();
    if (m_socket && m_outputLimit > 0 && m_socket->bytesToWrite() > m_outputLimit)
        dropConnection(CloseReason::OutputBoundExceeded);
    return success();
}

Result<QByteArray> TSock::receive()
{
    if (m_server)
        return Failure{"Receive - Cannot Receive On A Listener Socket"};
    if (!m_socket)
        return Failure{"Receive - Socket Not Connected"};
    return m_socket->readAll();
}

qint64 TSock::bytesAvailable() const
{
    return m_socket ? m_socket->bytesAvailable() : 0;
}

qint64 TSock::bytesToWrite() const
{
    return m_socket ? m_socket->bytesToWrite() : 0;
}

void TSock::raiseInfo(SocketInfo kind, const QString& message)
{
    emit info(kind, message);
}

} // namespace velmora
