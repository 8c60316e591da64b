#pragma once

// A damaged tally block that once overran the expander's buffer: in one group
// of sixteen items, eight runs fill the block to its last byte, seven copies
// follow and a last run comes after them; a group of literals pads the body so
// the group is decoded the fast way.

#include <cstdint>
#include <vector>

namespace velmora::tallytest {

inline std::vector<std::uint8_t> overrunBlock()
{
    std::vector<std::uint8_t> body{0x40, 0xFF, 0xFF};
    for (int i = 0; i < 7; ++i)
        body.insert(body.end(), {0x00, 0x0F, 0xFF, 'r'}); // runs of 4111
    body.insert(body.end(), {0x00, 0x0F, 0x87, 'r'});     // 3991 more: 32768 in all
    for (int i = 0; i < 7; ++i)
        body.insert(body.end(), {0x00, 0x1F}); // copies of 18 at distance 1
    body.insert(body.end(), {0x00, 0x0F, 0xFF, 'r'});
    body.insert(body.end(), {0x00, 0x00});
    body.insert(body.end(), 16, 'l');
    return body;
}

// The block as a whole tally file announcing a short text, as a tally is.
inline std::vector<std::uint8_t> overrunFile()
{
    const std::vector<std::uint8_t> body = overrunBlock();
    std::vector<std::uint8_t> file{'W', 'R', 'Z', 'L', 100, 0, 0, 0};
    file.push_back(std::uint8_t(body.size()));
    file.push_back(std::uint8_t(body.size() >> 8));
    file.insert(file.end(), body.begin(), body.end());
    return file;
}

} // namespace velmora::tallytest
