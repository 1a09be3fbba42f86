#pragma once
// Little-endian access to byte buffers. The checked readers return nothing when the value does not
// lie wholly inside the buffer; the load/store forms are for spans whose size the caller has
// already checked (a record span of known size).

#include "shell/bytes.hpp"

#include <cstdint>
#include <optional>
#include <span>

namespace rom {

using shell::Bytes;
using shell::ByteSpan;
using MutableByteSpan = std::span<std::uint8_t>;

constexpr bool fits(std::size_t bufferSize, std::uint64_t offset, std::uint64_t length)
{
    return offset <= bufferSize && length <= bufferSize - offset;
}

inline std::uint16_t loadU16(ByteSpan bytes, std::size_t offset)
{
    return static_cast<std::uint16_t>(bytes[offset] | bytes[offset + 1] << 8);
}

inline std::uint32_t loadU32(ByteSpan bytes, std::size_t offset)
{
    return static_cast<std::uint32_t>(bytes[offset]) | static_cast<std::uint32_t>(bytes[offset + 1]) << 8 |
           static_cast<std::uint32_t>(bytes[offset + 2]) << 16 |
           static_cast<std::uint32_t>(bytes[offset + 3]) << 24;
}

inline void storeU16(MutableByteSpan bytes, std::size_t offset, std::uint16_t value)
{
    bytes[offset] = static_cast<std::uint8_t>(value);
    bytes[offset + 1] = static_cast<std::uint8_t>(value >> 8);
}

inline void storeU32(MutableByteSpan bytes, std::size_t offset, std::uint32_t value)
{
    for (std::size_t i = 0; i < 4; ++i)
        bytes[offset + i] = static_cast<std::uint8_t>(value >> (8 * i));
}

inline std::optional<std::uint8_t> readU8(ByteSpan bytes, std::uint64_t offset)
{
    if (!fits(bytes.size(), offset, 1))
        return std::nullopt;
    return bytes[static_cast<std::size_t>(offset)];
}

inline std::optional<std::uint16_t> readU16(ByteSpan bytes, std::uint64_t offset)
{
    if (!fits(bytes.size(), offset, 2))
        return std::nullopt;
    return loadU16(bytes, static_cast<std::size_t>(offset));
}

inline std::optional<std::uint32_t> readU32(ByteSpan bytes, std::uint64_t offset)
{
    if (!fits(bytes.size(), offset, 4))
        return std::nullopt;
    return loadU32(bytes, static_cast<std::size_t>(offset));
}

}  // namespace rom
