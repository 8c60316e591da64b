// Games on this network, measured (run by hand; it is not a test). It needs
// an avahi-daemon of its own, as the DNS-SD test has:
//   cmake --build build --target bench_discovery velmora-host &&
//   tests/network/avahi-netns.sh build/bench/network/bench_discovery build/src/app/velmora-host [RUNS]
//
// 1. From a dedicated host printing "listening on port N" to its game in
//    another program's list (GameBrowser, as a lobby holds it).
// 2. From a new player's login on that host to the list showing him.

#include "host/testclient.h"
#include "network/gamebrowser.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <algorithm>
#include <cstdio>
#include <vector>

using namespace velmora;

namespace {

constexpr int kWaitMs = 20000;

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

const net::FoundGame* onPort(const QList<net::FoundGame>& games, quint16 port)
{
    for (const net::FoundGame& game : games)
        if (game.address.port == port)
            return &game;
    return nullptr;
}

// One host's life: the two times in milliseconds, or false.
bool measureOnce(const QString& hostPath, int run, double& listed, double& login)
{
    net::GameBrowser browser;
    browser.start();
    QProcess host;
    host.start(hostPath, {"--port", "0", "--title", QStringLiteral("Bench %1").arg(run)});
    if (!QTest::qWaitFor([&] { return host.canReadLine(); }, kWaitMs))
        return false;
    QElapsedTimer clock;
    clock.start();
    const auto port = quint16(QString::fromLocal8Bit(host.readLine()).section(u' ', 3).trimmed().toUInt());
    QList<net::FoundGame> games;
    if (!QTest::qWaitFor([&] { return onPort(games = browser.games(), port); }, kWaitMs))
        return false;
    listed = double(clock.nsecsElapsed()) / 1e6;

    test::TestClient ann;
    if (!ann.connectTo(port) || ann.login(QStringLiteral("Ann")) != 1)
        return false;
    clock.restart();
    if (!QTest::qWaitFor([&] { return onPort(games = browser.games(), port)->record.players == 1; }, kWaitMs))
        return false;
    login = double(clock.nsecsElapsed()) / 1e6;
    host.write("quit\n");
    host.waitForFinished(kWaitMs);
    return true;
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 2) {
        std::fprintf(stderr, "usage: bench_discovery VELMORA-HOST [RUNS]\n");
        return 2;
    }
    const int runs = args.size() > 2 ? args[2].toInt() : 10;
    std::vector<double> listed, login;
    for (int run = 0; run < runs; ++run) {
        double a = 0, b = 0;
        if (!measureOnce(args[1], run, a, b)) {
            std::fprintf(stderr, "bench_discovery: run %d did not finish\n", run);
            return 1;
        }
        listed.push_back(a);
        login.push_back(b);
    }
    std::printf("listening to listed:       median %.0f ms, worst %.0f ms (%d runs)\n", median(listed),
                *std::max_element(listed.begin(), listed.end()), runs);
    std::printf("login to listed players:   median %.0f ms, worst %.0f ms\n", median(login),
                *std::max_element(login.begin(), login.end()));
    return 0;
}
