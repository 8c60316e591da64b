#pragma once

#include <array>
#include <optional>

namespace velmora {

// When a window tries again to reach a host it lost: after 1, 2, 4 and 8
// seconds, then every 15 seconds, for two minutes in all. Tests shrink it.
struct RejoinSchedule {
    std::array<int, 4> firstPausesMs{1000, 2000, 4000, 8000};
    int laterPauseMs = 15000;
    int giveUpAfterMs = 120000;
    // An attempt that has not connected and been answered by then has failed.
    int attemptTimeoutMs = 10000;

    // The pause before attempt `attempt` (counted from 1), made `elapsedMs`
    // after the connection was lost; none once the time is up.
    std::optional<int> pauseBefore(int attempt, long long elapsedMs) const
    {
        const int pause = attempt >= 1 && attempt <= int(firstPausesMs.size()) ? firstPausesMs[attempt - 1]
                                                                                : laterPauseMs;
        if (elapsedMs + pause > giveUpAfterMs)
            return std::nullopt;
        return pause;
    }
};

} // namespace velmora
