#pragma once

#include <QByteArray>
#include <functional>

namespace velmora {

// Cuts one connection's byte stream at the terminator byte. Bytes after the
// last terminator wait for the next read of the same connection, so a
// message split across reads arrives whole.
class Framer {
public:
    // An unterminated tail longer than this is not a message any honest peer sends.
    static constexpr qsizetype kMaxPending = 64 * 1024;

    // Appends bytes and hands out every completed message, terminator removed,
    // in order; empty messages are dropped. Returns false (and drops the tail) once the unterminated rest
    // grows past kMaxPending: the caller closes that connection.
    bool feed(const QByteArray& bytes, const std::function<void(QByteArray)>& deliver);

    qsizetype pending() const { return m_tail.size(); }

private:
    QByteArray m_tail;
};

} // namespace velmora
