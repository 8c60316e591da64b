#pragma once

#include "dartresult.h"
#include "darts.h"
#include "rules.h"

#include <array>
#include <variant>

namespace velmora {

// What the turn engine announces, in the order it happens. The host turns
// each into a message; a test reads them as they are. Whoever follows them
// visits every kind with std::visit over an Overloaded set, with no catch-all,
// so that a new kind of event does not compile until each follower has
// decided what it means to it.
namespace event {

struct GameStarted {
    bool team = false;
    bool points = true;
};
// A turn opens for `seat`: it may throw now.
struct NextPlayer {
    int seat = 0;
};
struct DiceThrown {
    int seat = 0;
    std::array<int, game::kDicePerThrow> values{};
};
// A die lies on a dart; `result` is that dart's result so far.
struct DiePlaced {
    int seat = 0;
    rules::Placement placement;
    DartResult result;
};
// The fourth die of a dart has landed: the dart hits `result`.
struct DartCompleted {
    int seat = 0;
    int dart = 0;
    DartResult result;
};
// Every die lies on a dart; the turn is scored after the scoring pause.
struct AllDicePlaced {
    int seat = 0;
};
// The turn is scored: the seat's new score and its three darts. In a team
// game the same follows for the partner (`partnerCopy` set).
struct TurnEnded {
    int seat = 0;
    int score = 0;
    rules::DartResults results;
    bool partnerCopy = false;
};
struct Winner {
    int seat = 0;
    int partner = 0; // 0 unless a team won
};
struct WatchingChanged {
    int seat = 0;
    bool watching = false;
};

} // namespace event

using GameEvent =
    std::variant<event::GameStarted, event::NextPlayer, event::DiceThrown, event::DiePlaced, event::DartCompleted,
                 event::AllDicePlaced, event::TurnEnded, event::Winner, event::WatchingChanged>;

// The lambdas of one visit as one callable.
template <class... Ts> struct Overloaded : Ts... {
    using Ts::operator()...;
};
template <class... Ts> Overloaded(Ts...) -> Overloaded<Ts...>;

} // namespace velmora
