#pragma once

// The fuzzer's bytes read front to back as a sequence of choices; past the
// end every choice is 0, so any input means something and a short mutation
// changes one choice, not everything after it.

#include <cstddef>
#include <cstdint>

namespace velmora::fuzz {

class Choices {
public:
    Choices(const std::uint8_t* data, std::size_t size)
        : m_data(data)
        , m_size(size)
    {
    }
    bool done() const { return m_at >= m_size; }
    std::uint8_t byte() { return m_at < m_size ? m_data[m_at++] : 0; }
    unsigned word()
    {
        const unsigned high = byte();
        return (high << 8) | byte();
    }
    // One of n things (n > 0).
    unsigned pick(unsigned n) { return byte() % n; }

private:
    const std::uint8_t* m_data;
    std::size_t m_size;
    std::size_t m_at = 0;
};

} // namespace velmora::fuzz
