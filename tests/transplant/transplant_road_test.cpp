// The whole road of the transplant tool on the demo images: every named unit of image A is
// extracted, image B is extended, and each unit is added to B in turn. The records and data that
// arrive in B are checked against image A field by field, with the IDs mapped by an oracle written
// from the record layouts (not from the transplant's own field tables).

#include "rom/game_tables.hpp"
#include "rom/gba_address.hpp"
#include "rom/records.hpp"
#include "rom/routines.hpp"
#include "rom/unit_resources.hpp"
#include "tests/doubles/scripted_shell.hpp"
#include "tests/support/character_table_file.hpp"
#include "tests/support/demo_scenario.hpp"
#include "tests/transplant/test_rom_files.hpp"
#include "transplant/file_set.hpp"
#include "transplant/keldra_session.hpp"
#include "transplant/transplant_unit.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>

namespace {

using rom::ResourceKind;
using testing_doubles::ScriptedShell;
using transplant::KeldraSession;

// Source ID -> target ID, kind by kind; IDs the file set does not carry stay as they are.
class IdMapping {
public:
    IdMapping(const rom::UnitResourceSet& loaded, const rom::UnitResourceSet& freeIds)
    {
        for (std::size_t k = 0; k < rom::kResourceKindCount; ++k) {
            const auto& from = loaded.lists[k];
            for (std::size_t j = 0; j < from.size(); ++j)
                maps_[k][from[j]] = freeIds.lists[k].at(j);
        }
    }

    std::uint16_t operator()(ResourceKind kind, std::uint16_t id) const
    {
        const auto& map = maps_[static_cast<std::size_t>(kind)];
        const auto found = map.find(id);
        return found == map.end() ? id : found->second;
    }

    template <class Field>
    void apply(ResourceKind kind, Field& field) const
    {
        field = (*this)(kind, field);
    }

private:
    std::array<std::map<std::uint16_t, std::uint16_t>, rom::kResourceKindCount> maps_;
};

void setOwnId(std::array<std::uint8_t, 2>& head, std::uint16_t id)
{
    head = {static_cast<std::uint8_t>(id), static_cast<std::uint8_t>(id >> 8)};
}
void setOwnId(std::array<std::uint8_t, 4>& head, std::uint16_t id)
{
    head[0] = static_cast<std::uint8_t>(id);
    head[1] = static_cast<std::uint8_t>(id >> 8);
}

template <class Record>
Record recordOf(rom::ByteSpan image, const rom::TableDirectory& directory, std::uint16_t id)
{
    auto record = rom::readRecord<Record>(image, directory, id);
    EXPECT_TRUE(record) << id;
    return record.value_or(Record{});
}

template <class Record>
void expectSameRecord(const Record& expected, const Record& actual, const std::string& what)
{
    EXPECT_EQ(rom::serializeRecord(expected), rom::serializeRecord(actual)) << what;
}

rom::ByteSpan bytesAt(rom::ByteSpan image, std::uint32_t pointer, std::size_t length)
{
    const std::uint32_t offset = rom::romOffsetOf(pointer);
    EXPECT_TRUE(rom::fits(image.size(), offset, length)) << std::hex << pointer;
    if (!rom::fits(image.size(), offset, length))
        return {};
    return image.subspan(offset, length);
}

bool sameBytes(rom::ByteSpan a, rom::ByteSpan b)
{
    return std::ranges::equal(a, b);
}

class TransplantRoadTest : public ::testing::Test {
protected:
    synthetic::DemoScenario a = synthetic::makeDemoScenarioA();
    synthetic::DemoScenario b = synthetic::makeDemoScenarioB();
    rom::CharacterTable table{synthetic::makeCharacterTableFile()};
    transplant_test::ScratchFolder folder;
    ScriptedShell shellA;
    ScriptedShell shellB;
    KeldraSession sessionA{shellA, table};
    KeldraSession sessionB{shellB, table};

    void SetUp() override
    {
        ASSERT_TRUE(sessionA.OpenRom(folder.write("a.gba", shell::Bytes(a.image.begin(), a.image.end()))));
        ASSERT_TRUE(sessionB.OpenRom(folder.write("b.gba", shell::Bytes(b.image.begin(), b.image.end()))));
    }

