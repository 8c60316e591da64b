#include "seatkeeper.h"

#include <algorithm>

namespace velmora {

SeatKeeper::SeatKeeper(QObject* parent)
    : QObject(parent)
{
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, &SeatKeeper::onTimer);
}

void SeatKeeper::setGraceSeconds(int seconds)
{
    m_graceSeconds = std::clamp(seconds, 0, protocol::ext::kMaxHoldSeconds);
}

QString SeatKeeper::issueToken(int slot)
{
    m_tokens[slot] = protocol::ext::newToken();
    return m_tokens[slot];
}

int SeatKeeper::seatFor(const QString& token) const
{
    if (token.isEmpty())
        return 0;
    for (int seat = 1; seat <= game::kSeats; ++seat) {
        if (m_tokens[seat] == token)
            return seat;
    }
    return 0;
}

void SeatKeeper::hold(int seat, const QString& name, quint64 chatMark)
{
    m_held[seat] = Hold{name, chatMark, QDeadlineTimer(qint64(m_graceSeconds) * 1000)};
    rearm();
}

bool SeatKeeper::release(int seat)
{
    if (!isHeld(seat))
        return false;
    m_held[seat].reset();
    rearm();
    return true;
}

bool SeatKeeper::anyHeld() const
{
    return std::any_of(m_held.begin(), m_held.end(), [](const auto& h) { return h.has_value(); });
}

int SeatKeeper::secondsLeft(int seat) const
{
    if (!isHeld(seat))
        return 0;
    return int((m_held[seat]->ends.remainingTime() + 999) / 1000);
}

void SeatKeeper::rememberSpectator(const QString& token, const QString& name, quint64 chatMark)
{
    m_spectators.removeIf([](const Spectator& s) { return s.until.hasExpired(); });
    if (token.isEmpty() || m_graceSeconds == 0)
        return;
    if (m_spectators.size() >= game::kMaxConnections - game::kSeats)
        m_spectators.removeFirst();
    m_spectators.append({token, name, chatMark, QDeadlineTimer(qint64(m_graceSeconds) * 1000)});
}

std::optional<SeatKeeper::Spectator> SeatKeeper::takeSpectator(const QString& token)
{
    for (qsizetype i = 0; i < m_spectators.size(); ++i) {
        if (m_spectators[i].token == token && !m_spectators[i].until.hasExpired())
            return m_spectators.takeAt(i);
    }
    return std::nullopt;
}

SeatKeeper::WaitingPlace SeatKeeper::admitWaiting()
{
    WaitingPlace place;
    const auto free = std::find_if(m_waiting.begin(), m_waiting.end(), [](const auto& w) { return !w.has_value(); });
    if (free != m_waiting.end()) {
        place.slot = kFirstWaitingSlot + int(free - m_waiting.begin());
    } else {
        const auto oldest = std::min_element(m_waiting.begin(), m_waiting.end(),
                                             [](const auto& a, const auto& b) { return a->arrival < b->arrival; });
        place.slot = place.evicted = kFirstWaitingSlot + int(oldest - m_waiting.begin());
    }
    m_waiting[place.slot - kFirstWaitingSlot] = Waiting{++m_arrivals, QDeadlineTimer(kWaitingMs)};
    rearm();
    return place;
}

void SeatKeeper::leaveWaiting(int slot)
{
    if (!isWaitingSlot(slot))
        return;
    m_waiting[slot - kFirstWaitingSlot].reset();
    rearm();
}

void SeatKeeper::onTimer()
{
    // Each handler may change what is kept; the deadlines are read afresh.
    for (int seat = 1; seat <= game::kSeats; ++seat) {
        if (isHeld(seat) && m_held[seat]->ends.hasExpired())
            emit holdExpired(seat);
    }
    for (int slot = kFirstWaitingSlot; slot <= kLastWaitingSlot; ++slot) {
        if (isWaiting(slot) && m_waiting[slot - kFirstWaitingSlot]->until.hasExpired())
            emit waitedTooLong(slot);
    }
    rearm();
}

void SeatKeeper::rearm()
{
    qint64 next = -1;
    auto consider = [&next](const QDeadlineTimer& deadline) {
        const qint64 left = deadline.remainingTime();
        if (next < 0 || left < next)
            next = left;
    };
    for (const auto& hold : m_held) {
        if (hold)
            consider(hold->ends);
    }
    for (const auto& waiting : m_waiting) {
        if (waiting)
            consider(waiting->until);
    }
    if (next < 0)
        m_timer.stop();
    else
        m_timer.start(int(std::min<qint64>(next, protocol::ext::kMaxHoldSeconds * qint64(1000))));
}

} // namespace velmora
