#include "rules.h"

#include <algorithm>
#include <charconv>

namespace velmora::rules {

std::string dartResult(int sum)
{
    if (sum == 24)
        return "dBull";
    if (sum >= 21 && sum <= 23)
        return "Bull";
    return std::to_string(sum);
}

namespace {

// Adds one mark to a target, or scores it when the seat has closed it.
int hit(Marks& marks, int target, int points, const OpenTest& opponentOpen)
{
    int& m = marksOn(marks, target);
    if (m < kClosed) {
        ++m;
        return 0;
    }
    return opponentOpen(target) ? points : 0;
}

} // namespace

int scoreDart(Marks& marks, std::string_view result, const OpenTest& opponentOpen)
{
    if (result == "Bull")
        return hit(marks, kBull, kBullPoints, opponentOpen);
    if (result == "dBull") {
        int& bull = marksOn(marks, kBull);
        if (bull < 2) {
            bull += 2;
            return 0;
        }
        // The third mark and a closed bull both score a single bull's worth.
        bull = kClosed;
        return opponentOpen(kBull) ? kBullPoints : 0;
    }
    int number = 0;
    const auto [end, error] = std::from_chars(result.data(), result.data() + result.size(), number);
    if (error != std::errc() || end != result.data() + result.size())
        return 0;
    if (number < kFirstTarget || number >= kBull)
        return 0;
    return hit(marks, number, number, opponentOpen);
}

int scoreTurn(Marks& marks, const std::array<std::string, kDarts>& results, const OpenTest& opponentOpen)
{
    int points = 0;
    for (const std::string& result : results)
        points += scoreDart(marks, result, opponentOpen);
    return points;
}

bool allClosed(const Marks& marks)
{
    return std::all_of(marks.begin(), marks.end(), [](int m) { return m >= kClosed; });
}

bool checkForWin(const std::array<SeatStanding, kSeats>& seats, int seat, bool pointsGame, int partner)
{
    const SeatStanding& me = seats[seat - 1];
    if (!allClosed(me.marks))
        return false;
    if (!pointsGame)
        return true;
    for (int other = 1; other <= kSeats; ++other) {
        if (other == seat || other == partner)
            continue;
        if (seats[other - 1].score > me.score)
            return false;
    }
    return true;
}

} // namespace velmora::rules
