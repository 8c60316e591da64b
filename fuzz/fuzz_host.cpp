// The host fed messages built from the catalogue on up to nine connections:
// every client command (the game's own included) with plausible fields (the sender's own slot or
// another, numbers in range, at its edges and far outside, names and chat
// texts with separators and odd characters), host-to-client and unknown
// command words, raw bytes, messages damaged on the wire (no terminator,
// cut, an extra separator, a stray byte), floods, and deliveries cut into
// pieces anywhere. All of it goes through the framer, the inbound queue and
// the dispatch, as bytes from a socket would. Checked after every delivery:
//  - the inbound queue holds at most its bound per connection, and is empty
//    once taken; a connection that sent more than its queue holds is dropped;
//  - names stay within the queue's entry length;
//  - the engine's bookkeeping holds together (seat, dice, placements).
//
// Input: a byte for the number of connections (1 to 9), then operations,
// each a byte (low four bits the kind, high four the connection) and the
// bytes it takes; see run(). The computer plays the empty seats without
// delay whenever a delivery lets the timers run.

#include "choices.h"
#include "host/tserver.h"
#include "protocol/catalogue.h"
#include "protocol/extensions.h"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <algorithm>
#include <array>
#include <cstdlib>
#include <utility>
#include <vector>

using namespace velmora;
using namespace velmora::protocol;
using fuzz::Choices;

namespace {

void check(bool holds)
{
    if (!holds)
        std::abort();
}

QCoreApplication& application()
{
    static int argc = 1;
    static char name[] = "fuzz_host";
    static char* argv[] = {name, nullptr};
    static QCoreApplication app(argc, argv);
    return app;
}

void quietWarnings(QtMsgType, const QMessageLogContext&, const QString&) {}

// A number in [low, high] mostly, else just outside it or far away.
int plausible(Choices& in, int low, int high)
{
    const std::uint8_t b = in.byte();
    if (b < 200)
        return low + b % (high - low + 1);
    static constexpr std::array<int, 6> odd{-1, 0, 10, 99999, -2147483647 - 1, 2147483647};
    return b < 220 ? (b & 1 ? low - 1 : high + 1) : odd[b % odd.size()];
}

QString name(Choices& in)
{
    static const std::array<QString, 8> names{QStringLiteral("Sam"),
                                              QStringLiteral("Bob"),
                                              QString(),
                                              QStringLiteral("A+B"),
                                              QStringLiteral("x|y z"),
                                              QStringLiteral("\u00dcn\u00ef"),
                                              QStringLiteral("Borl"),
                                              QString(kMaxEntryLength + 4, QLatin1Char('n'))};
    return names[in.pick(names.size())];
}

QString chatText(Choices& in)
{
    static const std::array<QString, 5> colours{QStringLiteral("clLime"), QStringLiteral("16777215"), QString(),
                                                QStringLiteral("$FF00"), QStringLiteral("junk|")};
    return name(in) + (in.byte() & 1 ? QStringLiteral(" says hi|") : QStringLiteral("|")) +
           colours[in.pick(colours.size())];
}

// One message for the connection in slot `own`, from the catalogue.
QByteArray clientMessage(Choices& in, unsigned kind, int own, int others)
{
    // The sender's own slot mostly; else another connection's, or no slot at all.
    const std::uint8_t who = in.byte();
    const int slot = who < 160 ? own : who < 220 ? 1 + who % others : plausible(in, 1, game::kMaxConnections);
    switch (kind) {
    case 0:
        return toHost::LoginInfo{slot, in.byte() & 1 ? QStringLiteral("1.9") : QString::fromLatin1(kVersion), name(in)}
            .encode();
    case 1:
        return toHost::KickPlayer{slot, plausible(in, 1, game::kMaxConnections)}.encode();
    case 2:
        return toHost::Chat{slot, chatText(in)}.encode();
    case 3:
        return toHost::Action{slot, chatText(in)}.encode();
    case 4:
        return toHost::StartGame{slot, bool(in.byte() & 1), bool(in.byte() & 1)}.encode();
    case 5:
        return toHost::ThrowDarts{slot}.encode();
    case 6:
        return toHost::PlaceDie{slot, plausible(in, 1, 12), plausible(in, 1, 3), plausible(in, 1, 4)}.encode();
    case 7:
        return toHost::AutoPlace{slot}.encode();
    case 8:
        return toHost::JustWatch{slot <= game::kSeats ? slot : plausible(in, 1, game::kSeats), bool(in.byte() & 1)}
            .encode();
    default:
        return toHost::PlaySound{slot, plausible(in, 1, 20)}.encode();
    }
}

// One of the game's own messages: the announcement, a rejoin with a token
// that is well formed or not, a leave, a heartbeat's answer.
QByteArray ourMessage(Choices& in, int own)
{
    const int slot = in.byte() < 200 ? own : plausible(in, 1, ext::kTransitSlot);
    switch (in.pick(4)) {
    case 0:
        return ext::toHost::Extensions{slot, in.byte() & 1 ? ext::toHost::Extensions::ourFeatures() : name(in)}
            .encode();
    case 3:
        return ext::toHost::Pong{slot}.encode();
    case 1: {
        QString token;
        for (unsigned n = in.byte() < 200 ? ext::kTokenLength : in.pick(40); n > 0; --n)
            token += QLatin1Char("0123456789abcdefX+"[in.pick(18)]);
        return ext::toHost::Rejoin{slot, token}.encode();
    }
    default:
        return ext::toHost::Leaving{slot}.encode();
    }
}

// A command word the host does not take from clients, with numbers after it.
QByteArray strangeMessage(Choices& in)
{
    static constexpr std::array words{"CMD_sendlogininfo",
                                      "CMD_full",
                                      "CMD_nextplayer",
                                      "CMD_thedart",
                                      "CMD_endturn",
                                      "CMD_winner",
                                      "CMD_LOGININFO",
                                      "cmd_chat",
                                      "CMD_",
                                      "CMD_chatter",
                                      "",
                                      "CMD_placedice+"};
    QStringList fields;
    for (unsigned n = in.pick(5); n > 0; --n)
        fields << QString::number(plausible(in, 0, 12));
    return encode(words[in.pick(words.size())], fields);
}

// Damage on the wire to the last message: no terminator, cut short, an
// extra separator, a stray byte (the terminator among them).
void damage(Choices& in, QByteArray& message)
{
    if (message.isEmpty())
        return;
    const qsizetype at = in.word() % message.size();
    switch (in.pick(4)) {
    case 0:
        message.chop(1);
        break;
    case 1:
        message.truncate(at);
        break;
    case 2:
        message.insert(at, kSeparator);
        break;
    default:
        message[at] = char(in.byte());
        break;
    }
}

class Harness {
public:
    explicit Harness(int connections)
    {
        int die = 0;
        m_server.setDiceRoller([die]() mutable { return die++ % 6 + 1; });
        // The computer and the scoring pause at once, so letting the timers
        // run plays turns out.
        m_server.setBotPace([] { return 0; });
        m_server.setScoringPauseMs(0);
        for (int i = 0; i < connections; ++i)
            connect();
    }
    int count() const { return int(m_slots.size()); }
    int slot(unsigned index) const { return m_slots[index % m_slots.size()]; }
    QByteArray& pending(unsigned index) { return m_pending[index % m_slots.size()]; }
    QByteArray& last(unsigned index) { return m_last[index % m_slots.size()]; }

