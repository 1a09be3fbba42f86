// The sprite codec's speed in CPU time: decoding, with every bounds check, must produce at least
// 0.5 GB of output a second, and the exact compressor must take no more than 0.3 s a megabyte of
// input.

#include "bench/budget.hpp"

#include "rom/lz77.hpp"
#include "tests/support/synthetic_lz77.hpp"

#include <random>

namespace {

constexpr std::size_t kSheetBytes = 32767;  // the largest sheet the viewer's decoder takes
constexpr std::size_t kMegabyte = 1024 * 1024;
constexpr int kDecodesPerRun = 256;
// 256 decodes of 32 767 bytes at 0.5 GB a second.
constexpr double kDecodeBudgetMilliseconds = kDecodesPerRun * kSheetBytes / 0.5e9 * 1000;
constexpr double kCompressBudgetMillisecondsPerMegabyte = 300;

// Sheet-like bytes: runs of a few colours, stray pixels, and repeated tiles.
shell::Bytes sheetLike(std::size_t size, unsigned seed)
{
    const synthetic::Bytes raw = synthetic::sheetLikeBytes(size, seed);
    return shell::Bytes(raw.begin(), raw.end());
}

// A dithered two-colour area: every byte one of four nibble pairs, no long repeats. Many short
// matches make it the hardest input for an exact match search.
shell::Bytes dithered(std::size_t size, unsigned seed)
{
    std::mt19937 random(seed);
    shell::Bytes raw(size);
    constexpr std::uint8_t kPairs[] = {0x00, 0x01, 0x10, 0x11};
    for (std::uint8_t& byte : raw)
        byte = kPairs[random() % 4];
    return raw;
}

void decodeSheets(benchmark::State& state, const shell::Bytes& stream)
{
    for (auto _ : state) {
        for (int i = 0; i < kDecodesPerRun; ++i)
            benchmark::DoNotOptimize(rom::lz77Decode(stream, 0));
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * kDecodesPerRun * kSheetBytes);
}

void decodeCompressedSheets(benchmark::State& state)
{
    static const shell::Bytes stream = rom::lz77Compress(sheetLike(kSheetBytes, 1));
    decodeSheets(state, stream);
}

void decodeLiteralSheets(benchmark::State& state)
{
    static const shell::Bytes stream = rom::lz77EncodeLiterals(sheetLike(kSheetBytes, 2), kSheetBytes);
    decodeSheets(state, stream);
}

void compress(benchmark::State& state, const shell::Bytes& input)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(rom::lz77Compress(input));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * input.size()));
}

void compressSheet(benchmark::State& state)
{
    static const shell::Bytes input = sheetLike(kSheetBytes, 3);
    compress(state, input);
}

void compressMegabyteOfSheets(benchmark::State& state)
{
    static const shell::Bytes input = sheetLike(kMegabyte, 4);
    compress(state, input);
}

void compressMegabyteOfDithering(benchmark::State& state)
{
    static const shell::Bytes input = dithered(kMegabyte, 5);
    compress(state, input);
}

const bool registered = [] {
    bench::registerWithBudget("DecodeCompressedSheets", decodeCompressedSheets, kDecodeBudgetMilliseconds);
    bench::registerWithBudget("DecodeLiteralSheets", decodeLiteralSheets, kDecodeBudgetMilliseconds);
    bench::registerWithBudget("CompressSheet", compressSheet,
                              kCompressBudgetMillisecondsPerMegabyte * kSheetBytes / kMegabyte);
    bench::registerWithBudget("CompressMegabyteOfSheets", compressMegabyteOfSheets,
                              kCompressBudgetMillisecondsPerMegabyte);
    bench::registerWithBudget("CompressMegabyteOfDithering", compressMegabyteOfDithering,
                              kCompressBudgetMillisecondsPerMegabyte);
    return true;
}();

}  // namespace
