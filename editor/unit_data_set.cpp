#include "editor/unit_data_set.hpp"

namespace editor {

void UnitDataSet::releaseBuffers()
{
    bgMap.data = Bytes();
    for (SpriteEntry& sprite : sprites)
        sprite = SpriteEntry();
    for (PalletGroup& group : pallets)
        group = PalletGroup();
    icon.reset();
    for (MotionPartRoutine& routine : motionParts)
        routine = MotionPartRoutine();
    for (ShadowEtcRoutine& routine : shadowEtcs)
        routine = ShadowEtcRoutine();
    for (CutinScrollRoutine& routine : cutinScrolls)
        routine = CutinScrollRoutine();
}

UnitIdSet CollectUnitIds(const UnitDataSet& set)
{
    UnitIdSet ids;
    ids.unit.append(set.wUnitID);
    if (set.wIdIcon != kNoId)
        ids.icon.append(set.wIdIcon);
    for (std::size_t i = 0; i < set.bNumFixedWeapon && i < kMaxFixedWeapons; ++i)
        ids.fixedWeapon.append(set.wIdFixedWeapon[i]);
    if (set.hasBGMap())
        ids.bgMap.append(set.wIdBGMap);
    for (std::size_t i = 0; i < set.bNumSprite && i < kMaxSprites; ++i)
        ids.sprite.append(set.wIdSprite[i]);
    for (std::size_t i = 0; i < set.bNumPallet && i < kMaxPalletGroups; ++i)
        ids.pallet.append(set.wIdPallet[i]);
    for (std::size_t i = 0; i < set.bNumMotionPart && i < kMaxRoutines; ++i)
        ids.motionPart.append(set.wIdMotionPart[i]);
    for (std::size_t i = 0; i < set.bNumShadowEtc && i < kMaxRoutines; ++i)
        ids.shadowEtc.append(set.wIdShadowEtc[i]);
    for (std::size_t i = 0; i < set.bNumCutinScroll && i < kMaxRoutines; ++i)
        ids.cutinScroll.append(set.wIdCutinScroll[i]);
    return ids;
}

}  // namespace editor
