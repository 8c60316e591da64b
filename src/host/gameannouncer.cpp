#include "gameannouncer.h"

#include "game/gameengine.h"
#include "protocol/catalogue.h"
#include "protocol/extensions.h"
#include "roster.h"

namespace velmora {

namespace toClient = protocol::toClient;

GameAnnouncer::GameAnnouncer(Roster& roster, const GameEngine& engine, WinnerHook onWinner)
    : m_roster(roster)
    , m_engine(engine)
    , m_onWinner(std::move(onWinner))
{
}

void GameAnnouncer::announce(const GameEvent& event)
{
    std::visit(
        Overloaded{
            // The host sends the start itself: only it knows who started.
            [](const event::GameStarted&) {},
            [this](const event::NextPlayer& e) {
                m_roster.sendToSeats(toClient::NextPlayer{e.seat}.encode());
                // Spectators of ours are told too, in a message of our own.
                m_roster.sendToSpectators(protocol::ext::toClient::WhoseTurn{e.seat}.encode(),
                                          Roster::Audience::Extended);
            },
            [this](const event::DiceThrown& e) { m_roster.sendToLoggedIn(toClient::TheDart{e.values}.encode()); },
            [this](const event::DiePlaced& e) {
                const rules::Placement& p = e.placement;
                m_roster.sendToLoggedIn(toClient::DiePlaced{e.seat, e.result, p.die, p.dart, p.place}.encode());
            },
            // Clients see a dart complete and the dice all placed from the placements themselves.
            [](const event::DartCompleted&) {},
            [](const event::AllDicePlaced&) {},
            [this](const event::TurnEnded& e) {
                const toClient::TurnScore score{e.seat, e.score, e.results};
                m_roster.sendToLoggedIn(e.partnerCopy ? toClient::PartnerEndTurn{score}.encode()
                                                      : toClient::EndTurn{score}.encode());
            },
            [this](const event::Winner& e) { announceWinner(e); },
            [this](const event::WatchingChanged& e) {
                m_roster.sendToAll(toClient::JustWatching{e.seat, e.watching}.encode());
            },
        },
        event);
}

void GameAnnouncer::announceWinner(const event::Winner& winner)
{
    const toClient::Winner message =
        winner.partner != 0 ? toClient::Winner::partners(displayName(winner.seat), displayName(winner.partner))
                            : toClient::Winner{displayName(winner.seat)};
    m_roster.sendToAll(message.encode());
    if (m_onWinner)
        m_onWinner(message.names);
}

QString GameAnnouncer::displayName(int seat) const
{
    const QString& name = m_roster[seat].name;
    return name.isEmpty() ? QString::fromLatin1(rules::botName(seat)) : name;
}

void GameAnnouncer::bringUpToDate(int slot)
{
    for (int seat = 1; seat <= game::kSeats; ++seat) {
        if (!m_engine.inPlay(seat))
            continue;
        const GameEngine::Seat& s = m_engine.seat(seat);
        for (int target = game::kFirstTarget; target <= game::kBull; ++target)
            m_roster.sendTo(slot, toClient::LoadBoard{seat, target, rules::marksOn(s.marks, target), s.score}.encode());
    }
    m_roster.sendTo(slot, toClient::NextPlayer{m_engine.currentSeat()}.encode());
    m_roster.sendTo(slot, toClient::TheDart{m_engine.turn().values}.encode());
    for (const event::DiePlaced& placed : m_engine.placedThisTurn()) {
        const rules::Placement& p = placed.placement;
        m_roster.sendTo(slot, toClient::DiePlaced{placed.seat, placed.result, p.die, p.dart, p.place}.encode());
    }
}

} // namespace velmora
