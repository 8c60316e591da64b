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
    connect(&m_scoringPause, &QTimer::timeout, this, [this] { m_engine.endTurn(); });
}

void TurnPacer::follow(const GameEvent& event)
{
    if (const auto* next = std::get_if<event::NextPlayer>(&event)) {
        if (m_engine.computerDriven(next->seat))
            arm(Step::Throw, m_botDelayMs());
        else
            m_computer.stop();
    } else if (const auto* thrown = std::get_if<event::DiceThrown>(&event)) {
        if (m_engine.computerDriven(thrown->seat))
            arm(Step::Place, 3 * m_botDelayMs());
    } else if (const auto* placed = std::get_if<event::DiePlaced>(&event)) {
        if (m_engine.phase() == GameEngine::Phase::Placing && m_engine.computerDriven(placed->seat))
            arm(Step::Place, m_botDelayMs());
    } else if (std::holds_alternative<event::AllDicePlaced>(event)) {
        m_scoringPause.start();
    } else if (std::holds_alternative<event::GameStarted>(event) || std::holds_alternative<event::TurnEnded>(event) ||
               std::holds_alternative<event::Winner>(event)) {
        // Nothing pending may act on the next turn or the next game.
        stopAll();
    }
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
    if (m_step == Step::Throw)
        m_engine.throwDice(seat);
    else
        m_engine.placeNextForComputer(seat);
}

void TurnPacer::stopAll()
{
    m_computer.stop();
    m_scoringPause.stop();
}

} // namespace velmora
