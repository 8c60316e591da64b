// Appends 20,000 lines to a shown chat view and compares the mean cost of an append (with the
// repaint it causes) over the first and the last 1,000 lines. A view that lays out or paints
// its whole history again on each line fails the 1.5x bound. The verdict uses the CPU time of
// the thread (the offscreen paint runs on it too), which other programs on a busy machine do
// not inflate; the wall-clock figures are printed beside it.
//
// Then a spectator floods the chat with link-heavy lines, short ones and the longest a message
// can carry: the resident memory after the flood must stay within 64 MiB of what it was
// before, however many lines came.
#include "chatview.h"
#include "media/colourtext.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QFile>
#include <QStringList>
#include <cstdio>
#include <ctime>
#include <vector>

using velmora::ChatView;

namespace {

constexpr int kLines = 20000;
constexpr int kWindow = 1000;
constexpr double kAllowedRatio = 1.5;
constexpr int kFloodLines = 50000;
constexpr int kLongFloodLines = 300;
constexpr double kAllowedGrowthMiB = 64;

QString lineFor(int i)
{
    static const QStringList names{QStringLiteral("Ann"), QStringLiteral("Borl"), QStringLiteral("Cyd"),
                                   QStringLiteral("Dask")};
    static const QStringList texts{
        QStringLiteral("nice throw, that was a double bull"),
        QStringLiteral("see www.example.com for the rules :)#15 good luck"),
        QStringLiteral("three marks on the twenty and the game is nearly over, your turn now"),
        QStringLiteral("gg :)#10:)#11"),
        QStringLiteral("a somewhat longer line that wraps around the edge of the view at least once or twice when "
                       "the window is narrow, as chat lines sometimes do"),
    };
    if (i % 7 == 0)
        return QStringLiteral("0+Player %1 threw 17, 18, Bull.").arg(i);
    const int sender = 1 + i % 4;
    return QStringLiteral("%1+%2 chats: %3").arg(sender).arg(names[sender - 1], texts[i % texts.size()]);
}

// Shows an "N+text" line: sender N (0 draws it as a system line) in the given colour.
void show(ChatView& view, const QString& line, quint32 colour)
{
    const qsizetype plus = line.indexOf(QLatin1Char('+'));
    view.addPlayerLine(line.left(plus).toInt(), line.mid(plus + 1), velmora::toQColor(colour));
}

qint64 threadCpuNanoseconds()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return qint64(now.tv_sec) * 1000000000 + now.tv_nsec;
}

double residentMiB()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toDouble() / 1024.0;
    }
    return 0;
}

// Floods the view and reports what it holds; true when the memory stayed within bounds.
bool flood(ChatView& view)
{
    const double before = residentMiB();
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < kFloodLines; ++i) {
        show(view, QStringLiteral("5+Spy chats: %1 www.a%1.com http://b.org/%1 :)#15 www.c.net/?%1").arg(i), 0xFFFFFF);
        if (i % 50 == 0)
            QApplication::processEvents();
    }
    const double shortMs = double(timer.elapsed());
    QString longLine = QStringLiteral("5+Spy chats:");
    while (longLine.size() < 64000)
        longLine += QStringLiteral(" www.x.yz");
    timer.start();
    for (int i = 0; i < kLongFloodLines; ++i) {
        show(view, longLine, 0xFFFFFF);
        QApplication::processEvents();
    }
    const double longMs = double(timer.elapsed());
    const double after = residentMiB();
    std::printf("flood, %d short link lines:  %.0f ms (%.1f us a line)\n", kFloodLines, shortMs,
                shortMs * 1000 / kFloodLines);
    std::printf("flood, %d 64 KB link lines:  %.0f ms (%.1f ms a line)\n", kLongFloodLines, longMs,
                longMs / kLongFloodLines);
    std::printf("kept after the flood:        %d lines, %.2f MiB content, %lld characters laid out\n",
                view.paragraphCount(), double(view.contentBytes()) / 1048576.0,
                static_cast<long long>(view.laidOutCharacters()));
    std::printf("resident memory:             %.1f MiB before, %.1f MiB after (allowed +%.0f) %s\n", before, after,
                kAllowedGrowthMiB, after - before <= kAllowedGrowthMiB ? "OK" : "TOO MUCH");
    return after - before <= kAllowedGrowthMiB;
}

quint32 colourFor(int i)
{
    static const quint32 colours[] = {0x00FF00, 0x00FFFF, 0xFFFF00, 0xFF00FF, 0xFFFFFF};
    return i % 7 == 0 ? colours[0] : colours[1 + i % 4];
}

// Counts the viewport's paint events, to show that each append was really painted.
class PaintCounter : public QObject {
public:
    int paints = 0;
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Paint)
            ++paints;
        return false;
    }
};

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);

    ChatView view;
    view.resize(640, 240);
    view.show();
    QApplication::processEvents();
    PaintCounter counter;
    view.viewport()->installEventFilter(&counter);

    std::vector<qint64> cpu;
    std::vector<qint64> wall;
    cpu.reserve(kLines);
    wall.reserve(kLines);
    QElapsedTimer timer;
    for (int i = 0; i < kLines; ++i) {
        const qint64 cpuStart = threadCpuNanoseconds();
        timer.start();
        show(view, lineFor(i), colourFor(i));
        QApplication::processEvents();
        wall.push_back(timer.nsecsElapsed());
        cpu.push_back(threadCpuNanoseconds() - cpuStart);
    }

    auto mean = [](const std::vector<qint64>& costs, int from) {
        qint64 sum = 0;
        for (int i = from; i < from + kWindow; ++i)
            sum += costs[std::size_t(i)];
        return double(sum) / kWindow / 1000.0;
    };
    const double first = mean(cpu, 0);
    const double last = mean(cpu, kLines - kWindow);
    const double ratio = last / first;
    std::printf("lines appended:              %d (%d paragraphs shown)\n", kLines, view.paragraphCount());
    std::printf("viewport paints:             %d\n", counter.paints);
    std::printf("mean append, first %d:     %.1f us CPU, %.1f us wall\n", kWindow, first, mean(wall, 0));
    std::printf("mean append, last %d:      %.1f us CPU, %.1f us wall\n", kWindow, last, mean(wall, kLines - kWindow));
    std::printf("ratio last/first (CPU):      %.2f (allowed %.1f) %s\n", ratio, kAllowedRatio,
                ratio <= kAllowedRatio ? "OK" : "TOO SLOW");
    std::printf("ratio last/first (wall):     %.2f\n", mean(wall, kLines - kWindow) / mean(wall, 0));
    const bool flat = flood(view);
    return ratio <= kAllowedRatio && flat ? 0 : 1;
}
