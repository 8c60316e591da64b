#include "tsock.h"

#include "plugins/moduleloader.h"
#include "streamconnection.h"

#include <QTimer>
#include <map>

namespace velmora {

namespace {

// How long a closed connection may take to hand its last bytes to the peer.
constexpr int kLingerMs = 5000;

// The network module's makers, looked up when the first socket opens.
struct NetModule {
    MakeStreamConnection* makeConnection = nullptr;
    MakeStreamListener* makeListener = nullptr;
    std::string error;
};

const NetModule& netModule()
{
    static const NetModule module = [] {
        NetModule m;
        QString error;
        const QLatin1StringView name(kNetModule);
        m.makeConnection = modules::entryPoint<MakeStreamConnection>(name, kMakeStreamConnection, &error);
        if (m.makeConnection)
            m.makeListener = modules::entryPoint<MakeStreamListener>(name, kMakeStreamListener, &error);
        if (!m.makeListener)
            m.error = " - Network Module Not Loaded (" + error.toStdString() + ")";
        return m;
    }();
    return module;
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
    detachConnection();
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
    if (m_listener)
        return m_listener->port();
    return m_connection ? m_connection->localPort() : 0;
}

Result<bool> TSock::open()
{
    if (m_connection || m_listener)
        return m_connected;

    raiseInfo(SocketInfo::Lookup, QStringLiteral("Lookup Of Port ") + m_portName);
    bool numeric = false;
    const uint port = m_portName.toUInt(&numeric);
    if (!numeric || port > 65535)
        return Failure{"Port Lookup - Could Not Find Service Entry"};
    const QString host = m_hostName.isEmpty() ? QStringLiteral("127.0.0.1") : m_hostName;
    raiseInfo(SocketInfo::Lookup, QStringLiteral("Lookup Of Host ") + host);

    const NetModule& net = netModule();
    if (!net.makeConnection)
        return Failure{"Connect" + net.error};
    attach(std::unique_ptr<StreamConnection>(net.makeConnection()));
    m_connection->connectToHost(host, static_cast<quint16>(port));
    return false;
}

Status TSock::setListen(bool on)
{
    if (!on) {
        if (m_listener) {
            m_listener.reset();
            raiseInfo(SocketInfo::Listen, QStringLiteral("Listening Stopped"));
        }
        return success();
    }
    if (m_listener) {
        raiseInfo(SocketInfo::Listen, QStringLiteral("Listening Already Running"));
        return success();
    }
    if (m_connection)
        return Failure{"Listen - Socket Already In Use"};

    bool numeric = false;
    const uint port = m_portName.toUInt(&numeric);
    if (!numeric || port > 65535)
        return Failure{"Port Lookup - Could Not Find Service Entry"};
    const NetModule& net = netModule();
    if (!net.makeListener)
        return Failure{"Listen" + net.error};
    std::unique_ptr<StreamListener> listener(net.makeListener());
    if (!listener->listen(static_cast<quint16>(port)))
        return Failure{"Listen - Error Binding Socket"};
    listener->setPendingHandler([this] { emit acceptPending(); });
    m_listener = std::move(listener);
    raiseInfo(SocketInfo::Listen, QStringLiteral("Listening Started"));
    return success();
}

Result<TSock*> TSock::accept()
{
    if (!m_listener)
        return Failure{"Accept - Socket Not In Listening Mode"};
    std::unique_ptr<StreamConnection> connection(m_listener->takePending());
    if (!connection) {
        raiseInfo(SocketInfo::Accept, QStringLiteral("Could Not Accept Connection"));
        return static_cast<TSock*>(nullptr);
    }
    auto* sock = new TSock(this);
    sock->m_portName = m_portName;
    sock->m_hostName = connection->peerAddress();
    sock->m_outputLimit = m_outputLimit;
    sock->attach(std::move(connection));
    sock->m_connected = true;
    raiseInfo(SocketInfo::Accept, QStringLiteral("Created New TSock Structure"));
    return sock;
}

void TSock::attach(std::unique_ptr<StreamConnection> connection)
{
    m_connection = std::move(connection);
    StreamEvents events;
    events.connected = [this] {
        m_connected = true;
        raiseInfo(SocketInfo::Connect, QStringLiteral("Non-Blocking Socket Connected"));
        emit connected();
    };
    events.readyRead = [this] {
        raiseInfo(SocketInfo::Receive, QStringLiteral("Non-Blocking Incoming Data"));
        if (m_connection)
            emit readyRead(m_connection->bytesAvailable());
    };
    events.written = [this] {
        raiseInfo(SocketInfo::Send, QStringLiteral("Non-Blocking Outgoing Data"));
        emit written();
    };
    // Both come from the event loop, never from inside a write that found
    // the peer gone, so a departure never cuts into whatever was sending.
    events.disconnected = [this] { onPeerGone(CloseReason::ClosedByPeer); };
    events.failed = [this](int wsaCode) { onNetworkError(wsaCode); };
    m_connection->setEvents(std::move(events));
}

void TSock::onNetworkError(int wsaCode)
{
    if (!m_connection)
        return; // reported after the connection was already closed
    raiseInfo(SocketInfo::Error, QStringLiteral("Error #%1 (%2)").arg(wsaCode).arg(wsaErrorName(wsaCode)));
    if (m_connected && m_connection && !m_connection->isConnected())
        onPeerGone(CloseReason::Reset);
}

void TSock::onPeerGone(CloseReason reason)
{
    if (!m_connection)
        return;
    if (!m_closeReason)
        m_closeReason = reason;
    emit disconnected();
    close();
}

void TSock::dropConnection(CloseReason reason)
{
    if (m_dropQueued || !m_connection)
        return;
    m_dropQueued = true;
    QTimer::singleShot(0, this, [this, reason] {
        m_dropQueued = false;
        if (!m_connection)
            return; // gone meanwhile, for its own reason
        m_closeReason = reason;
        // Nothing more goes to a peer we give up on.
        m_connection->abort();
        onPeerGone(reason);
    });
}

void TSock::detachConnection()
{
    m_listener.reset();
    // The last bytes (a "CMD_full+", say) still reach the peer after the
    // connection goes down; a peer that never takes them is given up on.
    if (m_connection)
        m_connection.release()->closeInBackground(kLingerMs);
}

void TSock::close()
{
    const bool wasListening = m_listener != nullptr;
    const bool hadConnection = m_connected;
    const CloseReason reason = m_closeReason.value_or(CloseReason::ClosedHere);
    m_closeReason.reset();
    detachConnection();
    m_connected = false;
    if (wasListening)
        return;
    raiseInfo(SocketInfo::Close, QStringLiteral("Socket Closed"));
    if (hadConnection)
        emit connectionClosed(reason);
}

Status TSock::send(const QByteArray& bytes)
{
    if (m_listener)
        return Failure{"Send - Cannot Send On A Listener Socket"};
    if (!m_connection)
        return Failure{"Send - Socket Not Connected"};
    if (m_dropQueued || bytes.isEmpty())
        return success();
    m_connection->write(bytes);
    raiseInfo(SocketInfo::Send, QStringLiteral("Non-Blocking Outgoing Data"));
    if (m_connection)
        m_connection->flush();
    if (m_connection && m_outputLimit > 0 && m_connection->bytesToWrite() > m_outputLimit)
        dropConnection(CloseReason::OutputBoundExceeded);
    return success();
}

Result<QByteArray> TSock::receive()
{
    if (m_listener)
        return Failure{"Receive - Cannot Receive On A Listener Socket"};
    if (!m_connection)
        return Failure{"Receive - Socket Not Connected"};
    return m_connection->readAll();
}

qint64 TSock::bytesAvailable() const
{
    return m_connection ? m_connection->bytesAvailable() : 0;
}

qint64 TSock::bytesToWrite() const
{
    return m_connection ? m_connection->bytesToWrite() : 0;
}

void TSock::raiseInfo(SocketInfo kind, const QString& message)
{
    emit info(kind, message);
}

} // namespace velmora
