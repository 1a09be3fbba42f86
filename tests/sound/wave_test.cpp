// WAV files built from samples: the 44-byte header, the rate from the pitch value, the sample
// conversion, and samples that do not lie inside the image.

#include "sound/wave.hpp"
#include "tests/sound/sound_rom_builder.hpp"

#include <gtest/gtest.h>

#include <cstring>

namespace {

using namespace sound_testing;

shell::ByteSpan span(const Bytes& bytes)
{
    return shell::ByteSpan(bytes.data(), bytes.size());
}

std::uint32_t u32At(const shell::Bytes& bytes, std::size_t offset)
{
    return static_cast<std::uint32_t>(bytes.at(offset) | bytes.at(offset + 1) << 8 |
                                      bytes.at(offset + 2) << 16 |
                                      static_cast<std::uint32_t>(bytes.at(offset + 3)) << 24);
}

std::uint16_t u16At(const shell::Bytes& bytes, std::size_t offset)
{
    return static_cast<std::uint16_t>(bytes.at(offset) | bytes.at(offset + 1) << 8);
}

// An image holding one sample at the start of the data area; returns its ROM offset.
std::uint32_t placeSample(Bytes& image, std::uint32_t pitch, const Bytes& samples)
{
    SoundRomBuilder builder("KX4M", kTalmirTable, 0x10000 + kTalmirTable);
    const std::uint32_t address = builder.addSample(pitch, samples);
    image = builder.take();
    return address - 0x08000000u;
}

TEST(SoundBuildWave, HeaderIsByteExact)
{
    Bytes image;
    const std::uint32_t offset = placeSample(image, 13379 * 1024, Bytes(1000, 0));
    const std::optional<shell::Bytes> wave = sound::buildWave(span(image), offset);
    ASSERT_TRUE(wave);
    ASSERT_EQ(wave->size(), 1044u);
    EXPECT_EQ(std::memcmp(wave->data(), "RIFF", 4), 0);
    EXPECT_EQ(u32At(*wave, 4), 1036u);
    EXPECT_EQ(std::memcmp(wave->data() + 8, "WAVEfmt ", 8), 0);
    EXPECT_EQ(u32At(*wave, 16), 16u);
    EXPECT_EQ(u16At(*wave, 20), 1);      // PCM
    EXPECT_EQ(u16At(*wave, 22), 1);      // mono
    EXPECT_EQ(u32At(*wave, 24), 13379u);  // sample rate
    EXPECT_EQ(u32At(*wave, 28), 13379u);  // byte rate
    EXPECT_EQ(u16At(*wave, 32), 1);      // block alignment
    EXPECT_EQ(u16At(*wave, 34), 8);      // bits per sample
    EXPECT_EQ(std::memcmp(wave->data() + 36, "data", 4), 0);
    EXPECT_EQ(u32At(*wave, 40), 1000u);
}

TEST(SoundBuildWave, RateDropsTheFractionOfThePitchValue)
{
    for (const std::uint32_t pitch : {13379u * 1024, 13379u * 1024 + 1023}) {
        Bytes image;
        const std::uint32_t offset = placeSample(image, pitch, {0});
        const auto wave = sound::buildWave(span(image), offset);
        ASSERT_TRUE(wave);
        EXPECT_EQ(u32At(*wave, 24), 13379u) << pitch;
        EXPECT_EQ(u32At(*wave, 28), 13379u) << pitch;
    }
}

TEST(SoundBuildWave, SamplesBecomeUnsignedPcmOfTheNegatedWave)
{
    Bytes image;
    const std::uint32_t offset = placeSample(image, 8000 * 1024, {0x00, 0x01, 0xFF, 0x80, 0x7F});
    const auto wave = sound::buildWave(span(image), offset);
    ASSERT_TRUE(wave);
    EXPECT_EQ(Bytes(wave->begin() + 44, wave->end()), (Bytes{0x80, 0x7F, 0x81, 0x00, 0x01}));
}

TEST(SoundBuildWave, RefusesSamplesThatLeaveTheImage)
{
    Bytes image(0x100, 0);
    // A header that ends exactly at the image's end, with no data: a WAV of its header alone.
    image[0xF0 + 12] = 0;
    const auto empty = sound::buildWave(span(image), 0xF0);
    ASSERT_TRUE(empty);
    EXPECT_EQ(empty->size(), 44u);
    EXPECT_EQ(u32At(*empty, 4), 36u);
    // Data one byte longer than the image holds.
    image[0xE0 + 12] = 0x11;
    EXPECT_FALSE(sound::buildWave(span(image), 0xE0));
    image[0xE0 + 12] = 0x10;
    EXPECT_TRUE(sound::buildWave(span(image), 0xE0));
    // A header cut by the image's end, an offset at and beyond it, and a huge length.
    EXPECT_FALSE(sound::buildWave(span(image), 0xF8));
    EXPECT_FALSE(sound::buildWave(span(image), 0x100));
    EXPECT_FALSE(sound::buildWave(span(image), 0xF7FFFFFFu));
    image[0x10 + 12] = 0xFF;
    image[0x10 + 13] = 0xFF;
    image[0x10 + 14] = 0xFF;
    image[0x10 + 15] = 0xFF;
    EXPECT_FALSE(sound::buildWave(span(image), 0x10));
}

}  // namespace
