#pragma once

// What the host tests share: a host on a free port with known dice and a
// quick computer, scripted clients that join it, and the example turn.

#include "host/tserver.h"
#include "testclient.h"

#include <QtTest>
#include <memory>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>
#include <vector>

namespace velmora::test {

// The dice of the example turn: the computer puts dice 1, 3, 6, 9 on dart 1
// (a miss with 6), 2, 4, 5, 7 on dart 2 ("20") and 8, 10, 11, 12 on dart 3 ("Bull").
const QList<int> kExampleDice = {1, 5, 2, 6, 6, 1, 3, 4, 2, 5, 6, 6};
const QString kExampleThrow = QStringLiteral("CMD_thedart+1+5+2+6+6+1+3+4+2+5+6+6+");
const QString kZeroThrow = QStringLiteral("CMD_thedart+0+0+0+0+0+0+0+0+0+0+0+0+");

// What every client sees while the placement rule places the example dice for `seat`.
inline QStringList examplePlacements(int seat)
{
    const char* rows[] = {"1+1+1+1",  "3+3+1+2",  "4+6+1+3", "6+9+1+4",  "5+2+2+1",   "11+4+2+2",
                          "17+5+2+3", "20+7+2+4", "4+8+3+1", "9+10+3+2", "15+11+3+3", "Bull+12+3+4"};
    QStringList out;
    for (const char* row : rows)
        out << QStringLiteral("CMD_placedice+%1+%2").arg(seat).arg(QLatin1String(row));
    return out;
}

inline QStringList take(TestClient& client, int count)
{
    QStringList out;
    for (int i = 0; i < count; ++i)
        out << client.next();
    return out;
}

inline QStringList withPrefix(const QStringList& messages, const QString& prefix)
{
    QStringList out;
    for (const QString& m : messages) {
        if (m.startsWith(prefix))
            out << m;
    }
    return out;
}

// A peer that never reads, with a tiny receive window so that what the host
// sends it piles up on the host's side.
class StalledPeer {
public:
    explicit StalledPeer(quint16 port)
    {
        m_fd = ::socket(AF_INET, SOCK_STREAM, 0);
        int size = 2048;
        ::setsockopt(m_fd, SOL_SOCKET, SO_RCVBUF, &size, sizeof size);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_port = htons(port);
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        m_connected = ::connect(m_fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    }
    ~StalledPeer() { ::close(m_fd); }
    bool connected() const { return m_connected; }

private:
    int m_fd = -1;
    bool m_connected = false;
};

class HostFixture {
protected:
    std::unique_ptr<TServer> m_server;
    int m_botDelayMs = 5; // read afresh at every computer step
    std::vector<std::unique_ptr<TestClient>> m_clients;
    QList<int> m_dice;
    int m_diceIndex = 0;

    TServer& server() { return *m_server; }

    // Connects and logs in; every client already seated reads the newcomer's
    // announcement, and the newcomer reads the list of those present.
    TestClient* join(const QString& name)
    {
        auto client = std::make_unique<TestClient>();
        if (!client->connectTo(server().port()) || client->login(name) == 0)
            return nullptr;
        const QString announcement = QStringLiteral("CMD_newplayerinfo+%1+%2").arg(client->slot()).arg(name);
        for (auto& other : m_clients) {
            if (other->isConnected() && other->next() != announcement)
                return nullptr;
            if (other->isConnected() && !client->next().startsWith(QLatin1String("CMD_existingplayers+")))
                return nullptr;
        }
        m_clients.push_back(std::move(client));
        return m_clients.back().get();
    }

    // Starts games from slot 1 until the first turn goes to `seat`; every
    // client has then read up to the game's opening (and seated clients its
    // CMD_nextplayer).
    bool startWithFirst(int seat, const QString& kind = QStringLiteral("0+1+"))
    {
        TestClient& host = *m_clients.front();
        for (int attempt = 0; attempt < 80; ++attempt) {
            host.send(QStringLiteral("CMD_startgame+1+") + kind);
            int first = 0;
            for (auto& client : m_clients) {
                if (!client->isConnected())
                    continue;
                if (client->nextStartingWith(QStringLiteral("CMD_startgame+1+")) == kTimedOut)
                    return false;
                if (client->slot() > game::kSeats)
                    continue;
                const QString next = client->next();
                if (!next.startsWith(QLatin1String("CMD_nextplayer+")))
                    return false;
                first = next.mid(15).toInt();
            }
            if (first == seat)
                return true;
        }
        return false;
    }

    // A message that every client gets back: the probe for "nothing else came".
    void probe(TestClient& from, const QString& text)
    {
        from.send(QStringLiteral("CMD_chat+%1+%2").arg(from.slot()).arg(text));
    }
    void setUp(QObject* context)
    {
        m_server = std::make_unique<TServer>();
        m_server->startListening(0);
        m_botDelayMs = 5;
        m_server->setBotPace([this] { return m_botDelayMs; });
        m_server->setScoringPauseMs(5);
        m_dice = kExampleDice;
        m_diceIndex = 0;
        // Every game starts the list of dice afresh.
        QObject::connect(m_server.get(), &TServer::gameStarted, context, [this] { m_diceIndex = 0; });
        m_server->setDiceRoller([this] { return m_dice[m_diceIndex++ % m_dice.size()]; });
    }

    void tearDown()
    {
        m_clients.clear();
        m_server.reset();
    }
};

} // namespace velmora::test
