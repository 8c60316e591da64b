// How long a sound takes from play() to playing, and what an idle player
// costs. Run by hand (it is not a test):
//   QT_QPA_PLATFORM=offscreen build/bench/chat/bench_sounds
#include "game/dartresult.h"
#include "media/soundnames.h"
#include "soundplayer.h"

#include <QAbstractEventDispatcher>
#include <QAudioDevice>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QMediaDevices>
#include <QSoundEffect>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <ctime>
#include <vector>

using namespace velmora;

namespace {

double cpuSeconds()
{
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return double(ts.tv_sec) + double(ts.tv_nsec) / 1e9;
}

// Runs the event loop until done() holds or the time is up; false on timeout.
template <typename Done> bool spinUntil(Done done, int timeoutMs)
{
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > timeoutMs)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
    }
    return true;
}

// Milliseconds from play() to the effect saying it plays, or -1.
double playLatencyMs(SoundPlayer& player, const QString& name)
{
    QElapsedTimer clock;
    clock.start();
    player.play(name);
    if (!spinUntil([&] { return player.isPlaying(); }, 3000))
        return -1;
    return double(clock.nsecsElapsed()) / 1e6;
}

void report(const char* what, std::vector<double> ms)
{
    if (ms.empty())
        return;
    std::sort(ms.begin(), ms.end());
    std::printf("%-34s median %7.2f ms  max %7.2f ms  (%zu runs)\n", what, ms[ms.size() / 2], ms.back(), ms.size());
}

int countTimers(QObject* root)
{
    int timers = int(QAbstractEventDispatcher::instance()->registeredTimers(root).size());
    for (QObject* child : root->findChildren<QObject*>())
        timers += int(QAbstractEventDispatcher::instance()->registeredTimers(child).size());
    return timers;
}

void measureIdle(SoundPlayer& player, const char* when)
{
    const double before = cpuSeconds();
    QElapsedTimer clock;
    clock.start();
    QTimer::singleShot(2000, qApp, &QCoreApplication::quit);
    QCoreApplication::exec();
    const double cpuMs = (cpuSeconds() - before) * 1000;
    std::printf("idle %s: %.1f ms CPU over %lld ms, %d timers on the player\n", when, cpuMs,
                static_cast<long long>(clock.elapsed()), countTimers(&player));
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);

    QElapsedTimer clock;
    clock.start();
    SoundPlayer player;
    std::printf("constructing the player: %.3f ms\n", double(clock.nsecsElapsed()) / 1e6);
    measureIdle(player, "after construction");

    clock.restart();
    player.prepare();
    const qsizetype outputs = QMediaDevices::audioOutputs().size();
    std::printf("prepare (looks for audio outputs): %.2f ms, %lld found\n", double(clock.nsecsElapsed()) / 1e6,
                static_cast<long long>(outputs));

    clock.restart();
    player.play(sounds::winnerName);
    std::printf("first play() call returns after: %.2f ms\n", double(clock.nsecsElapsed()) / 1e6);
    if (outputs == 0) {
        clock.restart();
        for (int i = 0; i < 1000; ++i)
            player.play(sounds::dartSound(DartResult::fromSum(15 + i % 6)));
        std::printf("play() without an output: %.2f us a call\n", double(clock.nsecsElapsed()) / 1e6);
        measureIdle(player, "after playing without an output");
        return 0;
    }

    spinUntil([&] { return !player.isPlaying(); }, 3000);
    std::vector<double> cold;
    std::vector<double> same;
    std::vector<double> switching;
    for (int n = 1; n <= sounds::chatterCount; ++n) {
        cold.push_back(playLatencyMs(player, sounds::chatterSound(n))); // first load of each recording
        same.push_back(playLatencyMs(player, sounds::chatterSound(n))); // same source again
    }
    for (int i = 0; i < 40; ++i)
        switching.push_back(playLatencyMs(player, i % 2 ? sounds::diceName : sounds::dartSound(DartResult::bull())));
    report("play -> playing, first time each", cold);
    report("play -> playing, same recording", same);
    report("play -> playing, switching two", switching);
    spinUntil([&] { return !player.isPlaying(); }, 3000);
    measureIdle(player, "after playing");
    return 0;
}
