#include "editor/id_report.hpp"

#include "editor/anime_fields.hpp"
#include "shell/number_text.hpp"
#include "shell/text_encoding.hpp"

#include <span>

namespace editor {
namespace {

constexpr std::string_view kLineEnd = "\r\n";

// Labels of the report (UTF-8 here, Shift-JIS in the report).
constexpr std::string_view kStandingLabel = "立ち絵（防御時のグラフィック）";
constexpr std::string_view kUnitAnimeLabel = "ユニットアニメ";
constexpr std::string_view kSpriteSection = " スプライト";
constexpr std::string_view kBGMapSection = " BGTileMap";
constexpr std::string_view kPalletSection = " パレット";
constexpr std::string_view kMotionSection = " 動きとパーツ描画ルーチン";
constexpr std::string_view kShadowSection = " 影とシステムアニメ位置設定ルーチン";
constexpr std::string_view kCutinSection = " カットインやスクロール等設定ルーチン";

// The file-name stems the references name ("[Pallet" with a capital P, as the report always had).
constexpr std::string_view kSpriteStem = "sprite";
constexpr std::string_view kPalletStem = "Pallet";
constexpr std::string_view kMotionStem = "motion";
constexpr std::string_view kShadowStem = "shadow";
constexpr std::string_view kCutinStem = "cutin";
// The set holds at most one BG map, in a file without a number.
constexpr std::string_view kBGMapFileReference = "[bgmap.dat]";

// "[stem" i ".dat]" for the first position i of `id` among `ids`, or nothing.
std::string fileOf(std::uint16_t id, std::span<const std::uint16_t> ids, std::string_view stem)
{
    for (std::size_t i = 0; i < ids.size(); ++i) {
        if (ids[i] == id) {
            std::string name = "[";
            name += stem;
            name += std::to_string(i);
            name += ".dat]";
            return name;
        }
    }
    return {};
}

class ReportWriter {
public:
    void label(std::string_view utf8) { line(shell::utf8ToSjis(utf8)); }

    void line(const std::string& sjis)
    {
        text_ += sjis;
        text_ += kLineEnd;
    }

    // "   ID:", the hexadecimal ID and the file that holds the item, if any.
    void reference(std::uint16_t id, const std::string& file)
    {
        line("   ID:" + shell::hexText(id) + file);
    }

    template <class Fields>
    void references(const Fields& fields, std::span<const std::uint16_t> ids, std::string_view stem)
    {
        for (const std::uint16_t* field : fields)
            reference(*field, fileOf(*field, ids, stem));
    }

    std::string take() { return std::move(text_); }

private:
    std::string text_;
};

}  // namespace

std::string decodeEditorName(const rom::GameName& field, const rom::CharacterTable& table)
{
    return rom::DecodeGameText(field, field.size(), table, rom::AbsentCodeRule::FirstTableBytes);
}

std::string BuildIdReport(const UnitDataSet& set, const rom::CharacterTable& table)
{
    const std::span<const std::uint16_t> sprites = std::span(set.wIdSprite).first(set.bNumSprite);
    const std::span<const std::uint16_t> pallets = std::span(set.wIdPallet).first(set.bNumPallet);
    const std::span<const std::uint16_t> motions =
        std::span(set.wIdMotionPart).first(set.bNumMotionPart);
    const std::span<const std::uint16_t> shadows =
        std::span(set.wIdShadowEtc).first(set.bNumShadowEtc);
    const std::span<const std::uint16_t> cutins =
        std::span(set.wIdCutinScroll).first(set.bNumCutinScroll);
    const rom::UNIT_ANIME_HEADER& anime = set.anime;

    ReportWriter report;
    report.line(decodeEditorName(set.unit.bUnitName, table));
    report.label(kStandingLabel);
    report.label(kSpriteSection);
    report.reference(anime.wIdSpriteBG, fileOf(anime.wIdSpriteBG, sprites, kSpriteStem));
    report.label(kBGMapSection);
    // The BG map file holds the set's one BG map; 0xFFFF and 0xFFFE name none.
    const bool bgMapFile = set.hasBGMap() && anime.wIdBGMap == set.wIdBGMap;
    report.reference(anime.wIdBGMap, std::string(bgMapFile ? kBGMapFileReference : ""));

    report.label(kUnitAnimeLabel);
    report.label(kSpriteSection);
    report.references(unitMotionSprites(anime), sprites, kSpriteStem);
    report.label(kPalletSection);
    report.references(unitMotionPallets(anime), pallets, kPalletStem);
    report.label(kMotionSection);
    report.references(unitMotionParts(anime), motions, kMotionStem);
    report.label(kShadowSection);
    report.references(unitShadowEtcs(anime), shadows, kShadowStem);
    report.label(kCutinSection);
    report.references(unitCutinScrolls(anime), cutins, kCutinStem);

    for (std::size_t k = 0; k < set.bNumFixedWeapon && k < kMaxFixedWeapons; ++k) {
        const rom::FIXED_ANIME_HEADER& weapon = set.weaponAnimes[k];
        report.line(decodeEditorName(set.weapons[k].bWeaponName, table));
        report.label(kSpriteSection);
        report.references(weaponSprites(weapon), sprites, kSpriteStem);
        report.label(kPalletSection);
        report.references(weaponPallets(weapon), pallets, kPalletStem);
        report.label(kMotionSection);
        report.references(weaponMotionParts(weapon), motions, kMotionStem);
        report.label(kShadowSection);
        report.references(weaponShadowEtcs(weapon), shadows, kShadowStem);
        report.label(kCutinSection);
        report.references(weaponCutinScrolls(weapon), cutins, kCutinStem);
    }
    return report.take();
}

}  // namespace editor
