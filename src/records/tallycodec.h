#pragma once

// The block codec of the tally file: a fast single-probe LZ coder working on
// blocks of at most 32 KiB, each coded on its own. Plain C++, no Qt, so the
// decoder can be fed raw bytes by a fuzzer.

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

namespace velmora::tallycodec {

inline constexpr std::size_t kBlockSize = 32768;
// Room the compressor needs: it may run a few bytes past a block's size
// before it notices that coding does not pay.
inline constexpr std::size_t kCompressRoom = kBlockSize + 16;
// Room the expander needs: it copies in whole words and may write up to this
// many bytes past the end of what it yields.
inline constexpr std::size_t kExpandSlack = 32;
inline constexpr std::size_t kExpandRoom = kBlockSize + kExpandSlack;
// The longest body a block can have: the kind byte and a stored block.
inline constexpr std::size_t kMaxBodySize = kBlockSize + 1;

inline constexpr std::uint8_t kCompressedBody = 0x40;
inline constexpr std::uint8_t kStoredBody = 0x80;

// Holds the hash table between blocks, so a long file allocates it once.
class BlockCompressor {
public:
    // Codes block (at most kBlockSize bytes) into out, which has room for
    // kCompressRoom bytes; returns the length of the body written. A block
    // that does not get smaller is stored as it is, one byte longer.
    std::size_t compress(std::span<const std::uint8_t> block, std::uint8_t* out);

private:
    std::size_t code(const std::uint8_t* in, std::size_t n, std::uint8_t* out);

    std::array<std::int16_t, 4096> m_table{};
};

enum class BlockDamage {
    None,
    TooLong,      // the block would yield more than kBlockSize bytes
    BadReference, // a copy reaches before the start of the block's output
    Truncated,    // a control word or an item runs past the end of the body
};

struct ExpandedBlock {
    std::size_t size = 0;
    BlockDamage damage = BlockDamage::None;
};

// Expands one block body into out (at least kExpandRoom bytes). Damaged
// bodies are refused, never read or written out of bounds; the bytes of out
// are then unspecified.
ExpandedBlock expandBlock(std::span<const std::uint8_t> body, std::span<std::uint8_t> out);

// A short description of what is wrong with a damaged block.
const char* describe(BlockDamage damage);

} // namespace velmora::tallycodec
