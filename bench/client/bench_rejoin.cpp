// Rejoining, measured (run by hand; it is not a test):
//   cmake --build build --target bench_rejoin velmora-host
//   build/bench/client/bench_rejoin [build/src/app/velmora-host]
//
// 1. The time from a broken link being usable again to the player's seat
//    back on his screen: a host window and a player's window joined through
//    a link that the bench breaks, with the window trying again at once, so
//    the figure is the rejoin itself (connection, token, the game sent and the
//    board rebuilt), without the pause the window waits before each attempt.
// 2. The memory of a dedicated host while nine connections (four players and
//    five spectators) are lost and come back with their tokens, one after
//    another, for a minute.

#include "eventwait.h"
#include "faultylink.h"
#include "gameinstance.h"
#include "hostprocess.h"
#include "testclient.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <algorithm>
#include <cstdio>
#include <vector>

using velmora::test::TestClient;
using velmora::testing::FaultyLink;
using velmora::testing::GameInstance;

namespace {

using velmora::bench::waitFor;

double percentile(std::vector<double> v, double p)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[std::min(v.size() - 1, size_t(p * double(v.size())))];
}

void measureReturn(int samples)
{
    GameInstance ann({QStringLiteral("Ann"), QStringLiteral("127.0.0.1"), QStringLiteral("true")});
    FaultyLink link(ann.server.port());
    GameInstance bob({QStringLiteral("Bob"), QStringLiteral("127.0.0.1"), QStringLiteral("false")}, link.port());
    velmora::RejoinSchedule now;
    now.firstPausesMs = {0, 0, 0, 0};
    now.laterPauseMs = 0;
    bob.core.session().setRejoinSchedule(now);
    if (!waitFor([&] { return bob.hasLine(QStringLiteral("You are Connected.")); }, 20000))
        return;
    ann.core.setBotPaceForTesting(60000); // the board stands still while we measure
    ann.startGame();
    if (!waitFor([&] { return ann.server.engine().isRunning(); }, 20000))
        return;

    std::vector<double> ms;
    for (int i = 0; i < samples; ++i) {
        bool back = false;
        const auto c = QObject::connect(&bob.core.session(), &velmora::ClientSession::rejoined, [&] { back = true; });
        link.setDown(true);
        if (!waitFor([&] { return bob.core.session().state() == velmora::ClientSession::State::Rejoining; }, 20000))
            return;
        QElapsedTimer clock;
        link.setDown(false);
        clock.start();
        const bool ok = waitFor([&] { return back; }, 20000);
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents(); // the board repainted with the seat
        ms.push_back(double(clock.nsecsElapsed()) / 1e6);
        QObject::disconnect(c);
        if (!ok) {
            std::printf("rejoin %d never came back\n", i);
            return;
        }
    }
    std::printf("link back -> seat back on screen, %d samples: median %.2f ms, p90 %.2f ms, max %.2f ms\n", samples,
                percentile(ms, 0.5), percentile(ms, 0.9), percentile(ms, 1.0));
    std::printf("(add the window's pause before its next attempt: 1, 2, 4, 8, then 15 s)\n");
}

long rssKb(qint64 pid)
{
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').first().toLong();
    return -1;
}

QString tokenOf(TestClient& c)
{
    const QString m = c.nextStartingWith(QStringLiteral("CMD_rejointoken+"));
    return m == velmora::test::kTimedOut ? QString() : m.mid(16);
}

void measureHostMemory(const QString& hostPath, int seconds)
{
    QProcess host;
    const quint16 port =
        velmora::bench::startHost(host, hostPath, {QStringLiteral("--bot-speed"), QStringLiteral("250")});
    if (port == 0)
        return;
    std::vector<std::unique_ptr<TestClient>> clients;
    std::vector<QString> tokens;
    for (int i = 1; i <= 9; ++i) {
        auto c = std::make_unique<TestClient>();
        if (!c->connectTo(port) || c->login(QStringLiteral("P%1").arg(i)) == 0)
            return;
        c->send(QStringLiteral("CMD_extensions+%1+rejoin").arg(c->slot()));
        tokens.push_back(tokenOf(*c));
        clients.push_back(std::move(c));
    }
    host.write("start\n");
    QTest::qWait(500);
    const long before = rssKb(host.processId());
    long peak = before;
    int cycles = 0;
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < seconds * 1000) {
        const size_t i = size_t(cycles) % clients.size();
        clients[i]->abort();
        // The window tries again only after a pause, by when the host has seen the loss.
        const QString loss =
            QStringLiteral("%1 %2 P%2").arg(i < 4 ? QStringLiteral("lost") : QStringLiteral("left")).arg(i + 1);
        if (!waitFor([&] {
                while (host.canReadLine())
                    if (QString::fromLocal8Bit(host.readLine()).startsWith(loss))
                        return true;
                return false;
            }))
            break;
        auto c = std::make_unique<TestClient>();
        if (!c->connectTo(port))
            break;
        const int slot = c->next().mid(18).toInt();
        c->send(QStringLiteral("CMD_extensions+%1+rejoin").arg(slot));
        c->send(QStringLiteral("CMD_rejoin+%1+%2").arg(slot).arg(tokens[i]));
        tokens[i] = tokenOf(*c);
        if (tokens[i].isEmpty()) {
            std::printf("connection %zu was not taken back\n", i + 1);
            break;
        }
        clients[i] = std::move(c);
        ++cycles;
        peak = std::max(peak, rssKb(host.processId()));
    }
    const long after = rssKb(host.processId());
    std::printf("host memory, 9 connections lost and back for %d s: %d returns; VmRSS %ld kB before, %ld kB after, "
                "peak %ld kB\n",
                seconds, cycles, before, after, peak);
    velmora::bench::stopHost(host);
}

} // namespace

int main(int argc, char* argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QString hostPath = velmora::bench::hostPathFrom(argc, argv);
    measureReturn(qEnvironmentVariableIntValue("BENCH_SAMPLES") > 0 ? qEnvironmentVariableIntValue("BENCH_SAMPLES")
                                                                    : 50);
    if (qEnvironmentVariableIsSet("BENCH_NO_HOST"))
        return 0;
    measureHostMemory(hostPath, 60);
    return 0;
}
