#include "heightindex.h"

#include <algorithm>

namespace velmora {

namespace {
// Below this many forgotten slots the storage is not worth moving.
constexpr std::size_t kCompactAfter = 1024;

std::size_t lowBit(std::size_t i)
{
    return i & (~i + 1);
}
} // namespace

void HeightIndex::clear()
{
    m_first = 0;
    m_heights.clear();
    m_tree.clear();
    m_total = 0;
}

void HeightIndex::append(int height)
{
    // The new node i covers (i - lowbit(i), i]: its own height plus a range already summed.
    const std::size_t i = m_heights.size() + 1;
    m_heights.push_back(height);
    m_tree.push_back(height + prefix(i - 1) - prefix(i - lowBit(i)));
    m_total += height;
}

void HeightIndex::set(int index, int height)
{
    const std::size_t slot = m_first + std::size_t(index);
    const qint64 delta = qint64(height) - m_heights[slot];
    if (delta == 0)
        return;
    m_heights[slot] = height;
    add(slot, delta);
    m_total += delta;
}

void HeightIndex::removeFront(int count)
{
    count = std::clamp(count, 0, size());
    for (int i = 0; i < count; ++i) {
        const std::size_t slot = m_first + std::size_t(i);
        m_total -= m_heights[slot];
        add(slot, -qint64(m_heights[slot]));
        m_heights[slot] = 0;
    }
    m_first += std::size_t(count);
    if (m_first >= kCompactAfter && m_first * 2 >= m_heights.size())
        compact();
}

void HeightIndex::compact()
{
    m_heights.erase(m_heights.begin(), m_heights.begin() + std::ptrdiff_t(m_first));
    m_first = 0;
    // Building the tree in place costs O(n): each node passes its sum on to its parent.
    const std::size_t n = m_heights.size();
    m_tree.assign(m_heights.begin(), m_heights.end());
    for (std::size_t i = 1; i <= n; ++i) {
        const std::size_t parent = i + lowBit(i);
        if (parent <= n)
            m_tree[parent - 1] += m_tree[i - 1];
    }
    m_heights.shrink_to_fit();
    m_tree.shrink_to_fit();
}

void HeightIndex::add(std::size_t slot, qint64 delta)
{
    const std::size_t n = m_tree.size();
    for (std::size_t i = slot + 1; i <= n; i += lowBit(i))
        m_tree[i - 1] += delta;
}

qint64 HeightIndex::prefix(std::size_t slots) const
{
    qint64 sum = 0;
    for (std::size_t i = slots; i > 0; i -= lowBit(i))
        sum += m_tree[i - 1];
    return sum;
}

qint64 HeightIndex::offset(int index) const
{
    // The forgotten slots hold zero, so the prefix up to a paragraph is its offset.
    return prefix(m_first + std::size_t(index));
}

int HeightIndex::indexAt(qint64 y) const
{
    const std::size_t n = m_tree.size();
    if (size() == 0)
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
    return int(std::clamp(pos, m_first, n - 1) - m_first);
}

} // namespace velmora
