// Start-up cost of the game against a bare Qt window of the same size: the
// time from exec to the window being mapped, and the resident memory then and
// a moment later, over several runs of each, interleaved, under a private Xvfb.
//
//   bench_startup [--runs N] [--settle-ms MS] [--velmora PATH] [--bare PATH]

#include "children.h"
#include "xdisplay.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sys/stat.h>
#include <thread>
#include <vector>

namespace velmora::bench {

namespace {

// The solo game hosts on this port; two copies cannot both start.
constexpr unsigned short kGamePort = 7772;

struct Options {
    int runs = 10;
    int settleMs = 500;
    std::string velmora = VELMORA_PATH;
    std::string bare = BARE_WINDOW_PATH;
};

struct Sample {
    double mappedMs = 0;
    double cpuMs = 0;
    double rssAtMapMb = 0;
    double rssSettledMb = 0;
};

struct Program {
    std::string label;
    std::string path;
    std::string title;
    std::vector<std::string> args;
    bool needsGamePort = false;
    std::vector<Sample> samples;
};

class Session {
public:
    Session(MapWatcher& watcher, ChildEnvironment& env, int settleMs)
        : m_watcher(watcher)
        , m_env(env)
        , m_settle(std::chrono::milliseconds(settleMs))
    {
    }

    // One start of the program; nothing when it failed (the reason printed).
    std::optional<Sample> run(Program& program, MappedWindow* shown = nullptr)
    {
        if (program.needsGamePort && !waitForFreePort())
            return fail(program, "TCP port 7772 stays busy: is another copy of the game running?");
        std::string error;
        const auto started = Clock::now();
        const pid_t pid = startChild(program.path, program.args, m_env, error);
        if (pid < 0)
            return fail(program, error);
        const auto window = m_watcher.waitForWindow(pid, program.title, started + std::chrono::seconds(60));
        if (!window) {
            reapChild(pid, Clock::now());
            return fail(program, "no window titled \"" + program.title + "\" within 60 s");
        }
        Sample sample;
        sample.rssAtMapMb = residentKb(pid) / 1024.0;
        sample.cpuMs = cpuMs(pid);
        sample.mappedMs = std::chrono::duration<double, std::milli>(window->when - started).count();
        // A measurement point, not a synchronisation: the first paint and
        // whatever the program does right after showing itself land here.
        std::this_thread::sleep_until(window->when + m_settle);
        sample.rssSettledMb = residentKb(pid) / 1024.0;
        m_watcher.requestClose(window->id);
        if (!reapChild(pid, Clock::now() + std::chrono::seconds(15)))
            std::fprintf(stderr, "%s: did not close when asked; killed\n", program.label.c_str());
        if (shown)
            *shown = *window;
        return sample;
    }

private:
    static bool waitForFreePort()
    {
        const auto deadline = Clock::now() + std::chrono::seconds(30);
        while (!tcpPortFree(kGamePort)) {
            if (Clock::now() > deadline)
                return false;
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        return true;
    }

    static std::optional<Sample> fail(const Program& program, const std::string& why)
    {
        std::fprintf(stderr, "%s: %s\n", program.label.c_str(), why.c_str());
        return std::nullopt;
    }

    MapWatcher& m_watcher;
    ChildEnvironment& m_env;
    std::chrono::milliseconds m_settle;
};

double quantile(std::vector<double> values, double q)
{
    std::sort(values.begin(), values.end());
    const double at = q * static_cast<double>(values.size() - 1);
    const auto low = static_cast<size_t>(at);
    const size_t high = std::min(low + 1, values.size() - 1);
    return values[low] + (values[high] - values[low]) * (at - static_cast<double>(low));
}

std::vector<double> column(const Program& p, double Sample::*field)
{
    std::vector<double> values;
    for (const Sample& s : p.samples)
        values.push_back(s.*field);
    return values;
}

void printColumn(const std::vector<double>& v)
{
    std::printf("  %7.1f [%6.1f..%6.1f] (%6.1f..%6.1f)", quantile(v, 0.5), quantile(v, 0.25), quantile(v, 0.75),
                quantile(v, 0), quantile(v, 1));
}

std::string loadAverage()
{
    std::ifstream in("/proc/loadavg");
    std::string one, five;
    in >> one >> five;
    return one + " " + five;
}

void report(const Program& game, const Program& bare, int settleMs)
{
    std::printf("\n%-12s  %-39s  %-39s  %-39s  %s\n", "", "exec to mapped, ms", "CPU time to map, ms",
                "VmRSS at map, MB", ("VmRSS " + std::to_string(settleMs) + " ms later, MB").c_str());
    std::printf("%-12s  %s\n", "", "median [p25..p75] (min..max) in each column");
    for (const Program* p : {&game, &bare}) {
        std::printf("%-12s", p->label.c_str());
        printColumn(column(*p, &Sample::mappedMs));
        printColumn(column(*p, &Sample::cpuMs));
        printColumn(column(*p, &Sample::rssAtMapMb));
        printColumn(column(*p, &Sample::rssSettledMb));
        std::printf("\n");
    }
    const auto median = [](const Program& p, double Sample::*f) { return quantile(column(p, f), 0.5); };
    std::printf("\nvelmora against the bare window: time x%.2f (goal 1.3 at most), CPU time x%.2f, "
                "memory %+.1f MB at map, %+.1f MB settled (goal 8 at most)\n",
                median(game, &Sample::mappedMs) / median(bare, &Sample::mappedMs),
                median(game, &Sample::cpuMs) / median(bare, &Sample::cpuMs),
                median(game, &Sample::rssAtMapMb) - median(bare, &Sample::rssAtMapMb),
                median(game, &Sample::rssSettledMb) - median(bare, &Sample::rssSettledMb));
}

bool parseOptions(int argc, char** argv, Options& options)
{
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (arg == "--runs" && hasValue)
            options.runs = std::max(1, std::atoi(argv[++i]));
        else if (arg == "--settle-ms" && hasValue)
            options.settleMs = std::max(0, std::atoi(argv[++i]));
        else if (arg == "--velmora" && hasValue)
            options.velmora = argv[++i];
        else if (arg == "--bare" && hasValue)
            options.bare = argv[++i];
        else
            return false;
    }
    return true;
}

std::string makeScratchHome()
{
    std::string pattern = (std::filesystem::temp_directory_path() / "velmora-startup-XXXXXX").string();
    if (!::mkdtemp(pattern.data()))
        return {};
    for (const char* sub : {"/run", "/config", "/data", "/cache"})
        ::mkdir((pattern + sub).c_str(), 0700);
    return pattern;
}

// Runs pairs, swapping which program goes first, so that drift in the
// machine's load falls on both alike. A first, unmeasured run of each warms
// the file cache and tells the bare window the game's size.
bool measure(Session& session, Program& game, Program& bare, int runs)
{
    MappedWindow gameWindow;
    if (!session.run(game, &gameWindow))
        return false;
    bare.args = {std::to_string(gameWindow.width), std::to_string(gameWindow.height)};
    if (!session.run(bare))
        return false;
    std::printf("window size %dx%d\n", gameWindow.width, gameWindow.height);
    for (int i = 0; i < runs; ++i) {
        Program* order[2] = {&game, &bare};
        if (i % 2)
            std::swap(order[0], order[1]);
        for (Program* p : order) {
            const auto sample = session.run(*p);
            if (!sample)
                return false;
            p->samples.push_back(*sample);
        }
        const Sample& g = game.samples.back();
        const Sample& b = bare.samples.back();
        std::printf("run %2d: velmora %6.1f ms (CPU %6.1f) %5.1f MB, bare %6.1f ms (CPU %6.1f) %5.1f MB\n", i + 1,
                    g.mappedMs, g.cpuMs, g.rssAtMapMb, b.mappedMs, b.cpuMs, b.rssAtMapMb);
        std::fflush(stdout);
    }
    return true;
}

} // namespace

int run(int argc, char** argv)
{
    Options options;
    if (!parseOptions(argc, argv, options)) {
        std::fprintf(stderr, "usage: %s [--runs N] [--settle-ms MS] [--velmora PATH] [--bare PATH]\n", argv[0]);
        return 2;
    }
    PrivateXServer server;
    MapWatcher watcher;
    std::string error;
    if (!server.start(error) || !watcher.connect(server.display(), error)) {
        std::fprintf(stderr, "bench_startup: %s\n", error.c_str());
        return 1;
    }
    const std::string home = makeScratchHome();
    if (home.empty()) {
        std::fprintf(stderr, "bench_startup: cannot make a scratch home folder\n");
        return 1;
    }
    ChildEnvironment env(server.display(), home);
    Session session(watcher, env, options.settleMs);
    Program game{"velmora", options.velmora, "Velmora", {}, true, {}};
    Program bare{"bare window", options.bare, "bare window", {}, false, {}};

    std::printf("Xvfb %s, %d runs each, load average %s\n", server.display().c_str(), options.runs,
                loadAverage().c_str());
    const bool ok = measure(session, game, bare, options.runs);
    if (ok) {
        report(game, bare, options.settleMs);
        std::printf("load average at the end %s\n", loadAverage().c_str());
    }
    std::error_code ignored;
    std::filesystem::remove_all(home, ignored);
    return ok ? 0 : 1;
}

} // namespace velmora::bench

int main(int argc, char** argv)
{
    return velmora::bench::run(argc, argv);
}
