#include "gameengine.h"

namespace velmora {

using Outcome = GameEngine::Outcome;

GameEngine::GameEngine()
    : m_random(std::random_device{}())
{
    m_rollDie = [this] { return std::uniform_int_distribution<int>(1, game::kDieFaces)(m_random); };
    m_drawSeat = [this] { return std::uniform_int_distribution<int>(1, game::kSeats)(m_random); };
}

void GameEngine::announce(const GameEvent& event)
{
    if (m_listener)
        m_listener(event);
}

// --- seats ---------------------------------------------------------------------

void GameEngine::takeSeat(int seat)
{
    if (!rules::isSeat(seat))
        return;
    m_seats[seat].occupied = true;
    m_seats[seat].held = false;
}

void GameEngine::holdSeat(int seat)
{
    if (!rules::isSeat(seat))
        return;
    m_seats[seat].occupied = false;
    m_seats[seat].held = true;
}

void GameEngine::releaseHold(int seat)
{
    if (!rules::isSeat(seat))
        return;
    m_seats[seat].held = false;
    m_seats[seat].watching = false;
}

void GameEngine::leaveSeat(int seat)
{
    if (!rules::isSeat(seat))
        return;
    m_seats[seat].occupied = false;
    m_seats[seat].held = false;
    m_seats[seat].watching = false;
}

Outcome GameEngine::setWatching(int seat, bool on)
{
    if (!rules::isSeat(seat))
        return Outcome::OutOfRange;
    m_seats[seat].watching = on;
    announce(event::WatchingChanged{seat, on});
    if (on && isRunning() && seat == m_current)
        static_cast<void>(handOver(seat)); // the current seat: cannot be refused
    return Outcome::Done;
}

GameEngine::SeatRole GameEngine::role(int seat) const
{
    const Seat& s = m_seats[seat];
    if (s.occupied)
        return s.watching ? SeatRole::Watching : SeatRole::Person;
    return rules::computerPlays(seat, m_team, s.held) ? SeatRole::Computer : SeatRole::Empty;
}

// --- the game --------------------------------------------------------------------

void GameEngine::startGame(bool team, bool points)
{
    for (int s = 1; s <= game::kSeats; ++s) {
        m_seats[s].score = 0;
        m_seats[s].marks = {};
        m_seats[s].watching = false;
    }
    m_team = team;
    m_points = points;
    m_phase = Phase::AwaitingThrow;
    announce(event::GameStarted{team, points});

    // The first turn goes to the seat after the drawn one; a drawn seat 3
    // that nobody holds counts as seat 1.
    m_current = m_drawSeat();
    if (!rules::isSeat(m_current))
        m_current = 1;
    if (m_current == 3 && !m_seats[3].occupied)
        m_current = 1;
    openNextTurn();
}

void GameEngine::openNextTurn()
{
    m_results = {};
    m_turn = {};
    m_placedThisTurn.clear();
    // Outside a team game only the seats in play take turns.
    do {
        m_current = m_current % game::kSeats + 1;
    } while (role(m_current) == SeatRole::Empty);

    Seat& seat = m_seats[m_current];
    seat.diceCount = 0;
    seat.toThrow = true;
    m_phase = Phase::AwaitingThrow;
    announce(event::NextPlayer{m_current});
}

Outcome GameEngine::throwDice(int seat)
{
    if (!isRunning())
        return Outcome::NoGame;
    if (seat != m_current)
        return Outcome::NotYourTurn;
    if (!m_seats[seat].toThrow)
        return Outcome::AlreadyThrown;
    for (int& value : m_turn.values)
        value = m_rollDie();
    m_seats[seat].toThrow = false;
    m_phase = Phase::Placing;
    announce(event::DiceThrown{seat, m_turn.values});
    return Outcome::Done;
}

Outcome GameEngine::mayPlace(int seat) const
{
    if (!isRunning())
        return Outcome::NoGame;
    if (seat != m_current)
        return Outcome::NotYourTurn;
    if (m_seats[seat].toThrow)
        return Outcome::NotThrownYet;
    return Outcome::Done;
}

Outcome GameEngine::placeDie(int seat, const rules::Placement& p)
{
    if (!rules::inRange(p))
        return Outcome::OutOfRange;
    if (const Outcome allowed = mayPlace(seat); allowed != Outcome::Done)
        return allowed;
    if (m_turn.used[p.die - 1])
        return Outcome::DieUsed;
    const std::optional<rules::Landing> landing = rules::layDie(m_turn, p);
    if (!landing)
        return Outcome::PlaceTaken;

    ++m_seats[seat].diceCount;
    m_results[p.dart - 1] = landing->result;
    if (landing->allPlaced)
        m_phase = Phase::ScoringPause;

    m_placedThisTurn.push_back(event::DiePlaced{seat, p, landing->result});
    announce(m_placedThisTurn.back());
    if (landing->dartComplete)
        announce(event::DartCompleted{seat, p.dart, landing->result});
    if (landing->allPlaced)
        announce(event::AllDicePlaced{seat});
    return Outcome::Done;
}

Outcome GameEngine::placeNextForComputer(int seat)
{
    if (const Outcome allowed = mayPlace(seat); allowed != Outcome::Done)
        return allowed;
    const auto next = rules::nextPlacement(m_turn);
    return next ? placeDie(seat, *next) : Outcome::NothingToPlace;
}

Outcome GameEngine::autoPlace(int seat)
{
    if (const Outcome allowed = mayPlace(seat); allowed != Outcome::Done)
        return allowed;
    Outcome outcome = Outcome::NothingToPlace;
    while (const auto next = rules::nextPlacement(m_turn))
        outcome = placeDie(seat, *next);
    return outcome;
}

Outcome GameEngine::handOver(int seat)
{
    if (!isRunning())
        return Outcome::NoGame;
    if (seat != m_current)
        return Outcome::NotYourTurn;
    return m_seats[seat].toThrow ? throwDice(seat) : autoPlace(seat);
}

Outcome GameEngine::playOut(int seat)
{
    const Outcome first = handOver(seat);
    if (first != Outcome::Done)
        return first;
    const Outcome second = handOver(seat);
    return second == Outcome::NothingToPlace ? Outcome::Done : second;
}

Outcome GameEngine::endTurn()
{
    if (m_phase != Phase::ScoringPause)
        return Outcome::NotScoring;
    const int seatNumber = m_current;
    Seat& player = m_seats[seatNumber];
    // An opponent is open on a target while some seat in play has not closed it.
    const auto opponentOpen = [this](int target) {
        for (int s = 1; s <= game::kSeats; ++s) {
            if (inPlay(s) && rules::marksOn(m_seats[s].marks, target) < game::kClosed)
                return true;
        }
        return false;
    };
    player.score += rules::scoreTurn(player.marks, m_results, opponentOpen);
    announce(event::TurnEnded{seatNumber, player.score, m_results, false});

    // Partners share their marks and score.
    const int partner = game::partnerOf(seatNumber);
    if (m_team) {
        m_seats[partner].score = player.score;
        m_seats[partner].marks = player.marks;
        announce(event::TurnEnded{partner, player.score, m_results, true});
    }

    if (!checkForWin(seatNumber)) {
        openNextTurn();
        return Outcome::Done;
    }
    m_phase = Phase::Over;
    m_current = 0;
    announce(event::Winner{seatNumber, m_team ? partner : 0});
    return Outcome::Done;
}

bool GameEngine::checkForWin(int seat) const
{
    std::array<rules::SeatStanding, game::kSeats> standings;
    for (int s = 1; s <= game::kSeats; ++s)
        standings[s - 1] = {m_seats[s].marks, m_seats[s].score};
    return rules::checkForWin(standings, seat, m_points, m_team ? game::partnerOf(seat) : 0);
}

} // namespace velmora
