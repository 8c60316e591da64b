#pragma once

#include <QtGlobal>
#include <vector>

namespace velmora {

// Running totals of paragraph heights (a Fenwick tree): appending, changing one height, the
// offset of a paragraph and the paragraph at an offset all cost O(log n), so a long history
// never has to be walked again.
class HeightIndex {
public:
    void clear();
    void append(int height);
    void set(int index, int height);
    int size() const { return int(m_heights.size()); }
    int height(int index) const { return m_heights[std::size_t(index)]; }
    // Sum of the heights of the paragraphs before index.
    qint64 offset(int index) const;
    qint64 total() const { return m_total; }
    // The paragraph that covers y (the last one when y is past the end, -1 when empty).
    int indexAt(qint64 y) const;

private:
    void add(int index, qint64 delta);

    std::vector<int> m_heights;
    std::vector<qint64> m_tree; // 1-based partial sums
    qint64 m_total = 0;
};

} // namespace velmora
