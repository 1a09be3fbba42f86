#include "tests/transplant/test_rom_files.hpp"

#include "tests/support/synthetic_rom.hpp"


namespace transplant_test {

shell::Bytes sceneImage()
{
    synthetic::RomBuilder rom;
    synthetic::UnitSpec unit;
    unit.dwMaxHP = 12345;
    unit.wMaxEN = 150;
    unit.wMobility = 110;
    unit.wArmor = 1200;
    unit.wWeapon = {1, 0x28A, 0xFFFF, 0xFFFF, 0xFFFF, 0x289,
                    0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF};
    unit.name = {0x41, 0x42};
    rom.setUnit(0x2A, unit);
    rom.setUnit(0, synthetic::UnitSpec{.name = {0x41}});

    synthetic::WeaponSpec first;
    first.name = {0x43};
    rom.setWeapon(1, first);
    synthetic::WeaponSpec last;
    last.name = {0xC1, 0x44};
    rom.setWeapon(0x289, last);
    rom.setFixedAnimeHeader(1, synthetic::FixedAnimeSpec{});
    rom.setFixedAnimeHeader(0x289, synthetic::FixedAnimeSpec{});

    synthetic::UnitAnimeSpec header;
    header.wIdSpriteBG = 3;
    header.wIdPalletBG = 4;
    header.wIdBGMap = 5;
    rom.setUnitAnimeHeader(0x2A, header);
    return rom.take<shell::Bytes>();
}

std::string sceneCharacterTable()
{
    // ア イ ウ, and エ for the two-byte code C1 44.
    return "41,\x83\x41\r\n42,\x83\x43\r\n43,\x83\x45\r\nC1 44,\x83\x47\r\n";
}

}  // namespace transplant_test
