// The tally file's expander on blocks built from items: literals, copies and
// runs of every size, near and past the block's end, with lying control
// words, stray and missing bytes, stored bodies of any length, and files of
// several blocks. Checked against a plain reference decoder:
//  - no block yields more than 32768 bytes, and nothing is written past the
//    expander's room (the buffer is exactly that large, for the sanitizer);
//  - a block expands exactly when the reference can, to the same bytes, and
//    is otherwise refused with the damage the reference finds first;
//  - whatever expands compresses and expands again to the same bytes;
//  - a whole file expands exactly when its blocks and sizes say it should.
//
// Input: a byte for the header's size (see checkFile), then a sequence of
// items, each an operation byte (low three bits the kind, the next two a
// variant) and the bytes it takes; see build(). An input starting with
// "WRZL" is a whole file instead, fed as it is.

#include "choices.h"
#include "records/tallycodec.h"
#include "records/tallycontainer.h"

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <vector>

using namespace velmora;
using fuzz::Choices;
using tallycodec::BlockDamage;
using tallycodec::kBlockSize;
using Bytes = std::vector<std::uint8_t>;

namespace {

constexpr std::size_t kMaxBlocks = 4;
constexpr std::size_t kMaxBody = 0xFFFF; // a body length is 16 bits

void check(bool holds)
{
    if (!holds)
        std::abort();
}

// Writes items into a compressed body as the compressor lays it out: a
// control word in front of every sixteen items, its bits the items' kinds.
class BlockBuilder {
public:
    // Output the items claim so far, whether or not it is sound.
    std::size_t claimed() const { return m_claimed; }
    std::size_t room() const { return kBlockSize - std::min(m_claimed, kBlockSize); }
    bool full() const { return m_body.size() + 6 > kMaxBody; }

    void literal(std::uint8_t value)
    {
        item(false);
        m_body.push_back(value);
        m_claimed += 1;
    }
    void copy(unsigned distance, unsigned length) // distance 1..4095, length 3..18
    {
        item(true);
        const unsigned code = distance * 16 + (length - 3);
        m_body.insert(m_body.end(), {std::uint8_t(code >> 8), std::uint8_t(code)});
        m_claimed += length;
    }
    void run(unsigned count, std::uint8_t value) // count 16..4111
    {
        item(true);
        const unsigned code = count - 16;
        m_body.insert(m_body.end(), {0, std::uint8_t(code >> 8), std::uint8_t(code), value});
        m_claimed += count;
    }
    void stray(std::uint8_t value) { m_body.push_back(value); }
    void dropLast()
    {
        if (m_body.size() > 1)
            m_body.pop_back();
    }
    void flipKinds(std::uint8_t mask) { m_control ^= mask; }

    Bytes finish()
    {
        if (m_count > 0)
            putControl(m_control << (16 - m_count));
        return std::move(m_body);
    }

private:
    void item(bool isCopy)
    {
        if (m_count == 16) {
            putControl(m_control);
            m_at = m_body.size();
            m_body.insert(m_body.end(), {0, 0});
            m_count = 0;
        }
        m_control = ((m_control << 1) | unsigned(isCopy)) & 0xFFFF;
        ++m_count;
    }
    void putControl(unsigned control)
    {
        if (m_at + 1 >= m_body.size()) // dropped by dropLast()
            return;
        m_body[m_at] = std::uint8_t(control >> 8);
        m_body[m_at + 1] = std::uint8_t(control);
    }

