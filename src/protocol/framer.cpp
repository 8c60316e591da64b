#include "framer.h"

#include "message.h"

namespace velmora {

bool Framer::feed(const QByteArray& bytes, const std::function<void(QByteArray)>& deliver)
{
    m_tail += bytes;
    qsizetype start = 0;
    for (qsizetype end = m_tail.indexOf(protocol::kTerminator); end >= 0;
         end = m_tail.indexOf(protocol::kTerminator, start)) {
        // A bare terminator carries no command: it never reaches a queue.
        if (end > start)
            deliver(m_tail.mid(start, end - start));
        start = end + 1;
    }
    m_tail.remove(0, start);
    if (m_tail.size() > kMaxPending) {
        m_tail.clear();
        return false;
    }
    return true;
}

} // namespace velmora
