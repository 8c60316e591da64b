#pragma once

#include "base/result.h"

#include <QString>
#include <QStringList>

namespace velmora::lobby {

// What the lobby asks of the game: the three parameters every lobby passes
// (name, address, "true" to host or "false" to join) and, when hosting, the
// title to announce, which travels in the environment (VELMORA_GAME_TITLE)
// so that the command line stays as other lobbies write it.
struct GameLaunch {
    QString name;
    QString address;
    bool host = false;
    QString title;

    QStringList arguments() const { return {name, address, host ? QStringLiteral("true") : QStringLiteral("false")}; }
    bool operator==(const GameLaunch&) const = default;
};

// Starts the game; the lobby learns that it runs, and that it ended, from
// the game's connection to the lobby's port, never from the process.
class GameLauncher {
public:
    virtual ~GameLauncher() = default;
    virtual Status launch(const GameLaunch& launch) = 0;
};

// The game as a program of its own, `velmora` beside the lobby by default,
// started detached: it outlives a lobby that is closed meanwhile.
class ProcessLauncher : public GameLauncher {
public:
    explicit ProcessLauncher(const QString& program = {});
    Status launch(const GameLaunch& launch) override;

private:
    QString m_program;
};

} // namespace velmora::lobby
