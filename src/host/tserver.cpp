#include "tserver.h"

#include "protocol/message.h"

#include <QDebug>
#include <QStringList>

namespace velmora {

using protocol::encode;
using protocol::Trailing;

namespace {

QString num(int value)
{
    return QString::number(value);
}

// Malformed or unauthorised input from the network: one line on stderr, no
// change to the game, nothing on anybody's screen.
void reportDropped(const QString& why, const QString& text)
{
    qWarning().noquote() << "velmora host: dropped" << why + ":" << text.left(120);
}

} // namespace

TServer::TServer(QObject* parent)
    : QObject(parent)
    , m_socktimer(kTickMs, [this](const InboundMessage& m) { socktimerTimer(m); })
    , m_random(std::random_device{}())
{
    m_sock1.setPortName(num(protocol::kGamePort));
    connect(&m_sock1, &TSock::acceptPending, this, &TServer::Sock1Accept);

    m_computerplay.setSingleShot(true);
    m_computerplay.setTimerType(Qt::PreciseTimer);
    connect(&m_computerplay, &QTimer::timeout, this, &TServer::computerplayTimer);
    m_timer1.setSingleShot(true);
    m_timer1.setTimerType(Qt::PreciseTimer);
    m_timer1.setInterval(kScoringPauseMs);
    connect(&m_timer1, &QTimer::timeout, this, [this] { endturn(m_currentplayer); });

    m_players[1].partner = 3;
    m_players[2].partner = 4;
    m_players[3].partner = 1;
    m_players[4].partner = 2;
    m_players[2].botname = QStringLiteral("Borl");
    m_players[3].botname = QStringLiteral("Dask");
    m_players[4].botname = QStringLiteral("Tumm");

    m_rollDie = [this] { return std::uniform_int_distribution<int>(1, 6)(m_random); };
}

TServer::~TServer()
{
    // Connections go down quietly with the host; nobody is left to tell.
    for (Slot& s : m_players) {
        if (s.sock)
            s.sock->disconnect(this);
    }
}

void TServer::startListening(quint16 port)
{
    m_sock1.setPortName(num(port));
    m_sock1.setListen(true);
}

quint16 TServer::port() const
{
    return m_sock1.localPort();
}

int TServer::botDelayMs() const
{
    return m_botSpeed ? m_botSpeed->botDelayMs() : m_ownBotDelay;
}

// --- connections -----------------------------------------------------------

void TServer::Sock1Accept()
{
    int chosen = 0;
    for (int s = 1; s <= m_slotcount && chosen == 0; ++s) {
        if (!m_players[s].connected)
            chosen = s;
    }
    if (chosen == 0 && m_slotcount < kMaxConnections)
        chosen = m_slotcount + 1;

    TSock* sock = m_sock1.accept();
    if (!sock)
        return; // nothing taken: the chosen slot stays free and nothing is sent

    if (chosen == 0) {
        const QString peer = sock->hostName();
        sock->send(encode("CMD_full"));
        sock->close();
        sock->deleteLater();
        emit connectionRefused(peer);
        return;
    }

    m_slotcount = std::max(m_slotcount, chosen);
    Slot& slot = m_players[chosen];
    if (slot.sock)
        slot.sock->deleteLater(); // the closed socket of whoever held the slot before
    slot.sock = sock;
    slot.connected = true;
    slot.framer = Framer();
    slot.connection = ++m_lastConnection;
    sock->setTag(chosen);
    sock->setOutputLimit(kMaxUnsent);
    connect(sock, &TSock::disconnected, this, [this, sock] { tempsockDisconnect(sock); });
    connect(sock, &TSock::readyRead, this, [this, sock] { Sock1Read(sock); });
    connect(sock, &TSock::info, this,
            [this, sock](SocketInfo kind, const QString& message) { tempsockInfo(sock, kind, message); });
    sendTo(chosen, encode("CMD_sendlogininfo", {num(chosen)}));
    emit connectionAccepted(chosen, sock->hostName());
}

void TServer::Sock1Read(TSock* sock)
{
    Slot& slot = m_players[sock->tag()];
    if (slot.sock != sock)
        return;
    const quint64 connection = slot.connection;
    const bool withinBounds =
        slot.framer.feed(sock->receive(), [&](QByteArray bytes) { m_socktimer.push(bytes, connection); });
    if (!withinBounds) {
        reportDropped(QStringLiteral("connection in slot %1").arg(sock->tag()),
                      QStringLiteral("more than 64 KiB without a terminator"));
        sock->dropConnection();
    }
}

void TServer::tempsockDisconnect(TSock* sock)
{
    const int s = sock->tag();
    if (m_players[s].sock == sock && m_players[s].connected)
        disconnectsock(s);
}

void TServer::disconnectsock(int slot)
{
    if (slot < 1 || slot > kSlotCount)
        return;
    if (m_players[slot].connected && m_players[slot].sock)
        m_players[slot].sock->close();
}

void TServer::tempsockInfo(TSock* sock, SocketInfo kind, const QString& message)
{
    if (kind != SocketInfo::Close || message != QLatin1String("Socket Closed"))
        return;
    const int s = sock->tag();
    Slot& slot = m_players[s];
    if (slot.sock != sock)
        return;

    const bool wasConnected = slot.connected;
    const QString name = slot.name;
    if (wasConnected) {
        for (int other = 1; other <= m_slotcount; ++other) {
            if (other != s)
                sendTo(other, encode("CMD_playerdisconnected", {num(s), name}));
        }
    }
    slot.connected = false;
    slot.name.clear();
    slot.justwatching = false;
    if (wasConnected)
        emit departed(s, name);

    // Every close report of the current seat finishes its turn: the first
    // throws (if need be), the second places what is left.
    if (m_gameon && s == m_currentplayer)
        finishTurnFor(s);
}

// --- dispatch ----------------------------------------------------------------

void TServer::socktimerTimer(const InboundMessage& message)
{
    const CommandLine line = splitCommand(message.text);
    if (line.command.isEmpty())
        return;

    // Which slot the connection holds; a connection that has gone (or whose
    // slot now belongs to someone else) no longer speaks for anybody.
    int from = 0;
    for (int s = 1; s <= m_slotcount; ++s) {
        if (m_players[s].connection == message.source && m_players[s].connected)
            from = s;
    }
    if (from == 0)
        return;

    try {
        const QString& cmd = line.command;
        if (cmd == QLatin1String("CMD_logininfo"))
            receivedlogininfo(from, line.rest);
        else if (cmd == QLatin1String("CMD_kickhim"))
            kickhim(from, line.rest);
        else if (cmd == QLatin1String("CMD_chat"))
            chat(from, line.rest, "CMD_chat", QStringLiteral(" chats: "));
        else if (cmd == QLatin1String("CMD_action"))
            chat(from, line.rest, "CMD_action", QStringLiteral(" "));
        else if (cmd == QLatin1String("CMD_startgame"))
            startgameRequest(from, line.rest);
        else if (cmd == QLatin1String("CMD_throwdarts"))
            throwdartsRequest(from, line.rest);
        else if (cmd == QLatin1String("CMD_placedice"))
            placediceRequest(from, line.rest);
        else if (cmd == QLatin1String("CMD_autoplace"))
            autoplaceRequest(from, line.rest);
        else if (cmd == QLatin1String("CMD_justwatch"))
            justwatch(from, line.rest);
        else if (cmd == QLatin1String("CMD_playasound"))
            playasound(from, line.rest);
    } catch (const ProtocolError& e) {
        reportDropped(QString::fromStdString(e.what()), message.text);
    } catch (const ESockException& e) {
        reportDropped(QString::fromStdString(e.what()), message.text);
    }
}

namespace {

// The first field of a client message is its sender's own number; a message
// that speaks for another slot than the one it came on is not obeyed.
int takeSender(FieldReader& fields, int from, bool lastField = false)
{
    const int sender =
        lastField ? fields.restAsNumber(1, TServer::kSlotCount) : fields.takeNumber(1, TServer::kSlotCount);
    if (sender != from)
        throw ProtocolError("sender " + std::to_string(sender) + " on the connection of slot " + std::to_string(from));
    return sender;
}

void requireHostsPlayer(int from)
{
    if (from != 1)
        throw ProtocolError("only the host's player (slot 1) may do this, not slot " + std::to_string(from));
}

} // namespace

void TServer::receivedlogininfo(int from, const QString& rest)
{
    FieldReader fields(rest);
    const int s = takeSender(fields, from);
    const QString version = fields.take();
    const QString name = fields.rest();

    Slot& slot = m_players[s];
    slot.name = name;
    slot.connected = true;
    sendToAll(encode("CMD_newplayerinfo", {num(s), name}));
    for (int other = 1; other <= m_slotcount; ++other) {
        if (other != s && m_players[other].connected)
            sendTo(s, encode("CMD_existingplayers", {num(other), m_players[other].name}));
    }
    if (version != QLatin1String(protocol::kVersion)) {
        if (m_players[1].connected)
            sendTo(1, encode("CMD_havewrongversion", {name}));
        sendTo(s, encode("CMD_wrongversion"));
    }
    emit loggedIn(s, name);

    if (!m_gameon)
        return;
    for (int seat = 1; seat <= kSeats; ++seat) {
        if (!inPlay(seat))
            continue;
        for (int target = rules::kFirstTarget; target <= rules::kBull; ++target) {
            sendTo(s,
                   encode("CMD_loadboard", {num(seat), num(target), num(rules::marksOn(m_players[seat].marks, target)),
                                            num(m_players[seat].score)}));
        }
    }
    sendTo(s, encode("CMD_nextplayer", {num(m_currentplayer)}));
    QStringList dice;
    for (int value : m_turn.values)
        dice << num(value);
    sendTo(s, encode("CMD_thedart", dice, Trailing::Yes));

    // The seat's owner is back in the middle of its turn: finish the turn now.
    if (s == m_currentplayer) {
        m_computerplay.stop();
        finishTurnFor(s);
    }
}

void TServer::kickhim(int from, const QString& rest)
{
    FieldReader fields(rest);
    takeSender(fields, from);
    requireHostsPlayer(from);
    const int target = fields.takeNumber(1, kSlotCount);
    disconnectsock(target);
}

void TServer::chat(int from, const QString& rest, const char* command, const QString& joiner)
{
    FieldReader fields(rest);
    const int s = takeSender(fields, from);
    sendToAll(encode(command, {num(s), m_players[s].name + joiner + fields.rest()}));
}

void TServer::playasound(int from, const QString& rest)
{
    FieldReader fields(rest);
    const int s = takeSender(fields, from);
    sendToAll(encode("CMD_playasound", {num(s), fields.rest()}));
}

void TServer::justwatch(int from, const QString& rest)
{
    FieldReader fields(rest);
    const int seat = fields.takeNumber(1, kSlotCount);
    const QString flag = fields.rest();
    if (seat > kSeats)
        return;
    if (seat != from)
        requireHostsPlayer(from);

    if (flag == QLatin1String("2")) {
        m_players[seat].justwatching = false;
        sendToAll(encode("CMD_justwatching", {num(seat), QStringLiteral("2")}));
    } else if (flag == QLatin1String("1")) {
        m_players[seat].justwatching = true;
        sendToAll(encode("CMD_justwatching", {num(seat), QStringLiteral("1")}));
        if (m_gameon && seat == m_currentplayer)
            finishTurnFor(seat);
    }
}

void TServer::startgameRequest(int from, const QString& rest)
{
    FieldReader fields(rest);
    const int starter = takeSender(fields, from);
    requireHostsPlayer(from);
    const QString team = fields.take();
    const QString points = fields.take();
    startgame(starter, team, points);
}

void TServer::startgame(int starter, bool team, bool points)
{
    startgame(starter, team ? QStringLiteral("1") : QStringLiteral("0"),
              points ? QStringLiteral("1") : QStringLiteral("0"));
}

// A new game, replacing any that runs; `points` goes back out as received.
void TServer::startgame(int starter, const QString& team, const QString& points)
{
    m_timer1.stop();
    m_computerplay.stop();
    clearit1();
    m_teamgame = team == QLatin1String("1");
    m_pointsgame = points != QLatin1String("0");
    sendToAll(encode("CMD_startgame", {num(starter), m_teamgame ? QStringLiteral("t") : QStringLiteral("n"), points},
                     Trailing::Yes));
    m_gameon = true;
    emit gameStarted(starter, m_teamgame, m_pointsgame);

    m_currentplayer = std::uniform_int_distribution<int>(1, kSeats)(m_random);
    if (m_currentplayer == 3 && !m_players[3].connected)
        m_currentplayer = 1;
    findplayer();
}

void TServer::throwdartsRequest(int from, const QString& rest)
{
    FieldReader fields(rest);
    throwdarts(takeSender(fields, from, true));
}

void TServer::placediceRequest(int from, const QString& rest)
{
    FieldReader fields(rest);
    const int seat = takeSender(fields, from);
    const int die = fields.takeNumber(1, rules::kDice);
    const int dart = fields.takeNumber(1, rules::kDarts);
    const int place = fields.restAsNumber(1, rules::kPlacesPerDart);
    placedice(seat, die, dart, place);
}

void TServer::autoplaceRequest(int from, const QString& rest)
{
    FieldReader fields(rest);
    autoplace(takeSender(fields, from, true));
}

// --- the game ------------------------------------------------------------------

void TServer::clearit1()
{
    for (int seat = 1; seat <= kSeats; ++seat) {
        m_players[seat].score = 0;
        m_players[seat].marks = {};
        m_players[seat].justwatching = false;
    }
}

void TServer::findplayer()
{
    m_dartresult = {};
    m_turn = {};
    do {
        m_currentplayer = m_currentplayer % kSeats + 1;
    } while (!(m_currentplayer == 2 || m_players[m_currentplayer].connected || m_teamgame));

    Slot& seat = m_players[m_currentplayer];
    seat.dicecount = 0;
    seat.tothrow = true;
    for (int s = 1; s <= kSeats; ++s)
        sendTo(s, encode("CMD_nextplayer", {num(m_currentplayer)}));

    if (computerDriven(m_currentplayer))
        armComputer(1, botDelayMs());
    else
        m_computerplay.stop();
}

void TServer::throwdarts(int seat)
{
    // Only the current seat throws, and only once a turn.
    if (!m_gameon || seat != m_currentplayer || !m_players[seat].tothrow)
        return;
    QStringList dice;
    for (int& value : m_turn.values) {
        value = m_rollDie();
        dice << num(value);
    }
    sendToAll(encode("CMD_thedart", dice, Trailing::Yes));
    m_players[seat].tothrow = false;
    if (computerDriven(seat))
        armComputer(2, 3 * botDelayMs());
}

void TServer::placedice(int seat, int die, int dart, int place)
{
    Slot& player = m_players[seat];
    int& spot = m_turn.places[dart - 1][place - 1];
    // Dice lie on the darts only after the throw, each die once, one to a place.
    if (!m_gameon || seat != m_currentplayer || player.tothrow || m_turn.used[die - 1] || spot != 0)
        return;

    ++player.dicecount;
    spot = m_turn.values[die - 1];
    m_turn.used[die - 1] = true;
    int sum = 0;
    for (int value : m_turn.places[dart - 1])
        sum += value;
    m_dartresult[dart - 1] = rules::dartResult(sum);
    sendToAll(encode("CMD_placedice",
                     {num(seat), QString::fromStdString(m_dartresult[dart - 1]), num(die), num(dart), num(place)}));

    if (player.dicecount == rules::kDice)
        m_timer1.start();
    else if (computerDriven(seat))
        armComputer(2, botDelayMs());
}

void TServer::endturn(int seat)
{
    m_timer1.stop();
    m_computerplay.stop();
    if (!m_gameon || seat < 1 || seat > kSeats)
        return;

    Slot& player = m_players[seat];
    const auto opponentOpen = [this](int target) {
        for (int s = 1; s <= kSeats; ++s) {
            if (inPlay(s) && rules::marksOn(m_players[s].marks, target) < rules::kClosed)
                return true;
        }
        return false;
    };
    player.score += rules::scoreTurn(player.marks, m_dartresult, opponentOpen);

    QStringList results = {num(seat), num(player.score)};
    for (const std::string& r : m_dartresult)
        results << QString::fromStdString(r);
    sendToAll(encode("CMD_endturn", results));

    if (m_teamgame) {
        Slot& partner = m_players[player.partner];
        partner.score = player.score;
        partner.marks = player.marks;
        results[0] = num(player.partner);
        sendToAll(encode("CMD_tendturn", results));
    }

    if (!checkforwin(seat)) {
        findplayer();
        return;
    }
    m_timer1.stop();
    m_computerplay.stop();
    m_gameon = false;
    m_currentplayer = 0;
    QString winner = displayName(seat);
    if (m_teamgame)
        winner += QStringLiteral(" and ") + displayName(player.partner);
    sendToAll(encode("CMD_winner", {winner}));
    emit winnerAnnounced(winner);
}

bool TServer::checkforwin(int seat) const
{
    std::array<rules::SeatStanding, rules::kSeats> standings;
    for (int s = 1; s <= kSeats; ++s)
        standings[s - 1] = {m_players[s].marks, m_players[s].score};
    return rules::checkForWin(standings, seat, m_pointsgame, m_teamgame ? m_players[seat].partner : 0);
}

QString TServer::displayName(int seat) const
{
    return m_players[seat].name.isEmpty() ? m_players[seat].botname : m_players[seat].name;
}

// --- the computer player -------------------------------------------------------

void TServer::armComputer(int step, int delayMs)
{
    m_computerplay.stop();
    m_computerStep = step;
    m_computerplay.setInterval(delayMs);
    m_computerplay.start();
}

void TServer::computerplayTimer()
{
    m_computerplay.stop();
    if (!m_gameon || !computerDriven(m_currentplayer))
        return; // the seat's owner has taken over
    if (m_computerStep == 1)
        throwdarts(m_currentplayer);
    else if (m_computerStep == 2)
        computersort(m_currentplayer);
}

void TServer::computersort(int seat)
{
    if (seat != m_currentplayer || m_players[seat].tothrow)
        return;
    if (const auto next = rules::nextPlacement(m_turn))
        placedice(seat, next->die, next->dart, next->place);
}

void TServer::autoplace(int seat)
{
    if (!m_gameon || seat != m_currentplayer || m_players[seat].tothrow)
        return;
    while (const auto next = rules::nextPlacement(m_turn))
        placedice(seat, next->die, next->dart, next->place);
}

// Hands the current seat's turn to the computer at once: throw if it has not
// thrown, otherwise place everything that is left.
void TServer::finishTurnFor(int seat)
{
    if (m_players[seat].tothrow)
        throwdarts(seat);
    else
        autoplace(seat);
}

// --- sending ---------------------------------------------------------------------

void TServer::sendTo(int slot, const QByteArray& message)
{
    Slot& s = m_players[slot];
    if (!s.connected || !s.sock)
        return;
    try {
        s.sock->send(message);
    } catch (const ESockException& e) {
        qWarning().noquote() << "velmora host: send to slot" << slot << "failed:" << e.what();
    }
}

void TServer::sendToAll(const QByteArray& message)
{
    for (int s = 1; s <= m_slotcount; ++s)
        sendTo(s, message);
}

} // namespace velmora
