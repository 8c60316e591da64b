// The client's decoding of host messages: one message per input, through the
// routes of every host message (the game's own included), and each good message encoded again must
// decode to the same bytes. A relayed chat line taken apart keeps every
// character before its first "|".

#include "core/receivedchat.h"
#include "protocol/catalogue.h"
#include "protocol/dispatcher.h"
#include "protocol/extensions.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

using namespace velmora;
using namespace velmora::protocol;

namespace {

// A message that decodes must survive its own encoding unchanged.
template <class M> void roundTrip(const M& message)
{
    const QByteArray once = message.encode();
    const CommandLine line = splitCommand(fromWire(once.chopped(1)));
    const Decoded<M> again = M::decode(line.rest);
    if (!again || again->encode() != once)
        std::abort();
}

void takeApart(int slot, const QString& line, bool action)
{
    const ReceivedChat chat = decodeReceivedChat(slot, line, action);
    const qsizetype bar = line.indexOf(u'|');
    const QString shown = bar >= 0 ? line.left(bar) : line;
    const qsizetype colon = chat.name.indexOf(u':');
    const bool nameEndsAtFirstColon = chat.name.isEmpty() ? !shown.contains(u':') : colon == chat.name.size() - 1;
    if (chat.name + chat.text != shown || !nameEndsAtFirstColon || chat.sender != slot || chat.action != action)
        std::abort();
    if (bar < 0 && chat.colour != 0xFFFFFF)
        std::abort();
}

Dispatcher<> clientRoutes()
{
    Dispatcher<> d;
    const auto check = [](const auto& m) { roundTrip(m); };
    d.on<toClient::SendLoginInfo>(check);
    d.on<toClient::Full>(check);
    d.on<toClient::NewPlayerInfo>(check);
    d.on<toClient::ExistingPlayer>(check);
    d.on<toClient::HaveWrongVersion>(check);
    d.on<toClient::WrongVersion>(check);
    d.on<toClient::LoadBoard>(check);
    d.on<toClient::NextPlayer>(check);
    d.on<toClient::TheDart>(check);
    d.on<toClient::DiePlaced>(check);
    d.on<toClient::EndTurn>(check);
    d.on<toClient::PartnerEndTurn>(check);
    d.on<toClient::Winner>(check);
    d.on<toClient::GameStarted>(check);
    d.on<toClient::ChatLine>([](const toClient::ChatLine& m) {
        roundTrip(m);
        takeApart(m.slot, m.line, false);
    });
    d.on<toClient::ActionLine>([](const toClient::ActionLine& m) {
        roundTrip(m);
        takeApart(m.slot, m.line, true);
    });
    d.on<toClient::PlayerDisconnected>(check);
    d.on<toClient::JustWatching>(check);
    d.on<toClient::SoundPlayed>(check);
    d.on<ext::toClient::RejoinToken>(check);
    d.on<ext::toClient::Rejoined>(check);
    d.on<ext::toClient::RejoinRefused>(check);
    d.on<ext::toClient::SeatHeld>(check);
    d.on<ext::toClient::GameKind>(check);
    d.on<ext::toClient::Removed>(check);
    d.on<ext::toClient::Ping>(check);
    d.on<ext::toClient::Goodbye>(check);
    d.on<ext::toClient::WhoseTurn>(check);
    return d;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const Dispatcher<> routes = clientRoutes();
    QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    // What the framer hands over never holds the terminator.
    bytes.replace('\xFF', ' ');
    (void)routes.dispatch(fromWire(bytes));
    return 0;
}
