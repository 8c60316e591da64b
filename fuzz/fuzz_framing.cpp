// Framing and field reading as the host sees them: arbitrary bytes cut into
// messages, each decoded by the host's routes for every client message.

#include "protocol/catalogue.h"
#include "protocol/dispatcher.h"
#include "protocol/framer.h"

#include <cstddef>
#include <cstdint>

using namespace velmora;
using namespace velmora::protocol;

namespace {

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

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const Dispatcher<> routes = hostRoutes();
    Framer framer;
    // Feed in two reads, split where the first byte says, so tails carry over.
    const size_t split = size ? data[0] % (size + 1) : 0;
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const auto deliver = [](QByteArray message) {
        QString why;
        routes.dispatch(protocol::fromWire(message), &why);
    };
    if (framer.feed(bytes.left(qsizetype(split)), deliver))
        framer.feed(bytes.mid(qsizetype(split)), deliver);
    return 0;
}
