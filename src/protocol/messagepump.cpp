#include "messagepump.h"

#include "message.h"

#include <algorithm>

namespace velmora {

MessagePump::MessagePump(int intervalMs, Handler handler, QObject* parent)
    : QObject(parent)
    , m_interval(intervalMs)
    , m_handler(std::move(handler))
{
    m_timer.setTimerType(Qt::PreciseTimer);
    m_timer.setInterval(intervalMs);
    connect(&m_timer, &QTimer::timeout, this, &MessagePump::tick);
}

void MessagePump::push(const QByteArray& bytes, quint64 source)
{
    m_queue.push_back({protocol::fromWire(bytes.left(protocol::kMaxEntryLength)), source});
    updateTimer();
}

void MessagePump::setKeepTicking(bool on)
{
    m_keepTicking = on;
    updateTimer();
}

void MessagePump::tick()
{
    m_sinceTick.start();
    m_timer.setInterval(m_interval);
    if (!m_queue.empty()) {
        const InboundMessage message = std::move(m_queue.front());
        m_queue.pop_front();
        try {
            m_handler(message);
        } catch (const std::exception& e) {
            // Each side reports its own errors; this only keeps the timer alive.
            qWarning("velmora: message dropped: %s", e.what());
        }
    }
    if (m_tickHook)
        m_tickHook();
    updateTimer();
}

void MessagePump::updateTimer()
{
    const bool busy = !m_queue.empty() || m_keepTicking;
    if (busy && !m_timer.isActive()) {
        // The next tick comes one interval after the last one, or now.
        const qint64 since = m_sinceTick.isValid() ? m_sinceTick.elapsed() : m_interval;
        m_timer.start(int(std::max<qint64>(0, m_interval - since)));
    } else if (!busy && m_timer.isActive())
        m_timer.stop();
}

} // namespace velmora
