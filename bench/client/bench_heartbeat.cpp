// The heartbeat, measured (run by hand; it is not a test):
//   cmake --build build --target bench_heartbeat velmora-host && build/bench/client/bench_heartbeat
//
// 1. A link that goes silent during the player's own turn, with the game's
//    own timing (a ping every 5 s, 15 s of silence): the time until the
//    host keeps his seat, and until the computer makes the turn's first step.
// 2. What the heartbeat costs on the wire: the bytes an idle game window
//    and its host exchange per minute.
// 3. Idle CPU: a game window joined to velmora-host, and velmora-host with
//    nine connections of ours answering its pings.

#include "eventwait.h"
#include "faultylink.h"
#include "gameinstance.h"
#include "hostprocess.h"
#include "testclient.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTimer>
#include <cstdio>
#include <ctime>
#include <memory>
#include <vector>

using velmora::bench::waitFor;
using velmora::test::TestClient;
using velmora::testing::FaultyLink;
using velmora::testing::GameInstance;

namespace {

const QStringList kAnn{QStringLiteral("Ann"), QStringLiteral("127.0.0.1"), QStringLiteral("true")};
const QStringList kBob{QStringLiteral("Bob"), QStringLiteral("127.0.0.1"), QStringLiteral("false")};

double cpuSeconds()
{
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return double(ts.tv_sec) + double(ts.tv_nsec) / 1e9;
}

// The CPU time a process has used so far, from /proc (user + system).
double cpuSecondsOf(qint64 pid)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return -1;
    const QList<QByteArray> fields = stat.readAll().split(')').last().split(' ');
    // After the name: state is field 1, utime 12, stime 13 (in clock ticks).
    return (fields.value(12).toDouble() + fields.value(13).toDouble()) / double(sysconf(_SC_CLK_TCK));
}

void idle(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

void measureSilentLink(int samples)
{
    GameInstance ann(kAnn, 0, 500);
    FaultyLink link(ann.server.port());
    GameInstance bob(kBob, link.port());
    if (!waitFor([&] { return bob.hasLine(QStringLiteral("You are Connected.")); }))
        return;
    for (int i = 0; i < samples; ++i) {
        ann.startGame();
        // Ann's turn, if it comes first, is left to the computer.
        if (!waitFor([&] { return ann.server.engine().currentSeat() != 0; }))
            return;
        if (ann.server.engine().currentSeat() == 1)
            ann.core.session().toggleJustWatch();
        if (!waitFor([&] { return ann.server.engine().currentSeat() == 2; }, 60000))
            return;
        if (ann.core.session().watchingMyself())
            ann.core.session().toggleJustWatch();
        QElapsedTimer clock;
        link.setSilent(true);
        clock.start();
        if (!waitFor([&] { return ann.server.isHeld(2); }, 60000))
            return;
        const double held = double(clock.elapsed()) / 1000;
        if (!waitFor([&] { return ann.server.engine().turn().values[0] != 0; }, 60000))
            return;
        const double played = double(clock.elapsed()) / 1000;
        std::printf("silent link during his turn: seat held after %.1f s, the computer threw after %.1f s\n", held,
                    played);
        link.setSilent(false);
        if (!waitFor([&] { return !ann.server.isHeld(2); }, 60000))
            return;
    }
}

void measureWire(int seconds)
{
    GameInstance ann(kAnn);
    FaultyLink link(ann.server.port());
    GameInstance bob(kBob, link.port());
    if (!waitFor([&] { return bob.hasLine(QStringLiteral("You are Connected.")); }))
        return;
    idle(1000);
    const qint64 before = link.bytesCarried();
    idle(seconds * 1000);
    std::printf("heartbeat on an idle link: %.0f bytes per minute per connection, both ways\n",
                double(link.bytesCarried() - before) * 60 / seconds);
}

void measureIdleCpu(const QString& hostPath, int seconds)
{
    QProcess host;
    const quint16 port = velmora::bench::startHost(host, hostPath);
    if (port == 0)
        return;
    // A window of ours in slot 1, eight scripted peers of ours answering pings.
    GameInstance window(kBob, port);
    if (!waitFor([&] { return window.hasLine(QStringLiteral("You are Connected.")); }))
        return;
    std::vector<std::unique_ptr<TestClient>> peers;
    for (int i = 2; i <= 9; ++i) {
        auto c = std::make_unique<TestClient>();
        if (!c->connectTo(port) || c->login(QStringLiteral("P%1").arg(i)) == 0)
            return;
        c->send(QStringLiteral("CMD_extensions+%1+rejoin heartbeat").arg(c->slot()));
        TestClient* peer = c.get();
        QObject::connect(&c->socket(), &QTcpSocket::readyRead, &c->socket(), [peer] {
            for (qsizetype n = peer->pending().count(QStringLiteral("CMD_ping+")); n > 0; --n)
                peer->send(QStringLiteral("CMD_pong+%1").arg(peer->slot()));
            while (!peer->pending().isEmpty())
                peer->next(0);
        });
        peers.push_back(std::move(c));
    }
    idle(1000);
    const double hostBefore = cpuSecondsOf(host.processId());
    const double ownBefore = cpuSeconds();
    idle(seconds * 1000);
    const double own = cpuSeconds() - ownBefore;
    const double hostCpu = cpuSecondsOf(host.processId()) - hostBefore;
    std::printf(
        "idle CPU over %d s: the window's process %.2f %%, velmora-host with 9 connections %.2f %% of one core\n",
        seconds, 100 * own / seconds, 100 * hostCpu / seconds);
    velmora::bench::stopHost(host);
}

} // namespace

int main(int argc, char* argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QString hostPath = velmora::bench::hostPathFrom(argc, argv);
    measureSilentLink(3);
    measureWire(60);
    measureIdleCpu(hostPath, 30);
    return 0;
}
