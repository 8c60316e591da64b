#pragma once

#include "core/gamemodel.h"
#include "core/phrasepause.h"
#include "protocol/catalogue.h"
#include "protocol/dispatcher.h"
#include "protocol/framer.h"
#include "protocol/messagepump.h"
#include "protocol/tsock.h"
#include "core/receivedchat.h"
#include "core/rejoinschedule.h"

#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QTimer>

namespace velmora {

namespace protocol::ext::toClient {
struct Rejoined;
} // namespace protocol::ext::toClient

struct Preferences;

// The game's client without any window: the connection to the host, the
// dispatch of the host's messages and the game as this client knows it.
// Every request of the player is sent to the host; the model changes when
// the host's answer comes back (only a throw empties our darts at once), and
// each change is announced by a signal for the window (or a test) to show.
class ClientSession : public QObject {
    Q_OBJECT
public:
    // The connection's one state. A lost link goes LoggedIn -> Closing ->
    // Rejoining -> CatchingUp -> LoggedIn when the seat comes back, or on to
    // GivenUp; a host that ends the game goes to Ended, and a host that
    // removes us, or a window that leaves, to Closed.
    enum class State {
        NotConnected, // nothing tried yet
        Connecting,   // the socket is opening; nothing shown until the host speaks
        Refused,      // the host could not be reached; the window stays open
        LoggedIn,     // the host gave us our number and we answered
        CatchingUp,   // our seat is back: the game as it stands comes in, shown but not told
        Closing,      // the link has ended; what the host said before that is still being read
        Rejoining,    // the link was lost; we try to get our seat back
        GivenUp,      // no rejoin got through in the time allowed; the window stays open
        Ended,        // the host ended the game; the window stays open
        Closed,       // the connection ended: the window closes, unless we dropped a host that broke the bounds
    };
    Q_ENUM(State)

    static constexpr int kTickMs = 1;
    // A host never has a reason to be this far ahead of the 1 ms ticks.
    static constexpr qsizetype kMaxWaitingMessages = 1024;

    // `prefs` decide which sounds are heard, read afresh at each sound; they
    // outlive the session.
    explicit ClientSession(const Preferences* prefs, QObject* parent = nullptr);
    ~ClientSession() override;

    // The name sent at login.
    void setPlayerName(const QString& name) { m_loginName = name; }
    // Opens the game connection; `hosting` records that this copy runs the host.
    void connectToHost(const QString& address, quint16 port, bool hosting);
    // The lobby that started us watches for this connection on 127.0.0.1.
    // We never send on it; whatever arrives is read and dropped, so the
    // bytes waiting on it stay few however much the peer sends.
    void holdLobbyConnection(quint16 port);
    qint64 lobbyBytesWaiting() const;
    // Leaves at once: the host hears of it, nothing more is dispatched, and
    // no lost connection is tried again.
    void leave();
    // How a lost connection is tried again (tests take a quicker one).
    void setRejoinSchedule(const RejoinSchedule& schedule) { m_schedule = schedule; }
    // How long a host that pings may stay silent before its link is taken
    // for dead (15 s; tests shorten it).
    void setSilenceLimit(int ms) { m_silence.setInterval(ms); }

    State state() const { return m_state; }
    // In the game, from our login until the link ends.
    bool isConnected() const { return m_state == State::LoggedIn || m_state == State::CatchingUp; }
    // What happens now is news to the player; a rejoin's catch-up is not.
    // Whether a rejoin attempt is under way or waits for its pause.
    bool attemptPlanned() const { return m_retryTimer.isActive() || m_attemptTimer.isActive(); }
    bool tellsNews() const { return m_state != State::CatchingUp && m_state != State::Rejoining; }
    bool isHost() const { return m_hosting; }
    int myseat() const { return m_myseat; }
    bool isSpectator() const { return m_myseat > game::kSeats; }
    bool isMyTurn() const { return m_model.whoseturn == m_myseat; }
    bool watchingMyself() const;
    // The player places the dice himself now: his turn, thrown, dice left,
    // and the computer not playing for him (also when he has just taken the
    // seat back from it in the middle of the turn).
    bool mayPlaceDice() const { return isConnected() && isMyTurn() && !watchingMyself() && m_model.diceLeftToPlace(); }
    // Our turn with the dice still blank (the turn as a rejoin finds it
    // before the throw): the throw is ours to make.
    bool throwAwaited() const { return isMyTurn() && m_model.turn.values[0] == 0; }
    const GameModel& model() const { return m_model; }
    const SeatState& seat(int number) const { return m_model.seat(number); }

    // Requests to the host. Placing, auto-placing, watching and removing go
    // only when our model allows them (our turn, a free die, a seat, being
    // the host); a throw and a game start go as asked and the host decides.
    void throwDarts();
    void placeDie(int die);
    void autoplace();
    void toggleJustWatch();
    void setSeatWatching(int seat, bool watching);
    void kick(int number);
    void startGame(bool team, bool points);
    // Chat: a typed line ("/me" makes it an action; other "/" lines are
    // dropped; nothing before our login), a phrase button (one per pause,
    // PhrasePause; a phrase during the pause is dropped) and a chatter
    // sound. `colour` is the colour text that ends every chat line.
    void sendTypedLine(const QString& text, const QString& colour);
    void sendPhrase(const QString& phrase, const QString& colour);
    void sendChatterSound(int sound);
    // The clock of the phrase buttons' pause (tests step it by hand).
    void setPhraseClockForTesting(PhrasePause::Clock clock) { m_phrasePause.setClock(std::move(clock)); }

signals:
    void stateChanged(velmora::ClientSession::State state);
    // A status line for the chat, without its style prefix.
    void systemLine(const QString& text);
    // A chat or action line the host relayed, with its sender and colour.
    void chatReceived(const velmora::ReceivedChat& chat);
    // A game or chatter sound that the preferences let through: the window
    // only plays it.
    void soundPlayed(const QString& name);
    // Something to tell the player in a box ("Game is full").
    void reportRequested(const QString& text);
    // The window is to close: the host has gone (once everything it said
    // before is shown), found the game full, or let us go.
    void closeRequested();
    // Our own participant information arrived: we are in (once per session).
    void joined();
    // A lost connection has been replaced and the game brought up to date.
    void rejoined();

