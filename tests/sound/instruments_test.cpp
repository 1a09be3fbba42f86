// The instrument table: recognised games, type names, the instrument and note lists, dumps and
// the record a play uses, read from synthetic images and from damaged ones.

#include "sound/instruments.hpp"
#include "sound/sonnary_session.hpp"
#include "tests/sound/sound_rom_builder.hpp"

#include <gtest/gtest.h>

#include <cstdio>

namespace {

using sound::InstrumentTable;
using sound::ListLimit;
using namespace sound_testing;

shell::ByteSpan span(const Bytes& bytes)
{
    return shell::ByteSpan(bytes.data(), bytes.size());
}

TEST(SoundSupportedGames, RecognisesOnlyTheTwoListedCodes)
{
    const Bytes talmir = SoundRomBuilder("KX4M", kTalmirTable).take();
    ASSERT_NE(sound::findSupportedGame(span(talmir)), nullptr);
    EXPECT_EQ(sound::findSupportedGame(span(talmir))->label, "TALMIR");
    EXPECT_EQ(sound::findSupportedGame(span(talmir))->instrumentTable, 0x3F6AD4u);

    const Bytes talmor = SoundRomBuilder("VQ8T", kTalmorTable).take();
    ASSERT_NE(sound::findSupportedGame(span(talmor)), nullptr);
    EXPECT_EQ(sound::findSupportedGame(span(talmor))->label, "TALMOR");
    EXPECT_EQ(sound::findSupportedGame(span(talmor))->instrumentTable, 0x33430Cu);

    // Four zero bytes are the code of no game, and the characters count in their order.
    EXPECT_EQ(sound::findSupportedGame(span(SoundRomBuilder("", kTalmirTable).take())), nullptr);
    EXPECT_EQ(sound::findSupportedGame(span(SoundRomBuilder("M4XK", kTalmirTable).take())), nullptr);
    // An image too short to hold a code.
    const Bytes tiny(0xAE, 0);
    EXPECT_EQ(sound::findSupportedGame(span(tiny)), nullptr);
}

TEST(SoundInstrumentTypes, NamesAreExactAndUnknownTypesHaveNone)
{
    EXPECT_EQ(sound::instrumentTypeName(0x00), "メロディ楽器(PCM)[00h]");
    EXPECT_EQ(sound::instrumentTypeName(0x01), "パルス波Ch1[01h]");
    EXPECT_EQ(sound::instrumentTypeName(0x02), "パルス波Ch2[02h]");
    EXPECT_EQ(sound::instrumentTypeName(0x03), "波形メモリ[03h]");
    EXPECT_EQ(sound::instrumentTypeName(0x04), "ノイズ[04h]");
    EXPECT_EQ(sound::instrumentTypeName(0x08), "リズム楽器(PCM)[08h]");
    EXPECT_EQ(sound::instrumentTypeName(0x0C), "リズム楽器(ノイズ)??[0Ch]");
    EXPECT_EQ(sound::instrumentTypeName(0x10), "不明[10h]");
    EXPECT_EQ(sound::instrumentTypeName(0x20), "カスタムサウンド？[20h]");
    EXPECT_EQ(sound::instrumentTypeName(0x40), "メロディ(ノート切替)[40h]");
    EXPECT_EQ(sound::instrumentTypeName(0x80), "ドラムセット[80h]");
    int named = 0;
    for (int type = 0; type < 256; ++type)
        named += sound::instrumentTypeName(static_cast<std::uint8_t>(type)).empty() ? 0 : 1;
    EXPECT_EQ(named, 11);
}

TEST(SoundHexDump, TwoDigitsAndABlankPerByte)
{
    const Bytes bytes{0x00, 0x0A, 0xFF};
    EXPECT_EQ(sound::hexDump(span(bytes)), "00 0A FF ");
    EXPECT_EQ(sound::hexDump({}), "");

    const DemoSound demo = makeDemoSound();
    EXPECT_EQ(sound::recordDump(span(demo.image), kTalmirTable),
              "00 3C 00 00 00 10 00 08 00 00 00 00 ");
    // The last 11 bytes of the image hold no whole record.
    EXPECT_EQ(sound::recordDump(span(demo.image), demo.image.size() - 11), "");
}

TEST(SoundInstrumentList, LimitedListHasLines0To7FAndUnlimitedEndsBeforeUnknownType)
{
    const DemoSound demo = makeDemoSound();
    const InstrumentTable table(span(demo.image), kTalmirTable);

    const std::vector<std::string> limited = table.instrumentLines(ListLimit::To7F);
    ASSERT_EQ(limited.size(), 128u);
    EXPECT_EQ(limited[0], "0\tメロディ楽器(PCM)[00h]");
    EXPECT_EQ(limited[6], "6\tリズム楽器(ノイズ)??[0Ch]");
    EXPECT_EQ(limited[0xB], "B\tドラムセット[80h]");
    EXPECT_EQ(limited[0x7F], "7F\tパルス波Ch1[01h]");

    const std::vector<std::string> unlimited = table.instrumentLines(ListLimit::Unlimited);
    ASSERT_EQ(unlimited.size(), 0x81u);
    EXPECT_EQ(unlimited.back(), "80\tパルス波Ch2[02h]");
}

TEST(SoundInstrumentList, UnreadableAndUnknownRecordsShowAnEmptyType)
{
    // A table that starts with an unknown type, and whose limited list runs past the image.
    const std::size_t imageSize = kTalmirTable + 12 * 3 + 5;
    SoundRomBuilder builder("KX4M", kTalmirTable, imageSize);
    builder.setInstrument(0, {.type = 0x77});
    builder.setInstrument(1, {.type = 0x01});
    builder.setInstrument(2, {.type = 0x02});
    const Bytes image = builder.take();
    const InstrumentTable table(span(image), kTalmirTable);

    const std::vector<std::string> limited = table.instrumentLines(ListLimit::To7F);
    ASSERT_EQ(limited.size(), 128u);
    EXPECT_EQ(limited[0], "0\t");
    EXPECT_EQ(limited[2], "2\tパルス波Ch2[02h]");
    EXPECT_EQ(limited[3], "3\t");
    EXPECT_EQ(limited[0x7F], "7F\t");
    // Unlimited: line 0 always, then on while the next record has a named type; the record past
    // the image's end has none.
    EXPECT_EQ(table.instrumentLines(ListLimit::Unlimited), (std::vector<std::string>{"0\t", "1\tパルス波Ch1[01h]", "2\tパルス波Ch2[02h]"}));

    // A table offset beyond the image.
    const InstrumentTable outside(span(image), 0xFFFFFFF0u);
    EXPECT_EQ(outside.instrumentLines(ListLimit::Unlimited), std::vector<std::string>{"0\t"});
    EXPECT_EQ(outside.noteList(0).lines, std::vector<std::string>{"ノート番号の影響を受けません"});
    EXPECT_FALSE(outside.recordToPlay(0, 0, {}));
}

TEST(SoundNoteList, NoteSwitchShowsEachEntryOnceAndRepeatsAsSame)
{
    const DemoSound demo = makeDemoSound();
    const InstrumentTable table(span(demo.image), kTalmirTable);
    const sound::NoteList notes = table.noteList(9);

    const std::uint32_t sub = table.instrument(9)->dwFirstPointer - 0x08000000u;
    auto hex = [](std::uint32_t value) {
        char text[16];
        std::snprintf(text, sizeof text, "%X", value);
        return std::string(text);
    };
    const std::vector<std::string> expected{
        "00 (" + hex(sub + 36) + ")メロディ楽器(PCM)[00h]",
        "01       同上",
        "02       同上",
        "03       同上",
        "04       同上",
        "05 (" + hex(sub + 12) + ")パルス波Ch1[01h]",
        "06 (" + hex(sub + 24) + ")リズム楽器(PCM)[08h]",
    };
    EXPECT_EQ(notes.lines, expected);
    EXPECT_EQ(notes.keyMap.usableNotes, 7u);
}

TEST(SoundNoteList, EmptyOrUnreadableKeyMapShowsErrorAndPlaysNothing)
{
    const DemoSound demo = makeDemoSound();
    const InstrumentTable table(span(demo.image), kTalmirTable);
    const sound::NoteList empty = table.noteList(0xA);
    EXPECT_EQ(empty.lines, std::vector<std::string>{"エラー"});
    EXPECT_EQ(empty.keyMap.usableNotes, 0u);
    // Line 0 of "エラー" must not fall back to sub-instrument 0.
    EXPECT_FALSE(table.recordToPlay(0xA, 0, empty.keyMap));
    EXPECT_FALSE(table.noteRecordOffset(0xA, 0, empty.keyMap));

    // A key map whose 128 bytes run past the image, and one below the ROM base.
    SoundRomBuilder builder("KX4M", kTalmirTable);
    builder.setInstrument(0, {.type = 0x40, .first = busAddress(0x1000),
                              .second = busAddress(builder.image().size() - 100)});
    builder.setInstrument(1, {.type = 0x40, .first = busAddress(0x1000), .second = 0x100});
    const Bytes image = builder.take();
    const InstrumentTable damaged(span(image), kTalmirTable);
    EXPECT_EQ(damaged.noteList(0).lines, std::vector<std::string>{"エラー"});
    EXPECT_EQ(damaged.noteList(1).lines, std::vector<std::string>{"エラー"});
}

TEST(SoundNoteList, FullKeyMapGives128Lines)
{
    SoundRomBuilder builder("KX4M", kTalmirTable);
    KeyMapBytes keyMap;
    keyMap.fill(1);
    const std::uint32_t sub = builder.addRecords({{.type = 0x01}, {.type = 0x02}});
    builder.setInstrument(0, {.type = 0x40, .first = sub, .second = builder.addKeyMap(keyMap)});
    const Bytes image = builder.take();
    const sound::NoteList notes = InstrumentTable(span(image), kTalmirTable).noteList(0);
    ASSERT_EQ(notes.lines.size(), 128u);
    EXPECT_EQ(notes.lines[0x7F], "7F       同上");
}

TEST(SoundNoteList, DrumSetAlwaysShows128LinesAndOtherTypesOneLine)
{
    const DemoSound demo = makeDemoSound();
    const InstrumentTable table(span(demo.image), kTalmirTable);
    const std::vector<std::string> drums = table.noteList(0xB).lines;
    ASSERT_EQ(drums.size(), 128u);
    EXPECT_TRUE(drums[0].starts_with("00 (")) << drums[0];
    EXPECT_TRUE(drums[0].ends_with(")リズム楽器(PCM)[08h]")) << drums[0];
    EXPECT_TRUE(drums[0x7F].starts_with("7F (")) << drums[0x7F];
    EXPECT_TRUE(drums[0x7F].ends_with(")パルス波Ch1[01h]")) << drums[0x7F];

    for (const std::size_t index : {0u, 1u, 5u, 7u})
        EXPECT_EQ(table.noteList(index).lines, std::vector<std::string>{"ノート番号の影響を受けません"});

    // A drum table running past the image shows its lines with empty types.
    SoundRomBuilder builder("KX4M", kTalmirTable);
    builder.setInstrument(0, {.type = 0x80, .first = busAddress(builder.image().size() - 30)});
    const Bytes image = builder.take();
    const std::vector<std::string> cut = InstrumentTable(span(image), kTalmirTable).noteList(0).lines;
    ASSERT_EQ(cut.size(), 128u);
    EXPECT_EQ(cut[1], "01 (3FFFEE)メロディ楽器(PCM)[00h]");  // zero bytes, but inside
    EXPECT_EQ(cut[2], "02 (3FFFFA)");
    EXPECT_EQ(cut[5], "05 (40001E)");
}

TEST(SoundRecordToPlay, FollowsKeyMapDrumOrInstrument)
{
    const DemoSound demo = makeDemoSound();
    const InstrumentTable table(span(demo.image), kTalmirTable);
    const sound::KeyMap keyMap = table.noteList(9).keyMap;
    auto sampleOf = [&](std::size_t index, std::optional<std::size_t> line,
                        const sound::KeyMap& map) -> std::optional<std::uint32_t> {
        const auto record = table.recordToPlay(index, line, map);
        return record ? sound::sampleOffsetOf(*record) : std::nullopt;
    };

    EXPECT_EQ(sampleOf(0, 0, {}), demo.sampleA);
    EXPECT_EQ(sampleOf(0, std::nullopt, {}), demo.sampleA);  // the instrument itself
    EXPECT_EQ(sampleOf(5, 0, {}), demo.sampleB);
    EXPECT_EQ(sampleOf(1, 0, {}), std::nullopt);  // a pulse wave has no sample

    EXPECT_EQ(sampleOf(9, 0, keyMap), demo.sampleA);
    EXPECT_EQ(sampleOf(9, 4, keyMap), demo.sampleA);
    EXPECT_EQ(sampleOf(9, 5, keyMap), std::nullopt);
    EXPECT_EQ(sampleOf(9, 6, keyMap), demo.sampleB);
    EXPECT_EQ(sampleOf(9, 7, keyMap), std::nullopt);  // past the usable notes
    EXPECT_EQ(sampleOf(9, std::nullopt, keyMap), std::nullopt);

    EXPECT_EQ(sampleOf(0xB, 0, {}), demo.sampleB);
    EXPECT_EQ(sampleOf(0xB, 1, {}), std::nullopt);  // drum of type 0x01 plays nothing
    EXPECT_EQ(sampleOf(0xB, 2, {}), demo.sampleA);
    EXPECT_EQ(sampleOf(0xB, 128, {}), std::nullopt);
    EXPECT_EQ(sampleOf(0xB, std::nullopt, {}), std::nullopt);
}

TEST(SoundNoteRecord, DumpsTheRecordTheLineNames)
{
    const DemoSound demo = makeDemoSound();
    const InstrumentTable table(span(demo.image), kTalmirTable);
    const sound::KeyMap keyMap = table.noteList(9).keyMap;
    const std::uint32_t sub = table.instrument(9)->dwFirstPointer - 0x08000000u;
    EXPECT_EQ(table.noteRecordOffset(9, 0, keyMap), sub + 36);
    EXPECT_EQ(table.noteRecordOffset(9, 5, keyMap), sub + 12);
    const std::uint32_t drums = table.instrument(0xB)->dwFirstPointer - 0x08000000u;
    EXPECT_EQ(table.noteRecordOffset(0xB, 0x7F, {}), drums + 12 * 0x7F);
    // A plain instrument's one line shows what its pointer leads to.
    EXPECT_EQ(table.noteRecordOffset(0, 0, {}), demo.sampleA);
    EXPECT_FALSE(table.noteRecordOffset(0, 1, {}));
}

}  // namespace
