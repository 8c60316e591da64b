#include "core/gamemodel.h"

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
    clearDarts();
}

bool GameModel::dieAvailable(int die) const
{
    return die >= 1 && die <= game::kDicePerThrow && !turn.used[die - 1];
}

bool GameModel::diceLeftToPlace() const
{
    for (int die = 0; die < game::kDicePerThrow; ++die)
        if (!turn.used[die] && turn.values[die] != 0)
            return rules::firstEmptyPlace(turn.places).has_value();
    return false;
}

int GameModel::diceLeft() const
{
    int left = 0;
    for (int die = 0; die < game::kDicePerThrow; ++die)
        left += turn.values[die] != 0 && !turn.used[die] ? 1 : 0;
    return left;
}

void GameModel::throwDice(const std::array<int, game::kDicePerThrow>& faces)
{
    turn = rules::TurnDice{faces, {}, {}};
    darts.fill(DartResult());
}

void GameModel::clearDarts()
{
    turn.used.fill(true);
    turn.places = {};
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

void GameModel::postDart(int number, const DartResult& result)
{
    if (rules::isSeat(number))
        rules::markDart(seat(number).marks, result);
}

void GameModel::vacate(int number)
{
    SeatState& s = seat(number);
    const bool computerPlays = rules::computerPlays(number, teamGame);
    s.kind = computerPlays ? SeatKind::Computer : SeatKind::Empty;
    s.name = computerPlays ? computerName(number) : waitingName();
    s.watching = false;
}

} // namespace velmora
