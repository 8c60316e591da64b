// How soon a player hears that it is their turn, and what an idle game window
// costs with sounds on: a solo game against the computer (1 ms bot delay) in
// a full game window, the host in the same process over loopback. Per turn:
//   turn -> play():    from the session's turnChanged for our seat (heard
//                      after the window's own slot) to the player's played()
//                      for the turn sound, emitted once play() has returned;
//   play() -> playing: from there to SoundPlayer::isPlaying() first true;
//   play() -> loaded:  to the output's QSoundEffect also having the recording
//                      loaded (Ready): isPlaying() is already true while a new
//                      recording loads, and the stream opens only after that.
//                      Turn sounds that stop as soon as they are loaded are
//                      counted apart.
// Then the process CPU time over 10 s of an idle window, before the first game
// and while the game waits for the player's throw. Run by hand (not a test):
//   cmake --build build --target bench_turnsound
//   QT_QPA_PLATFORM=offscreen build/bench/client/bench_turnsound [turns]
// Without an audio output only turn -> play() and the idle cost are reported.

#include "media/soundnames.h"
#include "chat/soundplayer.h"
#include "gameinstance.h"

#include <QApplication>
#include <QAudioDevice>
#include <QElapsedTimer>
#include <QMediaDevices>
#include <QSoundEffect>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <ctime>
#include <vector>

using velmora::ClientSession;
using velmora::SoundPlayer;
using velmora::testing::GameInstance;

namespace {

double cpuSeconds()
{
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return double(ts.tv_sec) + double(ts.tv_nsec) / 1e9;
}

// Spins the event loop without waiting until done() holds; false on timeout.
template <typename Done> bool spinUntil(Done done, int timeoutMs = 30000)
{
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > timeoutMs)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents);
    }
    return true;
}

// Percentage of one core the process uses while the event loop runs alone.
void reportIdleCpu(const char* when, int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, Qt::PreciseTimer, &loop, &QEventLoop::quit);
    QElapsedTimer wall;
    wall.start();
    const double before = cpuSeconds();
    loop.exec();
    const double cpu = cpuSeconds() - before;
    const double seconds = double(wall.nsecsElapsed()) / 1e9;
    std::printf("idle, %s: %.1f ms CPU over %.2f s = %.2f %% of one core\n", when, cpu * 1000, seconds,
                100 * cpu / seconds);
}

struct TurnTimes {
    std::vector<double> toPlay;    // turn message -> played()
    std::vector<double> toPlaying; // played() -> isPlaying()
    std::vector<double> toLoaded;  // played() -> isPlaying() and the recording loaded
    int stoppedOnLoad = 0;         // turn sounds that stopped instead
};

// Throws and lets the host place the dice: the turn passes to the computer.
bool playOwnTurn(GameInstance& game)
{
    game.control<QAbstractButton>(QStringLiteral("button_throwdarts"))->click();
    if (!spinUntil([&] { return game.dice()->dieAvailable(1); }))
        return false;
    game.control<QAbstractButton>(QStringLiteral("button_autoplace"))->click();
    return true;
}

// After the turn sound's play(): when the player says it plays, and when the
// effect behind it has the recording loaded (the effect lives in the module).
bool timeStart(const SoundPlayer& player, const QElapsedTimer& clock, qint64 playNs, TurnTimes& times)
{
    if (!spinUntil([&] { return player.isPlaying(); }, 5000))
        return false;
    times.toPlaying.push_back(double(clock.nsecsElapsed() - playNs) / 1e6);
    // The output keeps one effect per recording: the one of the current sound.
    const QSoundEffect* effect = nullptr;
    for (const QSoundEffect* e : player.findChildren<QSoundEffect*>())
        if (e->source() == SoundPlayer::recordingUrl(player.current()))
            effect = e;
    if (!effect || !spinUntil([&] { return !player.isPlaying() || effect->status() == QSoundEffect::Ready; }, 5000))
        return false;
    if (player.isPlaying())
        times.toLoaded.push_back(double(clock.nsecsElapsed() - playNs) / 1e6);
    else
        ++times.stoppedOnLoad;
    return true;
}