    Bytes m_body{tallycodec::kCompressedBody, 0, 0};
    std::size_t m_at = 1;
    unsigned m_control = 0;
    unsigned m_count = 0;
    std::size_t m_claimed = 0;
};

unsigned clampTo(long value, long low, long high)
{
    return unsigned(std::clamp(value, low, high));
}

void addCopy(Choices& in, BlockBuilder& block, unsigned variant)
{
    const long y = long(block.claimed());
    const std::uint8_t b = in.byte();
    // Near and overlapping; any distance; to the block's start and one
    // before it; far enough to be copied in whole words.
    const long distance = variant == 0   ? 1 + b % 16
                          : variant == 1 ? 1 + long(((unsigned(b) << 8) | in.byte()) % 4095)
                          : variant == 2 ? y - 1 + b % 3
                                         : 8 + b % 32;
    block.copy(clampTo(distance, 1, 4095), 3 + (in.byte() & 0x0F));
}

void addRun(Choices& in, BlockBuilder& block, unsigned variant)
{
    // Short; every size; the longest; to the block's end, give or take.
    const long count = variant == 0   ? 16 + in.byte()
                       : variant == 1 ? 16 + (in.word() & 0x0FFF)
                       : variant == 2 ? 4111
                                      : long(block.room()) + in.pick(9) - 4;
    block.run(clampTo(count, 16, 4111), in.byte());
}

// A stored body of any length up to a little more than a block.
Bytes storedBody(Choices& in)
{
    const std::size_t length = in.word() % (kBlockSize + 3);
    Bytes body(1 + length, in.byte());
    body[0] = tallycodec::kStoredBody;
    for (std::size_t i = 1; i < body.size(); i += 97)
        body[i] = std::uint8_t(i);
    return body;
}

// Kinds: 0-1 literal, 2 copy, 3 run, 4 copy to the block's end, 5 damage
// (a stray byte, a byte dropped, control bits flipped), 6 next block,
// 7 a stored block.
std::vector<Bytes> build(Choices& in)
{
    std::vector<Bytes> blocks;
    BlockBuilder block;
    bool open = false;
    while (!in.done() && blocks.size() < kMaxBlocks) {
        const std::uint8_t op = in.byte();
        const unsigned variant = (op >> 3) & 3;
        const unsigned kind = op & 7;
        if (kind == 6 || (kind == 7 && open))
            blocks.push_back(block.finish());
        if (kind == 7 && blocks.size() < kMaxBlocks)
            blocks.push_back(storedBody(in));
        if (kind == 6 || kind == 7) {
            block = BlockBuilder();
            open = false;
            continue;
        }
        if (block.full())
            continue;
        open = true;
        if (kind <= 1)
            block.literal(in.byte());
        else if (kind == 2)
            addCopy(in, block, variant);
        else if (kind == 3)
            addRun(in, block, variant);
        else if (kind == 4)
            block.copy(1 + in.pick(16), clampTo(long(block.room()) + in.pick(5) - 2, 3, 18));
        else if (variant == 0)
            block.stray(in.byte());
        else if (variant == 1)
            block.dropLast();
        else
            block.flipKinds(in.byte());
    }
    if (open || blocks.empty())
        blocks.push_back(block.finish());
    return blocks;
}

struct Reference {
    Bytes bytes;
    BlockDamage damage = BlockDamage::None;
};

// A body decoded the slow and obvious way, every item checked in the order
// the expander checks it.
Reference referenceExpand(const Bytes& in)
{
    Reference r;
    Bytes& out = r.bytes;
    const std::size_t size = in.size();
    if (size < 2)
        return r;
    if (in[0] == tallycodec::kStoredBody) {
        if (size - 1 > kBlockSize)
            return {{}, BlockDamage::TooLong};
        r.bytes.assign(in.begin() + 1, in.end());
        return r;
    }
    if (size < 3)
        return {{}, BlockDamage::Truncated};
    std::size_t x = 3;
    unsigned control = (unsigned(in[1]) << 8) | in[2];
    unsigned bits = 16;
    while (x < size) {
        if (bits == 0) {
            if (x + 2 > size)
                return {out, BlockDamage::Truncated};
            control = (unsigned(in[x]) << 8) | in[x + 1];
            x += 2;
            bits = 16;
        }
        if ((control & 0x8000) == 0) {
            if (x >= size)
                return {out, BlockDamage::Truncated};
            if (out.size() == kBlockSize)
                return {out, BlockDamage::TooLong};
            out.push_back(in[x++]);
        } else {
            if (x + 2 > size)
                return {out, BlockDamage::Truncated};
            const std::size_t distance = (std::size_t(in[x]) << 4) | (in[x + 1] >> 4);
            if (distance == 0) {
                if (x + 4 > size)
                    return {out, BlockDamage::Truncated};
                const std::size_t count = ((std::size_t(in[x + 1]) << 8) | in[x + 2]) + 16;
                if (out.size() + count > kBlockSize)
                    return {out, BlockDamage::TooLong};
                out.insert(out.end(), count, in[x + 3]);
                x += 4;
            } else {
                const std::size_t length = (in[x + 1] & 0x0F) + 3;
                if (distance > out.size())
                    return {out, BlockDamage::BadReference};
                if (out.size() + length > kBlockSize)
                    return {out, BlockDamage::TooLong};
                for (std::size_t i = 0; i < length; ++i)
                    out.push_back(out[out.size() - distance]);
                x += 2;
            }
        }
        control <<= 1;
        --bits;
    }
    return r;
}

// Expands a body into a buffer of exactly the expander's room.
Bytes expandAndCompare(const Bytes& body, const Reference& expected)
{
    const auto out = std::make_unique<std::uint8_t[]>(tallycodec::kExpandRoom);
    const auto block = tallycodec::expandBlock(body, {out.get(), tallycodec::kExpandRoom});
    check(block.size <= kBlockSize);
    check(block.damage == expected.damage);
    if (block.damage != BlockDamage::None)
        return {};
    check(std::equal(expected.bytes.begin(), expected.bytes.end(), out.get(), out.get() + block.size));
    return expected.bytes;
}

void checkRoundTrip(const Bytes& data)
{
    static tallycodec::BlockCompressor compressor;
    Bytes body(tallycodec::kCompressRoom);
    body.resize(compressor.compress(data, body.data()));
    check(body.size() <= data.size() + 1);
    const Reference again = referenceExpand(body);
    check(again.damage == BlockDamage::None && again.bytes == data);
    expandAndCompare(body, again);
}

// The whole file: header, the blocks as built, and the empty block after a
// full last one. The header's size is the blocks' unless sizeSkew is 1 or 2
// (one more, one less).
void checkFile(const std::vector<Bytes>& bodies, const std::vector<Reference>& expected, std::uint8_t sizeSkew)
{
    Bytes whole;
    bool damaged = false;
    bool ended = false;
    for (const Reference& block : expected) {
        damaged = block.damage != BlockDamage::None;
        if (damaged)
            break;
        whole.insert(whole.end(), block.bytes.begin(), block.bytes.end());
        ended = block.bytes.size() != kBlockSize;
        if (ended)
            break;
    }
    const bool skewed = sizeSkew == 1 || (sizeSkew == 2 && !whole.empty());
    const std::uint32_t size =
        std::uint32_t(whole.size()) + (sizeSkew == 1 ? 1 : 0) - (skewed && sizeSkew == 2 ? 1 : 0);
    Bytes file{'W', 'R', 'Z', 'L'};
    for (int i = 0; i < 4; ++i)
        file.push_back(std::uint8_t(size >> (8 * i)));
    for (const Bytes& body : bodies) {
        file.insert(file.end(), {std::uint8_t(body.size()), std::uint8_t(body.size() >> 8)});
        file.insert(file.end(), body.begin(), body.end());
    }
    if (!damaged && !ended)
        file.insert(file.end(), {1, 0, tallycodec::kStoredBody});
    const auto result = tallyfile::expand(file, "fuzz");
    check(result.ok() == (!damaged && !skewed));
    if (result.ok()) {
        check(result.value() == whole);
        const auto again = tallyfile::expand(tallyfile::compress(whole).value(), "fuzz");
        check(again.ok() && again.value() == whole);
    } else if (damaged && !skewed) {
        check(result.error().find("damaged data") != std::string::npos);
    }
}

// A whole file as it is, as the game reads one: refused, or expanded to
// bytes that compress and expand again unchanged.
void checkRawFile(const std::uint8_t* data, std::size_t size)
{
    const auto expanded = tallyfile::expand({data, size}, "fuzz", 1 << 20);
    if (!expanded)
        return;
    const auto again = tallyfile::expand(tallyfile::compress(expanded.value()).value(), "fuzz");
    check(again.ok() && again.value() == expanded.value());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // An input that starts like a tally file is taken as one.
    if (size >= 4 && std::equal(data, data + 4, "WRZL")) {
        checkRawFile(data, size);
        return 0;
    }
    Choices in(data, size);
    const std::uint8_t sizeSkew = in.byte();
    const std::vector<Bytes> bodies = build(in);
    std::vector<Reference> expected;
    for (const Bytes& body : bodies) {
        expected.push_back(referenceExpand(body));
        const Bytes bytes = expandAndCompare(body, expected.back());
        if (expected.back().damage == BlockDamage::None)
            checkRoundTrip(bytes);
    }
    checkFile(bodies, expected, sizeSkew);
    return 0;
}
