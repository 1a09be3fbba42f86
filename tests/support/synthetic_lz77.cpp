#include "tests/support/synthetic_lz77.hpp"

#include <algorithm>
#include <cstddef>
#include <random>
#include <stdexcept>
#include <vector>

#include "tests/support/rom_layout.hpp"

namespace synthetic {
namespace {

namespace Z = layout::lz77;

constexpr std::size_t kHashBits = 12;
constexpr std::size_t kChainDepth = 256;  // candidates tried per position
constexpr std::ptrdiff_t kNone = -1;

// Hash chains over 3-byte prefixes: for each position, the previous position with the same hash.
class MatchFinder {
 public:
  explicit MatchFinder(std::span<const std::uint8_t> raw)
      : raw_(raw), head_(std::size_t{1} << kHashBits, kNone), previous_(raw.size(), kNone) {}

  void insert(std::size_t position) {
    if (position + Z::kMinMatch > raw_.size()) {
      return;
    }
    const std::size_t h = hash(position);
    previous_[position] = head_[h];
    head_[h] = static_cast<std::ptrdiff_t>(position);
  }

  struct Match {
    std::size_t length = 0;
    std::size_t distance = 0;
  };

  // The longest earlier match within the window; copies may overlap the current position.
  Match longest(std::size_t position) const {
    Match best;
    if (position + Z::kMinMatch > raw_.size()) {
      return best;
    }
    const std::size_t limit = std::min(Z::kMaxMatch, raw_.size() - position);
    std::ptrdiff_t candidate = head_[hash(position)];
    for (std::size_t tried = 0; candidate != kNone && tried < kChainDepth; ++tried) {
      const auto from = static_cast<std::size_t>(candidate);
      if (position - from > Z::kWindow) {
        break;
      }
      std::size_t length = 0;
      while (length < limit && raw_[from + length] == raw_[position + length]) {
        ++length;
      }
      if (length > best.length) {
        best = {length, position - from};
        if (length == limit) {
          break;
        }
      }
      candidate = previous_[from];
    }
    return best;
  }

 private:
  std::size_t hash(std::size_t position) const {
    const std::size_t mixed = (std::size_t{raw_[position]} << 8) ^
                              (std::size_t{raw_[position + 1]} << 4) ^ raw_[position + 2];
    return (mixed * 2654435761u >> 7) & ((std::size_t{1} << kHashBits) - 1);
  }

  std::span<const std::uint8_t> raw_;
  std::vector<std::ptrdiff_t> head_;
  std::vector<std::ptrdiff_t> previous_;
};

}  // namespace

Bytes compressLz77(std::span<const std::uint8_t> raw) {
  if (raw.size() > Z::kMaxRawSize) {
    throw std::invalid_argument("synthetic: LZ77 input larger than the 24-bit size field");
  }
  const auto size = static_cast<std::uint32_t>(raw.size());
  Bytes out{Z::kType, static_cast<std::uint8_t>(size), static_cast<std::uint8_t>(size >> 8),
            static_cast<std::uint8_t>(size >> 16)};
  MatchFinder finder(raw);
  std::size_t position = 0;
  do {
    const std::size_t flagIndex = out.size();
    out.push_back(0);
    for (std::size_t item = 0; item < Z::kItemsPerGroup; ++item) {
      if (position >= raw.size()) {
        out.push_back(0);  // a literal that only completes the group
        continue;
      }
      const MatchFinder::Match match = finder.longest(position);
      if (match.length >= Z::kMinMatch) {
        const std::size_t lengthCode = match.length - Z::kMinMatch;
        const std::size_t distanceCode = match.distance - 1;
        out[flagIndex] = static_cast<std::uint8_t>(out[flagIndex] | (Z::kFirstItemFlag >> item));
        out.push_back(static_cast<std::uint8_t>(lengthCode << Z::kLengthShift | distanceCode >> 8));
        out.push_back(static_cast<std::uint8_t>(distanceCode));
        for (std::size_t i = 0; i < match.length; ++i) {
          finder.insert(position + i);
        }
        position += match.length;
      } else {
        out.push_back(raw[position]);
        finder.insert(position);
        ++position;
      }
    }
  } while (position < raw.size());
  return out;
}

Bytes sheetLikeBytes(std::size_t size, unsigned seed)
{
    std::mt19937 random(seed);
    Bytes raw(size);
    for (std::size_t i = 0; i < size;) {
        const std::size_t run = 1 + random() % 24;
        const auto value = static_cast<std::uint8_t>((random() % 4) * 0x11);
        for (std::size_t k = 0; k < run && i < size; ++k, ++i)
            raw[i] = random() % 8 == 0 ? static_cast<std::uint8_t>(random()) : value;
        if (i > 64 && random() % 5 == 0) {
            const std::size_t from = i - 32 * (1 + random() % 2);
            for (std::size_t k = 0; k < 32 && i < size; ++k, ++i)
                raw[i] = raw[from + k];
        }
    }
    return raw;
}

}  // namespace synthetic
