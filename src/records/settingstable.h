#pragma once

#include "preferences.h"

#include <QString>
#include <QtGlobal>
#include <array>
#include <span>

namespace velmora::settings {

// How a key's value is spelled in the settings file.
enum class Kind {
    Integer, // decimal or "$" and hexadecimal digits, within [min, max]
    Choice,  // decimal, exactly as written, and one of the values offered
    Flag,    // "1" or "0"; anything but "0" reads as on
    Switch,  // "true" or "false"; anything but "false" reads as on
    Colour,  // a colour's name or "$" and hexadecimal digits; an unreadable one reads as white
};

// The keys of section "Velmora" the game writes, in the order they are written.
enum Id {
    TextSize,
    Top,
    Left,
    Width,
    Height,
    BotSpeed,
    Points,
    TurnSound,
    TextColour,
    PlaySounds,
    PlayVoiceOvers,
    ChatterSounds,
    Count
};

// Where in Preferences an option is kept. Every value passes through a
// qint64: switches as 0 and 1, colours as their RGB.
struct Access {
    qint64 (*get)(const Preferences&);
    void (*set)(Preferences&, qint64);
};

// One option: its key as the lobby and earlier versions of the game spell it,
// how its value is spelled, and where it is kept.
struct Entry {
    Id id;
    const char* key;
    Kind kind;
    Access access;
    qint64 min = 0; // Integer: the sane range; a stored value outside it reads as the default
    qint64 max = 0;
    std::span<const Preferences::Choice> choices = {}; // Choice: the values a stored one may be

    // What a missing key reads as: the member's initial value in Preferences.
    qint64 fallback() const { return access.get(Preferences{}); }
};

// The chat's phrase buttons keep their texts beside the options, as keys
// "Phrase1" to "Phrase10": any text, empty when missing (the button's own
// phrase), always written all together.
QString phraseKey(int number);

// Every option, indexed by Id.
const std::array<Entry, Count>& table();
inline const Entry& entry(Id id)
{
    return table()[id];
}

} // namespace velmora::settings
