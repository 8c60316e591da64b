#pragma once

#include <QObject>
#include <QString>
#include <QTcpServer>

class QTcpSocket;

namespace velmora::lobby {

// The lobby's end of the game's idle connection: a listener on 127.0.0.1
// (port 9001, as every lobby of the game has it). A game started by the
// lobby connects here and holds the connection until it ends; the lobby
// knows no other sign of the game's life. Nothing is ever read from it:
// whatever a peer sends is dropped.
class GameLink : public QObject {
    Q_OBJECT
public:
    static constexpr quint16 kPort = 9001;
    // A few games at once at most; more connections are closed at once.
    static constexpr int kMaxGames = 4;

    explicit GameLink(QObject* parent = nullptr);
    ~GameLink() override;

    // Listens on 127.0.0.1:port (0 for any free port); false, with why in
    // error(), when the port is taken.
    bool listen(quint16 port);
    quint16 port() const { return m_server.serverPort(); }
    QString error() const { return m_error; }
    // Games connected now.
    int games() const { return m_games; }

signals:
    void gameConnected();
    // The last connected game has closed its connection: it has ended.
    void allGamesEnded();

private:
    void accept();
    void drop(QTcpSocket* socket);

    QTcpServer m_server;
    QString m_error;
    int m_games = 0;
};

} // namespace velmora::lobby
