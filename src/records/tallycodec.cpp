#include "tallycodec.h"

#include <algorithm>
#include <cstring>

namespace velmora::tallycodec {

namespace {

constexpr std::size_t kMaxRun = 4095; // longest run item
constexpr std::size_t kMinRun = 16;   // shorter runs are left to copies
constexpr std::size_t kMinMatch = 3;  // shortest copy
constexpr std::size_t kMaxMatch = 18; // longest copy
constexpr std::size_t kMaxDistance = 4095;

// Hash of the three bytes at p, the table index of their latest position.
inline unsigned hashAt(const std::uint8_t* p)
{
    const std::uint32_t h = ((((std::uint32_t(p[0]) << 4) ^ p[1]) << 4) ^ p[2]) * 40543u;
    return (h >> 4) & 0x0FFF;
}

// Length of the run of equal bytes at in[x], capped at kMaxRun.
inline std::size_t runAt(const std::uint8_t* in, std::size_t x, std::size_t n)
{
    const std::size_t end = std::min(n, x + kMaxRun);
    const std::uint8_t v = in[x];
    std::size_t i = x + 1;
    while (i < end && in[i] == v)
        ++i;
    return i - x;
}

inline void putWord(std::uint8_t* at, unsigned word)
{
    at[0] = std::uint8_t(word >> 8);
    at[1] = std::uint8_t(word);
}

} // namespace

std::size_t BlockCompressor::compress(std::span<const std::uint8_t> block, std::uint8_t* out)
{
    const std::size_t n = std::min(block.size(), kBlockSize);
    const std::size_t length = code(block.data(), n, out);
    if (length <= n)
        return length;
    // Coding did not pay: store the block as it is.
    out[0] = kStoredBody;
    if (n > 0)
        std::memcpy(out + 1, block.data(), n);
    return n + 1;
}

// Codes in[0..n) as a compressed body and returns its length; the caller
// stores the block instead when that length is more than n. Positions fit
// 16 bits because a block holds at most 32 KiB.
std::size_t BlockCompressor::code(const std::uint8_t* in, std::size_t n, std::uint8_t* out)
{
    m_table.fill(-1);
    out[0] = kCompressedBody;
    std::size_t x = 0;
    std::size_t y = 3;
    std::size_t z = 1;
    unsigned items = 0;
    unsigned control = 0;
    while (x < n && y <= n) {
        if (items > 15) {
            putWord(out + z, control);
            z = y;
            y += 2;
            items = 0;
        }
        ++items;
        const std::size_t run = (x + 1 < n && in[x + 1] == in[x]) ? runAt(in, x, n) : 1;
        if (run >= kMinRun) {
            out[y] = 0;
            putWord(out + y + 1, unsigned(run - kMinRun));
            out[y + 3] = in[x];
            y += 4;
            x += run;
            control = (control << 1) | 1;
            continue;
        }
        // One probe: the latest earlier position with the same hash. The
        // last two bytes of a block cannot start a copy, so they are not
        // hashed (the table would never be read again anyway).
        std::size_t match = 0;
        std::size_t from = 0;
        if (x + kMinMatch <= n) {
            const unsigned h = hashAt(in + x);
            const int earlier = m_table[h];
            m_table[h] = std::int16_t(x);
            if (earlier >= 0 && x - std::size_t(earlier) <= kMaxDistance) {
                from = std::size_t(earlier);
                const std::size_t limit = std::min(kMaxMatch, n - x);
                while (match < limit && in[x + match] == in[from + match])
                    ++match;
            }
        }
        if (match >= kMinMatch) {
            putWord(out + y, unsigned((x - from) * 16 + (match - kMinMatch)));
            y += 2;
            x += match;
            control = (control << 1) | 1;
        } else {
            out[y++] = in[x++];
            control <<= 1;
        }
    }
    putWord(out + z, (control << (16 - items)) & 0xFFFF);
    return y;
}

namespace {

// Copies a back-reference front to back, so a distance shorter than the
// length repeats the last bytes. Distances of 8 or more copy whole words and
// may write up to 24 bytes; the caller's slack takes the excess.
inline void copyBack(std::uint8_t* dst, std::size_t distance, std::size_t length)
{
    const std::uint8_t* src = dst - distance;
    if (distance >= 8) {
        std::memcpy(dst, src, 8);
        std::memcpy(dst + 8, src + 8, 8);
        if (length > 16)
            std::memcpy(dst + 16, src + 16, 8);
        return;
    }
    for (std::size_t i = 0; i < length; ++i)
        dst[i] = src[i];
}

// Where the expander stands: body position x, output position y. Every item
// is checked against the room left in the block before it is written, so y
// never passes kBlockSize and kBlockSize - y never wraps.
struct Cursor {
    std::size_t x;
    std::size_t y;
};

// Expands the item at c.x, a copy or a literal. Checked selects the careful
// way, which also checks the item against the end of the body (size); the
// fast way leaves that to its caller. On damage c stays at the item.
template <bool Checked>
inline BlockDamage expandItem(const std::uint8_t* in, std::size_t size, std::uint8_t* o, Cursor& c, bool copy)
{
    std::size_t x = c.x;
    std::size_t y = c.y;
    if (!copy) {
        if (Checked && x >= size)
            return BlockDamage::Truncated;
        if (y == kBlockSize) [[unlikely]]
            return BlockDamage::TooLong;
        o[y] = in[x];
        c = {x + 1, y + 1};
        return BlockDamage::None;
    }
    if (Checked && size - x < 2)
        return BlockDamage::Truncated;
    const std::size_t distance = (std::size_t(in[x]) << 4) | (in[x + 1] >> 4);
    if (distance == 0) {
        if (Checked && size - x < 4)
            return BlockDamage::Truncated;
        const std::size_t count = ((std::size_t(in[x + 1]) << 8) | in[x + 2]) + kMinRun;
        if (count > kBlockSize - y) [[unlikely]]
            return BlockDamage::TooLong;
        std::memset(o + y, in[x + 3], count);
        c = {x + 4, y + count};
        return BlockDamage::None;
    }
    const std::size_t length = (in[x + 1] & 0x0F) + kMinMatch;
    if (distance > y) [[unlikely]]
        return BlockDamage::BadReference;
    if (length > kBlockSize - y) [[unlikely]]
        return BlockDamage::TooLong;
    copyBack(o + y, distance, length);
    c = {x + 2, y + length};
    return BlockDamage::None;
}

// The careful decoder: every control word and item checked against the end
// of the body as well.
ExpandedBlock expandChecked(const std::uint8_t* in, std::size_t size, std::uint8_t* o, Cursor c, unsigned control,
                            unsigned bits)
{
    while (c.x < size) {
        if (bits == 0) {
            if (size - c.x < 2)
                return {c.y, BlockDamage::Truncated};
            control = (unsigned(in[c.x]) << 8) | in[c.x + 1];
            c.x += 2;
            bits = 16;
        }
        const BlockDamage damage = expandItem<true>(in, size, o, c, (control & 0x8000) != 0);
        if (damage != BlockDamage::None)
            return {c.y, damage};
        control <<= 1;
        --bits;
    }
    return {c.y};
}

} // namespace

ExpandedBlock expandBlock(std::span<const std::uint8_t> body, std::span<std::uint8_t> out)
{
    const std::size_t size = body.size();
    const std::uint8_t* in = body.data();
    std::uint8_t* o = out.data();
    if (out.size() < kExpandRoom)
        return {0, BlockDamage::TooLong};
    if (size < 2)
        return {};
    if (in[0] == kStoredBody) {
        if (size - 1 > kBlockSize)
            return {0, BlockDamage::TooLong};
        std::memcpy(o, in + 1, size - 1);
        return {size - 1};
    }
    if (size < 3)
        return {0, BlockDamage::Truncated};

    // Whole groups whose items and next control word lie inside the body go
    // the fast way (16 items of at most 4 bytes, then 2); the rest, and any
    // group at fault, the careful way, which names the damage. The careful
    // way also reads the control word after the last fast group, so a body
    // that ends in a control word with no item after it is refused either way.
    constexpr std::size_t kGroupIn = 16 * 4 + 2;
    Cursor c{3, 0};
    unsigned control = (unsigned(in[1]) << 8) | in[2];
    if (size - c.x < kGroupIn)
        return expandChecked(in, size, o, c, control, 16);
    for (;;) {
        const Cursor group = c;
        unsigned bits = control;
        for (int item = 0; item < 16; ++item, bits <<= 1)
            if (expandItem<false>(in, size, o, c, (bits & 0x8000) != 0) != BlockDamage::None)
                return expandChecked(in, size, o, group, control, 16);
        if (size - c.x < 2 + kGroupIn)
            return expandChecked(in, size, o, c, 0, 0);
        control = (unsigned(in[c.x]) << 8) | in[c.x + 1];
        c.x += 2;
    }
}

const char* describe(BlockDamage damage)
{
    switch (damage) {
    case BlockDamage::None:
        return "no damage";
    case BlockDamage::TooLong:
        return "a block yields more than 32768 bytes";
    case BlockDamage::BadReference:
        return "a copy reaches before the start of its block";
    case BlockDamage::Truncated:
        return "an item runs past the end of its block";
    }
    return "damaged block";
}

} // namespace velmora::tallycodec
