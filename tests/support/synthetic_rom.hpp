// RomBuilder: writes synthetic ROM images of the game from the record layouts alone.
//
// A new builder holds a zero-filled image (16 MiB by default) in the unextended layout: the game
// code "KX4M" at 0xAC, each of the 24 directory locators holding the GBA pointer of its table, and
// every code reference of the ten extendable tables holding that table's pointer too. All table
// entries start zero (empty).
//
// Fixed-size records are written at table offset + ID x record size. Variable-length data
// (LZ77 streams, palettes, routines) goes into the data area (layout::kDataAreaBegin up to
// layout::kDataAreaEnd) through a bump cursor, 4-byte aligned, and the pointer-table entry of the
// ID is set to it. Everything placed is written exactly as given and recorded in placements(), so
// tests can compare measured lengths and offsets with what was written.
//
// Faults in the use of the builder (an ID outside its table, a name too long, a full data area, a
// write past the image) throw std::invalid_argument, std::out_of_range or std::length_error.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <span>
#include <type_traits>
#include <utility>
#include <vector>

#include "tests/support/le_bytes.hpp"
#include "tests/support/record_descriptions.hpp"
#include "tests/support/rom_layout.hpp"

namespace synthetic {

// A run of bytes placed in the image.
struct Placed {
  std::uint32_t offset = 0;
  std::uint32_t length = 0;
};

struct PlacedMotionPart {
  std::uint32_t header = 0;
  std::uint32_t partTable = 0;
  std::vector<Placed> parts;  // the command streams, in part order
  Placed keyBlock;            // {0, 0} when the header's key block pointer is 0
};

struct PlacedShadowEtc {
  std::uint32_t header = 0;
  std::uint32_t list = 0;
  std::vector<Placed> streams;  // in mask bit order
};

struct PlacedCutinScroll {
  std::uint32_t header = 0;
  Placed commands;
};

// What the variable-length setters placed, by ID (the latest placement of an ID wins).
struct Placements {
  std::map<std::uint16_t, Placed> sprites;
  std::map<std::uint16_t, Placed> pallets;
  std::map<std::uint16_t, Placed> bgMaps;  // the LZ77 map data behind the BG map header
  std::map<std::uint16_t, PlacedMotionPart> motionParts;
  std::map<std::uint16_t, PlacedShadowEtc> shadowEtcs;
  std::map<std::uint16_t, PlacedCutinScroll> cutinScrolls;
};

class RomBuilder {
 public:
  // `size` must be at least layout::kMinimumImageSize.
  explicit RomBuilder(std::size_t size = layout::kDefaultImageSize);

  const Bytes& image() const { return image_; }
  // Hands the image over, as Bytes or as another vector of bytes (one with its own allocator,
  // say); the builder is spent afterwards.
  template <typename Buffer = Bytes>
  Buffer take() {
    if constexpr (std::is_same_v<Buffer, Bytes>) {
      return std::move(image_);
    } else {
      Buffer buffer(image_.begin(), image_.end());
      Bytes().swap(image_);
      return buffer;
    }
  }
  const Placements& placements() const { return placements_; }

  // Fixed-size records, by ID.
  void setUnit(std::uint16_t id, const UnitSpec& spec);
  void setEmptyUnit(std::uint16_t id);  // as a deleted unit: zeros, no weapons, the marker name
  void setWeapon(std::uint16_t id, const WeaponSpec& spec);
  void setEmptyWeapon(std::uint16_t id);  // zeros and the marker name
  void setUnitAnimeHeader(std::uint16_t unit, const UnitAnimeSpec& spec);
  void setFixedAnimeHeader(std::uint16_t weapon, const FixedAnimeSpec& spec);
  // Note: in the real layout SystemAnime 119 shares its bytes with GraphicDifinition 0 and 1.
  void setSystemAnime(std::uint16_t id, const SystemAnimeSpec& spec);
  void setGraphicDifinition(std::uint16_t id, const GraphicDifinitionSpec& spec);
  void setUnitCutin(std::uint16_t id, const UnitCutinSpec& spec);
  void setIcon(std::uint16_t id, std::span<const std::uint8_t> image);  // exactly 384 bytes
  void setUnitIcon(std::uint16_t unit, std::uint16_t icon);

  // Variable-length data: placed in the data area, the ID's entry pointing at it. Each returns
  // the ROM offset of the data (of the header, for routines).
  std::uint32_t setSprite(std::uint16_t id, std::span<const std::uint8_t> lz77Stream);
  std::uint32_t setPallet(std::uint16_t id, std::span<const std::uint8_t> colours);
  // Writes the 8-byte BG map header (pointer, wSize, wParam1) and places the stream.
  std::uint32_t setBGMap(std::uint16_t id, std::uint16_t wSize, std::uint16_t wParam1,
                         std::span<const std::uint8_t> lz77Stream);
  // Layout: header, part table, each part stream, key block. Every part stream is followed by at
  // least two zero bytes: the part stream walk looks at the two bytes behind a stream that ends
  // at its limit, and zeros there can never read as the FF 00 end mark.
  PlacedMotionPart setMotionPart(std::uint16_t id, const MotionPartSpec& spec);
  // Layout: header, pointer list, each stream (with the same two-byte zero guard).
  PlacedShadowEtc setShadowEtc(std::uint16_t id, const ShadowEtcSpec& spec);
  // Layout: header, commands.
  PlacedCutinScroll setCutinScroll(std::uint16_t id, const CutinScrollSpec& spec);

  // Raw access for hostile input.
  void putU8(std::uint32_t offset, std::uint8_t value);
  void putU16(std::uint32_t offset, std::uint16_t value);
  void putU32(std::uint32_t offset, std::uint32_t value);
  void putBytes(std::uint32_t offset, std::span<const std::uint8_t> bytes);
  // Places bytes in the data area, followed by `zeroGuard` untouched zero bytes, and returns
  // their offset. The next placement starts at the next aligned offset after the guard.
  std::uint32_t allocate(std::span<const std::uint8_t> bytes, std::uint32_t zeroGuard = 0);
  std::uint32_t dataCursor() const { return cursor_; }

 private:
  void writeRecord(layout::Table table, std::uint16_t id, std::uint16_t lastId,
                   const Bytes& record);
  void setPointerEntry(layout::Table table, std::uint16_t id, std::uint32_t romOffset);

  Bytes image_;
  std::uint32_t cursor_ = layout::kDataAreaBegin;
  Placements placements_;
};

// The GBA pointer of a ROM offset.
constexpr std::uint32_t gbaPointer(std::uint32_t romOffset) { return romOffset + layout::kGbaBase; }

// The last valid ID of a table in an unextended image.
std::uint16_t lastId(layout::Table table);

}  // namespace synthetic
