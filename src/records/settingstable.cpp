#include "settingstable.h"

#include <type_traits>

namespace velmora::settings {

namespace {

// Sizes past what a chat line can show, and bounds no screen has, are not a place to restore.
constexpr qint64 kFar = 1 << 20;

template <auto member>
constexpr Access kMember{[](const Preferences& p) { return qint64(p.*member); },
                         [](Preferences& p, qint64 v) { p.*member = std::remove_reference_t<decltype(p.*member)>(v); }};

// A side of the main window's bounds, which are kept as one QRect.
template <int (QRect::*get)() const, void (QRect::*set)(int)>
constexpr Access kBound{[](const Preferences& p) { return qint64((p.bounds.*get)()); },
                        [](Preferences& p, qint64 v) { (p.bounds.*set)(int(v)); }};

constexpr std::array<Entry, Count> kTable{{
    {TextSize, "Textsize", Kind::Integer, kMember<&Preferences::textsize>, 1, 72},
    {Top, "Top", Kind::Integer, kBound<&QRect::top, &QRect::moveTop>, -kFar, kFar},
    {Left, "Left", Kind::Integer, kBound<&QRect::left, &QRect::moveLeft>, -kFar, kFar},
    {Width, "Width", Kind::Integer, kBound<&QRect::width, &QRect::setWidth>, 1, kFar},
    {Height, "Height", Kind::Integer, kBound<&QRect::height, &QRect::setHeight>, 1, kFar},
    {BotSpeed, "Botspeed", Kind::Choice, kMember<&Preferences::botspeed>, 0, 0, Preferences::kBotSpeeds},
    {Points, "Points", Kind::Flag, kMember<&Preferences::points>},
    {TurnSound, "Turnsound", Kind::Choice, kMember<&Preferences::turnsound>, 0, 0, Preferences::kTurnSounds},
    {TextColour, "Textcolor", Kind::Colour, kMember<&Preferences::textcolor>},
    {PlaySounds, "Playsounds", Kind::Switch, kMember<&Preferences::playsounds>},
    {PlayVoiceOvers, "Playvoiceovers", Kind::Switch, kMember<&Preferences::playvoiceovers>},
    {ChatterSounds, "ChatterSounds", Kind::Switch, kMember<&Preferences::chatterSounds>},
}};

constexpr bool inIdOrder()
{
    for (int i = 0; i < Count; ++i)
        if (kTable[i].id != i)
            return false;
    return true;
}
static_assert(inIdOrder(), "the table lists the options in the order of Id");

} // namespace

QString phraseKey(int number)
{
    return QStringLiteral("Phrase%1").arg(number);
}

const std::array<Entry, Count>& table()
{
    return kTable;
}

} // namespace velmora::settings
