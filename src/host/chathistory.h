#pragma once

#include <QByteArray>
#include <QList>
#include <deque>

namespace velmora {

// The chat lines the host relayed lately, as they went out, so that a player
// back in his seat is told what was said while he was away.
class ChatHistory {
public:
    static constexpr qsizetype kKept = 50;

    void add(const QByteArray& message)
    {
        m_lines.push_back({++m_count, message});
        if (qsizetype(m_lines.size()) > kKept)
            m_lines.pop_front();
    }
    // Where the chat stands now.
    quint64 mark() const { return m_count; }
    // The lines kept that came after `mark`, oldest first.
    QList<QByteArray> since(quint64 mark) const
    {
        QList<QByteArray> lines;
        for (const Line& line : m_lines) {
            if (line.number > mark)
                lines.append(line.message);
        }
        return lines;
    }

private:
    struct Line {
        quint64 number;
        QByteArray message;
    };
    std::deque<Line> m_lines;
    quint64 m_count = 0;
};

} // namespace velmora
