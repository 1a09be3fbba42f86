#include "tests/support/demo_plans.hpp"

namespace synthetic::demo {
namespace {

using layout::Table;

constexpr std::uint16_t kLastWeapon = layout::kLastWeaponId;  // 0x289, a real weapon
constexpr std::uint16_t kFirstNonWeapon = kLastWeapon + 1;    // 0x28A, an empty slot
constexpr std::uint16_t kNone = layout::kNoId;

}  // namespace

const ScenarioPlan& planA() {
  static const ScenarioPlan plan{
      0xA11CE,
      {{Table::Sprite, 0, 2},
       {Table::Pallet, 1, 2},
       {Table::BGMap, 3, 3},
       {Table::MotionPart, 0, 2},
       {Table::ShadowEtc, 5, 2},
       {Table::CutinScroll, 2, 3},
       {Table::GraphicDifinition, 4, 2},
       {Table::SystemAnime, 10, 3},
       {Table::UnitCutin, 1, 2},
       {Table::IconData, 2, 3}},
      1,
      {
          {.id = 0x000, .name = "ビーム砲"},
          {.id = 0x001, .name = "ビーム剣", .spriteOf = 0x000},
          {.id = 0x002, .name = "バルカン"},
          {.id = 0x003, .name = "ミサイル"},
          {.id = 0x010, .name = "光線銃"},
          {.id = 0x011, .name = "斬艦剣", .motionOf = 0x001},
          {.id = 0x100, .name = "ハイパーバズーカ"},
          {.id = 0x150, .name = "ヒートロッド"},
          {.id = 0x151, .name = "ショットガン"},
          {.id = 0x200, .name = "メガビーム砲"},
          {.id = 0x288, .name = "ドリルアタック"},
          {.id = kLastWeapon, .name = "ファイナルアタック", .firstGroupOnly = true},
      },
      {
          {.id = 0x00,
           .name = "ガルディオン",
           .slots = {0x000, 0x001, 0x002},
           .groups = 4,
           .group4RepeatsGroup1 = true,
           .pallet1IsFirstWeaponPallet13 = true},
          {.id = 0x01,
           .name = "ガルディオン改",
           .slots = {0x000, 0x001, 0x011, kFirstNonWeapon},
           .bgMap = BGMapUse::NoneFFFE},
          {.id = 0x02,
           .name = "ヴァルキリー",
           .slots = {0x003, 0x010},
           .pallet2_1IsBgPalletOf = 0x00},
          {.id = 0x05, .name = "ＸＡ０１", .slots = {kLastWeapon, kNone, kFirstNonWeapon, 0x002}},
          {.id = 0x2A, .name = "シュヴァルツ", .slots = {0x100, 0x150, 0x100}},
          {.id = 0x40, .name = "ベルセルク", .slots = {0x151, 0x003}},
          {.id = 0x55, .name = "アルテミス", .bgMap = BGMapUse::NoneFFFF, .groups = 2},
          {.id = 0x7F, .name = "ネメシス重撃型", .slots = {0x200, 0x288, kLastWeapon}},
          {.id = 0x90, .name = "フェンリル", .slots = {0x010, 0x011}},
          {.id = 0x95, .name = "ミストラル", .slots = {0x150, 0x151}, .groups = 8},
      },
  };
  return plan;
}

const ScenarioPlan& planB() {
  static const ScenarioPlan plan{
      0xB0B,
      {{Table::Sprite, 1, 3},
       {Table::Pallet, 0, 2},
       {Table::BGMap, 0, 2},
       {Table::MotionPart, 7, 3},
       {Table::ShadowEtc, 0, 3},
       {Table::CutinScroll, 0, 2},
       {Table::GraphicDifinition, 2, 3},
       {Table::SystemAnime, 0, 2},
       {Table::UnitCutin, 0, 3},
       {Table::IconData, 5, 2}},
      3,
      {
          {.id = 0x005, .name = "レールガン"},
          {.id = 0x006, .name = "ビームサーベル"},
          {.id = 0x020, .name = "ガトリング"},
          {.id = 0x021, .name = "ロケットランチャー", .motionOf = 0x005},
          {.id = 0x0FF, .name = "ハンマー"},
          {.id = 0x180, .name = "ブレード"},
          {.id = 0x181, .name = "ライフル", .spriteOf = 0x180},
          {.id = 0x250, .name = "ツインビーム砲"},
          {.id = 0x287, .name = "メガ光線砲"},
          {.id = kLastWeapon, .name = "オメガブラスター", .firstGroupOnly = true},
      },
      {
          {.id = 0x00,
           .name = "アークライト",
           .slots = {0x005, 0x006},
           .bgMap = BGMapUse::NoneFFFF},
          {.id = 0x03,
           .name = "ドミナス",
           .slots = {0x005, 0x020, 0x021},
           .groups = 4,
           .group4RepeatsGroup1 = true,
           .pallet1IsFirstWeaponPallet13 = true},
          {.id = 0x04, .name = "ストラトス", .slots = {0x0FF}, .bgMap = BGMapUse::NoneFFFE},
          {.id = 0x07, .name = "イグニス", .slots = {0x180, 0x181, kLastWeapon}},
          {.id = 0x10, .name = "バスターク改", .slots = {0x250, kNone, 0x287}},
          {.id = 0x2A,
           .name = "デュアリス",
           .slots = {kFirstNonWeapon, 0x006},
           .pallet2_1IsBgPalletOf = 0x00},
          {.id = 0x60, .name = "ブリッツェン", .slots = {0x181, 0x181}},
          {.id = 0x80, .name = "フリーゲン", .groups = 8},
          {.id = 0x94, .name = "ジャスター", .slots = {0x020, 0x250}},
          {.id = 0x95, .name = "プロキオン", .slots = {kLastWeapon, 0x0FF}, .groups = 2},
      },
  };
  return plan;
}

}  // namespace synthetic::demo
