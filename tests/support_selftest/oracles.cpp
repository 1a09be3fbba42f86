#include "tests/support_selftest/oracles.hpp"

#include <algorithm>
#include <array>
#include <bit>

#include "tests/support/demo_streams.hpp"
#include "tests/support/rom_layout.hpp"

namespace synthetic::oracle {
namespace {
namespace Z = layout::lz77;
namespace P = layout::partStream;
namespace K = layout::keyBlock;
}  // namespace

std::size_t lz77Length(const Bytes& bytes, std::size_t at) {
  const std::uint32_t size = getU32(bytes, at) >> 8;
  std::size_t position = Z::kHeaderSize;
  std::size_t decoded = 0;
  do {
    const std::uint8_t flags = bytes.at(at + position++);
    for (std::size_t item = 0; item < Z::kItemsPerGroup; ++item) {
      if (flags & (Z::kFirstItemFlag >> item)) {
        decoded += (bytes.at(at + position) >> Z::kLengthShift) + Z::kMinMatch;
        position += 2;
      } else {
        decoded += 1;
        position += 1;
      }
    }
  } while (decoded < size);
  return position;
}

std::size_t partStreamLength(const Bytes& bytes, std::size_t at, std::uint16_t limit) {
  std::size_t p = 0;
  std::uint16_t total = 0;
  std::uint8_t repeats = 0;
  std::uint8_t factor = 0;
  const auto byte = [&](std::size_t offset) { return bytes.at(at + offset); };
  while (true) {
    std::uint8_t duration = 0;
    std::uint8_t flags = 0;
    if (byte(p) & P::kShortForm) {
      flags = byte(p) & P::kShortFlagsMask;
      duration =
          static_cast<std::uint8_t>((byte(p) & P::kShortDurationMask) >> P::kShortDurationShift);
      p += 1;
    } else {
      duration = byte(p);
      flags = byte(p + 1);
      p += 2;
    }
    if (repeats == 0) {
      total = static_cast<std::uint16_t>(total + duration);
    } else {
      total = static_cast<std::uint16_t>(total + duration * factor);
      --repeats;
    }
    if (duration != 0) {
      p += operandBytes(flags);
    } else if (flags == P::kControlRepeatPair) {
      repeats = byte(p);
      factor = byte(p + 1);
      p += 2;
    } else if (flags == P::kControlRepeatPacked) {
      repeats = static_cast<std::uint8_t>(byte(p) >> P::kPackedCountShift);
      factor = byte(p) & P::kLowNibble;
      p += 1;
    }
    if (byte(p) == P::kEndMark[0] && byte(p + 1) == P::kEndMark[1]) {
      return p + 2;
    }
    if (total >= limit && repeats == 0) {
      return p;
    }
  }
}

std::size_t keyBlockLength(const Bytes& bytes, std::size_t at, std::uint16_t totalFrames) {
  std::uint16_t p = 0;
  std::uint32_t previous = 0;
  std::array<std::uint8_t, K::kRegisters> masks{};
  const auto byte = [&](std::size_t offset) { return bytes.at(at + offset); };
  for (std::size_t entry = 0; entry < K::kMaxEntries; ++entry) {
    const std::uint8_t a = byte(p);
    const std::uint8_t y = byte(p + 1u);
    p = static_cast<std::uint16_t>(p + 2);
    if ((a == K::kEndOnes[0] && y == K::kEndOnes[1]) ||
        (a == K::kEndZeros[0] && y == K::kEndZeros[1])) {
      return p;
    }
    const std::uint32_t index = (a & K::kIndexHighMask) * 256u + y;
    if (index > totalFrames || index < previous) {
      return p;
    }
    previous = index;
    const std::uint32_t records = std::max<std::uint32_t>(a >> K::kRecordCountShift, 1);
    for (std::uint32_t record = 0; record < records; ++record) {
      const std::uint8_t e = byte(p++);
      if (e & K::kSkipByte) {
        ++p;
      }
      const std::uint8_t reg = e & K::kRegisterMask;
      if (!(e & K::kKeepMask)) {
        masks[reg] = byte(p++);
      }
      p = static_cast<std::uint16_t>(p + std::popcount(masks[reg]));
    }
  }
  return p;
}

Lz77Decoded lz77Decode(const Bytes& stream) {
  const std::uint32_t size = getU32(stream, 0) >> 8;
  Lz77Decoded decoded;
  std::size_t position = Z::kHeaderSize;
  while (decoded.output.size() < size) {
    const std::uint8_t flags = stream.at(position++);
    for (std::size_t item = 0; item < Z::kItemsPerGroup && decoded.output.size() < size; ++item) {
      if (flags & (Z::kFirstItemFlag >> item)) {
        const std::uint8_t b0 = stream.at(position);
        const std::uint8_t b1 = stream.at(position + 1);
        position += 2;
        const std::size_t length = (b0 >> Z::kLengthShift) + Z::kMinMatch;
        const std::size_t distance = ((b0 & 0x0Fu) << 8 | b1) + 1u;
        decoded.output.at(decoded.output.size() - distance);  // a source before the start throws
        for (std::size_t i = 0; i < length; ++i) {
          decoded.output.push_back(decoded.output[decoded.output.size() - distance]);
        }
        ++decoded.backReferences;
      } else {
        decoded.output.push_back(stream.at(position++));
      }
    }
  }
  decoded.output.resize(size);
  return decoded;
}

}  // namespace synthetic::oracle