    void connect()
    {
        const int slot = m_server.acceptDetached();
        check(slot == 0 ? m_server.slotCount() == game::kMaxConnections : slot >= 1);
        if (slot > 0 && int(m_slots.size()) < game::kMaxConnections) {
            m_slots.push_back(slot);
            m_pending.emplace_back();
            m_last.emplace_back();
        }
    }
    // Feeds a connection's pending bytes in up to three pieces, cut where the input says.
    void deliver(Choices& in, unsigned index)
    {
        const QByteArray bytes = std::exchange(pending(index), {});
        const qsizetype first = bytes.isEmpty() ? 0 : in.word() % (bytes.size() + 1);
        const qsizetype second = first + (bytes.size() - first > 0 ? in.word() % (bytes.size() - first + 1) : 0);
        const std::array<std::pair<qsizetype, qsizetype>, 3> pieces{
            {{0, first}, {first, second}, {second, bytes.size()}}};
        for (const auto& [from, to] : pieces) {
            if (to > from)
                m_server.receive(slot(index), bytes.mid(from, to - from));
        }
        checkBounds();
        const std::uint8_t after = in.byte();
        if (after & 1)
            take();
        if (after & 2)
            letTimersRun();
    }
    // More messages than a connection's queue holds, in one read: it is dropped.
    void flood(Choices& in, unsigned index)
    {
        const QByteArray& message = last(index);
        if (message.size() < 2 || !message.endsWith(kTerminator) || message.count(kTerminator) != 1)
            return;
        // A few copies mostly; now and then more messages or more bytes than
        // the queue holds (the bytes of long messages fill it much sooner).
        const std::uint8_t b = in.byte();
        const qsizetype entry = std::min<qsizetype>(message.size() - 1, kMaxEntryLength);
        const qsizetype overflow =
            b == 255 ? MessagePump::kMaxQueuedMessages + 1 : MessagePump::kMaxQueuedBytes / entry + 1;
        const qsizetype times = b < 240 ? 1 + b % 32 : overflow;
        if (times * message.size() > m_floodBudget)
            return;
        m_floodBudget -= times * message.size();
        m_server.receive(slot(index), message.repeated(times));
        checkBounds();
        if (times == overflow)
            check(!m_server.connection(slot(index)).connected);
        take();
    }
    void finish()
    {
        for (int i = 0; i < count(); ++i)
            if (!m_pending[i].isEmpty())
                m_server.receive(m_slots[i], std::exchange(m_pending[i], {}));
        checkBounds();
        take();
    }

private:
    void letTimersRun()
    {
        // Until nothing is due (a computer turn takes a few dozen steps).
        QAbstractEventDispatcher* dispatcher = QAbstractEventDispatcher::instance();
        for (int i = 0; i < 64 && dispatcher->processEvents(QEventLoop::AllEvents); ++i) {
        }
        checkBounds();
    }
    void take()
    {
        m_server.takeWaitingMessages();
        check(m_server.waitingMessages() == 0);
        checkBounds();
    }
    void checkBounds() const
    {
        check(m_server.waitingMessages() <= m_server.slotCount() * MessagePump::kMaxQueuedMessages);
        for (int slot = 1; slot <= m_server.slotCount(); ++slot)
            check(m_server.connection(slot).name.size() <= kMaxEntryLength);
        const GameEngine& engine = m_server.engine();
        if (!engine.isRunning())
            return;
        check(engine.currentSeat() >= 1 && engine.currentSeat() <= game::kSeats);
        check(engine.placedThisTurn().size() <= 12);
        for (int seat = 1; seat <= game::kSeats; ++seat) {
            const GameEngine::Seat& s = engine.seat(seat);
            check(s.diceCount >= 0 && s.diceCount <= 12 && s.score >= 0 && s.score <= kMaxScore);
        }
        for (int value : engine.turn().values)
            check(value >= 0 && value <= 6);
    }

