#include "sound/wave.hpp"

#include "rom/byte_io.hpp"
#include "sound/sound_layout.hpp"

#include <algorithm>
#include <string_view>

namespace sound {
namespace {

// The WAV header: a RIFF file of a "fmt " chunk for 8-bit mono PCM and one "data" chunk.
constexpr std::uint16_t kPcmFormat = 1;
constexpr std::uint16_t kChannels = 1;
constexpr std::uint16_t kBlockAlign = 1;
constexpr std::uint16_t kBitsPerSample = 8;
// The RIFF size counts everything behind its own 8-byte chunk head.
constexpr std::uint32_t kRiffSizeAllowance = kWaveHeaderSize - kRiffChunkHeadSize;

constexpr std::uint8_t kUnsignedMidpoint = 128;

class HeaderWriter {
public:
    explicit HeaderWriter(shell::Bytes& bytes) : bytes_(bytes) {}

    void id(std::string_view fourCharacters)
    {
        for (const char character : fourCharacters)
            bytes_[position_++] = static_cast<std::uint8_t>(character);
    }
    void u16(std::uint16_t value)
    {
        rom::storeU16(bytes_, position_, value);
        position_ += 2;
    }
    void u32(std::uint32_t value)
    {
        rom::storeU32(bytes_, position_, value);
        position_ += 4;
    }
    std::size_t position() const { return position_; }

private:
    shell::Bytes& bytes_;
    std::size_t position_ = 0;
};

// The playback rate in hertz: the pitch value without its ten fraction bits, which is the same as
// sample bytes 5 to 7 taken as one number, over 4.
std::uint32_t sampleRateOf(std::uint32_t pitch)
{
    return pitch >> kPitchFractionBits;
}

// A signed sample byte b as unsigned PCM of the negated wave: (128 - b) mod 256.
std::uint8_t waveByteOf(std::uint8_t sampleByte)
{
    return static_cast<std::uint8_t>(kUnsignedMidpoint - sampleByte);
}

}  // namespace

std::optional<SampleHeader> readSampleHeader(shell::ByteSpan image, std::uint64_t offset)
{
    if (!rom::fits(image.size(), offset, kSampleHeaderSize))
        return std::nullopt;
    const SampleHeader header{
        .dwPitch = *rom::readU32(image, offset + kSamplePitchOffset),
        .dwLength = *rom::readU32(image, offset + kSampleLengthOffset),
    };
    if (!rom::fits(image.size(), offset + kSampleHeaderSize, header.dwLength))
        return std::nullopt;
    return header;
}

std::optional<shell::Bytes> buildWave(shell::ByteSpan image, std::uint64_t offset)
{
    const std::optional<SampleHeader> header = readSampleHeader(image, offset);
    if (!header)
        return std::nullopt;
    const std::uint32_t rate = sampleRateOf(header->dwPitch);

    shell::Bytes wave(kWaveHeaderSize + header->dwLength);
    HeaderWriter writer(wave);
    writer.id(kRiffId);
    writer.u32(header->dwLength + kRiffSizeAllowance);
    writer.id(kWaveId);
    writer.id(kFormatId);
    writer.u32(kPcmFormatChunkSize);
    writer.u16(kPcmFormat);
    writer.u16(kChannels);
    writer.u32(rate);
    writer.u32(rate);  // byte rate: one byte per sample
    writer.u16(kBlockAlign);
    writer.u16(kBitsPerSample);
    writer.id(kDataId);
    writer.u32(header->dwLength);

    const auto samples =
        image.subspan(static_cast<std::size_t>(offset + kSampleHeaderSize), header->dwLength);
    std::ranges::transform(samples, wave.begin() + static_cast<std::ptrdiff_t>(writer.position()),
                           waveByteOf);
    return wave;
}

}  // namespace sound
