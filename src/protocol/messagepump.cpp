#include "messagepump.h"

#include "message.h"

#include <algorithm>

namespace velmora {

MessagePump::MessagePump(int intervalMs, Handler handler, qsizetype maxMessages, QObject* parent)
    : QObject(parent)
    , m_interval(intervalMs)
    , m_maxMessages(maxMessages)
    , m_handler(std::move(handler))
{
    m_timer.setTimerType(Qt::PreciseTimer);
    m_timer.setInterval(intervalMs);
    connect(&m_timer, &QTimer::timeout, this, &MessagePump::tick);
}

bool MessagePump::push(const QByteArray& bytes, quint64 source)
{
    const QByteArray entry = bytes.left(protocol::kMaxEntryLength);
    Queue& queue = m_queues[source];
    if (queue.messages.size() >= size_t(m_maxMessages) || queue.bytes + entry.size() > kMaxQueuedBytes) {
        if (queue.messages.empty())
            m_queues.erase(source);
        return false;
    }
    if (queue.messages.empty())
        m_turns.push_back(source);
    queue.messages.push_back({protocol::fromWire(entry), source});
    queue.bytes += entry.size();
    ++m_size;
    updateTimer();
    return true;
}

void MessagePump::discard(quint64 source)
{
    const auto it = m_queues.find(source);
    if (it == m_queues.end())
        return;
    m_size -= qsizetype(it->second.messages.size());
    m_queues.erase(it);
    m_turns.erase(std::remove(m_turns.begin(), m_turns.end(), source), m_turns.end());
    updateTimer();
}

qsizetype MessagePump::size(quint64 source) const
{
    const auto it = m_queues.find(source);
    return it == m_queues.end() ? 0 : qsizetype(it->second.messages.size());
}

void MessagePump::takeAllNow()
{
    while (const auto message = takeNext())
        m_handler(*message);
    updateTimer();
}

void MessagePump::setKeepTicking(bool on)
{
    m_keepTicking = on;
    updateTimer();
}

// The oldest message of the connection whose turn it is; that connection
// then waits behind every other one that has something queued.
std::optional<InboundMessage> MessagePump::takeNext()
{
    if (m_turns.empty())
        return std::nullopt;
    const quint64 source = m_turns.front();
    m_turns.pop_front();
    Queue& queue = m_queues[source];
    InboundMessage message = std::move(queue.messages.front());
    queue.messages.pop_front();
    queue.bytes -= protocol::toWire(message.text).size();
    --m_size;
    if (queue.messages.empty())
        m_queues.erase(source);
    else
        m_turns.push_back(source);
    return message;
}

void MessagePump::tick()
{
    m_sinceTick.start();
    m_timer.setInterval(m_interval);
    if (const auto message = takeNext()) {
        try {
            m_handler(*message);
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
    const bool busy = m_size > 0 || m_keepTicking;
    if (busy && !m_timer.isActive()) {
        // The next tick comes one interval after the last one, or now.
        const qint64 since = m_sinceTick.isValid() ? m_sinceTick.elapsed() : m_interval;
        m_timer.start(int(std::max<qint64>(0, m_interval - since)));
    } else if (!busy && m_timer.isActive())
        m_timer.stop();
}

} // namespace velmora
