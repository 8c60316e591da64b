#pragma once

// Stands in for starting the game in a separate program: keeps what the
// lobby asked for, so that a test can start the game in its own process.

#include "lobby/gamelauncher.h"

#include <QList>

namespace velmora::testing {

struct RecordingLauncher : lobby::GameLauncher {
    QList<lobby::GameLaunch> launches;
    Status launch(const lobby::GameLaunch& launch) override
    {
        launches << launch;
        return success();
    }
};

} // namespace velmora::testing
