#pragma once

#include <QByteArray>
#include <QString>
#include <QtGlobal>

#include <functional>

namespace velmora {

// What a TCP connection reports to its owner, always from the event loop.
struct StreamEvents {
    std::function<void()> connected;
    std::function<void()> readyRead;
    std::function<void()> written;
    // The peer closed or reset the connection. Queued: a write that finds
    // the peer gone never reports it inside that write.
    std::function<void()> disconnected;
    // A network error other than the peer's close, as its Windows Sockets
    // code; queued like disconnected.
    std::function<void(int wsaCode)> failed;
};

// One TCP connection as the "velmora-net" module provides it: Qt's network
// library stands behind it, loaded when the game first opens a socket, so
// that it costs the first window nothing. Connections probe a silent peer
// with keep-alives and send small messages without delay.
class StreamConnection {
public:
    // Aborts the connection; nothing is reported after.
    virtual ~StreamConnection() = default;

    virtual void setEvents(StreamEvents events) = 0;
    // Starts connecting without waiting; connected() or failed() follows.
    virtual void connectToHost(const QString& host, quint16 port) = 0;
    virtual bool isConnected() const = 0;
    virtual quint16 localPort() const = 0;
    // The peer's address; an IPv4 peer on a dual-stack socket in plain dots.
    virtual QString peerAddress() const = 0;

    // Queues the bytes; flush() writes what the network takes now.
    virtual void write(const QByteArray& bytes) = 0;
    virtual void flush() = 0;
    virtual QByteArray readAll() = 0;
    virtual qint64 bytesAvailable() const = 0;
    virtual qint64 bytesToWrite() const = 0;
    // Ends the connection at once, dropping what is not yet sent.
    virtual void abort() = 0;
    // Hands the connection over to close in the background: bytes not yet
    // sent still reach the peer, for at most lingerMs, then it goes. Nothing
    // is reported after this; the object is gone when the call returns.
    virtual void closeInBackground(int lingerMs) = 0;
};

// A listener on every local address, IPv4 and IPv6.
class StreamListener {
public:
    virtual ~StreamListener() = default;
    // Called from the event loop when a connection waits to be taken.
    virtual void setPendingHandler(std::function<void()> handler) = 0;
    virtual bool listen(quint16 port) = 0;
    virtual quint16 port() const = 0;
    // The connection waiting longest, or null when none waits.
    virtual StreamConnection* takePending() = 0;
};

using MakeStreamConnection = StreamConnection*();
using MakeStreamListener = StreamListener*();
inline constexpr const char* kNetModule = "velmora-net";
inline constexpr const char* kMakeStreamConnection = "velmora_make_stream_connection_v1";
inline constexpr const char* kMakeStreamListener = "velmora_make_stream_listener_v1";

} // namespace velmora
