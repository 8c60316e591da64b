#include "rules.h"

#include <algorithm>

namespace velmora::rules {

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

int scoreDart(Marks& marks, const DartResult& result, const OpenTest& opponentOpen)
{
    switch (result.kind()) {
    case DartResult::Kind::Empty:
        return 0;
    case DartResult::Kind::Bull:
        return hit(marks, kBull, kBullPoints, opponentOpen);
    case DartResult::Kind::DoubleBull: {
        int& bull = marksOn(marks, kBull);
        if (bull < 2) {
            bull += 2;
            return 0;
        }
        // The third mark and a closed bull both score a single bull's worth.
        bull = kClosed;
        return opponentOpen(kBull) ? kBullPoints : 0;
    }
    case DartResult::Kind::Sum:
        if (result.sum() < kFirstTarget || result.sum() >= kBull)
            return 0;
        return hit(marks, result.sum(), result.sum(), opponentOpen);
    }
    return 0;
}

int scoreTurn(Marks& marks, const DartResults& results, const OpenTest& opponentOpen)
{
    int points = 0;
    for (const DartResult& result : results)
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
