#pragma once

#include <QString>
#include <QAnyStringView>
#include <QStringView>

// Which recording each game event plays, and which events the sound options
// let through. Pure functions: the main window asks, the SoundPlayer plays.
namespace velmora {
class DartResult;
}

namespace velmora::sounds {

inline constexpr int chatterCount = 20;

// Names of the recordings (matched without regard to letter case).
inline constexpr QLatin1StringView diceName{"dice1"};      // the dice of a throw laid out
inline constexpr QLatin1StringView enteredName{"entered"}; // a player or spectator announced
inline constexpr QLatin1StringView winnerName{"winner"};   // the end of a game

// The call for a completed dart: "bull", "dbull", "wav15" to "wav20" for the
// number hit, else "miss".
QString dartSound(const DartResult& result);

// The signal for the start of the player's own turn: "turnnew" for the turn
// sound choice 1 ("New"), "turn" for anything else ("Classic").
QString turnSound(int choice);

// Chatter sound 1 to 20 is "wave1" to "wave20"; anything else has no name.
QString chatterSound(int number);

// The number of a chatter sound name ("wave7", any case), or 0 when the name
// is not one: a peer may send any text as a chatter sound.
int chatterNumber(QStringView name);

// The caption of chatter sound 1 to 20 in the chatter menu ("Doh" ...), and
// "<Cancel>" for 0; empty outside.
QString chatterCaption(int number);

// Whether a game sound is a voice (the "voice overs" option) or a plain sound
// (the "sounds" option): the dice are the only plain sound.
bool isVoice(QAnyStringView name);

} // namespace velmora::sounds