    void seatChanged(int seat);
    void watchingChanged(int seat);
    void marksChanged(int seat);
    void pointsChanged(int seat);
    // A turn ended and the host counted the seat's points (not for a partner's share).
    void turnScored(int seat);
    void spectatorJoined(const velmora::Spectator& spectator);
    void spectatorLeft(const velmora::Spectator& spectator);
    // Seats or their holders changed: lists built from the roster are stale.
    void rosterChanged();
    // The game's kind (team, points) became known after it had started.
    void gameKindChanged();

    void gameStarted();
    void turnChanged(int seat);
    void dartsCleared();
    void diceThrown();
    void diePlaced(int seat, int die, int dart, int place);
    void dartCompleted(int seat, int dart, const velmora::DartResult& result);
    void winnerAnnounced(const QString& names, bool team);

private:
    void setState(State state);
    void buildDispatch();
    void readSocket();
    void drainLobby();
    void dropHost(const QString& why, CloseReason reason);
    void onSocketInfo(SocketInfo kind, const QString& text);
    void onHostGone();
    void onSilence();
    void onPing();
    void finishClosing();
    void takeMessage(const InboundMessage& message);
    void onTick();
    void wireSocket();
    // Anything that ought to reach the player as a status line; quiet while
    // a rejoin brings the board back.
    void tell(const QString& text);
    void closeWhenDrained();
    // `rejoinMessage`: one of the few that go while we are rejoining or
    // catching up.
    void send(const QByteArray& message, bool rejoinMessage = false);
    void playSound(const QString& name);

    // Host messages: logins and seats (clientsession_game.cpp).
    void onLoginInfo(const protocol::toClient::SendLoginInfo& m);
    void onFull();
    void onParticipant(int slot, const QString& name);
    void onDeparture(const protocol::toClient::PlayerDisconnected& m);
    void onJustWatching(const protocol::toClient::JustWatching& m);
    void onChatterSound(const protocol::toClient::SoundPlayed& m);

    // Host messages: the game and its turns (clientsession_game.cpp).
    void onGameStarted(const protocol::toClient::GameStarted& m);
    void onNextPlayer(const protocol::toClient::NextPlayer& m);
    void onDice(const protocol::toClient::TheDart& m);
    void onDiePlaced(const protocol::toClient::DiePlaced& m);
    void onLoadBoard(const protocol::toClient::LoadBoard& m);
    void onEndTurn(const protocol::toClient::TurnScore& m, bool partner);
    void onWinner(const protocol::toClient::Winner& m);
    void clearBoard();
    void fillComputerSeats(bool team);

    // Rejoining after a lost connection (clientsession_rejoin.cpp).
    void beginRejoining();
    void scheduleAttempt();
    void startAttempt();
    void attemptFailed(const QString& why);
    void giveUp();
    bool mayRejoin() const { return !m_rejoinToken.isEmpty() && !m_hosting; }
    void askForSeat(int slot);
    void onRejoined(const protocol::ext::toClient::Rejoined& m);
    void onRejoinRefused();
    void onRejoinToken(const QString& token);
    void onSeatHeld(int seat, int seconds, const QString& name);
    void onGameKind(bool team, bool points);
    void forgetGame();
    void logIn(int slot);
    // How the present link is ending, as far as the host told us: the
    // state it leads to once it has closed.
    enum class LinkEnd {
        Lost,            // nothing said: try to get back in, if we may
        Removed,         // the host's player removed us: the window closes
        HostEnded,       // the host ended the game
        HostBrokeBounds, // we dropped a host that broke the protocol's bounds
    };

    const Preferences* m_prefs;
    State m_state = State::NotConnected;
    LinkEnd m_linkEnd = LinkEnd::Lost;
    bool m_hosting = false;
    int m_myseat = 0;
    QString m_loginName;
    QString m_addressTried;
    GameModel m_model;
    bool m_joinedOnce = false; // joined() goes out once per session
    PhrasePause m_phrasePause;

    QString m_rejoinToken; // the host's proof that this is us, if it gave one
    RejoinSchedule m_schedule;
    QElapsedTimer m_lostFor;
    int m_attempt = 0;
    QTimer m_retryTimer;
    QTimer m_attemptTimer;
    // Runs once the host pings: the link is taken for dead when nothing at
    // all has come from it for that long.
    QTimer m_silence;

    TSock m_sock;
    TSock m_lobbyWatch; // held for the lobby; read only to be emptied
    Framer m_framer;
    MessagePump m_inboundPump;
    protocol::Dispatcher<> m_dispatcher;
};

} // namespace velmora
