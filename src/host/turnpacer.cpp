#include "turnpacer.h"

#include "game/gameengine.h"

namespace velmora {

TurnPacer::TurnPacer(GameEngine& engine, std::function<int()> botDelayMs, QObject* parent)
    : QObject(parent)
    , m_engine(engine)
    , m_botDelayMs(std::move(botDelayMs))
{
    m_computer.setObjectName(QStringLiteral("computerplay"));
    m_computer.setSingleShot(true);
    m_computer.setTimerType(Qt::PreciseTimer);
    connect(&m_computer, &QTimer::timeout, this, &TurnPacer::onComputerTick);
    m_scoringPause.setObjectName(QStringLiteral("Timer1"));
    m_scoringPause.setSingleShot(true);
    m_scoringPause.setTimerType(Qt::PreciseTimer);
    m_scoringPause.setInterval(kScoringPauseMs);
    // A pause that outlived its turn (a new game meanwhile) scores nothing.
    connect(&m_scoringPause, &QTimer::timeout, this, [this] { static_cast<void>(m_engine.endTurn()); });
}

void TurnPacer::follow(const GameEvent& event)
{
    std::visit(Overloaded{
                   // Nothing pending may act on the next turn or the next game.
                   [this](const event::GameStarted&) { stopAll(); },
                   [this](const event::NextPlayer& e) {
                       if (m_engine.computerDriven(e.seat))
                           arm(Step::Throw, m_botDelayMs());
                       else
                           m_computer.stop();
                   },
                   [this](const event::DiceThrown& e) {
                       if (m_engine.computerDriven(e.seat))
                           arm(Step::Place, 3 * m_botDelayMs());
                   },
                   [this](const event::DiePlaced& e) {
                       if (m_engine.phase() == GameEngine::Phase::Placing && m_engine.computerDriven(e.seat))
                           arm(Step::Place, m_botDelayMs());
                   },
                   [](const event::DartCompleted&) {},
                   [this](const event::AllDicePlaced&) { m_scoringPause.start(); },
                   [this](const event::TurnEnded&) { stopAll(); },
                   [this](const event::Winner&) { stopAll(); },
                   // A step already armed asks at its tick who drives the seat.
                   [](const event::WatchingChanged&) {},
               },
               event);
}

void TurnPacer::resume()
{
    const int seat = m_engine.currentSeat();
    if (m_computer.isActive() || !m_engine.isRunning() || !m_engine.computerDriven(seat))
        return;
    if (m_engine.phase() == GameEngine::Phase::AwaitingThrow)
        arm(Step::Throw, m_botDelayMs());
    else if (m_engine.phase() == GameEngine::Phase::Placing)
        arm(Step::Place, m_botDelayMs());
}

void TurnPacer::arm(Step step, int delayMs)
{
    m_computer.stop();
    m_step = step;
    m_computer.setInterval(delayMs);
    m_computer.start();
}

void TurnPacer::onComputerTick()
{
    const int seat = m_engine.currentSeat();
    if (!m_engine.isRunning() || !m_engine.computerDriven(seat))
        return; // the seat's owner has taken over
    // The engine has the last word: a step the turn has moved past (thrown
    // by its owner meanwhile, say) is refused and changes nothing.
    const GameEngine::Outcome outcome =
        m_step == Step::Throw ? m_engine.throwDice(seat) : m_engine.placeNextForComputer(seat);
    static_cast<void>(outcome);
}

void TurnPacer::stopAll()
{
    m_computer.stop();
    m_scoringPause.stop();
}

} // namespace velmora
