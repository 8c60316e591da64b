// velmora-tally: looks into and converts tally files from the command line.
//   velmora-tally show FILE        prints the tally as a table
//   velmora-tally compress IN OUT  packs any file into the tally container
//   velmora-tally expand IN OUT    unpacks a tally container
// OUT is written whole or not at all. Exit status 0 on success, 1 when an
// operation fails, 2 for a wrong command line.

#include "records/tally.h"
#include "records/tallycontainer.h"

#include <QByteArray>
#include <QString>
#include <algorithm>
#include <cstdio>
#include <cstring>

using namespace velmora;

namespace {

constexpr std::uint64_t kMaxShowSize = 64u << 20;

const char kUsage[] = "Usage: velmora-tally show FILE\n"
                      "       velmora-tally compress IN OUT\n"
                      "       velmora-tally expand IN OUT\n"
                      "\n"
                      "show      prints the tally in FILE (velmoratally.tld) as a table\n"
                      "compress  packs the file IN into the tally file format, as OUT\n"
                      "expand    unpacks the tally file IN, as OUT\n";

int fail(const std::string& text)
{
    std::fprintf(stderr, "velmora-tally: %s\n", text.c_str());
    return 1;
}

void printLine(const QString& line)
{
    std::fputs(line.toLocal8Bit().constData(), stdout);
    std::fputc('\n', stdout);
}

// Width of the first column: it holds the section titles and every name
// whole, so nothing is cut short, and is at least 20 wide for short names.
constexpr int kMinNameWidth = 20;
QString sessionTitle()
{
    return QStringLiteral("Session (as last saved)");
}

int nameWidth(const QStringList& opponents)
{
    qsizetype width = std::max<qsizetype>(kMinNameWidth, sessionTitle().size());
    for (const QString& name : opponents)
        width = std::max(width, name.size());
    return int(width);
}

QString countsRow(const QString& name, int width, const Tally& tally, int row, int first)
{
    QString line = name.leftJustified(width);
    for (int column = first; column < first + 4; ++column)
        line += tally.cell(column, row).rightJustified(8);
    return line;
}

void printTally(const Tally& tally)
{
    printLine(
        QStringLiteral("Your total: %1 games, %2 wins, %3 double bulls")
            .arg(tally.cell(Tally::MyGames, 0), tally.cell(Tally::MyWins, 0), tally.cell(Tally::MyDoubleBulls, 0)));
    const QStringList opponents = tally.opponents();
    if (opponents.isEmpty()) {
        printLine(QStringLiteral("No players are being tallied."));
        return;
    }
    const int width = nameWidth(opponents);
    const QString heads = QStringLiteral("   Games  His win Your win  Neither");
    printLine(QString());
    printLine(QStringLiteral("Total").leftJustified(width) + heads);
    for (int i = 0; i < opponents.size(); ++i)
        printLine(countsRow(opponents[i], width, tally, i + 1, Tally::Games));
    printLine(QString());
    printLine(sessionTitle().leftJustified(width) + heads);
    for (int i = 0; i < opponents.size(); ++i)
        printLine(countsRow(opponents[i], width, tally, i + 1, Tally::Games + Tally::SessionOffset));
}

int show(const std::string& name)
{
    auto file = tallyfile::readFile(name, kMaxShowSize);
    if (!file)
        return fail(file.error());
    auto text = tallyfile::expand(file.value(), name, kMaxShowSize);
    if (!text)
        return fail(text.error());
    auto tally =
        Tally::fromText(QByteArray(reinterpret_cast<const char*>(text.value().data()), qsizetype(text.value().size())));
    if (!tally)
        return fail(tally.error());
    printTally(tally.value());
    return 0;
}

} // namespace

int main(int argc, char* argv[])
{
    if (argc == 2 && (!std::strcmp(argv[1], "--help") || !std::strcmp(argv[1], "-h"))) {
        std::fputs(kUsage, stdout);
        return 0;
    }
    const std::string command = argc > 1 ? argv[1] : "";
    if (command == "show" && argc == 3)
        return show(argv[2]);
    if ((command == "compress" || command == "expand") && argc == 4) {
        auto done =
            command == "compress" ? tallyfile::compressFile(argv[2], argv[3]) : tallyfile::expandFile(argv[2], argv[3]);
        if (!done)
            return fail(done.error());
        return 0;
    }
    std::fputs(kUsage, stderr);
    return 2;
}
