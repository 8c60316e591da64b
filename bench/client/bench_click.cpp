// How long a die takes from the player's click to its place on the dart:
// the click goes to the host as a message, the host's answer comes back and
// moves the die. Host and client share one process and talk over loopback,
// as in a solo game. Reports the median and the 99th percentile.

#include "client/board/boardrules.h"
#include "client/clientsession.h"
#include "gameinstance.h"

#include <QApplication>
#include <QElapsedTimer>
#include <algorithm>
#include <cstdio>

using velmora::testing::GameInstance;

namespace {

bool waitFor(const std::function<bool()>& done, int timeoutMs = 30000)
{
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > timeoutMs)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents, 5);
    }
    return true;
}

} // namespace

int main(int argc, char* argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int samples = argc > 1 ? std::max(12, atoi(argv[1])) : 200;

    GameInstance game({});
    if (!waitFor([&] { return game.chat.session().isConnected(); }))
        return 1;
    game.startGame(false);

    auto* throwButton = game.control<QAbstractButton>(QStringLiteral("button_throwdarts"));
    velmora::DicePanel* dice = game.dice();
    std::vector<double> latenciesMs;
    QElapsedTimer clock;
    while (int(latenciesMs.size()) < samples) {
        QWidget* winner = game.control(QStringLiteral("panel_winner"));
        if (!waitFor([&] { return throwButton->isVisible() || winner->isVisible(); }))
            return 1;
        if (winner->isVisible()) {
            game.startGame(false);
            continue;
        }
        throwButton->click();
        if (!waitFor([&] { return dice->dieAvailable(1); }))
            return 1;
        for (int k = 0; k < 12 && int(latenciesMs.size()) < samples; ++k) {
            const int die = k + 1;
            const QPoint target = velmora::board::slotPosition(k / 4 + 1, k % 4 + 1);
            clock.start();
            QTest::mouseClick(game.control(QStringLiteral("image_dice%1").arg(die)), Qt::LeftButton);
            if (!waitFor([&] { return dice->diePosition(die) == target; }))
                return 1;
            latenciesMs.push_back(clock.nsecsElapsed() / 1e6);
        }
        if (int(latenciesMs.size()) < samples && !dice->slotFilled(3, 4))
            game.control<QAbstractButton>(QStringLiteral("button_autoplace"))->click();
    }
    std::sort(latenciesMs.begin(), latenciesMs.end());
    const double median = latenciesMs[latenciesMs.size() / 2];
    const double p99 = latenciesMs[std::min(latenciesMs.size() - 1, size_t(latenciesMs.size() * 0.99))];
    std::printf("die click to die placed over loopback, %zu clicks: median %.2f ms, 99th percentile %.2f ms "
                "(host tick %d ms, client tick %d ms)\n",
                latenciesMs.size(), median, p99, velmora::TServer::kTickMs, velmora::ClientSession::kTickMs);
    return 0;
}
