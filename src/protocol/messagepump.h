#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QTimer>
#include <deque>
#include <functional>
#include <optional>
#include <unordered_map>

namespace velmora {

// One queued message: its text (terminator removed, cut to the entry limit)
// and an opaque number naming the connection it came on (0 when a side has
// only one connection).
struct InboundMessage {
    QString text;
    quint64 source = 0;
};

// The inbound queue of one side and the timer that drains it: one message per
// tick. Each connection has its own queue and the ticks go round the
// connections that have something waiting, so a busy connection delays the
// others by at most one tick each; within a connection messages keep their
// order. Every connection's queue is bounded: a push past the bound is
// refused and the caller closes that connection as a flooder.
//
// The timer runs only while there is work (queued messages, or a caller that
// asked to keep ticking), so an idle side costs nothing; the pacing on the
// wire stays one message per tick. A message that finds the side idle is
// taken as soon as a whole interval has passed since the last tick, rather
// than waiting for a tick that was never scheduled.
class MessagePump : public QObject {
    Q_OBJECT
public:
    using Handler = std::function<void(const InboundMessage&)>;

    // What one connection may have waiting: far beyond any honest peer, which
    // sends a handful of messages between two of its player's clicks.
    static constexpr qsizetype kMaxQueuedMessages = 4096;
    static constexpr qsizetype kMaxQueuedBytes = 1024 * 1024;

    // `maxMessages` bounds each connection's queue (a side with one
    // connection takes a tighter bound).
    MessagePump(int intervalMs, Handler handler, qsizetype maxMessages = kMaxQueuedMessages, QObject* parent = nullptr);

    // Queues a message; false (and nothing queued) once the connection's
    // queue is full.
    [[nodiscard]] bool push(const QByteArray& bytes, quint64 source = 0);
    // Forgets everything a connection still has waiting (it has gone).
    void discard(quint64 source);
    qsizetype size() const { return m_size; }
    qsizetype size(quint64 source) const;

    // Takes every waiting message now, one after another, in the order the
    // ticks would have taken them (tests and fuzzing).
    void takeAllNow();

    // Keeps the timer ticking while the queue is empty (for a side that counts
    // ticks for something else).
    void setKeepTicking(bool on);
    // Called after every tick, with or without a message.
    void setTickHook(std::function<void()> hook) { m_tickHook = std::move(hook); }

private:
    struct Queue {
        std::deque<InboundMessage> messages;
        qsizetype bytes = 0;
    };

    void tick();
    void updateTimer();
    std::optional<InboundMessage> takeNext();

    QTimer m_timer;
    QElapsedTimer m_sinceTick;
    int m_interval;
    qsizetype m_maxMessages;
    Handler m_handler;
    std::function<void()> m_tickHook;
    std::unordered_map<quint64, Queue> m_queues;
    std::deque<quint64> m_turns; // connections with messages waiting, in the order they are served
    qsizetype m_size = 0;
    bool m_keepTicking = false;
};

} // namespace velmora
