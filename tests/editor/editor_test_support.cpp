#include "tests/editor/editor_test_support.hpp"

#include "editor/unit_reader.hpp"
#include "tests/support/character_table_file.hpp"
#include "tests/support/demo_streams.hpp"
#include "tests/support/synthetic_lz77.hpp"

#include <fstream>
#include <sstream>
#include <stdexcept>

namespace editor_test {

synthetic::RomBuilder sceneBuilder()
{
    synthetic::RomBuilder rom;
    synthetic::UnitSpec unit;
    unit.dwMaxHP = 12345;
    unit.wMaxEN = 150;
    for (std::size_t i = 0; i < unit.otherStats.size(); ++i)
        unit.otherStats[i] = static_cast<std::uint8_t>(0x10 + i);
    unit.otherStats.back() = kSceneByte47;
    unit.wWeapon = {kSceneWeaponA, 0x28A, 0xFFFF, 0xFFFF, 0xFFFF, kSceneWeaponB,
                    0xFFFF,        0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF};
    unit.name = synthetic::encodeGameText("アイ");
    rom.setUnit(kSceneUnit, unit);
    rom.setUnit(0, synthetic::UnitSpec{.name = synthetic::encodeGameText("ア")});

    synthetic::WeaponSpec weaponA;
    weaponA.stats[0] = 7;
    weaponA.name = synthetic::encodeGameText("ウ");
    rom.setWeapon(kSceneWeaponA, weaponA);
    synthetic::WeaponSpec weaponB;
    weaponB.name = synthetic::encodeGameText("エ");
    rom.setWeapon(kSceneWeaponB, weaponB);

    synthetic::FixedAnimeSpec animeA;
    animeA.wIdWeapon = kSceneWeaponA;
    animeA.wIdSprite1_1 = kSceneSpriteBG;
    animeA.wIdPallet1_3 = kScenePalletWeapon;
    animeA.wIdMotionPart1 = kSceneMotion;
    rom.setFixedAnimeHeader(kSceneWeaponA, animeA);
    rom.setFixedAnimeHeader(kSceneWeaponB, synthetic::FixedAnimeSpec{.wIdWeapon = kSceneWeaponB});

    synthetic::UnitAnimeSpec header;
    header.wIdUnit = kSceneUnit;
    header.wIdSpriteBG = kSceneSpriteBG;
    header.wIdPalletBG = kScenePalletBG;
    header.wIdBGMap = kSceneBGMap;
    header.groups[0].wIdSprite1 = kSceneSprite1;
    header.groups[0].wIdPallet1 = kScenePallet1;
    header.groups[0].wIdMotionPart = kSceneMotion;
    header.groups[0].wIdShadowEtc = kSceneShadow;
    header.groups[0].wIdCutinScroll = kSceneCutin;
    header.groups[7].wParam = kSceneParam8;
    rom.setUnitAnimeHeader(kSceneUnit, header);

    rom.setUnitIcon(kSceneUnit, kSceneIcon);
    rom.setIcon(kSceneIcon, synthetic::makeIcon(1));
    rom.setSprite(kSceneSpriteBG, synthetic::compressLz77(synthetic::makeSpriteSheet(16, 2)));
    rom.setSprite(kSceneSprite1, synthetic::compressLz77(synthetic::makeSpriteSheet(8, 3)));
    rom.setPallet(kScenePalletBG, synthetic::makePalette(5, 4));
    rom.setPallet(kScenePallet1, synthetic::makePalette(2, 5));
    rom.setPallet(kScenePalletWeapon, synthetic::makePalette(4, 6));
    rom.setBGMap(kSceneBGMap, 1, 0x77, synthetic::compressLz77(synthetic::makeBGMapData(1, 7)));

    synthetic::MotionPartSpec motion;
    motion.extra1 = 3;
    motion.totalFrames = 40;
    motion.extra4 = 0xCAFEBABE;
    motion.parts.push_back({synthetic::makePartStream(40, synthetic::StreamEnd::Limit, 8), {1, 2, 3, 4}});
    motion.parts.push_back({synthetic::makePartStream(40, synthetic::StreamEnd::EndMark, 9), {5, 6, 7, 8}});
    motion.keyBlock = synthetic::makeKeyBlock(40, synthetic::KeyBlockEnd::IndexAboveT, 10);
    rom.setMotionPart(kSceneMotion, motion);

    synthetic::ShadowEtcSpec shadow;
    shadow.mask = 0b101;
    shadow.extra = 0x0102;
    shadow.streams = {synthetic::makePartStream(0x400, synthetic::StreamEnd::EndMark, 11),
                      synthetic::makePartStream(0x400, synthetic::StreamEnd::Limit, 12)};
    rom.setShadowEtc(kSceneShadow, shadow);

    synthetic::CutinScrollSpec cutin;
    cutin.extra = 0x0304;
    cutin.commands = {synthetic::plainCommand(0x01, 0x11), synthetic::graphicChangeCommand(3, 0x22),
                      synthetic::plainCommand(0x30, 0x33)};
    rom.setCutinScroll(kSceneCutin, cutin);
    return rom;
}

shell::Bytes sceneImage()
{
    return sceneBuilder().take<shell::Bytes>();
}

std::string characterTableText()
{
    return synthetic::makeCharacterTableFile();
}

rom::CharacterTable characterTable()
{
    return rom::CharacterTable(characterTableText());
}

shell::Bytes asImage(const synthetic::Bytes& bytes)
{
    return shell::Bytes(bytes.begin(), bytes.end());
}

editor::RomTableOffsets offsetsOf(const shell::Bytes& image)
{
    auto offsets = editor::ReadRomTableOffsets(image);
    if (!offsets)
        throw std::runtime_error(offsets.error().message);
    return *offsets;
}

editor::UnitDataSet readUnit(const shell::Bytes& image, std::uint16_t unit)
{
    auto set = editor::ReadUnitFromRom(image, offsetsOf(image), unit);
    if (!set)
        throw std::runtime_error(set.error().message);
    return std::move(*set);
}

shell::Bytes fileBytes(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    const std::string text = content.str();
    return shell::Bytes(text.begin(), text.end());
}

std::string fileText(const std::filesystem::path& path)
{
    const shell::Bytes bytes = fileBytes(path);
    return std::string(bytes.begin(), bytes.end());
}

}  // namespace editor_test
