// Choosing the samples to export: each sample once, named after the first line that leads to it.

#include "sound/sample_export.hpp"
#include "tests/sound/sound_rom_builder.hpp"

#include <gtest/gtest.h>

namespace {

using namespace sound_testing;

TEST(SoundPlayableSamples, FollowsNoteSwitchesAndDrumsAndKeepsTheFirstPath)
{
    SoundRomBuilder builder("KX4M", kTalmirTable);
    const std::uint32_t a = builder.addSample(8000 * 1024, {1});
    const std::uint32_t b = builder.addSample(8000 * 1024, {2});
    const std::uint32_t c = builder.addSample(8000 * 1024, {3});
    const std::uint32_t d = builder.addSample(8000 * 1024, {4});
    const std::uint32_t sub =
        builder.addRecords({{.type = 0x01}, {.type = 0x00, .first = b}, {.type = 0x08, .first = c}});
    KeyMapBytes keyMap{1, 1, 2, 0, 2};  // note 4 lies past the first zero: not a note line
    builder.setInstrument(0, {.type = 0x40, .first = sub, .second = builder.addKeyMap(keyMap)});
    builder.setInstrument(1, {.type = 0x00, .first = b});
    std::vector<Record> drums(128, Record{.type = 0x04});
    drums[0x3C] = {.type = 0x08, .first = d};
    drums[0x3D] = {.type = 0x08, .first = a};
    builder.setInstrument(2, {.type = 0x80, .first = builder.addRecords(drums)});
    builder.setInstrument(3, {.type = 0x08, .first = a});
    builder.endTableAt(4);
    const Bytes image = builder.take();
    const sound::InstrumentTable table(shell::ByteSpan(image.data(), image.size()), kTalmirTable);

    ASSERT_EQ(table.instrumentCount(sound::ListLimit::Unlimited), 4u);
    const std::vector<sound::SampleSource> sources =
        sound::playableSamples(table, sound::ListLimit::Unlimited);
    std::vector<std::string> names;
    for (const sound::SampleSource& source : sources)
        names.push_back(sound::exportFileName(source));
    EXPECT_EQ(names, (std::vector<std::string>{"inst00_note00.wav", "inst00_note02.wav",
                                               "inst02_note3C.wav", "inst02_note3D.wav"}));
    ASSERT_EQ(sources.size(), 4u);
    EXPECT_EQ(sources[0].sampleOffset, b - 0x08000000u);
    EXPECT_EQ(sources[3].sampleOffset, a - 0x08000000u);
}

}  // namespace
