#include "rom/game_tables.hpp"
#include "rom/records.hpp"
#include "rom/rom_image.hpp"

#include "tests/support/synthetic_rom.hpp"

#include <gtest/gtest.h>

namespace {

namespace layout = synthetic::layout;

TEST(RomImage, OnlyTheFirstFourCharactersOfTheGameCodeCount)
{
    shell::Bytes image(0xC0, 0);
    const std::string code = "KX4MEXTRA";
    std::copy(code.begin(), code.end(), image.begin() + 0xAC);
    EXPECT_EQ(rom::gameCodeOf(image), "KX4M");
    EXPECT_TRUE(rom::isSupportedGame(image));

    image[0xAE] = 0;  // the text ends after two characters
    EXPECT_EQ(rom::gameCodeOf(image), "KX");
    EXPECT_FALSE(rom::isSupportedGame(image));
}

TEST(RomImage, AShortFileHoldsNoGameCode)
{
    const shell::Bytes empty;
    EXPECT_EQ(rom::gameCodeOf(empty), "");
    shell::Bytes cut(0xAE, 0);
    cut[0xAC] = 'K';
    cut[0xAD] = 'X';
    EXPECT_EQ(rom::gameCodeOf(cut), "KX");
    EXPECT_FALSE(rom::isSupportedGame(cut));
}

TEST(TableDirectory, AFreshImageIsUnextendedAndAnyMovedTableMakesItExtended)
{
    synthetic::RomBuilder builder;
    const auto directory = rom::readTableDirectory(builder.image());
    ASSERT_TRUE(directory);
    EXPECT_TRUE(rom::isUnextended(*directory));
    EXPECT_EQ(directory->offset(rom::GameTable::Unit), 0xC38C4u);
    EXPECT_EQ(directory->offset(rom::GameTable::IconData), 0x1498F4u);

    // Even a table the tools never follow counts.
    builder.putU32(layout::entry(layout::Table::Unused13).locator, synthetic::gbaPointer(0x1000));
    const auto moved = rom::readTableDirectory(builder.image());
    ASSERT_TRUE(moved);
    EXPECT_FALSE(rom::isUnextended(*moved));
    EXPECT_EQ(moved->offset(rom::GameTable::Unused13), 0x1000u);
}

TEST(TableDirectory, LocatorsOutsideAShortImageAreAnError)
{
    synthetic::RomBuilder builder;
    auto image = builder.take();
    image.resize(0xF21150);  // cuts the locator of entry 13 off
    const auto directory = rom::readTableDirectory(image);
    ASSERT_FALSE(directory);
    EXPECT_NE(directory.error().message.find("0xF21150"), std::string::npos)
        << directory.error().message;
}

TEST(TableDirectory, RecordsAreFoundByIdAndCheckedAgainstTheImageEnd)
{
    synthetic::RomBuilder builder;
    synthetic::UnitSpec unit;
    unit.dwMaxHP = 12345;
    unit.wWeapon[3] = 0x289;
    builder.setUnit(149, unit);
    const auto image = builder.take();
    const auto directory = rom::readTableDirectory(image);
    ASSERT_TRUE(directory);

    const auto record = rom::readRecord<rom::UnitDataRecord>(image, *directory, 149);
    ASSERT_TRUE(record);
    EXPECT_EQ(record->dwMaxHP, 12345u);
    EXPECT_EQ(record->wWeapon[3], 0x289);
    EXPECT_TRUE(rom::checkTableFits(image, *directory, rom::GameTable::Unit, 150));

    // A record written by ID reads back, and nothing beside it changes.
    shell::Bytes copy(image.begin(), image.end());
    rom::UnitDataRecord changed = *record;
    changed.wArmor = 0xBEEF;
    ASSERT_TRUE(rom::writeRecord(std::span<std::uint8_t>(copy), *directory, 149, changed));
    EXPECT_EQ(rom::readRecord<rom::UnitDataRecord>(copy, *directory, 149)->wArmor, 0xBEEF);
    const std::size_t armor = 0xC38C4 + 149 * 0x68 + 8;
    copy[armor] = image[armor];
    copy[armor + 1] = image[armor + 1];
    EXPECT_TRUE(std::equal(copy.begin(), copy.end(), image.begin()));
    EXPECT_FALSE(rom::writeRecord(std::span<std::uint8_t>(copy), *directory, 150 + 0xFFFFFF, changed));

    // A table moved to the image's end: its first record fits, the second does not.
    rom::TableDirectory moved = *directory;
    moved.offsets[static_cast<std::size_t>(rom::GameTable::Unit)] =
        static_cast<std::uint32_t>(image.size() - rom::UnitDataRecord::kSize);
    EXPECT_TRUE(rom::readRecord<rom::UnitDataRecord>(image, moved, 0));
    EXPECT_FALSE(rom::readRecord<rom::UnitDataRecord>(image, moved, 1));
    EXPECT_FALSE(rom::checkTableFits(image, moved, rom::GameTable::Unit, 2));
    // A pointer below the cartridge base wraps far past any image.
    moved.offsets[static_cast<std::size_t>(rom::GameTable::Sprite)] = 0xF8000000;
    EXPECT_FALSE(rom::readTablePointer(image, moved, rom::GameTable::Sprite, 0));
}

}  // namespace
