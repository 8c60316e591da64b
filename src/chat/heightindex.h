#pragma once

#include <QtGlobal>
#include <vector>

namespace velmora {

// Running totals of paragraph heights (a Fenwick tree): appending, changing one height, the
// offset of a paragraph and the paragraph at an offset all cost O(log n), so a long history
// never has to be walked again. Dropping the oldest paragraphs renumbers the rest from 0; the
// storage they held is given back once it is half the index.
class HeightIndex {
public:
    void clear();
    void append(int height);
    void set(int index, int height);
    // Forgets the first count paragraphs.
    void removeFront(int count);
    int size() const { return int(m_heights.size() - m_first); }
    int height(int index) const { return m_heights[m_first + std::size_t(index)]; }
    // Sum of the heights of the paragraphs before index.
    qint64 offset(int index) const;
    qint64 total() const { return m_total; }
    // The paragraph that covers y (the last one when y is past the end, -1 when empty).
    int indexAt(qint64 y) const;

private:
    // Indexes below work on the stored slots, the forgotten ones (all zero) included.
    void add(std::size_t slot, qint64 delta);
    qint64 prefix(std::size_t slots) const;
    void compact();

    std::size_t m_first = 0; // slots before this one are forgotten and hold zero
    std::vector<int> m_heights;
    std::vector<qint64> m_tree; // 1-based partial sums
    qint64 m_total = 0;
};

} // namespace velmora
