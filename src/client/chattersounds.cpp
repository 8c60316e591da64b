#include "chattersounds.h"

#include "game/constants.h"

#include <array>

namespace velmora {

QString chatterSoundName(int number)
{
    static constexpr std::array<const char*, game::kChatterSounds + 1> names = {
        "<Cancel>",       "Doh",          "Cough", "Hello",   "Thank You", "Where have you been?",
        "Snoring",        "Sneezing",     "Sorry", "Welcome", "Yeehaa",    "Yippee",
        "Oh No",          "Applause",     "Honk",  "Oooh",    "Razzberry", "Cheer",
        "Woman Laughing", "Man Laughing", "Crying"};
    if (number < 0 || number > game::kChatterSounds)
        return {};
    return QString::fromLatin1(names[number]);
}

} // namespace velmora
