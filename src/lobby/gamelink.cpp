#include "gamelink.h"

#include <QTcpSocket>

namespace velmora::lobby {

GameLink::GameLink(QObject* parent)
    : QObject(parent)
{
    connect(&m_server, &QTcpServer::newConnection, this, &GameLink::accept);
}

GameLink::~GameLink()
{
    // The connections close as the listener goes: nobody is told any more.
    for (QTcpSocket* socket : m_server.findChildren<QTcpSocket*>())
        socket->disconnect(this);
}

bool GameLink::listen(quint16 port)
{
    if (m_server.listen(QHostAddress::LocalHost, port))
        return true;
    m_error = QStringLiteral("The lobby cannot watch its games on port %1: %2").arg(port).arg(m_server.errorString());
    return false;
}

void GameLink::accept()
{
    while (QTcpSocket* socket = m_server.nextPendingConnection()) {
        if (m_games >= kMaxGames) {
            socket->abort();
            socket->deleteLater();
            continue;
        }
        ++m_games;
        socket->setReadBufferSize(4096);
        connect(socket, &QTcpSocket::readyRead, socket, [socket] { socket->skip(socket->bytesAvailable()); });
        connect(socket, &QTcpSocket::disconnected, this, [this, socket] { drop(socket); });
        connect(socket, &QTcpSocket::errorOccurred, this, [this, socket] { drop(socket); });
        emit gameConnected();
    }
}

void GameLink::drop(QTcpSocket* socket)
{
    // A closing socket may report both an error and its disconnection.
    if (socket->property("dropped").toBool())
        return;
    socket->setProperty("dropped", true);
    socket->deleteLater();
    if (--m_games == 0)
        emit allGamesEnded();
}

} // namespace velmora::lobby
