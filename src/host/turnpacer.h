#pragma once

#include "game/gameevents.h"

#include <QObject>
#include <QTimer>
#include <functional>

namespace velmora {

class GameEngine;

// What the host does on its own time: the computer's steps for a seat that
// nobody plays (the throw one bot delay after the turn opens, the first die
// three bot delays after the throw, each further die one bot delay after the
// last) and the pause between the last die and the score. The computer drives
// the engine's own operations, so its dice are checked and announced like
// anybody's.
class TurnPacer : public QObject {
    Q_OBJECT
public:
    static constexpr int kScoringPauseMs = 1500;

    // `botDelayMs` is asked afresh at every step, so a change applies from
    // the next die on.
    TurnPacer(GameEngine& engine, std::function<int()> botDelayMs, QObject* parent = nullptr);

    void setScoringPauseMs(int ms) { m_scoringPause.setInterval(ms); }
    // Follows the game: called with every event, after it went out.
    void follow(const GameEvent& event);
    // The seat's owner is back: the computer stops.
    void stopComputer() { m_computer.stop(); }
    // The computer takes up the current turn where it stands, at its own
    // pace: the next step one bot delay from now (a seat whose person was
    // lost, or a seat a rejoining connection passed through).
    void resume();

private:
    enum class Step { Throw, Place };
    void arm(Step step, int delayMs);
    void onComputerTick();
    void stopAll();

    GameEngine& m_engine;
    std::function<int()> m_botDelayMs;
    QTimer m_computer;
    Step m_step = Step::Throw;
    QTimer m_scoringPause;
};

} // namespace velmora
