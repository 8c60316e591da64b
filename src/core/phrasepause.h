#pragma once

#include <QElapsedTimer>
#include <QtGlobal>
#include <functional>

namespace velmora {

// The pause after a phrase button: one phrase per pause of wall-clock time,
// however fast the player clicks. Typed lines and chatter sounds are not held.
class PhrasePause {
public:
    static constexpr qint64 kPauseMs = 1600;
    // Milliseconds from any fixed point, never going back.
    using Clock = std::function<qint64()>;

    PhrasePause() { m_timer.start(); }
    PhrasePause(const PhrasePause&) = delete;
    PhrasePause& operator=(const PhrasePause&) = delete;

    void setClock(Clock clock) { m_clock = std::move(clock); }

    bool ready() const { return !m_running || now() - m_sentAt >= kPauseMs; }
    // True when a phrase may go now; the pause then starts over.
    bool take()
    {
        if (!ready())
            return false;
        m_running = true;
        m_sentAt = now();
        return true;
    }

private:
    qint64 now() const { return m_clock ? m_clock() : m_timer.elapsed(); }

    QElapsedTimer m_timer;
    Clock m_clock;
    qint64 m_sentAt = 0;
    bool m_running = false;
};

} // namespace velmora
