#pragma once

#include "base/result.h"

#include <QByteArray>
#include <QObject>
#include <QString>
#include <memory>
#include <optional>

namespace velmora {

class StreamConnection;
class StreamListener;

// What an info report of a socket is about.
enum class SocketInfo { Lookup, Connect, Close, Listen, Receive, Send, Accept, Error };

// Why a connection ended, reported once per connection by
// TSock::connectionClosed. Qt reports a peer's reset like its orderly close,
// so Reset covers a connection broken by any other network error.
enum class CloseReason {
    ClosedByPeer,        // the peer closed or reset the connection
    Reset,               // a network error broke the connection
    ClosedHere,          // this side closed it (on the host: a kick)
    FramingBroken,       // the peer sent what cannot be framed
    OutputBoundExceeded, // the peer left too much of what we sent unread
    InputBoundExceeded,  // the peer sent more than we keep waiting for it
};

// The Windows Sockets name of an error code ("WSAECONNREFUSED" for 10061),
// "UNKNOWN ERROR" outside the table. Peers and players know these names.
QString wsaErrorName(int code);

// One non-blocking stream socket: a client connection, a listener, or a
// connection accepted by a listener. All notifications arrive on the thread
// that owns it through Qt's event loop; no call ever blocks.
//
// Status changes are reported through info() with a fixed set of texts, for
// showing and logging; a close of any kind reports "Socket Closed". What the
// game acts on is connectionClosed(), once per connection, with its reason.
class TSock : public QObject {
    Q_OBJECT
public:
    explicit TSock(QObject* parent = nullptr);
    ~TSock() override;

    QString hostName() const { return m_hostName; }
    void setHostName(const QString& name);
    QString portName() const { return m_portName; }
    void setPortName(const QString& name);
    // The slot an accepted connection occupies on the host.
    int tag() const { return m_tag; }
    void setTag(int tag) { m_tag = tag; }

    bool isConnected() const { return m_connected; }
    bool isListening() const { return m_listener != nullptr; }
    // The port a listener is bound to (useful when it was asked for port 0).
    quint16 localPort() const;

    // An operation that cannot be done fails with a text that names the
    // operation first ("Send - Socket Not Connected").

    // Starts connecting to hostName:portName without waiting; success arrives
    // as connected(). Yields the connected flag when a socket already exists;
    // fails on a port that is no number.
    Result<bool> open();
    // Starts or stops listening on portName on every local address; fails
    // when the port cannot be bound.
    Status setListen(bool on);
    // Takes the pending connection of a listener into a new socket object
    // (parented to this listener), or yields nullptr when there is none;
    // fails on a socket that does not listen.
    Result<TSock*> accept();

    // Queues the bytes and writes what the network takes now; the rest follows
    // in order. Fails without a connection or on a listener.
    Status send(const QByteArray& bytes);
    // Everything received and not yet taken, and how many bytes that is.
    Result<QByteArray> receive();
    qint64 bytesAvailable() const;
    // Closes the socket and reports "Socket Closed" (except for a listener).
    // Bytes already sent still reach the peer.
    void close();
    // Gives up on the peer: ends the connection as if the peer had gone away
    // (disconnected(), then close()), reporting `reason`. Runs from the event
    // loop, never inside the caller.
    void dropConnection(CloseReason reason = CloseReason::FramingBroken);

    // A peer that leaves more than this many bytes unsent is dropped
    // (0: no limit).
    void setOutputLimit(qint64 bytes) { m_outputLimit = bytes; }
    qint64 bytesToWrite() const;

signals:
    void connected();
    // The peer closed the connection (in order or not); close() follows.
    void disconnected();
    void info(velmora::SocketInfo kind, const QString& message);
    // The connection has ended, for the reason given; reported once, after
    // the "Socket Closed" info, whichever side ended it.
    void connectionClosed(velmora::CloseReason reason);
    void readyRead(qint64 count);
    void written();
    void acceptPending();

private:
    void attach(std::unique_ptr<StreamConnection> connection);
    void detachConnection();
    void onPeerGone(CloseReason reason);
    void onNetworkError(int wsaCode);
    void raiseInfo(SocketInfo kind, const QString& message);

    QString m_hostName;
    QString m_portName;
    int m_tag = 0;
    bool m_connected = false;
    bool m_dropQueued = false;
    std::optional<CloseReason> m_closeReason; // why the connection is going, once known
    qint64 m_outputLimit = 0;
    std::unique_ptr<StreamConnection> m_connection;
    std::unique_ptr<StreamListener> m_listener;
};

} // namespace velmora
