#include "tallycontainer.h"

#include "atomicfile.h"
#include "tallycodec.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <new>

namespace velmora::tallyfile {

namespace {

using tallycodec::kBlockSize;

constexpr std::uint8_t kTag[4] = {'W', 'R', 'Z', 'L'};
constexpr std::size_t kHeaderSize = 8;
// A body length is 16 bits, whatever a damaged file claims.
constexpr std::size_t kMaxStoredBody = 0xFFFF;

std::string readError(const std::string& input)
{
    return "Lzrw1 : Error reading from input file : " + input;
}

std::string writeError(const std::string& output)
{
    return "Lzrw1 : Error writing to output file : " + output;
}

const std::string kMemoryError = "Lzrw1 (de)compression : Failed to get memory for I/O buffers !";
const std::string kSizeMismatch = "Lzrw1 (decompression LZRW1/KH) : Original and compressed sizes do not match !";

std::unique_ptr<std::uint8_t[]> buffer(std::size_t size)
{
    return std::unique_ptr<std::uint8_t[]>(new (std::nothrow) std::uint8_t[size]);
}

// Room a sink must give at once: a block and its length, or an expanded block.
constexpr std::size_t kSinkRoom = std::max(2 + tallycodec::kCompressRoom, tallycodec::kExpandRoom);

// Bytes of a container in memory, handed out without copying.
class MemorySource {
public:
    explicit MemorySource(std::span<const std::uint8_t> data)
        : m_data(data)
    {
    }
    std::span<const std::uint8_t> take(std::size_t n)
    {
        const std::size_t count = std::min(n, m_data.size() - m_at);
        const auto part = m_data.subspan(m_at, count);
        m_at += count;
        return part;
    }
    bool failed() const { return false; }

private:
    std::span<const std::uint8_t> m_data;
    std::size_t m_at = 0;
};

// Output growing in memory; room is handed out for the codec to write into.
class MemorySink {
public:
    std::uint8_t* room(std::size_t n)
    {
        m_data.resize(m_used + n);
        return m_data.data() + m_used;
    }
    bool commit(std::size_t n)
    {
        m_used += n;
        return true;
    }
    std::vector<std::uint8_t> take() &&
    {
        m_data.resize(m_used);
        return std::move(m_data);
    }
    void reserve(std::size_t n) { m_data.reserve(n); }
    // Room for what the header announces, within reason for a damaged header.
    void expect(std::uint64_t size) { m_data.reserve(std::min<std::uint64_t>(size, m_limit) + kSinkRoom); }
    void limitExpectation(std::uint64_t limit) { m_limit = limit; }

private:
    std::vector<std::uint8_t> m_data;
    std::size_t m_used = 0;
    std::uint64_t m_limit = 0;
};

class FileSource {
public:
    FileSource(std::FILE* file, std::unique_ptr<std::uint8_t[]> buffer)
        : m_file(file)
        , m_buffer(std::move(buffer))
    {
    }
    std::span<const std::uint8_t> take(std::size_t n)
    {
        const std::size_t count = std::fread(m_buffer.get(), 1, std::min(n, kMaxStoredBody), m_file);
        return {m_buffer.get(), count};
    }
    bool failed() const { return std::ferror(m_file) != 0; }

private:
    std::FILE* m_file;
    std::unique_ptr<std::uint8_t[]> m_buffer;
};

class FileSink {
public:
    FileSink(AtomicFile& file, std::unique_ptr<std::uint8_t[]> buffer)
        : m_file(file)
        , m_buffer(std::move(buffer))
    {
    }
    std::uint8_t* room(std::size_t) { return m_buffer.get(); }
    bool commit(std::size_t n) { return m_file.write(m_buffer.get(), n); }
    void expect(std::uint64_t) {}

private:
    AtomicFile& m_file;
    std::unique_ptr<std::uint8_t[]> m_buffer;
};

template <class Source, class Sink>
Result<std::uint64_t> compressStream(Source& source, std::uint64_t size, Sink& sink, const std::string& input,
                                     const std::string& output)
{
    std::uint8_t* header = sink.room(kHeaderSize);
    std::memcpy(header, kTag, 4);
    for (int i = 0; i < 4; ++i)
        header[4 + i] = std::uint8_t(size >> (8 * i));
    if (!sink.commit(kHeaderSize))
        return Failure{writeError(output)};
    auto compressor = std::make_unique<tallycodec::BlockCompressor>();
    std::uint64_t written = kHeaderSize;
    std::uint64_t read = 0;
    for (;;) {
        const auto block = source.take(kBlockSize);
        read += block.size();
        // A file that changed while it was read would not match its header.
        if (source.failed() || read > size || (block.size() < kBlockSize && read != size))
            return Failure{readError(input) + " (LZRW1/KH)"};
        std::uint8_t* room = sink.room(2 + tallycodec::kCompressRoom);
        const std::size_t length = compressor->compress(block, room + 2);
        room[0] = std::uint8_t(length);
        room[1] = std::uint8_t(length >> 8);
        if (!sink.commit(2 + length))
            return Failure{writeError(output)};
        written += 2 + length;
        if (block.size() < kBlockSize)
            return written;
    }
}

template <class Source, class Sink>
Result<std::uint64_t> expandStream(Source& source, Sink& sink, const std::string& input, const std::string& output,
                                   std::uint64_t maxSize)
{
    const auto tag = source.take(4);
    if (tag.size() < 4)
        return Failure{readError(input)};
    if (std::memcmp(tag.data(), kTag, 4) != 0)
        return Failure{input + " : Lzrw1 decompression : this file has no valid header !"};
    const auto sizeField = source.take(4);
    if (sizeField.size() < 4)
        return Failure{readError(input)};
    std::uint64_t size = 0;
    for (int i = 0; i < 4; ++i)
        size |= std::uint64_t(sizeField[i]) << (8 * i);
    if (size > maxSize)
        return Failure{input + " : Lzrw1 decompression : the original is too large (" + std::to_string(size) +
                       " bytes)"};
    sink.expect(size);
    std::uint64_t total = 0;
    for (;;) {
        const auto lengthField = source.take(2);
        if (lengthField.size() < 2)
            return Failure{readError(input)};
        const std::size_t length = lengthField[0] | (std::size_t(lengthField[1]) << 8);
        const auto body = source.take(length);
        if (body.size() < length)
            return Failure{readError(input)};
        std::uint8_t* room = sink.room(tallycodec::kExpandRoom);
        const auto block = tallycodec::expandBlock(body, {room, tallycodec::kExpandRoom});
        if (block.damage != tallycodec::BlockDamage::None)
            return Failure{input + " : Lzrw1 decompression : damaged data, " + tallycodec::describe(block.damage)};
        if (block.size > size - total)
            return Failure{kSizeMismatch};
        if (!sink.commit(block.size))
            return Failure{writeError(output)};
        total += block.size;
        if (block.size != kBlockSize)
            break;
    }
    if (total != size)
        return Failure{kSizeMismatch};
    return total;
}

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

FilePtr openInput(const std::string& name)
{
    std::FILE* file = std::fopen(name.c_str(), "rb");
    // A folder opens on Linux, and fails at the first read; refuse it here.
    if (file && std::filesystem::is_directory(name)) {
        std::fclose(file);
        file = nullptr;
    }
    return FilePtr(file);
}

} // namespace

Result<std::vector<std::uint8_t>> compress(std::span<const std::uint8_t> data)
{
    if (data.size() > kMaxOriginalSize)
        return Failure{"Lzrw1 compression : the data is larger than 4 GiB"};
    try {
        MemorySource source(data);
        MemorySink sink;
        sink.reserve(kHeaderSize + data.size() + 3 * (data.size() / kBlockSize + 1) + kSinkRoom);
        auto written = compressStream(source, data.size(), sink, {}, {});
        if (!written)
            return Failure{written.error()};
        return std::move(sink).take();
    } catch (const std::bad_alloc&) {
        return Failure{kMemoryError};
    }
}

Result<std::vector<std::uint8_t>> expand(std::span<const std::uint8_t> file, const std::string& inputName,
                                         std::uint64_t maxSize)
{
    try {
        MemorySource source(file);
        MemorySink sink;
        sink.limitExpectation(256 * std::uint64_t(file.size()));
        auto total = expandStream(source, sink, inputName, {}, maxSize);
        if (!total)
            return Failure{total.error()};
        return std::move(sink).take();
    } catch (const std::bad_alloc&) {
        return Failure{kMemoryError};
    }
}

namespace {

// Streams one file into another through `code`; the output appears whole or
// not at all.
template <class Code> Result<std::uint64_t> codeFile(const std::string& input, const std::string& output, Code code)
{
    FilePtr in = openInput(input);
    if (!in)
        return Failure{"Lzrw1 (de)compression : Failed to open input file : " + input};
    AtomicFile out(output);
    if (!out.open())
        return Failure{"Lzrw1 (de)compression : Failed to open output file : " + output};
    auto readBuffer = buffer(kMaxStoredBody);
    auto writeBuffer = buffer(kSinkRoom);
    if (!readBuffer || !writeBuffer)
        return Failure{kMemoryError};
    FileSource source(in.get(), std::move(readBuffer));
    FileSink sink(out, std::move(writeBuffer));
    auto written = code(source, sink);
    if (written && !out.commit())
        return Failure{writeError(output)};
    return written;
}

} // namespace

Result<std::uint64_t> compressFile(const std::string& input, const std::string& output)
{
    std::error_code error;
    const std::uint64_t size = std::filesystem::file_size(input, error);
    if (error)
        return Failure{"Lzrw1 compression : Failed to obtain the size of : " + input};
    if (size > kMaxOriginalSize)
        return Failure{"Lzrw1 compression : the file is larger than 4 GiB : " + input};
    return codeFile(input, output, [&](FileSource& source, FileSink& sink) {
        return compressStream(source, size, sink, input, output);
    });
}

Result<std::uint64_t> expandFile(const std::string& input, const std::string& output)
{
    return codeFile(input, output, [&](FileSource& source, FileSink& sink) {
        return expandStream(source, sink, input, output, kMaxOriginalSize);
    });
}

Result<std::vector<std::uint8_t>> readFile(const std::string& name, std::uint64_t maxSize)
{
    FilePtr in = openInput(name);
    if (!in)
        return Failure{"Lzrw1 (de)compression : Failed to open input file : " + name};
    std::vector<std::uint8_t> data;
    std::uint8_t chunk[16384];
    for (;;) {
        const std::size_t count = std::fread(chunk, 1, sizeof chunk, in.get());
        if (std::ferror(in.get()))
            return Failure{readError(name)};
        if (data.size() + count > maxSize)
            return Failure{name + " : Lzrw1 decompression : the file is too large"};
        data.insert(data.end(), chunk, chunk + count);
        if (count < sizeof chunk)
            return data;
    }
}

Status writeFile(const std::string& name, std::span<const std::uint8_t> data)
{
    AtomicFile out(name);
    if (!out.open())
        return Failure{"Lzrw1 (de)compression : Failed to open output file : " + name};
    if (!out.write(data.data(), data.size()) || !out.commit())
        return Failure{writeError(name)};
    return success();
}

} // namespace velmora::tallyfile