    std::filesystem::path extract(std::uint16_t unit)
    {
        EXPECT_TRUE(sessionA.selectUnit(unit));
        transplant::SelectionFlags all;
        all.selectAll();
        const auto result =
            sessionA.ExtractUnit(all, folder.path() / "sets" / sessionA.extractionFolderName(unit));
        EXPECT_TRUE(result && result->complete);
        return result ? result->folder : std::filesystem::path();
    }

    void extendB()
    {
        shellB.answers = {shell::Answer::Ok, shell::Answer::Cancel};
        ASSERT_TRUE(sessionB.ExtendIdArea().extended);
    }

    // Loads the set and adds it into the first free slot; returns the slot.
    std::uint16_t add(const std::filesystem::path& set)
    {
        EXPECT_TRUE(sessionB.StartAddUnit());
        EXPECT_TRUE(sessionB.LoadUnitFileSet(set / transplant::file_set::kIndexFile));
        const std::uint16_t slot = sessionB.freeIds().list(ResourceKind::Unit).front();
        EXPECT_TRUE(sessionB.TransplantUnit(slot)) << ::testing::PrintToString(shellB.texts());
        return slot;
    }

    void checkArrival(std::uint16_t sourceUnit, std::uint16_t slot, std::size_t oldSize);
};

void TransplantRoadTest::checkArrival(std::uint16_t sourceUnit, std::uint16_t slot,
                                      std::size_t oldSize)
{
    const rom::ByteSpan imageA = sessionA.rom().bytes;
    const rom::ByteSpan imageB = sessionB.rom().bytes;
    const rom::TableDirectory& dirA = sessionA.directory();
    const rom::TableDirectory& dirB = sessionB.directory();
    const rom::UnitResourceSet& loaded = sessionB.loadedSet();
    const rom::UnitResourceSet& freeIds = sessionB.freeIds();
    const IdMapping map(loaded, freeIds);
    auto target = [&](ResourceKind kind, std::size_t j) { return freeIds.list(kind).at(j); };
    ASSERT_EQ(loaded.wIdUnit, sourceUnit);

    // The unit record, its icon and its animation header.
    auto unit = recordOf<rom::UnitDataRecord>(imageA, dirA, sourceUnit);
    for (auto& weapon : unit.wWeapon)
        map.apply(ResourceKind::FixedWeapon, weapon);
    expectSameRecord(unit, recordOf<rom::UnitDataRecord>(imageB, dirB, slot), "unit");
    const std::uint16_t icon = target(ResourceKind::IconData, 0);
    EXPECT_EQ(rom::loadU16(*rom::recordBytes(imageB, dirB, rom::GameTable::UnitIconIndex, slot), 0),
              icon);
    EXPECT_TRUE(sameBytes(*rom::recordBytes(imageB, dirB, rom::GameTable::IconData, icon),
                          *rom::recordBytes(imageA, dirA, rom::GameTable::IconData, loaded.wIdIcon)));

    auto anime = recordOf<rom::UNIT_ANIME_HEADER>(imageA, dirA, sourceUnit);
    anime.wIdUnit = slot;
    map.apply(ResourceKind::Sprite, anime.wIdSpriteBG);
    map.apply(ResourceKind::Pallet, anime.wIdPalletBG);
    map.apply(ResourceKind::BGMap, anime.wIdBGMap);
    for (auto& group : anime.motion) {
        map.apply(ResourceKind::Sprite, group.wIdSprite_1);
        map.apply(ResourceKind::Sprite, group.wIdSprite_2);
        map.apply(ResourceKind::Pallet, group.wIdPallet_1);
        map.apply(ResourceKind::Pallet, group.wIdPallet_2);
        map.apply(ResourceKind::MotionPart, group.wIdMotionPart);
        map.apply(ResourceKind::ShadowEtc, group.wIdShadowEtc);
        map.apply(ResourceKind::CutinScroll, group.wIdCutinScroll);
    }
    expectSameRecord(anime, recordOf<rom::UNIT_ANIME_HEADER>(imageB, dirB, slot), "unit anime");

    // Weapons and their fixed animation headers.
    const auto& weapons = loaded.list(ResourceKind::FixedWeapon);
    for (std::size_t j = 0; j < weapons.size(); ++j) {
        const std::uint16_t to = target(ResourceKind::FixedWeapon, j);
        expectSameRecord(recordOf<rom::WEAPON_DATA>(imageA, dirA, weapons[j]),
                         recordOf<rom::WEAPON_DATA>(imageB, dirB, to), "weapon");
        auto h = recordOf<rom::FIXED_ANIME_HEADER>(imageA, dirA, weapons[j]);
        h.wIdWeapon = to;
        for (auto* sprite : {&h.wIdSprite1_1, &h.wIdSprite1_2, &h.wIdSprite1_3, &h.wIdSprite1_4,
                             &h.wIdSprite2_1, &h.wIdSprite2_2, &h.wIdSprite2_3, &h.wIdSprite3_1,
                             &h.wIdSprite3_2, &h.wIdSprite3_3})
            map.apply(ResourceKind::Sprite, *sprite);
        for (auto* pallet : {&h.wIdPallet1_1, &h.wIdPallet1_2, &h.wIdPallet1_3, &h.wIdPallet1_4,
                             &h.wIdPallet2_1, &h.wIdPallet2_2, &h.wIdPallet2_3, &h.wIdPallet3_1,
                             &h.wIdPallet3_2, &h.wIdPallet3_3})
            map.apply(ResourceKind::Pallet, *pallet);
        for (auto* id : {&h.wIdMotionPart1, &h.wIdMotionPart2, &h.wIdMotionPart3, &h.wIdMotionPart3_2})
            map.apply(ResourceKind::MotionPart, *id);
        for (auto* id : {&h.wIdShadowEtc1, &h.wIdShadowEtc2, &h.wIdShadowEtc3, &h.wIdShadowEtc3_2})
            map.apply(ResourceKind::ShadowEtc, *id);
        for (auto* id : {&h.wIdCutinScroll1, &h.wIdCutinScroll2, &h.wIdCutinScroll3,
                         &h.wIdCutinScroll3_2})
            map.apply(ResourceKind::CutinScroll, *id);
        expectSameRecord(h, recordOf<rom::FIXED_ANIME_HEADER>(imageB, dirB, to), "fixed anime");
    }

    // Cut-ins, graphic change definitions and system animations.
    const auto& cutins = loaded.list(ResourceKind::UnitCutin);
    for (std::size_t j = 0; j < cutins.size(); ++j) {
        auto r = recordOf<rom::UnitCutinRecord>(imageA, dirA, cutins[j]);
        setOwnId(r.bHead, target(ResourceKind::UnitCutin, j));
        for (auto* id : {&r.wIdSprite1, &r.wIdSprite2, &r.wIdSprite3})
            map.apply(ResourceKind::Sprite, *id);
        for (auto* id : {&r.wIdPallet1, &r.wIdPallet2, &r.wIdPallet3})
            map.apply(ResourceKind::Pallet, *id);
        for (auto* id : {&r.wIdBGMap1, &r.wIdBGMap2, &r.wIdBGMap3})
            map.apply(ResourceKind::BGMap, *id);
        map.apply(ResourceKind::MotionPart, r.wIdMotionPart);
        map.apply(ResourceKind::ShadowEtc, r.wIdShadowEtc);
        map.apply(ResourceKind::CutinScroll, r.wIdCutinScroll);
        expectSameRecord(r, recordOf<rom::UnitCutinRecord>(imageB, dirB, target(ResourceKind::UnitCutin, j)),
                         "unit cut-in");
    }
    const auto& definitions = loaded.list(ResourceKind::GraphicDifinition);
    for (std::size_t j = 0; j < definitions.size(); ++j) {
        auto r = recordOf<rom::GraphicDifinitionRecord>(imageA, dirA, definitions[j]);
        setOwnId(r.bHead, target(ResourceKind::GraphicDifinition, j));
        map.apply(ResourceKind::Sprite, r.wIdSprite);
        map.apply(ResourceKind::Pallet, r.wIdPallet);
        expectSameRecord(r, recordOf<rom::GraphicDifinitionRecord>(
                                imageB, dirB, target(ResourceKind::GraphicDifinition, j)),
                         "graphic change definition");
    }
    const auto& systemAnimes = loaded.list(ResourceKind::SystemAnime);
    for (std::size_t j = 0; j < systemAnimes.size(); ++j) {
        auto r = recordOf<rom::SystemAnimeRecord>(imageA, dirA, systemAnimes[j]);
        setOwnId(r.bHead, target(ResourceKind::SystemAnime, j));
        map.apply(ResourceKind::Sprite, r.wIdSprite);
        map.apply(ResourceKind::Pallet, r.wIdPallet);
        map.apply(ResourceKind::MotionPart, r.wIdMotionPart);
        map.apply(ResourceKind::ShadowEtc, r.wIdShadowEtc);
        map.apply(ResourceKind::CutinScroll, r.wIdCutinScroll);
        expectSameRecord(r, recordOf<rom::SystemAnimeRecord>(imageB, dirB,
                                                            target(ResourceKind::SystemAnime, j)),
                         "system animation");
    }

    // Appended data: each block lies behind the old end, on a 16-byte boundary, and holds the
    // source's bytes.
    auto pointerB = [&](ResourceKind kind, std::size_t j) {
        const std::uint32_t pointer =
            *rom::readTablePointer(imageB, dirB, rom::tableOf(kind), target(kind, j));
        EXPECT_GE(rom::romOffsetOf(pointer), oldSize);
        EXPECT_EQ(rom::romOffsetOf(pointer) % 16, 0u);
        return pointer;
    };
    auto pointerA = [&](ResourceKind kind, std::size_t j) {
        return *rom::readTablePointer(imageA, dirA, rom::tableOf(kind), loaded.list(kind)[j]);
    };
    for (std::size_t j = 0; j < loaded.list(ResourceKind::Sprite).size(); ++j) {
        const auto placed = a.placed.sprites.at(loaded.list(ResourceKind::Sprite)[j]);
        EXPECT_TRUE(sameBytes(bytesAt(imageB, pointerB(ResourceKind::Sprite, j), placed.length),
                              bytesAt(imageA, pointerA(ResourceKind::Sprite, j), placed.length)));
    }
    for (std::size_t j = 0; j < loaded.list(ResourceKind::Pallet).size(); ++j) {
        // At least the two banks every palette has.
        EXPECT_TRUE(sameBytes(bytesAt(imageB, pointerB(ResourceKind::Pallet, j), 64),
                              bytesAt(imageA, pointerA(ResourceKind::Pallet, j), 64)));
    }
    for (std::size_t j = 0; j < loaded.list(ResourceKind::BGMap).size(); ++j) {
        const auto from = recordOf<rom::BGMAP>(imageA, dirA, loaded.list(ResourceKind::BGMap)[j]);
        const auto to = recordOf<rom::BGMAP>(imageB, dirB, target(ResourceKind::BGMap, j));
        EXPECT_EQ(to.wSize, from.wSize);
        EXPECT_EQ(to.wParam1, from.wParam1);
        EXPECT_GE(rom::romOffsetOf(to.dwAddress), oldSize);
        const auto placed = a.placed.bgMaps.at(loaded.list(ResourceKind::BGMap)[j]);
        EXPECT_TRUE(sameBytes(bytesAt(imageB, to.dwAddress, placed.length),
                              bytesAt(imageA, from.dwAddress, placed.length)));
    }
    auto rangeBytes = [](rom::ByteSpan image, const rom::ByteRange& range) {
        return image.subspan(range.offset, range.length);
    };
    for (std::size_t j = 0; j < loaded.list(ResourceKind::MotionPart).size(); ++j) {
        auto from = rom::readMotionPart(imageA, rom::romOffsetOf(pointerA(ResourceKind::MotionPart, j)));
        auto to = rom::readMotionPart(imageB, rom::romOffsetOf(pointerB(ResourceKind::MotionPart, j)));
        ASSERT_TRUE(from && to);
        ASSERT_EQ(to->parts.size(), from->parts.size());
        for (std::size_t p = 0; p < from->parts.size(); ++p)
            EXPECT_TRUE(sameBytes(rangeBytes(imageB, to->parts[p]), rangeBytes(imageA, from->parts[p])));
        // A routine without a key block gets a pointer to an empty one.
        EXPECT_NE(to->header.dwKeyBlock, 0u);
        if (from->header.dwKeyBlock != 0) {
            EXPECT_TRUE(sameBytes(rangeBytes(imageB, to->keyBlock), rangeBytes(imageA, from->keyBlock)));
        }
    }
    for (std::size_t j = 0; j < loaded.list(ResourceKind::ShadowEtc).size(); ++j) {
        auto from = rom::readShadowEtc(imageA, rom::romOffsetOf(pointerA(ResourceKind::ShadowEtc, j)));
        auto to = rom::readShadowEtc(imageB, rom::romOffsetOf(pointerB(ResourceKind::ShadowEtc, j)));
        ASSERT_TRUE(from && to);
        ASSERT_EQ(to->streams.size(), from->streams.size());
        for (std::size_t s = 0; s < from->streams.size(); ++s)
            EXPECT_TRUE(sameBytes(rangeBytes(imageB, to->streams[s]), rangeBytes(imageA, from->streams[s])));
    }
    for (std::size_t j = 0; j < loaded.list(ResourceKind::CutinScroll).size(); ++j) {
        auto from = rom::readCutinScroll(imageA, rom::romOffsetOf(pointerA(ResourceKind::CutinScroll, j)));
        auto to = rom::readCutinScroll(imageB, rom::romOffsetOf(pointerB(ResourceKind::CutinScroll, j)));
        ASSERT_TRUE(from && to);
        rom::Bytes expected(rangeBytes(imageA, from->commands).begin(),
                            rangeBytes(imageA, from->commands).end());
        for (std::size_t at = 0; at < expected.size(); at += 16) {
            const rom::MutableByteSpan command(expected.data() + at, 16);
            auto remap = [&](std::size_t field, ResourceKind kind) {
                rom::storeU16(command, field, map(kind, rom::loadU16(command, field)));
            };
            if (command[0] == 0x24)
                remap(0x0C, ResourceKind::GraphicDifinition);
            else if (command[0] == 0x17 && (command[4] == 0 || command[4] == 2))
                remap(0x08, ResourceKind::UnitCutin);
            else if (command[0] >= 0x02 && command[0] <= 0x06)
                remap(0x04, ResourceKind::SystemAnime);
        }
        EXPECT_TRUE(sameBytes(rangeBytes(imageB, to->commands), expected));
    }

    // Collected from B, the unit reaches exactly the IDs it was given.
    auto collected = rom::CollectUnitResources(imageB, dirB, slot);
    ASSERT_TRUE(collected);
    for (ResourceKind kind : transplant::file_set::kIndexedKinds) {
        const std::set<std::uint16_t> got(collected->list(kind).begin(), collected->list(kind).end());
        std::set<std::uint16_t> expected;
        for (std::size_t j = 0; j < loaded.list(kind).size(); ++j)
            expected.insert(target(kind, j));
        EXPECT_EQ(got, expected) << rom::kindName(kind);
    }
}

TEST_F(TransplantRoadTest, EveryUnitOfImageAArrivesInExtendedImageBExactly)
{
    extendB();
    std::set<std::uint16_t> usedSlots;
    std::set<std::uint16_t> usedSprites;
    for (const synthetic::DemoUnit& unit : a.units) {
        SCOPED_TRACE(unit.name);
        const std::filesystem::path set = extract(unit.id);
        const std::size_t oldSize = sessionB.rom().bytes.size();
        const std::uint16_t slot = add(set);
        checkArrival(unit.id, slot, oldSize);

        // Each add takes IDs no earlier add took.
        EXPECT_TRUE(usedSlots.insert(slot).second);
        for (std::size_t j = 0; j < sessionB.loadedSet().list(ResourceKind::Sprite).size(); ++j)
            EXPECT_TRUE(usedSprites.insert(sessionB.freeIds().list(ResourceKind::Sprite)[j]).second);
        EXPECT_EQ(sessionB.AnnounceAddedUnit(slot).substr(5), unit.name);
        EXPECT_EQ(shellB.messages.back().caption, "追加完了");
    }
}

TEST_F(TransplantRoadTest, AddingIntoTheUnextendedImageUsesItsFreeEntries)
{
    const std::filesystem::path set = extract(a.units.front().id);
    const std::size_t oldSize = sessionB.rom().bytes.size();
    const std::uint16_t slot = add(set);
    checkArrival(a.units.front().id, slot, oldSize);
    // SystemAnime 119 holds the first bytes of the graphic change definitions: never offered.
    EXPECT_TRUE(sessionB.StartAddUnit());
    EXPECT_EQ(std::ranges::count(sessionB.freeIds().list(ResourceKind::SystemAnime), 119), 0);
}

}  // namespace
