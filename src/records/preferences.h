#pragma once

#include "game/constants.h"

#include <QRect>
#include <QString>
#include <QtGlobal>
#include <array>

namespace velmora {

// The player's choices and the main window's place: one value for the whole
// program, its members named as section "Velmora" of the settings file spells
// its keys. Each member starts at what a missing key reads as.
struct Preferences {
    static constexpr int kPhraseCount = 10;
    static constexpr QRect kDefaultBounds{3, 3, 740, 563}; // Left, Top, Width, Height
    static constexpr int kBotSpeeds[] = {750, 500, 250};   // Slow, Normal, Fast
    static constexpr int kDefaultBotSpeed = game::kDefaultBotDelayMs;

    int textsize = 8;
    QRect bounds = kDefaultBounds;
    quint32 textcolor = 0x00FF00; // "cllime"
    // Phrase1 to Phrase10; an empty one leaves its button's built-in phrase.
    std::array<QString, kPhraseCount> phrases;
    bool points = true;
    bool playsounds = true;     // "Play Non-Voice Sounds"
    bool playvoiceovers = true; // "Play Voice Sounds"
    int botspeed = kDefaultBotSpeed;
    bool chatterSounds = true; // "Play Chatter Sounds"
    int turnsound = 0;         // 0 "Classic", 1 "New"

    // Until the file is first read the menu shows chatter sounds off, and
    // none are heard. (The chat keeps its own text size and the points box
    // its own state until then; neither is saved unless the player sets it.)
    static Preferences beforeFirstRead()
    {
        Preferences p;
        p.chatterSounds = false;
        return p;
    }

    bool anySoundOn() const { return playsounds || playvoiceovers || chatterSounds; }
};

} // namespace velmora
