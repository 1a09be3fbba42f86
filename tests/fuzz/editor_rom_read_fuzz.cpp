// libFuzzer target: the editor reading a unit from a patched demo image, as it opens an image,
// lists its units and picks one, then what it does with the unit it read: the ID summary, the ID
// list report and the routine blocks of a unit folder.
//
// Input: [unit u8] then patches (tests/fuzz/image_patch.hpp).
// Properties: an image the editor opens has a readable record for every unit (the unit list
// relies on it); a unit read keeps within the model's capacities and its ID summary matches its
// counts; every sprite and BG map stream it copied measures, alone, exactly its own length; and
// every routine written as a block reads back into the same block.

#include "editor/id_report.hpp"
#include "editor/morvane_session.hpp"
#include "editor/rom_table_offsets.hpp"
#include "editor/routine_serializer.hpp"
#include "editor/unit_reader.hpp"
#include "rom/lz77.hpp"
#include "rom/records.hpp"
#include "tests/fuzz/fuzz_support.hpp"
#include "tests/fuzz/image_patch.hpp"
#include "tests/support/character_table_file.hpp"
#include "tests/support/demo_scenario.hpp"

#include <cstdlib>

namespace {

constexpr unsigned kBaseCheckInterval = 4096;

struct Fixture {
    synthetic::DemoScenario scenario = synthetic::makeDemoScenarioB();
    fuzz_patch::PatchedImage image{shell::Bytes(scenario.image.begin(), scenario.image.end()),
                                   fuzz_patch::scenarioRegions(scenario), 0};
    rom::CharacterTable table{synthetic::makeCharacterTableFile()};
    unsigned inputs = 0;
};

Fixture& fixture()
{
    static Fixture instance;
    return instance;
}

// A copied LZ77 stream holds all of itself: measured alone it has its own length.
void checkStream(const editor::Bytes& stream)
{
    if (stream.empty())
        return;
    auto length = rom::measureLz77Block(stream, 0);
    require(length.has_value() && *length == stream.size());
}

template <class Routine, class Read>
void checkRoutine(Routine routine, Read read)
{
    if (!routine.present)
        return;
    const editor::SerializedRoutine first = editor::SerializeRoutine(routine, 0);
    auto back = read(first.block, first.pointer, rom::DataSource::File);
    require(back.has_value() && back->present);
    const editor::SerializedRoutine second = editor::SerializeRoutine(*back, 0);
    require(second.block == first.block && second.pointer == first.pointer);
}

void checkUnit(const editor::UnitDataSet& set, std::uint16_t unit, const rom::CharacterTable& table)
{
    require(set.wUnitID == unit);
    require(set.bNumFixedWeapon <= editor::kMaxFixedWeapons && set.bNumSprite <= editor::kMaxSprites &&
            set.bNumPallet <= editor::kMaxPalletGroups && set.bNumMotionPart <= editor::kMaxRoutines &&
            set.bNumShadowEtc <= editor::kMaxRoutines && set.bNumCutinScroll <= editor::kMaxRoutines);
    const editor::UnitIdSet ids = editor::CollectUnitIds(set);
    require(ids.unit.count == 1 && ids.unit.ids[0] == unit);
    require(ids.fixedWeapon.count == set.bNumFixedWeapon && ids.sprite.count == set.bNumSprite &&
            ids.pallet.count == set.bNumPallet && ids.motionPart.count == set.bNumMotionPart &&
            ids.shadowEtc.count == set.bNumShadowEtc && ids.cutinScroll.count == set.bNumCutinScroll);
    (void)editor::unitSummaryText(editor::decodeEditorName(set.unit.bUnitName, table), ids);
    require(!editor::BuildIdReport(set, table).empty());

    if (set.hasBGMap())
        checkStream(set.bgMap.data);
    for (std::size_t i = 0; i < set.bNumSprite; ++i)
        checkStream(set.sprites[i].data);
    for (std::size_t i = 0; i < set.bNumPallet; ++i)
        require(set.pallets[i].bNumPalette <= editor::kMaxPalettesPerGroup);
    for (std::size_t i = 0; i < set.bNumMotionPart; ++i)
        checkRoutine(set.motionParts[i], editor::ReadMotionPartRoutine);
    for (std::size_t i = 0; i < set.bNumShadowEtc; ++i)
        checkRoutine(set.shadowEtcs[i], editor::ReadShadowEtcRoutine);
    for (std::size_t i = 0; i < set.bNumCutinScroll; ++i)
        checkRoutine(set.cutinScrolls[i], editor::ReadCutinScrollRoutine);
}

void checkImage(const Fixture& f, std::uint8_t unitChoice)
{
    const rom::ByteSpan image = f.image.view();
    auto offsets = editor::ReadRomTableOffsets(image);
    if (!offsets)
        return;
    for (std::uint16_t unit = 0; unit < rom::kUnitCount; ++unit)
        require(rom::readRecord<rom::UnitDataRecord>(image, offsets->directory, unit).has_value());
    // Mostly the demo's named units, which reach the most data.
    const auto& units = f.scenario.units;
    const std::uint16_t unit = (unitChoice & 1)
                                   ? static_cast<std::uint16_t>((unitChoice >> 1) % rom::kUnitCount)
                                   : units[(unitChoice >> 1) % units.size()].id;
    auto set = editor::ReadUnitFromRom(image, *offsets, unit);
    if (set)
        checkUnit(*set, unit, f.table);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    Fixture& f = fixture();
    fuzz_patch::InputReader input(data, size);
    const std::uint8_t unitChoice = input.u8();
    f.image.apply(input);
    checkImage(f, unitChoice);
    f.image.undo();
    if (++f.inputs % kBaseCheckInterval == 0)
        require(f.image.matchesBase());
    return 0;
}
