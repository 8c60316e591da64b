#pragma once

#include <QtGlobal>
#include <algorithm>

namespace velmora {

// How much chat one connection may send: a token bucket that lets a burst
// through and then a steady trickle, generous enough that nobody typing or
// clicking phrase and sound buttons ever meets it. Chat, action and chatter
// sound messages each take one token.
class ChatBudget {
public:
    static constexpr double kBurst = 10;
    static constexpr double kPerSecond = 2;

    enum class Verdict {
        Pass,
        Drop,          // over budget
        DropAndReport, // over budget, the first of this run: worth one log line
    };

    // Spends a token at `nowMs` (a steady clock), if there is one.
    Verdict spend(qint64 nowMs)
    {
        if (m_lastMs >= 0)
            m_tokens = std::min(kBurst, m_tokens + double(nowMs - m_lastMs) * kPerSecond / 1000.0);
        m_lastMs = nowMs;
        if (m_tokens >= 1.0) {
            m_tokens -= 1.0;
            m_dropping = false;
            return Verdict::Pass;
        }
        const bool first = !m_dropping;
        m_dropping = true;
        return first ? Verdict::DropAndReport : Verdict::Drop;
    }

private:
    double m_tokens = kBurst;
    qint64 m_lastMs = -1;
    bool m_dropping = false;
};

} // namespace velmora
