#pragma once

#include "chathistory.h"
#include "game/gameengine.h"
#include "gameannouncer.h"
#include "protocol/dispatcher.h"
#include "protocol/messagepump.h"
#include "protocol/tsock.h"
#include "roster.h"
#include "seatkeeper.h"
#include "turnpacer.h"

#include <QElapsedTimer>
#include <QList>
#include <QObject>
#include <QString>
#include <QTimer>
#include <functional>

namespace velmora {

namespace protocol::toHost {
struct LoginInfo;
struct KickPlayer;
struct StartGame;
struct JustWatch;
} // namespace protocol::toHost
namespace protocol::ext::toHost {
struct Rejoin;
} // namespace protocol::ext::toHost

// The host: accepts connections on the game port, seats players and
// spectators, and runs the game engine for them. It decodes each message once
// as it comes in, turns it into an engine call, and sends every engine event
// out as a message; it paces the seats the computer plays. It holds the
// authoritative game; every client, the host's own player's included,
// reaches it only through messages over TCP.
class TServer : public QObject {
    Q_OBJECT
public:
    static constexpr int kTickMs = 10;
    // A stalled peer is dropped once this much waits unsent for it.
    static constexpr qint64 kMaxUnsent = 1024 * 1024;
    // How long a lost player's seat waits for him by default.
    static constexpr int kDefaultRejoinGraceSeconds = SeatKeeper::kDefaultGraceSeconds;
    explicit TServer(QObject* parent = nullptr);
    // Says goodbye to the windows of ours before the connections go.
    ~TServer() override;

    // Switches the listener on (port 0 picks a free one); fails when the
    // port cannot be bound.
    Status startListening(quint16 port = protocol::kGamePort);
    quint16 port() const;

    // The computer's pace in milliseconds, asked afresh at every computer
    // step, so a change applies from the next die on; without one (empty)
    // the game's default pace applies.
    void setBotPace(std::function<int()> pace);
    // The pause between the twelfth die and the scoring (1500 ms in play;
    // tests shorten it).
    void setScoringPauseMs(int ms) { m_pacer.setScoringPauseMs(ms); }
    // How often peers that answer pings are pinged, and how long one may be
    // silent before it is taken as lost (5 s and 15 s in play; tests
    // shorten them).
    void setHeartbeat(int pingIntervalMs, int silenceLimitMs);
    // Replaces the die roller (1..6 per call), for tests that need known dice.
    void setDiceRoller(std::function<int()> roller) { m_engine.setDiceRoller(std::move(roller)); }

    // How long the seat of a player whose connection is lost during a game
    // is kept for his return (0: not at all; his seat goes at once).
    void setRejoinGrace(int seconds) { m_keeper.setGraceSeconds(seconds); }
    int rejoinGrace() const { return m_keeper.graceSeconds(); }
    // Whether a lost player's seat is kept, and for how many more whole
    // seconds (rounded up; 0 if not held).
    bool isHeld(int slot) const { return m_keeper.isHeld(slot); }
    int holdSecondsLeft(int slot) const { return m_keeper.secondsLeft(slot); }

    // The host is ending the game on purpose: our windows are told so, and
    // every connection is closed. Done once; the destructor does it too.
    void sayGoodbye();

    // Starts a game as the player in `starter` would (the dedicated host's console).
    void startGame(int starter, bool team, bool points);
    // Closes a slot's connection: a kick.
    void kick(int slot);

    const Roster::Connection& connection(int slot) const { return m_roster[slot]; }
    int slotCount() const { return m_roster.highestSlot(); }
    const GameEngine& engine() const { return m_engine; }

    // The transport seam, for tests and fuzzing: a connection with no socket
    // behind it (what is sent to it goes nowhere), fed bytes as if they had
    // been read from it, and the inbound queue taken at once, without the
    // tick's pacing. acceptDetached returns the slot, or 0 when full.
    int acceptDetached();
    void receive(int slot, const QByteArray& bytes);
    void takeWaitingMessages();
    qsizetype waitingMessages() const { return m_inboundPump.size(); }

signals:
    void connectionAccepted(int slot, const QString& peer);
    void connectionRefused(const QString& peer);
    void loggedIn(int slot, const QString& name);
    void departed(int slot, const QString& name);
    void seatHeld(int slot, const QString& name, int seconds);
    void rejoined(int slot, const QString& name);
    void gameStarted(int starter, bool team, bool points);
    void winnerAnnounced(const QString& winner);

private:
    // Connections.
    void onAccept();
    void onRead(TSock* sock);
    void attachConnection(int slot, TSock* sock);
    void dropConnection(int slot, CloseReason reason);
    void onDeparture(int slot, CloseReason reason);
    void onMessage(const InboundMessage& message);
    void setUpDispatch();
    bool speaksFor(int from, int sender, const QString& text) const;
    void relayChat(const QByteArray& line);
    bool fromHostsPlayer(int from, const QString& text) const;
    bool withinChatBudget(int from);

    // Messages that are not plain engine calls.
    void onLogin(int from, const QString& text, const protocol::toHost::LoginInfo& m);
    void onKick(int from, const QString& text, const protocol::toHost::KickPlayer& m);
    void onStartGame(int from, const QString& text, const protocol::toHost::StartGame& m);
    void onJustWatch(int from, const QString& text, const protocol::toHost::JustWatch& m);
    // A login's announcements: the newcomer to everybody, everybody to him.
    void announceArrival(int slot, const QString& name);

    // Rejoining after a lost connection (tserver_rejoin.cpp).
    void setUpRejoinDispatch();
    void onExtensions(int from, const QString& text, const protocol::ext::toHost::Extensions& m);
    void onHeartbeat();
    // What only our own windows are told, after the login's common messages:
    // the seats held for lost players, the game's kind and who watches
    // (never told a newcomer otherwise), and the token to come back with.
    void welcomeExtended(int slot);
    bool mayHold(int slot, CloseReason reason) const;
    void holdSeat(int slot);
    void releaseHeldSeat(int slot);
    void onRejoin(int from, const QString& text, const protocol::ext::toHost::Rejoin& m);
    void supersede(int slot);
    void rejoinSeat(int from, int seat);
    void rejoinAsSpectator(int from, const SeatKeeper::Spectator& spectator);
    void tellWhatWasSaid(int slot, quint64 since);
    void leaveTransitSlot(int from);
    // A waiting place is for a held seat's player only: anybody else finds
    // the game full. What a waiting connection says is read at once.
    int admitWaiting();
    void receiveWhileWaiting(int slot, const QByteArray& bytes);
    static bool isRejoinTraffic(const QString& text);
    void letWaitingGo(int slot);
    void giveToken(int slot);

    // The game's events: out as messages, then to the pacer.
    void onGameEvent(const GameEvent& event);

    TSock m_listener;
    MessagePump m_inboundPump;
    protocol::Dispatcher<int, const QString&> m_dispatcher;
    Roster m_roster;
    GameEngine m_engine;
    GameAnnouncer m_announcer;
    std::function<int()> m_botPace;
    TurnPacer m_pacer;
    QElapsedTimer m_clock; // the chat budgets' and the heartbeat's time
    SeatKeeper m_keeper;
    ChatHistory m_chatHistory;
    QTimer m_heartbeat; // runs while a connection answers pings; looks twice per ping
    int m_heartbeatLooks = 0;
    int m_silenceLimitMs = protocol::ext::kSilenceLimitMs;
    bool m_saidGoodbye = false;
};

} // namespace velmora
