// The connection's life, the message loop and the player's requests.

#include "core/clientsession.h"

#include "media/soundnames.h"
#include "protocol/extensions.h"
#include "records/preferences.h"

#include <QDebug>

namespace velmora {

using namespace protocol;

ClientSession::ClientSession(const Preferences* prefs, QObject* parent)
    : QObject(parent)
    , m_prefs(prefs)
    , m_inboundPump(
          kTickMs, [this](const InboundMessage& m) { takeMessage(m); }, kMaxWaitingMessages)
{
    buildDispatch();
    wireSocket();
    m_retryTimer.setSingleShot(true);
    connect(&m_retryTimer, &QTimer::timeout, this, &ClientSession::startAttempt);
    m_attemptTimer.setSingleShot(true);
    connect(&m_attemptTimer, &QTimer::timeout, this, [this] { attemptFailed(QStringLiteral("no answer in time")); });
    m_silence.setSingleShot(true);
    m_silence.setInterval(protocol::ext::kSilenceLimitMs);
    connect(&m_silence, &QTimer::timeout, this, &ClientSession::onSilence);
    connect(&m_lobbyWatch, &TSock::readyRead, this, &ClientSession::drainLobby);
    // A closed connection is told once the last message before it is read.
    m_inboundPump.setTickHook([this] { onTick(); });
}

ClientSession::~ClientSession() = default;

void ClientSession::wireSocket()
{
    connect(&m_sock, &TSock::readyRead, this, &ClientSession::readSocket, Qt::UniqueConnection);
    connect(&m_sock, &TSock::info, this, &ClientSession::onSocketInfo, Qt::UniqueConnection);
    connect(&m_sock, &TSock::connectionClosed, this, &ClientSession::onHostGone, Qt::UniqueConnection);
}

void ClientSession::tell(const QString& text)
{
    if (tellsNews())
        emit systemLine(text);
}

void ClientSession::setState(State state)
{
    if (m_state == state)
        return;
    m_state = state;
    emit stateChanged(state);
}

void ClientSession::buildDispatch()
{
    using namespace toClient;
    auto& d = m_dispatcher;
    d.on<SendLoginInfo>([this](const SendLoginInfo& m) { onLoginInfo(m); });
    d.on<ChatLine>([this](const ChatLine& m) { emit chatReceived(decodeReceivedChat(m.slot, m.line, false)); });
    d.on<ActionLine>([this](const ActionLine& m) { emit chatReceived(decodeReceivedChat(m.slot, m.line, true)); });
    d.on<NewPlayerInfo>([this](const NewPlayerInfo& m) { onParticipant(m.slot, m.name); });
    d.on<ExistingPlayer>([this](const ExistingPlayer& m) { onParticipant(m.slot, m.name); });
    d.on<PlayerDisconnected>([this](const PlayerDisconnected& m) { onDeparture(m); });
    d.on<GameStarted>([this](const GameStarted& m) { onGameStarted(m); });
    d.on<NextPlayer>([this](const NextPlayer& m) { onNextPlayer(m); });
    d.on<TheDart>([this](const TheDart& m) { onDice(m); });
    d.on<DiePlaced>([this](const DiePlaced& m) { onDiePlaced(m); });
    d.on<EndTurn>([this](const EndTurn& m) { onEndTurn(m, false); });
    d.on<PartnerEndTurn>([this](const PartnerEndTurn& m) { onEndTurn(m, true); });
    d.on<Winner>([this](const Winner& m) { onWinner(m); });
    d.on<Full>([this](const Full&) { onFull(); });
    d.on<HaveWrongVersion>([this](const HaveWrongVersion& m) {
        tell(m.name + QStringLiteral(" has a different version of the game then you."));
    });
    d.on<WrongVersion>(
        [this](const WrongVersion&) { tell(QStringLiteral("You have a different version then the host.")); });
    d.on<LoadBoard>([this](const LoadBoard& m) { onLoadBoard(m); });
    d.on<JustWatching>([this](const JustWatching& m) { onJustWatching(m); });
    d.on<SoundPlayed>([this](const SoundPlayed& m) { onChatterSound(m); });

    namespace ours = protocol::ext::toClient;
    d.on<ours::RejoinToken>([this](const ours::RejoinToken& m) { onRejoinToken(m.token); });
    d.on<ours::Rejoined>([this](const ours::Rejoined& m) { onRejoined(m); });
    d.on<ours::RejoinRefused>([this](const ours::RejoinRefused&) { onRejoinRefused(); });
    d.on<ours::SeatHeld>([this](const ours::SeatHeld& m) { onSeatHeld(m.seat, m.seconds, m.name); });
    d.on<ours::GameKind>([this](const ours::GameKind& m) { onGameKind(m.team, m.points); });
    d.on<ours::Removed>([this](const ours::Removed&) { m_linkEnd = LinkEnd::Removed; });
    d.on<ours::Goodbye>([this](const ours::Goodbye&) { m_linkEnd = LinkEnd::HostEnded; });
    d.on<ours::Ping>([this](const ours::Ping&) { onPing(); });
    // Spectators are not sent the common turn message; ours are told this way.
    d.on<ours::WhoseTurn>([this](const ours::WhoseTurn& m) {
        if (isSpectator())
            onNextPlayer(NextPlayer{m.seat});
    });
}

void ClientSession::connectToHost(const QString& address, quint16 port, bool hosting)
{
    m_hosting = hosting;
    m_linkEnd = LinkEnd::Lost;
    m_addressTried = QStringLiteral("%1 port %2").arg(address).arg(port);
    m_sock.setHostName(address);
    m_sock.setPortName(QString::number(port));
    setState(State::Connecting);
    if (const Result<bool> opened = m_sock.open(); !opened)
        emit reportRequested(QString::fromStdString(opened.error()));
}

void ClientSession::holdLobbyConnection(quint16 port)
{
    m_lobbyWatch.setHostName(QStringLiteral("127.0.0.1"));
    m_lobbyWatch.setPortName(QString::number(port));
    if (const Result<bool> opened = m_lobbyWatch.open(); !opened)
        emit reportRequested(QString::fromStdString(opened.error()));
}

void ClientSession::drainLobby()
{
    // Nothing is expected on it; whatever comes is read and let go, so it
    // cannot pile up in the socket. A read that fails found it gone between
    // the notice and the read: nothing is left to drain.
    (void)m_lobbyWatch.receive();
}

qint64 ClientSession::lobbyBytesWaiting() const
{
    return m_lobbyWatch.bytesAvailable();
}

void ClientSession::leave()
{
    m_retryTimer.stop();
    m_attemptTimer.stop();
    m_silence.stop();
    // A host that keeps seats for lost players need not keep ours.
    if (isConnected() && !m_rejoinToken.isEmpty())
        send(protocol::ext::toHost::Leaving{m_myseat}.encode());
    m_sock.disconnect(this);
    m_sock.close();
    m_inboundPump.discard(0);
    setState(State::Closed);
}

bool ClientSession::watchingMyself() const
{
    return rules::isSeat(m_myseat) && m_model.seat(m_myseat).watching;
}

void ClientSession::readSocket()
{
    // Anything at all from the host shows the link alive.
    if (m_silence.isActive())
        m_silence.start();
    const Result<QByteArray> received = m_sock.receive();
    if (!received)
        return; // gone between the notice and the read; its close follows
    bool flooded = false;
    const bool framed = m_framer.feed(
        *received, [this, &flooded](const QByteArray& bytes) { flooded = flooded || !m_inboundPump.push(bytes); });
    if (!framed)
        dropHost(QStringLiteral("The host sent a message longer than any the game knows."), CloseReason::FramingBroken);
    else if (flooded)
        dropHost(QStringLiteral("The host sent more messages than the game can keep."),
                 CloseReason::InputBoundExceeded);
}

// A host that breaks the protocol's bounds: it is heard no further (what
// had already arrived within the bounds is still handled), the player reads
// why, and the window stays open without a connection.
void ClientSession::dropHost(const QString& why, CloseReason reason)
{
    qWarning().noquote() << "velmora:" << why << "Leaving.";
    m_sock.disconnect(this);
    m_sock.dropConnection(reason);
    m_linkEnd = LinkEnd::HostBrokeBounds;
    emit systemLine(why + QStringLiteral(" You have been disconnected."));
    onHostGone();
}

// The host has pinged us: from now on a silent link is a dead one.
void ClientSession::onPing()
{
    m_silence.start();
    if (isConnected())
        send(protocol::ext::toHost::Pong{m_myseat}.encode(), true);
}

// Nothing from the host for the silence limit: the link is dead though no
// close came (a pulled cable, a sleeping laptop). It ends as a reset would.
void ClientSession::onSilence()
{
    if (isConnected())
        m_sock.dropConnection(CloseReason::Reset);
}

void ClientSession::onSocketInfo(SocketInfo kind, const QString& text)
{
    if (kind != SocketInfo::Error)
        return;
    if (m_state == State::Rejoining && !m_sock.isConnected()) {
        // Handled from the event loop, once per attempt: the socket is still
        // reporting when it tells us.
        QMetaObject::invokeMethod(
            this,
            [this, attempt = m_attempt, text] {
                if (attempt == m_attempt && m_state == State::Rejoining && !m_retryTimer.isActive())
                    attemptFailed(text);
            },
            Qt::QueuedConnection);
        return;
    }
    // A connection that cannot be made: say why and where, and stay open.
    if (m_state != State::Connecting)
        return;
    setState(State::Refused);
    emit systemLine(QStringLiteral("Could not connect to %1: %2").arg(m_addressTried, text));
}

void ClientSession::onHostGone()
{
    m_silence.stop();
    if (m_state == State::Rejoining) {
        // What the attempt heard before the close says how it failed.
        m_inboundPump.takeAllNow();
        if (m_state == State::Rejoining && !m_retryTimer.isActive())
            attemptFailed(QStringLiteral("the host closed the connection"));
    }
    // What the host said before it closed is still shown first: a host that
    // is full sends its refusal and closes at once.
    if (isConnected() || m_state == State::Connecting)
        setState(State::Closing);
    closeWhenDrained();
}

void ClientSession::closeWhenDrained()
{
    if (m_state == State::Closing && m_inboundPump.size() == 0)
        finishClosing();
}

void ClientSession::finishClosing()
{
    switch (m_linkEnd) {
    case LinkEnd::Lost:
        if (mayRejoin()) {
            beginRejoining();
            return;
        }
        setState(State::Closed);
        emit closeRequested();
        return;
    case LinkEnd::Removed:
        setState(State::Closed);
        emit closeRequested();
        return;
    case LinkEnd::HostEnded:
        m_rejoinToken.clear();
        setState(State::Ended);
        emit systemLine(QStringLiteral("The host ended the game."));
        return;
    case LinkEnd::HostBrokeBounds:
        setState(State::Closed);
        return;
    }
}

void ClientSession::onTick()
{
    closeWhenDrained();
}

void ClientSession::takeMessage(const InboundMessage& message)
{
    if (m_state == State::Closed || m_state == State::GivenUp || m_state == State::Ended)
        return;
    if (const Result<Dispatch> taken = m_dispatcher.dispatch(message.text); !taken) {
        // A message the host never sends: the board stays as it was.
        qWarning().noquote() << "velmora: dropped" << message.text.left(120) << "-"
                             << QString::fromStdString(taken.error());
    }
}

void ClientSession::send(const QByteArray& message, bool rejoinMessage)
{
    // Nothing goes to a host that has gone or been dropped; nobody needs
    // to be told that it did not. Between a lost connection and our seat
    // back, nothing speaks for us but the rejoin itself.
    // Before any connection the socket itself says why nothing went.
    switch (m_state) {
    case State::NotConnected:
    case State::Connecting:
    case State::Refused:
    case State::LoggedIn:
        break;
    case State::Rejoining:
    case State::CatchingUp:
        if (!rejoinMessage)
            return;
        break;
    case State::Closing:
    case State::GivenUp:
    case State::Ended:
    case State::Closed:
        return;
    }
    if (const Status sent = m_sock.send(message); !sent)
        emit reportRequested(QString::fromStdString(sent.error()));
}

void ClientSession::playSound(const QString& name)
{
    if (tellsNews() && (sounds::isVoice(name) ? m_prefs->playvoiceovers : m_prefs->playsounds))
        emit soundPlayed(name);
}

void ClientSession::throwDarts()
{
    if (!isConnected())
        return;
    m_model.clearDarts();
    emit dartsCleared();
    send(toHost::ThrowDarts{m_myseat}.encode());
}

void ClientSession::placeDie(int die)
{
    if (!m_model.dieAvailable(die) || !isMyTurn() || !isConnected())
        return;
    if (const auto place = rules::firstEmptyPlace(m_model.turn.places))
        send(toHost::PlaceDie{m_myseat, die, place->first, place->second}.encode());
}

void ClientSession::autoplace()
{
    if (isMyTurn() && isConnected())
        send(toHost::AutoPlace{m_myseat}.encode());
}

void ClientSession::toggleJustWatch()
{
    if (isConnected() && !isSpectator())
        send(toHost::JustWatch{m_myseat, !watchingMyself()}.encode());
}

void ClientSession::setSeatWatching(int seat, bool watching)
{
    if (isConnected() && rules::isSeat(seat))
        send(toHost::JustWatch{seat, watching}.encode());
}

void ClientSession::kick(int number)
{
    if (m_hosting && isConnected())
        send(toHost::KickPlayer{m_myseat, number}.encode());
}

void ClientSession::startGame(bool team, bool points)
{
    send(toHost::StartGame{m_myseat, team, points}.encode());
}

void ClientSession::sendTypedLine(const QString& text, const QString& colour)
{
    if (!isConnected() || text.isEmpty())
        return;
    if (!text.startsWith(u'/'))
        send(toHost::Chat{m_myseat, protocol::withColour(text, colour)}.encode());
    else if (protocol::isAction(text))
        send(toHost::Action{m_myseat, protocol::withColour(protocol::actionText(text), colour)}.encode());
}

void ClientSession::sendPhrase(const QString& phrase, const QString& colour)
{
    if (!m_phrasePause.take())
        return;
    const QString text = protocol::isAction(phrase) ? protocol::actionText(phrase) : protocol::saying(phrase);
    send(toHost::Action{m_myseat, protocol::withColour(text, colour)}.encode());
}

void ClientSession::sendChatterSound(int sound)
{
    if (sound >= 1 && sound <= game::kChatterSounds && !isSpectator() && isConnected())
        send(toHost::PlaySound{m_myseat, sound}.encode());
}

} // namespace velmora
