#include "tserver.h"

#include "protocol/catalogue.h"
#include "protocol/extensions.h"

#include <QDebug>
#include <algorithm>

namespace velmora {

namespace toHost = protocol::toHost;
namespace toClient = protocol::toClient;

namespace {

// Malformed or unauthorised input from the network: one line on stderr, no
// change to the game, nothing on anybody's screen.
void reportDropped(const QString& why, const QString& text)
{
    qWarning().noquote() << "velmora host: dropped" << why + ":" << text.left(120);
}

// A peer's move that the rules refuse (not its turn, not thrown yet, a die
// already used, a place taken) changes nothing and is answered with nothing,
// as every host of the game does: a board of ours never offers such a move.
void refuseInSilence(GameEngine::Outcome outcome)
{
    static_cast<void>(outcome);
}

// Finishing the turn of a player who left, came back or watches may find no
// turn of his (no game, another seat's turn) or nothing left to place; any
// other refusal is the host's own fault, and is logged.
void finishTurn(GameEngine::Outcome outcome, int seat)
{
    using Outcome = GameEngine::Outcome;
    switch (outcome) {
    case Outcome::Done:
    case Outcome::NoGame:
    case Outcome::NotYourTurn:
    case Outcome::NothingToPlace:
        return;
    default:
        qWarning().noquote() << "velmora host: the turn of seat" << seat << "was not finished, outcome"
                             << static_cast<int>(outcome);
    }
}

} // namespace

TServer::TServer(QObject* parent)
    : QObject(parent)
    , m_inboundPump(kTickMs, [this](const InboundMessage& m) { onMessage(m); })
    , m_announcer(m_roster, m_engine, [this](const QString& names) { emit winnerAnnounced(names); })
    , m_pacer(m_engine, [this] { return m_botPace ? m_botPace() : game::kDefaultBotDelayMs; })
{
    m_listener.setObjectName(QStringLiteral("Sock1"));
    m_listener.setPortName(QString::number(protocol::kGamePort));
    connect(&m_listener, &TSock::acceptPending, this, &TServer::onAccept);
    m_engine.setListener([this](const GameEvent& e) { onGameEvent(e); });
    setUpDispatch();
    setUpRejoinDispatch();
    connect(&m_keeper, &SeatKeeper::holdExpired, this, &TServer::releaseHeldSeat);
    connect(&m_keeper, &SeatKeeper::waitedTooLong, this, &TServer::letWaitingGo);
    setHeartbeat(protocol::ext::kPingIntervalMs, protocol::ext::kSilenceLimitMs);
    connect(&m_heartbeat, &QTimer::timeout, this, &TServer::onHeartbeat);
    m_clock.start();
}

void TServer::setBotPace(std::function<int()> pace)
{
    m_botPace = std::move(pace);
}

void TServer::setHeartbeat(int pingIntervalMs, int silenceLimitMs)
{
    m_heartbeat.setInterval(std::max(1, pingIntervalMs / 2));
    m_silenceLimitMs = silenceLimitMs;
}

TServer::~TServer()
{
    sayGoodbye();
    m_engine.setListener({});
}

void TServer::sayGoodbye()
{
    if (std::exchange(m_saidGoodbye, true))
        return;
    m_heartbeat.stop();
    // Sent before the close, so our windows know not to come back; a peer
    // that knows only the common messages sees the close it always saw.
    m_roster.sendToAll(protocol::ext::toClient::Goodbye{}.encode(), Roster::Audience::Extended);
    // Stopping a listener cannot fail.
    (void)m_listener.setListen(false);
    m_pacer.stopComputer();
    for (int s = 1; s <= SeatKeeper::kLastWaitingSlot; ++s) {
        Roster::Connection& c = m_roster[s];
        if (c.sock) {
            c.sock->disconnect(this);
            c.sock->close();
        }
        c.connected = false;
        c.loggedIn = false;
        m_inboundPump.discard(c.id);
    }
}

Status TServer::startListening(quint16 port)
{
    m_listener.setPortName(QString::number(port));
    return m_listener.setListen(true);
}

quint16 TServer::port() const
{
    return m_listener.localPort();
}

// --- connections -----------------------------------------------------------

void TServer::onAccept()
{
    int chosen = m_roster.freeSlot([this](int slot) { return m_keeper.isHeld(slot); });
    // Only the listener reports a pending connection, so accept() fails never.
    const Result<TSock*> accepted = m_listener.accept();
    TSock* sock = accepted ? *accepted : nullptr;
    if (!sock)
        return; // nothing taken: the chosen slot stays free and nothing is sent
    if (chosen == 0 && m_keeper.anyHeld() && !m_saidGoodbye)
        chosen = admitWaiting();

    const QString peer = sock->hostName();
    if (chosen == 0) {
        if (const Status sent = sock->send(toClient::Full{}.encode()); !sent)
            reportDropped(QStringLiteral("\"Game is full\" to %1").arg(peer), QString::fromStdString(sent.error()));
        sock->close();
        sock->deleteLater();
        emit connectionRefused(peer);
        return;
    }
    attachConnection(chosen, sock);
    emit connectionAccepted(chosen, peer);
}

void TServer::attachConnection(int slot, TSock* sock)
{
    m_roster.attach(slot, sock);
    m_roster[slot].lastHeardMs = m_clock.elapsed();
    sock->setTag(slot);
    sock->setOutputLimit(kMaxUnsent);
    connect(sock, &TSock::readyRead, this, [this, sock] { onRead(sock); });
    // The slot is asked at the close: a rejoin may have moved the connection.
    connect(sock, &TSock::connectionClosed, this, [this, sock](CloseReason why) {
        const int at = sock->tag();
        if (m_roster[at].sock == sock)
            onDeparture(at, why);
    });
    if (SeatKeeper::isWaitingSlot(slot)) {
        m_roster.sendTo(slot, toClient::SendLoginInfo{Roster::kTransitSlot}.encode());
        return;
    }
    m_engine.takeSeat(slot);
    m_roster.sendTo(slot, toClient::SendLoginInfo{slot}.encode());
}

void TServer::onRead(TSock* sock)
{
    const int slot = sock->tag();
    if (m_roster[slot].sock != sock)
        return;
    if (const Result<QByteArray> bytes = sock->receive())
        receive(slot, *bytes);
    else
        reportDropped(QStringLiteral("connection in slot %1").arg(slot), QString::fromStdString(bytes.error()));
}

void TServer::receive(int slot, const QByteArray& bytes)
{
    Roster::Connection& c = m_roster[slot];
    if (!c.connected)
        return;
    c.lastHeardMs = m_clock.elapsed();
    if (SeatKeeper::isWaitingSlot(slot)) {
        receiveWhileWaiting(slot, bytes);
        return;
    }
    const quint64 id = c.id;
    bool queued = true;
    const bool framed =
        c.framer.feed(bytes, [&](QByteArray message) { queued = queued && m_inboundPump.push(message, id); });
    if (!framed) {
        reportDropped(QStringLiteral("connection in slot %1").arg(slot),
                      QStringLiteral("more than 64 KiB without a terminator"));
        dropConnection(slot, CloseReason::FramingBroken);
    } else if (!queued) {
        reportDropped(QStringLiteral("connection in slot %1").arg(slot),
                      QStringLiteral("more messages waiting than the queue holds"));
        dropConnection(slot, CloseReason::InputBoundExceeded);
    }
}

// Sockets report their own closing (and the departure follows from the
// event loop); a connection without one departs at once.
void TServer::dropConnection(int slot, CloseReason reason)
{
    if (TSock* sock = m_roster[slot].sock)
        sock->dropConnection(reason);
    else
        onDeparture(slot, reason);
}

int TServer::acceptDetached()
{
    const int chosen = m_roster.freeSlot([this](int slot) { return m_keeper.isHeld(slot); });
    if (chosen == 0)
        return 0;
    m_roster.attach(chosen, nullptr);
    m_engine.takeSeat(chosen);
    return chosen;
}

void TServer::takeWaitingMessages()
{
    m_inboundPump.takeAllNow();
}

void TServer::kick(int slot)
{
    if (slot < 1 || slot > game::kMaxConnections)
        return;
    const Roster::Connection& c = m_roster[slot];
    if (m_keeper.isHeld(slot)) {
        releaseHeldSeat(slot);
        return;
    }
    if (!c.connected)
        return;
    // Our own window is told not to come back; it would otherwise take the
    // close for a lost connection.
    if (c.knowsExtensions)
        m_roster.sendTo(slot, protocol::ext::toClient::Removed{}.encode());
    if (c.sock)
        c.sock->close();
}

void TServer::onDeparture(int s, CloseReason reason)
{
    Roster::Connection& c = m_roster[s];
    if (!c.connected)
        return;
    if (SeatKeeper::isWaitingSlot(s)) {
        // Nobody was told of it; it goes as quietly as it came.
        if (c.sock)
            c.sock->deleteLater();
        c = Roster::Connection{};
        m_keeper.leaveWaiting(s);
        return;
    }
    if (mayHold(s, reason)) {
        holdSeat(s);
        return;
    }
    if (s > game::kSeats && !c.leaving)
        m_keeper.rememberSpectator(m_keeper.token(s), c.name, m_chatHistory.mark());
    m_keeper.forgetToken(s);
    const QString name = c.name;
    m_roster.sendToOthers(s, toClient::PlayerDisconnected{s, name}.encode());
    c.connected = false;
    c.loggedIn = false;
    c.name.clear();
    m_inboundPump.discard(c.id);
    m_engine.leaveSeat(s);
    emit departed(s, name);

    // What becomes of the seat's turn, if it is the current one.
    switch (reason) {
    case CloseReason::ClosedHere:
        // Kicked: only the dice are thrown, and the computer places them at
        // its own pace; after the throw, what is left is placed at once.
        finishTurn(m_engine.handOver(s), s);
        break;
    case CloseReason::ClosedByPeer:
    case CloseReason::Reset:
    case CloseReason::FramingBroken:
    case CloseReason::OutputBoundExceeded:
    case CloseReason::InputBoundExceeded:
        // Gone: the turn is played out at once, throw and every die.
        finishTurn(m_engine.playOut(s), s);
        break;
    }
}

// --- messages ----------------------------------------------------------------

void TServer::onMessage(const InboundMessage& message)
{
    // A connection that has gone (or whose slot now belongs to someone else)
    // no longer speaks for anybody.
    const int from = m_roster.slotOf(message.source);
    if (from == 0)
        return;
    if (const auto taken = m_dispatcher.dispatch(message.text, from, message.text); !taken)
        reportDropped(QString::fromStdString(taken.error()), message.text);
}

void TServer::setUpDispatch()
{
    auto& d = m_dispatcher;
    d.on<toHost::LoginInfo>([this](int from, const QString& text, const auto& m) { onLogin(from, text, m); });
    d.on<toHost::KickPlayer>([this](int from, const QString& text, const auto& m) { onKick(from, text, m); });
    d.on<toHost::Chat>([this](int from, const QString& text, const auto& m) {
        if (speaksFor(from, m.slot, text) && withinChatBudget(from))
            relayChat(toClient::ChatLine::relay(from, m_roster[from].name, m.text).encode());
    });
    d.on<toHost::Action>([this](int from, const QString& text, const auto& m) {
        if (speaksFor(from, m.slot, text) && withinChatBudget(from))
            relayChat(toClient::ActionLine::relay(from, m_roster[from].name, m.text).encode());
    });
    d.on<toHost::StartGame>([this](int from, const QString& text, const auto& m) { onStartGame(from, text, m); });
    d.on<toHost::ThrowDarts>([this](int from, const QString& text, const auto& m) {
        if (speaksFor(from, m.slot, text))
            refuseInSilence(m_engine.throwDice(from));
    });
    d.on<toHost::PlaceDie>([this](int from, const QString& text, const auto& m) {
        if (speaksFor(from, m.slot, text))
            refuseInSilence(m_engine.placeDie(from, {m.die, m.dart, m.place}));
    });
    d.on<toHost::AutoPlace>([this](int from, const QString& text, const auto& m) {
        if (speaksFor(from, m.slot, text))
            refuseInSilence(m_engine.autoPlace(from));
    });
    d.on<toHost::JustWatch>([this](int from, const QString& text, const auto& m) { onJustWatch(from, text, m); });
    d.on<toHost::PlaySound>([this](int from, const QString& text, const auto& m) {
        if (speaksFor(from, m.slot, text) && withinChatBudget(from))
            m_roster.sendToAll(toClient::SoundPlayed{from, m.sound}.encode());
    });
}

void TServer::relayChat(const QByteArray& line)
{
    m_chatHistory.add(line);
    m_roster.sendToAll(line);
}

// The first field of a client message is its sender's own number (a waiting
// connection's is the one it was greeted with); a message that speaks for
// another slot than the one it came on is not obeyed.
bool TServer::speaksFor(int from, int sender, const QString& text) const
{
    if (sender == from || (SeatKeeper::isWaitingSlot(from) && sender == Roster::kTransitSlot))
        return true;
    reportDropped(QStringLiteral("sender %1 on the connection of slot %2").arg(sender).arg(from), text);
    return false;
}

// Chat beyond a connection's budget is dropped, with one line per burst.
bool TServer::withinChatBudget(int from)
{
    switch (m_roster[from].chat.spend(m_clock.elapsed())) {
    case ChatBudget::Verdict::Pass:
        return true;
    case ChatBudget::Verdict::DropAndReport:
        qWarning().noquote() << "velmora host: dropping chat from slot" << from << "while it floods";
        return false;
    case ChatBudget::Verdict::Drop:
        return false;
    }
    return false;
}

bool TServer::fromHostsPlayer(int from, const QString& text) const
{
    if (from == 1)
        return true;
    reportDropped(QStringLiteral("only the host's player (slot 1) may do this, not slot %1").arg(from), text);
    return false;
}

void TServer::onLogin(int from, const QString& text, const toHost::LoginInfo& m)
{
    if (!speaksFor(from, m.slot, text))
        return;
    announceArrival(from, m.name);
    if (m.version != QLatin1String(protocol::kVersion)) {
        m_roster.sendTo(1, toClient::HaveWrongVersion{m.name}.encode());
        m_roster.sendTo(from, toClient::WrongVersion{}.encode());
    }
    emit loggedIn(from, m.name);

    if (m_engine.isRunning()) {
        m_announcer.bringUpToDate(from);
        // The seat's owner is back in the middle of its turn: finish the turn now.
        if (from == m_engine.currentSeat()) {
            m_pacer.stopComputer();
            finishTurn(m_engine.handOver(from), from);
        }
    }
    // Our own windows announce themselves after their login.
    if (m_roster[from].knowsExtensions)
        welcomeExtended(from);
}

void TServer::announceArrival(int slot, const QString& name)
{
    Roster::Connection& c = m_roster[slot];
    c.name = name;
    c.loggedIn = true;
    m_roster.sendToAll(toClient::NewPlayerInfo{slot, name}.encode());
    // Only those who have logged in: a connection still on its way in has
    // no name yet, and its own login will introduce it.
    for (int other = 1; other <= m_roster.highestSlot(); ++other) {
        if (other != slot && m_roster[other].connected && m_roster[other].loggedIn)
            m_roster.sendTo(slot, toClient::ExistingPlayer{other, m_roster[other].name}.encode());
    }
}

void TServer::onKick(int from, const QString& text, const toHost::KickPlayer& m)
{
    if (speaksFor(from, m.slot, text) && fromHostsPlayer(from, text))
        kick(m.target);
}

void TServer::onStartGame(int from, const QString& text, const toHost::StartGame& m)
{
    if (speaksFor(from, m.slot, text) && fromHostsPlayer(from, text))
        startGame(from, m.team, m.points);
}

// A seat's own owner may watch or play again; another seat only the host's player may set.
void TServer::onJustWatch(int from, const QString& text, const toHost::JustWatch& m)
{
    if (m.seat != from && !fromHostsPlayer(from, text))
        return;
    refuseInSilence(m_engine.setWatching(m.seat, m.watching));
}

// A new game, replacing any that runs.
void TServer::startGame(int starter, bool team, bool points)
{
    m_roster.sendToAll(toClient::GameStarted{starter, team, points}.encode());
    emit gameStarted(starter, team, points);
    m_engine.startGame(team, points);
}

// --- the game's events -------------------------------------------------------------

void TServer::onGameEvent(const GameEvent& e)
{
    m_announcer.announce(e);
    m_pacer.follow(e);
}

} // namespace velmora
