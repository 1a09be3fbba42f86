#include "tests/support/demo_streams.hpp"

#include <algorithm>
#include <array>
#include <bit>
#include <stdexcept>

#include "tests/support/rom_layout.hpp"

namespace synthetic {
namespace {

namespace P = layout::partStream;
namespace K = layout::keyBlock;

// Flags of long-form commands, chosen to exercise every operand rule.
constexpr std::array<std::uint8_t, 16> kLongFlags{0x00, 0x01, 0x03, 0x05, 0x07, 0x0A, 0x0B, 0x0C,
                                                  0x10, 0x15, 0x20, 0x40, 0x60, 0x80, 0xA0, 0xF0};
// Flags of zero-duration commands that are no control code.
constexpr std::array<std::uint8_t, 4> kIdleFlags{0x00, 0x0C, 0x30, 0x0F};
// Masks that key block records load.
constexpr std::array<std::uint8_t, 6> kKeyMasks{0x00, 0x01, 0x03, 0x05, 0x11, 0x80};

void appendRandom(Bytes& out, std::uint32_t count, Prng& rng) {
  for (std::uint32_t i = 0; i < count; ++i) {
    out.push_back(rng.byte());
  }
}

// Tracks the walk state while a stream is generated.
class StreamWriter {
 public:
  explicit StreamWriter(std::uint32_t seed) : rng_(seed) {}

  std::uint32_t total() const { return total_; }
  bool repeating() const { return repeatCount_ != 0; }
  std::uint32_t multiplier() const { return repeating() ? repeatFactor_ : 1; }
  Prng& rng() { return rng_; }

  void repeatControl() {
    const auto count = static_cast<std::uint8_t>(rng_.between(1, 3));
    const auto factor = static_cast<std::uint8_t>(rng_.between(2, 4));
    const bool shortForm = rng_.between(0, 1) == 1;
    if (rng_.between(0, 1) == 1) {
      push(shortForm, P::kControlRepeatPair);
      out_.push_back(count);
      out_.push_back(factor);
    } else {
      push(shortForm, P::kControlRepeatPacked);
      out_.push_back(static_cast<std::uint8_t>(count << P::kPackedCountShift | factor));
    }
    repeatCount_ = count;
    repeatFactor_ = factor;
  }

  void idle() {
    const std::uint8_t flags = kIdleFlags[rng_.between(0, kIdleFlags.size() - 1)];
    push(rng_.between(0, 1) == 1, flags);
    addFrames(0);
  }

  void frames(std::uint32_t duration) {
    std::uint8_t flags = 0;
    if (duration <= (P::kShortDurationMask >> P::kShortDurationShift) && rng_.between(0, 1) == 1) {
      flags = static_cast<std::uint8_t>(rng_.between(0, P::kShortFlagsMask));
      if ((P::kShortForm | duration << P::kShortDurationShift | flags) == P::kEndMark[0]) {
        --flags;  // a first byte of FF could read as the end mark
      }
      out_.push_back(
          static_cast<std::uint8_t>(P::kShortForm | duration << P::kShortDurationShift | flags));
    } else {
      flags = kLongFlags[rng_.between(0, kLongFlags.size() - 1)];
      out_.push_back(static_cast<std::uint8_t>(duration));
      out_.push_back(flags);
    }
    appendRandom(out_, operandBytes(flags), rng_);
    addFrames(duration);
  }

  Bytes finish(bool endMark) {
    if (endMark) {
      out_.insert(out_.end(), P::kEndMark.begin(), P::kEndMark.end());
    }
    return out_;
  }

 private:
  // A zero-duration command with `flags`, in short or long form.
  void push(bool shortForm, std::uint8_t flags) {
    if (shortForm && flags <= P::kShortFlagsMask) {
      out_.push_back(static_cast<std::uint8_t>(P::kShortForm | flags));
    } else {
      out_.push_back(0);
      out_.push_back(flags);
    }
  }

  void addFrames(std::uint32_t duration) {
    if (repeatCount_ == 0) {
      total_ += duration;
    } else {
      total_ += duration * repeatFactor_;
      --repeatCount_;
    }
  }

