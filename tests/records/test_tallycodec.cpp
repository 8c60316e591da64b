// The tally file's codec and container: the stored layout byte for byte,
// round trips, and refusal of damaged files without leaving output behind.

#include "overrunblock.h"
#include "records/tallycodec.h"
#include "records/tallycontainer.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <random>

namespace fs = std::filesystem;
using namespace velmora;
using Bytes = std::vector<std::uint8_t>;

namespace {

Bytes bytes(std::string_view text)
{
    return Bytes(text.begin(), text.end());
}

Bytes randomBytes(std::size_t n, unsigned seed)
{
    std::mt19937 generator(seed);
    Bytes data(n);
    for (auto& b : data)
        b = std::uint8_t(generator());
    return data;
}

// Words and spaces, compressible the way a tally or a chat log is.
Bytes textLike(std::size_t n, unsigned seed)
{
    static const char* words[] = {"Sam ", "wins ", "the ", "game ", "0\r\n", "12\r\n", "Borl ", "double ", "bull\r\n"};
    std::mt19937 generator(seed);
    Bytes data;
    while (data.size() < n)
        for (const char* c = words[generator() % 9]; *c && data.size() < n; ++c)
            data.push_back(std::uint8_t(*c));
    return data;
}

Bytes compressed(const Bytes& data)
{
    auto result = tallyfile::compress(data);
    EXPECT_TRUE(result.ok());
    return result.ok() ? result.value() : Bytes{};
}

Bytes body(const Bytes& block)
{
    tallycodec::BlockCompressor compressor;
    Bytes out(tallycodec::kCompressRoom);
    out.resize(compressor.compress(block, out.data()));
    return out;
}

std::string expandError(const Bytes& file)
{
    auto result = tallyfile::expand(file, "in.tld");
    return result.ok() ? std::string("expanded") : result.error();
}

// A fresh folder per test, removed afterwards.
class Folder {
public:
    Folder()
    {
        std::string pattern = (fs::temp_directory_path() / "tallycodec-XXXXXX").string();
        m_path = ::mkdtemp(pattern.data());
    }
    ~Folder() { fs::remove_all(m_path); }
    std::string file(const std::string& name) const { return (m_path / name).string(); }
    std::size_t entries() const { return std::distance(fs::directory_iterator(m_path), fs::directory_iterator()); }

private:
    fs::path m_path;
};

void writeBytes(const std::string& name, const Bytes& data)
{
    std::ofstream(name, std::ios::binary).write(reinterpret_cast<const char*>(data.data()), data.size());
}

Bytes readBytes(const std::string& name)
{
    std::ifstream in(name, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
}

} // namespace

TEST(TallyCodec, WorkedExamplesByteForByte)
{
    EXPECT_EQ(compressed({}), (Bytes{0x57, 0x52, 0x5A, 0x4C, 0, 0, 0, 0, 0x01, 0x00, 0x80}));
    EXPECT_EQ(compressed(bytes("abc")), (Bytes{0x57, 0x52, 0x5A, 0x4C, 3, 0, 0, 0, 4, 0, 0x80, 'a', 'b', 'c'}));
    EXPECT_EQ(compressed(bytes("abcabcabcabc")),
              (Bytes{0x57, 0x52, 0x5A, 0x4C, 12, 0, 0, 0, 8, 0, 0x40, 0x10, 0x00, 'a', 'b', 'c', 0x00, 0x36}));
    EXPECT_EQ(compressed(Bytes(40, 'a')),
              (Bytes{0x57, 0x52, 0x5A, 0x4C, 40, 0, 0, 0, 7, 0, 0x40, 0x80, 0x00, 0x00, 0x00, 0x18, 'a'}));
    for (const Bytes& original : {Bytes{}, bytes("abc"), bytes("abcabcabcabc"), Bytes(40, 'a')})
        EXPECT_EQ(tallyfile::expand(compressed(original), "x").value(), original);
}

TEST(TallyCodec, ShortRunsAreCopiesLongRunsAreRunItems)
{
    Bytes fifteen = bytes("x");
    fifteen.resize(16, 'a');
    EXPECT_EQ(body(fifteen), (Bytes{0x40, 0x20, 0x00, 'x', 'a', 0x00, 0x1B}));
    Bytes sixteen = bytes("x");
    sixteen.resize(17, 'a');
    EXPECT_EQ(body(sixteen), (Bytes{0x40, 0x40, 0x00, 'x', 0x00, 0x00, 0x00, 'a'}));
}

TEST(TallyCodec, FullBlockEndsWithTheEmptyBlock)
{
    const Bytes data = textLike(tallycodec::kBlockSize, 1);
    const Bytes file = compressed(data);
    ASSERT_GT(file.size(), 8u + 3u);
    EXPECT_EQ(Bytes(file.end() - 3, file.end()), (Bytes{0x01, 0x00, 0x80}));
    const std::size_t firstBody = file[8] | (file[9] << 8);
    EXPECT_EQ(file.size(), 8 + 2 + firstBody + 3);
    EXPECT_EQ(tallyfile::expand(file, "x").value(), data);
}

TEST(TallyCodec, RandomDataIsStored)
{
    const Bytes data = randomBytes(2 * tallycodec::kBlockSize + 1000, 7);
    const Bytes file = compressed(data);
    ASSERT_EQ(file.size(), 8 + 3 * 2 + data.size() + 3);
    std::size_t at = 8;
    for (std::size_t length : {tallycodec::kBlockSize, tallycodec::kBlockSize, std::size_t(1000)}) {
        EXPECT_EQ(file[at] | (file[at + 1] << 8), int(length + 1));
        EXPECT_EQ(file[at + 2], 0x80);
        at += 2 + length + 1;
    }
    EXPECT_EQ(tallyfile::expand(file, "x").value(), data);
}

TEST(TallyCodec, RoundTripsOfManySizesAndContents)
{
    std::mt19937 generator(3);
    for (std::size_t size :
         {1, 2, 3, 4, 15, 16, 17, 18, 19, 4095, 4096, 4111, 4112, 32767, 32768, 32769, 65536, 100003}) {
        Bytes runs;
        while (runs.size() < size)
            runs.resize(std::min(size, runs.size() + generator() % 5000), std::uint8_t(generator()));
        // Repeats just inside and just beyond the farthest reach of a copy.
        Bytes far = randomBytes(size, 9);
        for (std::size_t i = 4095; i < size; ++i)
            far[i] = far[i - (i % 2 ? 4095 : 4096)];
        for (const Bytes& data : {Bytes(size, 0), randomBytes(size, unsigned(size)), textLike(size, 5), runs, far}) {
            const auto back = tallyfile::expand(compressed(data), "x");
            ASSERT_TRUE(back.ok()) << back.error() << " size " << size;
            ASSERT_EQ(back.value(), data) << "size " << size;
        }
    }
}

TEST(TallyCodec, DamagedBlocksAreRefused)
{
    Bytes out(tallycodec::kExpandRoom);
    auto damage = [&out](const Bytes& b) { return tallycodec::expandBlock(b, out).damage; };
    using tallycodec::BlockDamage;
    // More than a block: a stored body of 32769 bytes, runs adding up past 32 KiB, a literal past it.
    Bytes stored(tallycodec::kBlockSize + 2, 'q');
    stored[0] = 0x80;
    EXPECT_EQ(damage(stored), BlockDamage::TooLong);
    Bytes runs{0x40, 0xFF, 0xFF};
    for (int i = 0; i < 9; ++i)
        runs.insert(runs.end(), {0x00, 0x0F, 0xFF, 'r'});
    EXPECT_EQ(damage(runs), BlockDamage::TooLong);
    // A copy reaching before the block's start.
    EXPECT_EQ(damage({0x40, 0x40, 0x00, 'a', 0x00, 0x20}), BlockDamage::BadReference);
    EXPECT_EQ(damage({0x40, 0x80, 0x00, 0x00, 0x10}), BlockDamage::BadReference);
    // Items and control words cut off by the end of the body.
    EXPECT_EQ(damage({0x40, 0x80, 0x00, 0x00}), BlockDamage::Truncated);
    EXPECT_EQ(damage({0x40, 0x80, 0x00, 0x00, 0x00, 0x10}), BlockDamage::Truncated);
    Bytes sixteen{0x40, 0x00, 0x00};
    sixteen.resize(3 + 16, 'l');
    sixteen.push_back(0x80);
    EXPECT_EQ(damage(sixteen), BlockDamage::Truncated);
    sixteen.push_back(0x00);
    EXPECT_EQ(damage(sixteen), BlockDamage::Truncated);
    // The same after a group long enough to be decoded the fast way.
    Bytes sixteenRuns{0x40, 0xFF, 0xFF};
    for (int i = 0; i < 16; ++i)
        sixteenRuns.insert(sixteenRuns.end(), {0x00, 0x00, 0x00, 'r'});
    EXPECT_EQ(tallycodec::expandBlock(sixteenRuns, out).size, 16u * 16u);
    sixteenRuns.insert(sixteenRuns.end(), {0x00, 0x00});
    EXPECT_EQ(damage(sixteenRuns), BlockDamage::Truncated);
    EXPECT_EQ(damage({0x40, 0x00}), BlockDamage::Truncated);
}

TEST(TallyCodec, RunsFillingTheBlockLeaveNoRoomForMore)
{
    // Runs that fill the block in a group decoded the fast way, then more
    // items of that group: copies (near and far), a literal, a copy that
    // crosses the block's end. Each is refused and nothing is written past
    // the expander's room.
    const Bytes overrun = tallytest::overrunBlock();
    constexpr std::size_t kFollowers = 35; // after the eight runs
    std::vector<Bytes> bodies{overrun, overrun, overrun, overrun};
    for (std::size_t i = kFollowers; i < kFollowers + 14; i += 2)
        bodies[1][i + 1] = 0x8F; // distance 8
    bodies[2][2] = 0x7F;         // the first follower a literal
    bodies[2].erase(bodies[2].begin() + kFollowers);
    bodies[3][kFollowers - 2] -= 5; // the runs end 5 bytes short
    for (const Bytes& block : bodies) {
        Bytes out(tallycodec::kExpandRoom + 8192, 0xEE);
        const auto expanded = tallycodec::expandBlock(block, out);
        EXPECT_EQ(expanded.damage, tallycodec::BlockDamage::TooLong);
        EXPECT_LE(expanded.size, tallycodec::kBlockSize);
        EXPECT_EQ(std::count(out.begin() + tallycodec::kExpandRoom, out.end(), 0xEE), 8192);
    }
}

TEST(TallyCodec, GarbageNeverReadsOrWritesOutOfBounds)
{
    // Mutated bodies of real blocks; the sanitizer builds check the bounds.
    std::mt19937 generator(11);
    const Bytes valid = body(textLike(tallycodec::kBlockSize, 2));
    Bytes out(tallycodec::kExpandRoom);
    for (int round = 0; round < 3000; ++round) {
        Bytes damaged(valid.begin(), valid.begin() + std::ptrdiff_t(generator() % valid.size() + 1));
        for (int i = 0; i < 4; ++i)
            damaged[generator() % damaged.size()] = std::uint8_t(generator());
        const auto block = tallycodec::expandBlock(damaged, out);
        ASSERT_LE(block.size, tallycodec::kBlockSize);
    }
}

TEST(TallyContainer, DamagedFilesAreRefusedWithTheirTexts)
{
    const Bytes good = compressed(textLike(5000, 4));
    EXPECT_EQ(expandError(bytes("WRZ")), "Lzrw1 : Error reading from input file : in.tld");
    EXPECT_EQ(expandError(bytes("WRZL\x10")), "Lzrw1 : Error reading from input file : in.tld");
    EXPECT_EQ(expandError(Bytes(good.begin(), good.end() - 1)), "Lzrw1 : Error reading from input file : in.tld");
    EXPECT_EQ(expandError(Bytes(good.begin(), good.begin() + 9)), "Lzrw1 : Error reading from input file : in.tld");
    for (const char* tag : {"!HZL", "wrzl", "PK\x03\x04"}) {
        Bytes file = good;
        std::copy(tag, tag + 4, file.begin());
        EXPECT_EQ(expandError(file), "in.tld : Lzrw1 decompression : this file has no valid header !");
    }
    const std::string mismatch = "Lzrw1 (decompression LZRW1/KH) : Original and compressed sizes do not match !";
    Bytes shorter = good;
    shorter[4] -= 1;
    EXPECT_EQ(expandError(shorter), mismatch);
    Bytes longer = good;
    longer[5] += 1;
    EXPECT_EQ(expandError(longer), mismatch);
    Bytes reference = compressed(bytes("abcabcabcabc"));
    reference[16] = 0x01; // distance 19 in a block of three bytes so far
    EXPECT_EQ(expandError(reference), "in.tld : Lzrw1 decompression : damaged data, a copy reaches before the start "
                                      "of its block");
    EXPECT_EQ(tallyfile::expand(good, "in.tld", 4999).error(),
              "in.tld : Lzrw1 decompression : the original is too large (5000 bytes)");
}

TEST(TallyContainer, FilesAppearWholeOrNotAtAll)
{
    Folder folder;
    const std::string plain = folder.file("plain.txt");
    const std::string packed = folder.file("velmoratally.tld");
    const std::string out = folder.file("out.txt");
    const Bytes data = textLike(70000, 8);
    writeBytes(plain, data);
    ASSERT_TRUE(tallyfile::compressFile(plain, packed).ok());
    EXPECT_EQ(tallyfile::compressFile(plain, packed).value(), readBytes(packed).size());
    EXPECT_EQ(readBytes(packed), compressed(data));
    EXPECT_EQ(tallyfile::expandFile(packed, out).value(), data.size());
    EXPECT_EQ(readBytes(out), data);

    // Failures leave an existing output as it was and nothing else behind.
    writeBytes(out, bytes("previous"));
    Bytes cut = readBytes(packed);
    cut.resize(cut.size() - 10);
    writeBytes(folder.file("cut.tld"), cut);
    EXPECT_EQ(tallyfile::expandFile(folder.file("cut.tld"), out).error(),
              "Lzrw1 : Error reading from input file : " + folder.file("cut.tld"));
    EXPECT_EQ(tallyfile::expandFile(plain, out).error(),
              plain + " : Lzrw1 decompression : this file has no valid header !");
    EXPECT_EQ(readBytes(out), bytes("previous"));
    EXPECT_EQ(tallyfile::expandFile(folder.file("cut.tld"), folder.file("new.txt")).ok(), false);
    EXPECT_FALSE(fs::exists(folder.file("new.txt")));
    EXPECT_EQ(folder.entries(), 4u);

    EXPECT_EQ(tallyfile::compressFile(folder.file("missing"), out).error(),
              "Lzrw1 compression : Failed to obtain the size of : " + folder.file("missing"));
    EXPECT_EQ(tallyfile::expandFile(folder.file("missing"), out).error(),
              "Lzrw1 (de)compression : Failed to open input file : " + folder.file("missing"));
    const std::string nowhere = folder.file("no-such-folder/out");
    EXPECT_EQ(tallyfile::compressFile(plain, nowhere).error(),
              "Lzrw1 (de)compression : Failed to open output file : " + nowhere);
    EXPECT_EQ(readBytes(out), bytes("previous"));

    // Coding a file over itself works, since the output replaces it only at the end.
    ASSERT_TRUE(tallyfile::compressFile(plain, plain).ok());
    ASSERT_TRUE(tallyfile::expandFile(plain, plain).ok());
    EXPECT_EQ(readBytes(plain), data);
}
