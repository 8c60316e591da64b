#pragma once

#include "game/constants.h"

#include <QRect>
#include <QString>
#include <QtGlobal>
#include <array>

namespace velmora {

// The player's choices and the main window's place: one value for the whole
// program, its members named as section "Velmora" of the settings file spells
// its keys (settingstable.h says which key keeps each). Each member starts at
// what a missing key reads as.
struct Preferences {
    static constexpr int kPhraseCount = 10;
    static constexpr QRect kDefaultBounds{3, 3, 740, 563}; // Left, Top, Width, Height
    // An option's value as its menu names it.
    struct Choice {
        const char* caption;
        int value;
    };
    // The computer's paces in milliseconds.
    static constexpr Choice kBotSpeeds[] = {{"Slow", 750}, {"Normal", game::kDefaultBotDelayMs}, {"Fast", 250}};
    static constexpr Choice kTurnSounds[] = {{"Classic", 0}, {"New", 1}};
    static constexpr int kDefaultBotSpeed = game::kDefaultBotDelayMs;
    // The chat's text sizes the menu offers.
    static constexpr int kTextSizes[] = {8, 10, 12, 14};

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
    int turnsound = 0;         // kTurnSounds

    // Until the file is first read the menu shows chatter sounds off, and
    // none are heard, and the chat shows its text at 10. (The points box
    // keeps its own state until then; nothing is saved unless the player
    // sets it.)
    static Preferences beforeFirstRead()
    {
        Preferences p;
        p.chatterSounds = false;
        p.textsize = 10;
        return p;
    }
};

} // namespace velmora
