#pragma once
// The cartridge is mapped at 0x08000000: a pointer stored in the ROM is the file offset plus that
// base.

#include <cstdint>

namespace rom {

inline constexpr std::uint32_t kGbaRomBase = 0x08000000;

// The file offset a stored pointer names. Pointers below the base wrap to offsets far beyond any
// image, so a bounds check on the result rejects them.
constexpr std::uint32_t romOffsetOf(std::uint32_t gbaPointer)
{
    return gbaPointer - kGbaRomBase;
}

constexpr std::uint32_t gbaPointerOf(std::uint32_t romOffset)
{
    return romOffset + kGbaRomBase;
}

}  // namespace rom
