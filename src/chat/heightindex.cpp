#include "heightindex.h"

#include <algorithm>

namespace velmora {

void HeightIndex::clear()
{
    m_heights.clear();
    m_tree.clear();
    m_total = 0;
}

void HeightIndex::append(int height)
{
    // The new node i covers (i - lowbit(i), i]: its own height plus a range already summed.
    const qint64 i = qint64(m_heights.size()) + 1;
    const qint64 from = i - (i & -i);
    m_heights.push_back(height);
    m_tree.push_back(height + offset(int(i - 1)) - offset(int(from)));
    m_total += height;
}

void HeightIndex::set(int index, int height)
{
    const qint64 delta = qint64(height) - m_heights[std::size_t(index)];
    if (delta == 0)
        return;
    m_heights[std::size_t(index)] = height;
    add(index, delta);
    m_total += delta;
}

void HeightIndex::add(int index, qint64 delta)
{
    const std::size_t n = m_tree.size();
    for (std::size_t i = std::size_t(index) + 1; i <= n; i += i & (~i + 1))
        m_tree[i - 1] += delta;
}

qint64 HeightIndex::offset(int index) const
{
    qint64 sum = 0;
    for (std::size_t i = std::size_t(index); i > 0; i -= i & (~i + 1))
        sum += m_tree[i - 1];
    return sum;
}

int HeightIndex::indexAt(qint64 y) const
{
    const std::size_t n = m_tree.size();
    if (n == 0)
        return -1;
    if (y < 0)
        return 0;
    // Descend the tree for the largest prefix whose sum stays <= y.
    std::size_t pos = 0;
    std::size_t step = 1;
    while (step * 2 <= n)
        step *= 2;
    qint64 rest = y;
    for (; step > 0; step /= 2) {
        if (pos + step <= n && m_tree[pos + step - 1] <= rest) {
            pos += step;
            rest -= m_tree[pos - 1];
        }
    }
    return int(std::min(pos, n - 1));
}

} // namespace velmora
