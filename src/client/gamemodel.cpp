#include "gamemodel.h"

#include "board/boardrules.h"

namespace velmora {

QString GameModel::waitingName()
{
    return QStringLiteral("<Waiting>");
}

QString GameModel::computerName(int seat)
{
    const std::string_view name = rules::botName(seat);
    return QString::fromLatin1(name.data(), qsizetype(name.size()));
}

GameModel::GameModel()
{
    for (SeatState& s : seats)
        s.name = waitingName();
}

void GameModel::clearDarts()
{
    for (DieState& die : dice)
        die.available = false;
    for (auto& dart : placesFilled)
        dart.fill(false);
    darts.fill(DartResult());
}

void GameModel::clearBoard()
{
    for (SeatState& s : seats) {
        s.marks = {};
        s.points = 0;
        s.watching = false;
    }
    clearDarts();
}

std::optional<std::pair<int, int>> GameModel::firstFreePlace() const
{
    for (int dart = 1; dart <= kDarts; ++dart)
        for (int place = 1; place <= kPlacesPerDart; ++place)
            if (!placesFilled[dart - 1][place - 1])
                return std::pair{dart, place};
    return std::nullopt;
}

void GameModel::postDart(int number, const DartResult& result)
{
    if (isSeat(number))
        board::postscore(seat(number).marks, result);
}

void GameModel::vacate(int number)
{
    SeatState& s = seat(number);
    // Seat 2 always plays; the partners' seats only in a team game.
    const bool computerPlays = number == game::kAlwaysInPlay || (number >= 3 && teamGame);
    s.kind = computerPlays ? SeatKind::Computer : SeatKind::Empty;
    s.name = computerPlays ? computerName(number) : waitingName();
    s.watching = false;
}

} // namespace velmora
