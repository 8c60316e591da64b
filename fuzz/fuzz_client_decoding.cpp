// The client's decoding of host messages: one message per input, through the
// routes of every host message, and each good message encoded again must
// decode to the same bytes.

#include "protocol/catalogue.h"
#include "protocol/dispatcher.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

using namespace velmora;
using namespace velmora::protocol;

namespace {

// A message that decodes must survive its own encoding unchanged.
template <class M>
void roundTrip(const M& message)
{
    const QByteArray once = message.encode();
    const CommandLine line = splitCommand(fromWire(once.chopped(1)));
    const Decoded<M> again = M::decode(line.rest);
    if (!again || again->encode() != once)
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
    d.on<toClient::ChatLine>(check);
    d.on<toClient::ActionLine>(check);
    d.on<toClient::PlayerDisconnected>(check);
    d.on<toClient::JustWatching>(check);
    d.on<toClient::SoundPlayed>(check);
    return d;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const Dispatcher<> routes = clientRoutes();
    QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    // What the framer hands over never holds the terminator.
    bytes.replace('\xFF', ' ');
    QString why;
    routes.dispatch(fromWire(bytes), &why);
    return 0;
}
