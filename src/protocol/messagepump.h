#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QTimer>
#include <deque>
#include <functional>

namespace velmora {

// One queued message: its text (terminator removed, cut to the entry limit)
// and an opaque number naming the connection it came on (0 when a side has
// only one connection).
struct InboundMessage {
    QString text;
    quint64 source = 0;
};

// The inbound queue of one side and the timer that drains it: one message per
// tick, in arrival order. The timer runs only while there is work (queued
// messages, or a caller that asked to keep ticking), so an idle side costs
// nothing; the pacing on the wire stays one message per tick. A message that
// finds the side idle is taken as soon as a whole interval has passed since
// the last tick, rather than waiting for a tick that was never scheduled.
class MessagePump : public QObject {
    Q_OBJECT
public:
    using Handler = std::function<void(const InboundMessage&)>;

    MessagePump(int intervalMs, Handler handler, QObject* parent = nullptr);

    void push(const QByteArray& bytes, quint64 source = 0);
    qsizetype size() const { return static_cast<qsizetype>(m_queue.size()); }

    // Keeps the timer ticking while the queue is empty (for a side that counts
    // ticks for something else).
    void setKeepTicking(bool on);
    // Called after every tick, with or without a message.
    void setTickHook(std::function<void()> hook) { m_tickHook = std::move(hook); }

private:
    void tick();
    void updateTimer();

    QTimer m_timer;
    QElapsedTimer m_sinceTick;
    int m_interval;
    Handler m_handler;
    std::function<void()> m_tickHook;
    std::deque<InboundMessage> m_queue;
    bool m_keepTicking = false;
};

} // namespace velmora
