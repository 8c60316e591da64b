// The host fed raw bytes on four connections at once: whatever arrives, in
// whatever pieces, the host neither crashes nor breaks its own game.
//
// Input: a sequence of chunks, each a byte naming the connection (low two
// bits) and a byte giving the chunk's length, then that many bytes.

#include "host/tserver.h"

#include <QCoreApplication>
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

using namespace velmora;

namespace {

QCoreApplication& application()
{
    static int argc = 1;
    static char name[] = "fuzz_host";
    static char* argv[] = {name, nullptr};
    static QCoreApplication app(argc, argv);
    return app;
}

void quietWarnings(QtMsgType, const QMessageLogContext&, const QString&) {}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    application();
    qInstallMessageHandler(quietWarnings);
    TServer server;
    int die = 0;
    server.setDiceRoller([&die] { return die++ % 6 + 1; });
    std::array<int, 4> seats{};
    for (int& slot : seats)
        slot = server.acceptDetached();

    size_t at = 0;
    while (at + 2 <= size) {
        const int connection = data[at] & 3;
        const size_t length = std::min<size_t>(data[at + 1], size - at - 2);
        at += 2;
        server.receive(seats[connection], QByteArray(reinterpret_cast<const char*>(data + at), qsizetype(length)));
        at += length;
        server.takeWaitingMessages();
    }

    // Whatever happened, the engine's bookkeeping holds together.
    const GameEngine& engine = server.engine();
    if (engine.isRunning() && (engine.currentSeat() < 1 || engine.currentSeat() > game::kSeats))
        std::abort();
    return 0;
}
