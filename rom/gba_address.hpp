#pragma once
// The cartridge is mapped at 0x08000000: a pointer stored in the ROM is the file offset plus that
// base.

#include <cstdint>

namespace rom {

inline constexpr std::uint32_t kGbaRomBase = 0x08000000;
// The cartridge window maps at most 32 MiB: no image may grow past it, and a value from the base
// up to its end is a pointer, never an offset.
inline constexpr std::uint32_t kCartridgeSize = 0x02000000;
inline constexpr std::uint32_t kGbaRomWindowEnd = kGbaRomBase + kCartridgeSize;

constexpr bool isGbaRomPointer(std::uint32_t value)
{
    return value >= kGbaRomBase && value < kGbaRomWindowEnd;
}

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
