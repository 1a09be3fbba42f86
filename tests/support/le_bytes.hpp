// Little-endian reads and writes on plain byte vectors, bounds-checked (a test support fault
// should fail loudly, not corrupt memory).
#pragma once

#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <vector>

namespace synthetic {

using Bytes = std::vector<std::uint8_t>;

namespace detail {
inline void requireRange(const Bytes& bytes, std::size_t offset, std::size_t width) {
  if (offset > bytes.size() || bytes.size() - offset < width) {
    throw std::out_of_range("synthetic: access past the end of a byte buffer");
  }
}
}  // namespace detail

inline void putU8(Bytes& bytes, std::size_t offset, std::uint8_t value) {
  detail::requireRange(bytes, offset, 1);
  bytes[offset] = value;
}

inline void putU16(Bytes& bytes, std::size_t offset, std::uint16_t value) {
  detail::requireRange(bytes, offset, 2);
  bytes[offset] = static_cast<std::uint8_t>(value);
  bytes[offset + 1] = static_cast<std::uint8_t>(value >> 8);
}

inline void putU32(Bytes& bytes, std::size_t offset, std::uint32_t value) {
  detail::requireRange(bytes, offset, 4);
  for (std::size_t i = 0; i < 4; ++i) {
    bytes[offset + i] = static_cast<std::uint8_t>(value >> (8 * i));
  }
}

inline std::uint16_t getU16(const Bytes& bytes, std::size_t offset) {
  detail::requireRange(bytes, offset, 2);
  return static_cast<std::uint16_t>(bytes[offset] | (bytes[offset + 1] << 8));
}

inline std::uint32_t getU32(const Bytes& bytes, std::size_t offset) {
  detail::requireRange(bytes, offset, 4);
  std::uint32_t value = 0;
  for (std::size_t i = 0; i < 4; ++i) {
    value |= std::uint32_t{bytes[offset + i]} << (8 * i);
  }
  return value;
}

}  // namespace synthetic