  Prng rng_;
  Bytes out_;
  std::uint32_t total_ = 0;
  std::uint8_t repeatCount_ = 0;
  std::uint8_t repeatFactor_ = 0;
};

}  // namespace

std::uint32_t Prng::next() {
  state_ ^= state_ << 13;
  state_ ^= state_ >> 17;
  state_ ^= state_ << 5;
  return state_;
}

std::uint32_t Prng::between(std::uint32_t low, std::uint32_t high) {
  return low + next() % (high - low + 1);
}

std::uint32_t operandBytes(std::uint8_t g) {
  std::uint32_t count = 0;
  const std::uint8_t code = g & P::kLowNibble;
  if (code == P::kOneOperandCode) {
    count = 1;
  } else if (std::find(P::kNoOperandCodes.begin(), P::kNoOperandCodes.end(), code) ==
             P::kNoOperandCodes.end()) {
    for (std::size_t bit = 0; bit < P::kLowBitOperands.size(); ++bit) {
      if (g & (1u << bit)) {
        count += P::kLowBitOperands[bit];
      }
    }
  }
  if (g & P::kBit4) count += 2;
  if ((g & P::kBit5) && !(g & P::kBit7)) count += 2;
  if (g & P::kBit6) count += 1;
  if ((g & P::kBit7) && (g & P::kBit5)) count += 1;
  return count;
}

Bytes makePartStream(std::uint16_t limit, StreamEnd end, std::uint32_t seed) {
  // The walk reads a first command before it looks for the end mark, so every stream needs one
  // command of at least one frame that stays below the limit.
  if (limit < 2) {
    throw std::invalid_argument("synthetic: a generated part stream needs a limit of 2 or more");
  }
  StreamWriter writer(seed);
  const bool toLimit = end == StreamEnd::Limit;
  const std::uint32_t commands = writer.rng().between(2, 7);
  for (std::uint32_t written = 0;; ++written) {
    if (toLimit ? (writer.total() >= limit && !writer.repeating())
                : (written >= commands && !writer.repeating())) {
      break;
    }
    const std::uint32_t choice = writer.rng().between(0, 9);
    if (choice == 0 && !writer.repeating()) {
      writer.repeatControl();
      continue;
    }
    if (choice == 1) {
      writer.idle();
      continue;
    }
    std::uint32_t duration = writer.rng().between(1, 24);
    if (!toLimit) {
      // The frames must stay below the limit, or the walk would stop before the end mark.
      const std::uint32_t room =
          (limit - 1 - std::min<std::uint32_t>(writer.total(), limit - 1)) / writer.multiplier();
      if (room == 0) {
        if (!writer.repeating()) {
          break;
        }
        writer.idle();
        continue;
      }
      duration = std::min(duration, room);
    }
    writer.frames(std::min<std::uint32_t>(duration, P::kLongDurationMax));
  }
  return writer.finish(!toLimit);
}

Bytes makeKeyBlock(std::uint16_t totalFrames, KeyBlockEnd end, std::uint32_t seed) {
  if (totalFrames == 0 || (end == KeyBlockEnd::IndexAboveT && totalFrames >= K::kMaxIndex)) {
    throw std::invalid_argument("synthetic: no key block for this frame count");
  }
  Prng rng(seed);
  Bytes out;
  std::array<std::uint8_t, K::kRegisters> masks{};
  const std::uint32_t highest = std::min<std::uint32_t>(totalFrames, K::kMaxIndex);
  const std::uint32_t entries = rng.between(2, 6);
  std::uint32_t index = 0;
  for (std::uint32_t entry = 0; entry < entries; ++entry) {
    index = std::min(highest, index + rng.between(0, highest / entries + 1));
    std::uint32_t records = rng.between(0, 3);
    if (records == 0 && index == 0) {
      records = 1;  // 00 00 would end the block
    }
    out.push_back(static_cast<std::uint8_t>(records << K::kRecordCountShift | index >> 8));
    out.push_back(static_cast<std::uint8_t>(index));
    for (std::uint32_t record = 0; record < std::max<std::uint32_t>(records, 1); ++record) {
      const auto reg = static_cast<std::uint8_t>(rng.between(0, K::kRegisterMask));
      const bool skip = rng.between(0, 2) == 0;
      const bool loadMask = rng.between(0, 1) == 1;
      const bool noise = rng.between(0, 3) == 0;  // a bit outside the register number
      out.push_back(static_cast<std::uint8_t>(reg | (skip ? K::kSkipByte : 0) |
                                              (loadMask ? 0 : K::kKeepMask) |
                                              (noise ? K::kRegisterMask + 1 : 0)));
      if (skip) {
        out.push_back(rng.byte());
      }
      if (loadMask) {
        masks[reg] = kKeyMasks[rng.between(0, kKeyMasks.size() - 1)];
        out.push_back(masks[reg]);
      }
      appendRandom(out, static_cast<std::uint32_t>(std::popcount(masks[reg])), rng);
    }
  }
  switch (end) {
    case KeyBlockEnd::FFFF:
      out.insert(out.end(), K::kEndOnes.begin(), K::kEndOnes.end());
      break;
    case KeyBlockEnd::Zero:
      out.insert(out.end(), K::kEndZeros.begin(), K::kEndZeros.end());
      break;
    case KeyBlockEnd::IndexAboveT: {
      const std::uint32_t above = std::uint32_t{totalFrames} + 1;
      out.push_back(static_cast<std::uint8_t>(above >> 8));
      out.push_back(static_cast<std::uint8_t>(above));
      break;
    }
  }
  return out;
}

Bytes makeSpriteSheet(std::uint32_t rows, std::uint32_t seed) {
  Prng rng(seed);
  std::array<Bytes, 4> tiles;
  for (Bytes& tile : tiles) {
    appendRandom(tile, layout::kTileBytes, rng);
  }
  Bytes sheet;
  const std::size_t size = rows * layout::kSheetRowBytes;
  while (sheet.size() < size) {
    const std::uint32_t pick = rng.between(0, 5);
    if (pick < tiles.size()) {
      sheet.insert(sheet.end(), tiles[pick].begin(), tiles[pick].end());
    } else {
      sheet.insert(sheet.end(), layout::kTileBytes, 0);  // a blank tile
    }
    if (pick == 0) {
      sheet.back() = rng.byte();  // a touch of variety
    }
  }
  sheet.resize(size);
  return sheet;
}

Bytes makeBGMapData(std::uint16_t wSize, std::uint32_t seed) {
  Prng rng(seed);
  const std::uint32_t entries = layout::bgMap::kScreenEntries.at(wSize);
  Bytes map;
  auto tile = static_cast<std::uint16_t>(rng.between(0, 0x3F));
  while (map.size() < entries * 2) {
    const std::uint32_t run = rng.between(1, 12);
    for (std::uint32_t i = 0; i < run && map.size() < entries * 2; ++i) {
      map.push_back(static_cast<std::uint8_t>(tile));
      map.push_back(static_cast<std::uint8_t>(tile >> 8));
    }
    tile = static_cast<std::uint16_t>((tile + rng.between(0, 3)) & layout::bgMap::kTileNumberMask);
  }
  return map;
}

Bytes makePalette(std::uint32_t banks, std::uint32_t seed) {
  Prng rng(seed);
  Bytes palette;
  for (std::uint32_t bank = 0; bank < banks; ++bank) {
    for (std::size_t colour = 0; colour < layout::kColoursPerBank; ++colour) {
      auto value = static_cast<std::uint16_t>(rng.next() & layout::kColourMask);
      if (bank + 1 == banks && colour == 0) {
        value = static_cast<std::uint16_t>(value | layout::kLastBankMark);
      }
      palette.push_back(static_cast<std::uint8_t>(value));
      palette.push_back(static_cast<std::uint8_t>(value >> 8));
    }
  }
  return palette;
}

Bytes makeIcon(std::uint32_t seed) {
  Prng rng(seed);
  Bytes icon;
  for (std::size_t i = 0; i < layout::kIconSize; ++i) {
    icon.push_back(static_cast<std::uint8_t>(rng.between(1, 0xFF)));
  }
  return icon;
}

}  // namespace synthetic