    // Bytes left for floods in this run: one that fills the queue, a few small ones.
    qsizetype m_floodBudget = MessagePump::kMaxQueuedBytes + 64 * 1024;
    TServer m_server;
    std::vector<int> m_slots;
    std::vector<QByteArray> m_pending;
    std::vector<QByteArray> m_last;
};

// Kinds: 0-9 the client commands (in the order of the catalogue), 10 one
// of the game's own messages or a strange command word, 11 raw bytes, 12 damage to the last message,
// 13 deliver, 14 one more connection, 15 a flood of the last message.
void run(Choices& in, Harness& host)
{
    for (int count = 0; count < 500 && !in.done(); ++count) {
        const std::uint8_t op = in.byte();
        const unsigned kind = op & 15;
        const unsigned index = op >> 4;
        QByteArray message;
        if (kind <= 9)
            message = clientMessage(in, kind, host.slot(index), host.count());
        else if (kind == 10)
            message = in.byte() < 96 ? ourMessage(in, host.slot(index)) : strangeMessage(in);
        else if (kind == 11)
            for (unsigned n = in.pick(64); n > 0; --n)
                message += char(in.byte());
        if (!message.isEmpty()) {
            host.pending(index) += message;
            host.last(index) = message;
        } else if (kind == 12) {
            QByteArray& pending = host.pending(index);
            QByteArray last = host.last(index);
            if (!last.isEmpty() && pending.endsWith(last)) {
                pending.chop(last.size());
                damage(in, last);
                pending += last;
            }
        } else if (kind == 13) {
            host.deliver(in, index);
        } else if (kind == 14) {
            host.connect();
        } else if (kind == 15) {
            host.flood(in, index);
        }
    }
    host.finish();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    application();
    qInstallMessageHandler(quietWarnings);
    Choices in(data, size);
    Harness host(1 + in.pick(game::kMaxConnections));
    run(in, host);
    return 0;
}
