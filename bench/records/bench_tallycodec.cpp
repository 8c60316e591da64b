// Compression and expansion speed of the tally codec on 1 MiB of text-like
// and of random data, beside liblz4's default compressor and safe
// decompressor in the same binary. Build RelWithDebInfo or Release and run:
//   bench_tallycodec --benchmark_counters_tabular=true

#include "records/tallycodec.h"
#include "records/tallycontainer.h"

#include <benchmark/benchmark.h>
#include <lz4.h>
#include <random>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;
constexpr std::size_t kSize = 1 << 20;

// Words, numbers and line ends in the proportions of a chat log or a tally.
Bytes textLike()
{
    static const char* words[] = {"the ",   "game ",   "Sam ",   "wins ",      "double ", "bull ",
                                  "Borl ",  "throws ", "darts ", "and ",       "closes ", "20 ",
                                  "19 ",    "with ",   "three ", "marks.\r\n", "Dask: ",  "nice ",
                                  "shot! ", "lol\r\n", "Tumm ",  "points ",    "behind ", "Velmora "};
    std::mt19937 generator(42);
    Bytes data;
    data.reserve(kSize);
    while (data.size() < kSize) {
        for (const char* c = words[generator() % std::size(words)]; *c && data.size() < kSize; ++c)
            data.push_back(std::uint8_t(*c));
        if (generator() % 7 == 0) {
            const std::string number = std::to_string(generator() % 1000) + " ";
            for (char c : number)
                if (data.size() < kSize)
                    data.push_back(std::uint8_t(c));
        }
    }
    return data;
}

Bytes randomData()
{
    std::mt19937 generator(7);
    Bytes data(kSize);
    for (auto& b : data)
        b = std::uint8_t(generator());
    return data;
}

const Bytes& input(int kind)
{
    static const Bytes text = textLike();
    static const Bytes random = randomData();
    return kind == 0 ? text : random;
}

void finish(benchmark::State& state, std::size_t packedSize)
{
    state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(kSize));
    state.counters["ratio"] = double(packedSize) / double(kSize);
    state.SetLabel(state.range(0) == 0 ? "text" : "random");
}

void TallyCompress(benchmark::State& state)
{
    const Bytes& data = input(int(state.range(0)));
    std::size_t packed = 0;
    for (auto _ : state) {
        auto file = velmora::tallyfile::compress(data);
        packed = file.value().size();
        benchmark::DoNotOptimize(file.value().data());
    }
    finish(state, packed);
}

void TallyExpand(benchmark::State& state)
{
    const Bytes& data = input(int(state.range(0)));
    const Bytes packed = velmora::tallyfile::compress(data).value();
    for (auto _ : state) {
        auto back = velmora::tallyfile::expand(packed, "bench");
        if (!back || back.value().size() != kSize)
            state.SkipWithError("expansion failed");
        benchmark::DoNotOptimize(back.value().data());
    }
    finish(state, packed.size());
}

// The block codec alone, into buffers allocated once, as liblz4 is measured.
void TallyBlocksCompress(benchmark::State& state)
{
    const Bytes& data = input(int(state.range(0)));
    velmora::tallycodec::BlockCompressor compressor;
    Bytes out(velmora::tallycodec::kCompressRoom);
    std::size_t packed = 0;
    for (auto _ : state) {
        packed = 0;
        for (std::size_t at = 0; at < kSize; at += velmora::tallycodec::kBlockSize)
            packed += 2 + compressor.compress({data.data() + at, velmora::tallycodec::kBlockSize}, out.data());
        benchmark::DoNotOptimize(out.data());
    }
    finish(state, packed);
}

void TallyBlocksExpand(benchmark::State& state)
{
    const Bytes& data = input(int(state.range(0)));
    velmora::tallycodec::BlockCompressor compressor;
    std::vector<Bytes> bodies;
    std::size_t packed = 0;
    for (std::size_t at = 0; at < kSize; at += velmora::tallycodec::kBlockSize) {
        Bytes body(velmora::tallycodec::kCompressRoom);
        body.resize(compressor.compress({data.data() + at, velmora::tallycodec::kBlockSize}, body.data()));
        packed += 2 + body.size();
        bodies.push_back(std::move(body));
    }
    Bytes out(kSize + velmora::tallycodec::kExpandSlack);
    for (auto _ : state) {
        std::size_t at = 0;
        for (const Bytes& body : bodies)
            at += velmora::tallycodec::expandBlock(body, {out.data() + at, velmora::tallycodec::kExpandRoom}).size;
        if (at != kSize)
            state.SkipWithError("expansion failed");
        benchmark::DoNotOptimize(out.data());
    }
    finish(state, packed);
}

void Lz4Compress(benchmark::State& state)
{
    const Bytes& data = input(int(state.range(0)));
    const auto bound = std::size_t(LZ4_compressBound(int(kSize)));
    std::vector<char> out(bound);
    int packed = 0;
    for (auto _ : state) {
        packed =
            LZ4_compress_default(reinterpret_cast<const char*>(data.data()), out.data(), int(kSize), int(out.size()));
        benchmark::DoNotOptimize(out.data());
    }
    finish(state, std::size_t(packed));
}

void Lz4Expand(benchmark::State& state)
{
    const Bytes& data = input(int(state.range(0)));
    const auto bound = std::size_t(LZ4_compressBound(int(kSize)));
    std::vector<char> packed(bound);
    packed.resize(std::size_t(LZ4_compress_default(reinterpret_cast<const char*>(data.data()), packed.data(),
                                                   int(kSize), int(packed.size()))));
    std::vector<char> out(kSize);
    for (auto _ : state) {
        if (LZ4_decompress_safe(packed.data(), out.data(), int(packed.size()), int(out.size())) != int(kSize))
            state.SkipWithError("expansion failed");
        benchmark::DoNotOptimize(out.data());
    }
    finish(state, packed.size());
}

} // namespace

BENCHMARK(TallyCompress)->Arg(0)->Arg(1);
BENCHMARK(TallyBlocksCompress)->Arg(0)->Arg(1);
BENCHMARK(Lz4Compress)->Arg(0)->Arg(1);
BENCHMARK(TallyExpand)->Arg(0)->Arg(1);
BENCHMARK(TallyBlocksExpand)->Arg(0)->Arg(1);
BENCHMARK(Lz4Expand)->Arg(0)->Arg(1);

BENCHMARK_MAIN();
