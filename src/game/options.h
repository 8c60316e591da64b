#pragma once

namespace velmora {

// The player's choices that the host and the client both read: the host
// paces the computer player by the bot delay, the client decides what is
// heard and what a new game asks for. One object per program, owned by the
// main window; the host holds a pointer to it and reads it afresh at every
// step, so a change applies from the next die on.
struct Options {
    static constexpr int kDefaultBotDelayMs = 500;

    int botDelayMs = kDefaultBotDelayMs; // 250, 500 or 750
    bool playSounds = true;              // the non-voice game sounds
    bool playVoiceSounds = true;
    bool playChatterSounds = true;
    int turnSound = 0; // 0 the classic call, 1 the new one
    bool pointsGame = true;
};

} // namespace velmora
