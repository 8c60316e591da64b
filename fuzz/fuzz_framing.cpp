// Framing as both sides see it: messages built from a command and fields
// (any bytes, the terminator among them), encoded, laid end to end and cut
// into reads at points the input chooses. The framer hands back exactly the
// messages sent, in order, never holds more than its bound, and gives up on
// an unterminated run longer than the bound; every message handed back
// decodes or is refused through the host's routes without harm.

#include "choices.h"
#include "protocol/catalogue.h"
#include "protocol/dispatcher.h"
#include "protocol/framer.h"

#include <QList>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <iterator>

using namespace velmora;
using namespace velmora::protocol;
using velmora::fuzz::Choices;

namespace {

void check(bool condition)
{
    if (!condition)
        std::abort();
}

Dispatcher<> hostRoutes()
{
    Dispatcher<> d;
    const auto ignore = [](const auto&) {};
    d.on<toHost::LoginInfo>(ignore);
    d.on<toHost::KickPlayer>(ignore);
    d.on<toHost::Chat>(ignore);
    d.on<toHost::Action>(ignore);
    d.on<toHost::StartGame>(ignore);
    d.on<toHost::ThrowDarts>(ignore);
    d.on<toHost::PlaceDie>(ignore);
    d.on<toHost::AutoPlace>(ignore);
    d.on<toHost::JustWatch>(ignore);
    d.on<toHost::PlaySound>(ignore);
    return d;
}

const char* const kCommands[] = {"CMD_logininfo", "CMD_kickhim",    "CMD_chat",      "CMD_action",
                                 "CMD_startgame", "CMD_throwdarts", "CMD_placedice", "CMD_autoplace",
                                 "CMD_justwatch", "CMD_playasound", "CMD_nosuch"};

QString field(Choices& in)
{
    QString text;
    for (unsigned n = in.pick(24); n > 0; --n)
        text += QChar(char16_t(in.byte())); // Latin-1, the terminator and line breaks included
    return text;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const Dispatcher<> routes = hostRoutes();
    Choices in(data, size);

    QList<QByteArray> sent;
    QByteArray stream;
    for (unsigned count = in.pick(17); count > 0; --count) {
        QStringList fields;
        for (unsigned n = in.pick(6); n > 0; --n)
            fields << field(in);
        const char* command = kCommands[in.pick(std::size(kCommands))];
        const QByteArray message = encode(command, fields, in.pick(2) ? Trailing::Yes : Trailing::No);
        check(message.endsWith(kTerminator) && message.count(kTerminator) == 1);
        sent << message.chopped(1);
        stream += message;
        if (in.pick(8) == 0)
            stream += kTerminator; // a bare terminator carries nothing
    }
    // Some inputs end in more than the bound without a terminator.
    const bool overlong = in.pick(8) == 7;
    if (overlong)
        stream += QByteArray(Framer::kMaxPending + 1 + in.byte(), 'x');

    Framer framer;
    QList<QByteArray> received;
    const auto deliver = [&received](QByteArray message) {
        check(!message.isEmpty() && !message.contains(kTerminator));
        (void)routes.dispatch(fromWire(message));
        received << std::move(message);
    };
    bool framed = true;
    for (qsizetype at = 0; at < stream.size() && framed;) {
        const qsizetype read = in.done() ? stream.size() - at : qsizetype(in.word()) % (stream.size() - at + 1);
        framed = framer.feed(stream.mid(at, read), deliver);
        check(framer.pending() <= Framer::kMaxPending);
        at += read;
    }
    check(received == sent);
    check(framed != overlong);
    check(framer.pending() == 0);
    return 0;
}