// Times the turn sound over `turns` of the player's own turns, games
// restarted as they end. Empty when the game stops answering.
TurnTimes measureTurns(GameInstance& game, SoundPlayer& player, int turns, bool audible)
{
    const ClientSession& session = game.chat.session();
    QElapsedTimer clock;
    clock.start();
    qint64 turnNs = -1;
    qint64 playNs = -1;
    QObject guard; // the connections end with this function
    QObject::connect(&session, &ClientSession::turnChanged, &guard, [&](int seat) {
        if (seat == session.myseat()) {
            turnNs = clock.nsecsElapsed();
            playNs = -1;
        }
    });
    QObject::connect(&player, &SoundPlayer::played, &guard, [&](const QString& name) {
        if (turnNs >= 0 && playNs < 0 &&
            (name == velmora::sounds::turnSound(0) || name == velmora::sounds::turnSound(1)))
            playNs = clock.nsecsElapsed();
    });
    QWidget* winner = game.control(QStringLiteral("panel_winner"));
    TurnTimes times;
    while (int(times.toPlay.size()) < turns) {
        if (!spinUntil([&] { return playNs >= 0 || winner->isVisible(); }))
            return {};
        if (playNs < 0) { // the game is over: the host's player starts the next
            game.startGame(false);
            spinUntil([&] { return !winner->isVisible(); });
            continue;
        }
        times.toPlay.push_back(double(playNs - turnNs) / 1e6);
        if (audible && !timeStart(player, clock, playNs, times))
            return {};
        turnNs = playNs = -1;
        // The last turn is left waiting for the player's throw.
        if (int(times.toPlay.size()) < turns && !playOwnTurn(game))
            return {};
    }
    return times;
}

void report(const char* what, std::vector<double> ms)
{
    std::sort(ms.begin(), ms.end());
    const double p90 = ms[std::min(ms.size() - 1, size_t(double(ms.size()) * 0.9))];
    std::printf("%-18s %zu turns: median %8.3f ms, 90th percentile %8.3f ms, max %8.3f ms\n", what, ms.size(),
                ms[ms.size() / 2], p90, ms.back());
}

} // namespace

int main(int argc, char* argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int turns = argc > 1 ? std::max(20, atoi(argv[1])) : 40;

    velmora::testing::TemporaryDataFolder data; // the settings file lands here, not in the user's folder
    GameInstance game({});
    auto* player = game.chat.findChild<SoundPlayer*>();
    // Joining plays the "entered" call: the output is loaded once it has been asked for.
    if (!player || !spinUntil([&] { return game.sounds.contains(velmora::sounds::enteredName); })) {
        std::fprintf(stderr, "bench_turnsound: no connection to the game's own host\n");
        return 1;
    }
    const QList<QAudioDevice> outputs = QMediaDevices::audioOutputs();
    const bool audible = !outputs.isEmpty() && player->audible();
    std::printf("audio outputs: %lld%s%s; the sound player %s\n", static_cast<long long>(outputs.size()),
                outputs.isEmpty() ? "" : ", default ",
                outputs.isEmpty() ? "" : qPrintable(QMediaDevices::defaultAudioOutput().description()),
                audible ? "plays through it" : "is silent: play() -> playing is not measured");
    spinUntil([&] { return !player->isPlaying(); }, 5000);
    reportIdleCpu("no game running", 10000);

    game.startGame(false);
    const TurnTimes times = measureTurns(game, *player, turns, audible);
    if (times.toPlay.empty()) {
        std::fprintf(stderr, "bench_turnsound: the game stopped answering\n");
        return 1;
    }
    report("turn -> play():", times.toPlay);
    if (audible) {
        report("play() -> playing:", times.toPlaying);
        if (!times.toLoaded.empty())
            report("play() -> loaded:", times.toLoaded);
        std::printf("turn sound stopped once loaded, never playing it: %d of %zu turns\n", times.stoppedOnLoad,
                    times.toPlay.size());
    }

    spinUntil([&] { return !player->isPlaying(); }, 5000);
    reportIdleCpu("waiting for the player's throw", 10000);
    return 0;
}
