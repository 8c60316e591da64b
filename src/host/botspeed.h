#pragma once

namespace velmora {

// Where the host reads the computer player's pace: the main window's
// "Bot Speed" menu, or a fixed setting of a host that runs alone. Read
// afresh at every step, so a change applies from the next die on.
class BotSpeedSource {
public:
    virtual ~BotSpeedSource() = default;
    // Milliseconds between two steps of the computer player.
    virtual int botDelayMs() const = 0;
};

} // namespace velmora
