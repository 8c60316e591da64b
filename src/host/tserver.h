#pragma once

#include "botspeed.h"
#include "placement.h"
#include "protocol/framer.h"
#include "protocol/messagepump.h"
#include "protocol/tsock.h"
#include "rules.h"

#include <QObject>
#include <QString>
#include <QTimer>
#include <array>
#include <functional>
#include <random>

namespace velmora {

// The host: accepts connections on the game port, seats players and
// spectators, runs the game by its rules and plays the seats nobody plays.
// It holds the authoritative game; every client, the host's own player's
// included, reaches it only through messages over TCP.
class TServer : public QObject {
    Q_OBJECT
public:
    // Slots 1..4 are the seats, 5..9 spectators; slot 10 is never handed out.
    static constexpr int kSeats = 4;
    static constexpr int kMaxConnections = 9;
    static constexpr int kSlotCount = 10;
    static constexpr int kTickMs = 10;
    static constexpr int kScoringPauseMs = 1500;
    static constexpr int kDefaultBotDelayMs = 500;
    // A stalled peer is dropped once this much waits unsent for it.
    static constexpr qint64 kMaxUnsent = 1024 * 1024;

    struct Slot {
        QString name;
        bool connected = false;
        TSock* sock = nullptr;
        Framer framer;
        quint64 connection = 0; // which connection holds the slot now
        int dicecount = 0;
        rules::Marks marks{};
        QString botname;
        int score = 0;
        bool justwatching = false;
        int partner = 0;
        bool tothrow = false;
    };

    explicit TServer(QObject* parent = nullptr);
    ~TServer() override;

    // Switches the listener on (port 0 picks a free one). Throws
    // ESockException when the port cannot be bound.
    void startListening(quint16 port = 7772);
    quint16 port() const;

    // The pace of the computer player; without a source the host's own
    // setting applies.
    void setBotSpeedSource(const BotSpeedSource* source) { m_botSpeed = source; }
    void setBotDelayMs(int ms) { m_ownBotDelay = ms; }
    // The pause between the twelfth die and the scoring (1500 ms in play;
    // tests shorten it).
    void setScoringPauseMs(int ms) { m_timer1.setInterval(ms); }
    int botDelayMs() const;

    // Replaces the die roller (1..6 per call), for tests that need known dice.
    void setDiceRoller(std::function<int()> roller) { m_rollDie = std::move(roller); }

    // Starts a game as the player in `starter` would (the dedicated host's console).
    void startgame(int starter, bool team, bool points);
    // Closes a slot's connection, as a kick does.
    void disconnectsock(int slot);

    const Slot& slot(int number) const { return m_players[number]; }
    int slotcount() const { return m_slotcount; }
    bool gameon() const { return m_gameon; }
    int currentplayer() const { return m_currentplayer; }
    bool teamgame() const { return m_teamgame; }
    bool pointsgame() const { return m_pointsgame; }

signals:
    void connectionAccepted(int slot, const QString& peer);
    void connectionRefused(const QString& peer);
    void loggedIn(int slot, const QString& name);
    void departed(int slot, const QString& name);
    void gameStarted(int starter, bool team, bool points);
    void winnerAnnounced(const QString& winner);

private:
    // Connections.
    void Sock1Accept();
    void Sock1Read(TSock* sock);
    void tempsockDisconnect(TSock* sock);
    void tempsockInfo(TSock* sock, SocketInfo kind, const QString& message);
    void socktimerTimer(const InboundMessage& message);

    // Handlers of the client commands; `from` is the slot the message came on.
    void receivedlogininfo(int from, const QString& rest);
    void kickhim(int from, const QString& rest);
    // Relays a chat or action line: the sender's name, the joiner, the text.
    void chat(int from, const QString& rest, const char* command, const QString& joiner);
    void startgameRequest(int from, const QString& rest);
    void startgame(int starter, const QString& team, const QString& points);
    void throwdartsRequest(int from, const QString& rest);
    void placediceRequest(int from, const QString& rest);
    void autoplaceRequest(int from, const QString& rest);
    void justwatch(int from, const QString& rest);
    void playasound(int from, const QString& rest);

    // The game.
    void findplayer();
    void throwdarts(int seat);
    void placedice(int seat, int die, int dart, int place);
    void endturn(int seat);
    bool checkforwin(int seat) const;
    void clearit1();
    void computerplayTimer();
    void computersort(int seat);
    void autoplace(int seat);
    void finishTurnFor(int seat);
    void armComputer(int step, int delayMs);

    bool inPlay(int seat) const { return seat == 2 || m_players[seat].connected; }
    bool computerDriven(int seat) const { return !m_players[seat].connected || m_players[seat].justwatching; }
    QString displayName(int seat) const;

    void sendTo(int slot, const QByteArray& message);
    void sendToAll(const QByteArray& message);

    TSock m_sock1;
    MessagePump m_socktimer;
    QTimer m_computerplay;
    int m_computerStep = 0;
    QTimer m_timer1;
    std::array<Slot, kSlotCount + 1> m_players; // [0] unused
    int m_slotcount = 0;
    quint64 m_lastConnection = 0;

    bool m_gameon = false;
    int m_currentplayer = 0;
    bool m_teamgame = false;
    bool m_pointsgame = false;
    rules::TurnDice m_turn;
    std::array<std::string, rules::kDarts> m_dartresult;

    const BotSpeedSource* m_botSpeed = nullptr;
    int m_ownBotDelay = kDefaultBotDelayMs;
    std::mt19937 m_random;
    std::function<int()> m_rollDie;
};

} // namespace velmora
