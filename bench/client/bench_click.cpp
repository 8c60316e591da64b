// How long a die takes from the player's click to its place on the dart:
// the click goes to the host as a message, the host's answer comes back and
// moves the die. Host and client share one process and talk over loopback,
// as in a solo game. Reports the median and the 99th percentile, for clicks
// back to back and for clicks at a person's pace (one every 250 ms), where
// the click finds both sides idle.

#include "client/board/boardgeometry.h"
#include "core/clientsession.h"
#include "eventwait.h"
#include "gameinstance.h"

#include <QApplication>
#include <QElapsedTimer>
#include <algorithm>
#include <cstdio>
#include <vector>

using velmora::testing::GameInstance;

namespace {

using velmora::bench::waitFor;

// Clicks dice in dart order, `samples` times, each click at least `paceMs`
// after the one before; the time from each click to its die on the dart.
std::vector<double> measure(GameInstance& game, int samples, int paceMs)
{
    auto* throwButton = game.control<QAbstractButton>(QStringLiteral("button_throwdarts"));
    velmora::DicePanel* dice = game.dice();
    std::vector<double> latenciesMs;
    QElapsedTimer clock;
    QElapsedTimer sinceClick;
    sinceClick.start();
    while (int(latenciesMs.size()) < samples) {
        QWidget* winner = game.control(QStringLiteral("panel_winner"));
        if (!waitFor([&] { return throwButton->isVisible() || winner->isVisible(); }))
            return {};
        if (winner->isVisible()) {
            game.startGame(false);
            continue;
        }
        throwButton->click();
        if (!waitFor([&] { return dice->dieAvailable(1); }))
            return {};
        for (int k = 0; k < 12 && int(latenciesMs.size()) < samples; ++k) {
            const int die = k + 1;
            const QPoint target = velmora::board::slotPosition(k / 4 + 1, k % 4 + 1);
            waitFor([&] { return sinceClick.elapsed() >= paceMs; }, paceMs + 1000);
            sinceClick.start();
            clock.start();
            QTest::mouseClick(game.control(QStringLiteral("image_dice%1").arg(die)), Qt::LeftButton);
            if (!waitFor([&] { return dice->diePosition(die) == target; }))
                return {};
            latenciesMs.push_back(clock.nsecsElapsed() / 1e6);
        }
        if (int(latenciesMs.size()) < samples && !dice->slotFilled(3, 4))
            game.control<QAbstractButton>(QStringLiteral("button_autoplace"))->click();
    }
    return latenciesMs;
}

void report(const char* what, std::vector<double> latenciesMs)
{
    std::sort(latenciesMs.begin(), latenciesMs.end());
    const double median = latenciesMs[latenciesMs.size() / 2];
    const double p99 = latenciesMs[std::min(latenciesMs.size() - 1, size_t(latenciesMs.size() * 0.99))];
    std::printf("die click to die placed over loopback, %s, %zu clicks: median %.2f ms, 99th percentile %.2f ms "
                "(host tick %d ms, client tick %d ms)\n",
                what, latenciesMs.size(), median, p99, velmora::TServer::kTickMs, velmora::ClientSession::kTickMs);
}

} // namespace

int main(int argc, char* argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int samples = argc > 1 ? std::max(12, atoi(argv[1])) : 200;

    velmora::testing::TemporaryDataFolder data; // the settings and tally land here, not in the user's folder
    GameInstance game({});
    if (!waitFor([&] { return game.chat.session().isConnected(); })) {
        std::fprintf(stderr, "bench_click: no connection to the game's own host\n");
        return 1;
    }
    game.startGame(false);

    const std::vector<double> backToBack = measure(game, samples, 0);
    const std::vector<double> personsPace = measure(game, std::max(12, samples / 4), 250);
    if (backToBack.empty() || personsPace.empty()) {
        std::fprintf(stderr, "bench_click: the game stopped answering\n");
        return 1;
    }
    report("back to back", backToBack);
    report("one click every 250 ms", personsPace);
    return 0;
}
