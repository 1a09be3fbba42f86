#include "tests/support/walk_cases.hpp"

namespace synthetic {
namespace {

Bytes concat(std::initializer_list<Bytes> pieces) {
  Bytes all;
  for (const Bytes& piece : pieces) {
    all.insert(all.end(), piece.begin(), piece.end());
  }
  return all;
}

Bytes repeat(const Bytes& piece, std::size_t times) {
  Bytes all;
  for (std::size_t i = 0; i < times; ++i) {
    all.insert(all.end(), piece.begin(), piece.end());
  }
  return all;
}

const Bytes kEightLiterals{0x41, 0x42, 0x43, 0x44, 0x45, 0x46, 0x47, 0x48};
// After an LZ77 stream: a whole group that a walk reading one group too many would count.
const Bytes kLz77Trailer = concat({{0x00}, kEightLiterals});
// After a part stream: neither FF 00 nor a command that would end the stream by itself.
const Bytes kStreamTrailer{0x33, 0x44};

}  // namespace

std::vector<WalkCase> lz77WalkCases() {
  std::vector<WalkCase> cases;

  // Size 5 is reached at the fifth literal, but the walk counts whole groups:
  // 4 (header) + 1 (flag) + 8 (literals) = 13.
  cases.push_back({"size reached inside the first group",
                   concat({{0x10, 0x05, 0x00, 0x00, 0x00}, kEightLiterals, kLz77Trailer}), 0, 13});

  // Size 16: after group 1 the count is 8 < 16, after group 2 it is 16 >= 16 and the walk stops.
  // 4 + 9 + 9 = 22.
  cases.push_back(
      {"size reached exactly at the end of the second group",
       concat(
           {{0x10, 0x10, 0x00, 0x00, 0x00}, kEightLiterals, {0x00}, kEightLiterals, kLz77Trailer}),
       0, 22});

  // Size 20, flag 0x40: item 0 literal (count 1), item 1 back-reference F0 00 of
  // (0xF0 >> 4) + 3 = 18 bytes (count 19, two bytes), items 2..7 literals (count 25).
  // 4 + 1 + 1 + 2 + 6 = 14.
  cases.push_back(
      {"a back-reference counts (B0 >> 4) + 3 and takes two bytes",
       concat({{0x10, 0x14, 0x00, 0x00, 0x40, 0x41, 0xF0, 0x00, 0x42, 0x43, 0x44, 0x45, 0x46, 0x47},
               kLz77Trailer}),
       0, 14});

  // Size 41. Group 1: flag FF, eight back-references 2F 10 of (0x2F >> 4) + 3 = 5 bytes each
  // (the distance nibble F does not count): 40 < 41, so group 2 (flag 00, eight literals) is
  // read: 48 >= 41. 4 + (1 + 16) + (1 + 8) = 30.
  cases.push_back({"the distance nibble does not add to a back-reference's length",
                   concat({{0x10, 0x29, 0x00, 0x00, 0xFF},
                           repeat({0x2F, 0x10}, 8),
                           {0x00},
                           kEightLiterals,
                           kLz77Trailer}),
                   0, 30});

  // Size 0: the walk reads a group before it tests the size. 4 + 1 + 8 = 13.
  cases.push_back({"size zero still reads one group",
                   concat({{0x10, 0x00, 0x00, 0x00, 0x00}, kEightLiterals, kLz77Trailer}), 0, 13});

  // Header 10 00 00 01: the size is bits 8..31 of the first u32, 0x010000 = 65536. Every group is
  // flag FF and eight back-references F0 00 of 18 bytes: 144 per group, 17 bytes per group.
  // 455 groups give 65520 < 65536, 456 give 65664. 4 + 456 x 17 = 7756.
  cases.push_back({"the size field has 24 bits",
                   concat({{0x10, 0x00, 0x00, 0x01},
                           repeat(concat({{0xFF}, repeat({0xF0, 0x00}, 8)}), 456),
                           kLz77Trailer}),
                   0, 7756});
  return cases;
}

std::vector<WalkCase> partStreamWalkCases() {
  std::vector<WalkCase> cases;

  // L 100. 05 00: d 5, t 5, p 2. 03 00: d 3, t 8, p 4. The bytes at 4 are FF 00: the stream
  // ends there and the terminator counts. 4 + 2 = 6.
  cases.push_back({"FF 00 after two frames ends the stream and counts",
                   {0x05, 0x00, 0x03, 0x00, 0xFF, 0x00, 0x01, 0x00},
                   100,
                   6});

  // L 8. 05 00 (t 5, p 2), 03 00 (t 8, p 4). The bytes at 4 are 01 00, not FF 00; t = L and
  // r = 0, so the length is 4. (The FF 00 behind is never reached.)
  cases.push_back({"reaching the limit ends the stream before the next command",
                   {0x05, 0x00, 0x03, 0x00, 0x01, 0x00, 0xFF, 0x00},
                   8,
                   4});

  // L 3. 92: bit 7 set, one byte: g = 2, d = (0x92 & 0x70) >> 4 = 1; p 1, t 1; g bit 1 adds one
  // operand byte: p 2. B0: g 0, d 3; p 3, t 4 >= 3. Length 3.
  cases.push_back({"short form: g in bits 0-3, d in bits 4-6, one byte",
                   concat({{0x92, 0xAA, 0xB0}, {0x00, 0x00}}), 3, 3});

  // L 3. 02 05: d 2, g 5 -> one operand byte (not the three of bits 0 and 2): p 3, t 2.
  // 01 15: d 1, g 0x15 -> low nibble 5 gives one byte, bit 4 two more: p 3 + 2 + 3 = 8, t 3.
  // Length 8.
  cases.push_back({"g & 0x0F of 5 takes one operand byte",
                   concat({{0x02, 0x05, 0xEE, 0x01, 0x15, 0xEE, 0xEE, 0xEE}, kStreamTrailer}), 3,
                   8});

  // L 4. 01 07, 01 0A, 01 0B: low nibble 7, 10, 11 take no operand: p 2, 4, 6; t 1, 2, 3.
  // 01 17: nibble 7 takes none, bit 4 takes two: p 8 + 2 = 10, t 4. Length 10.
  cases.push_back(
      {"g & 0x0F of 7, 10 or 11 takes no operand from bits 0-3",
       concat({{0x01, 0x07, 0x01, 0x0A, 0x01, 0x0B, 0x01, 0x17, 0xEE, 0xEE}, kStreamTrailer}), 4,
       10});

  // L 5. g 01: p 2 + 1 = 3. g 02: p 5 + 1 = 6. g 04: p 8 + 2 = 10. g 08: p 12 + 2 = 14.
  // g 0F: 1 + 1 + 2 + 2 = 6 bytes: p 16 + 6 = 22; t 5. Length 22.
  cases.push_back({"bits 0-3 take 1, 1, 2 and 2 operand bytes",
                   concat({{0x01, 0x01, 0xEE},
                           {0x01, 0x02, 0xEE},
                           {0x01, 0x04, 0xEE, 0xEE},
                           {0x01, 0x08, 0xEE, 0xEE},
                           {0x01, 0x0F, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE},
                           kStreamTrailer}),
                   5, 22});

  // L 6, each command d 1. g 10: bit 4, two bytes (p 4). g 20: bit 5 with bit 7 clear, two (p 8).
  // g 40: bit 6, one (p 11). g 80: bit 7 without bit 5, none (p 13). g A0: bit 5 with bit 7
  // takes nothing under the bit 5 rule, one under the bits 7-and-5 rule (p 16). g F0: bit 4 two,
  // bit 6 one, bits 7 and 5 one: four (p 22). t 6. Length 22.
  cases.push_back({"bits 4-7: 2 for bit 4, 2 for bit 5 without bit 7, 1 for bit 6, 1 for 7 and 5",
                   concat({{0x01, 0x10, 0xEE, 0xEE},
                           {0x01, 0x20, 0xEE, 0xEE},
                           {0x01, 0x40, 0xEE},
                           {0x01, 0x80},
                           {0x01, 0xA0, 0xEE},
                           {0x01, 0xF0, 0xEE, 0xEE, 0xEE, 0xEE},
                           kStreamTrailer}),
                   6, 22});

  // L 1. 00 0F, 80, 00 05, 00 30 all have d 0: no operands, and g is no control code 1 or 2:
  // p 2, 3, 5, 7, t 0. 01 00: p 9, t 1. Length 9.
  cases.push_back({"commands of duration 0 take no operands",
                   concat({{0x00, 0x0F, 0x80, 0x00, 0x05, 0x00, 0x30, 0x01, 0x00}, kStreamTrailer}),
                   1, 9});

  // L 10. 00 01 02 03: control 1, r 2, f 3, p 4. 02 00: t 2 x 3 = 6, r 1 (p 6).
  // 01 00: t 9, r 0 (p 8). 01 00: t 10 (p 10). Length 10.
  cases.push_back({"control code 1 reads repeat count and factor from two bytes",
                   {0x00, 0x01, 0x02, 0x03, 0x02, 0x00, 0x01, 0x00, 0x01, 0x00, 0x77, 0x77},
                   10,
                   10});

  // L 8. 82: short form, d 0, g 2: x = 0x24 gives r 2, f 4 (p 2). 02 00: t 8, r 1 (p 4); t has
  // reached L but a repeat is pending, so the walk goes on. 02 00: t 16, r 0 (p 6). Length 6.
  cases.push_back({"control code 2 packs count and factor; a pending repeat passes the limit",
                   concat({{0x82, 0x24, 0x02, 0x00, 0x02, 0x00, 0x01, 0x00}, kStreamTrailer}), 8,
                   6});

  // L 12. 00 02 13: long-form control 2, r 1, f 3 (p 3). 02 00: t 6, r 0 (p 5).
  // 81 01 03: short-form control 1, r 1, f 3 (p 8). 02 00: t 12, r 0 (p 10). Length 10.
  cases.push_back(
      {"control code 2 in long form and control code 1 in short form",
       concat({{0x00, 0x02, 0x13, 0x02, 0x00, 0x81, 0x01, 0x03, 0x02, 0x00}, kStreamTrailer}), 12,
       10});

  // L 4. 00 01 01 05: r 1, f 5 (p 4). 00 00: d 0 with a repeat pending: t += 0 x 5, r 0 (p 6).
  // 02 00: t 2 (p 8). 02 00: t 4 (p 10). Length 10. (Had 00 00 left r alone, the first 02 00
  // would give t 10 and the length 8.)
  cases.push_back(
      {"a command of duration 0 uses up a pending repeat",
       concat({{0x00, 0x01, 0x01, 0x05, 0x00, 0x00, 0x02, 0x00, 0x02, 0x00}, kStreamTrailer}), 4,
       10});

  // L 0xFF00 (65280). 00 01 02 FF: r 2, f 255 (p 4). 7F 00: t 127 x 255 = 32385, r 1 (p 6).
  // 7F 00: t 64770, r 0 (p 8), still below L. 00 01 01 FF: r 1, f 255 (p 12). 7F 00:
  // t 64770 + 32385 = 97155, which wraps to 97155 - 65536 = 31619 < L, r 0 (p 14): go on.
  // 01 00: t 31620 (p 16). FF 00 at 16 ends the stream: 18. (Without the wrap: 14.)
  cases.push_back({"the total t wraps as a 16-bit value",
                   concat({{0x00, 0x01, 0x02, 0xFF, 0x7F, 0x00, 0x7F, 0x00, 0x00, 0x01, 0x01, 0xFF,
                            0x7F, 0x00, 0x01, 0x00, 0xFF, 0x00},
                           kStreamTrailer}),
                   0xFF00, 18});

  // L 2. 01 03: d 1, g 3: two operand bytes FF 00, which are operands, not an end (p 4, t 1).
  // 01 00: p 6, t 2. Length 6.
  cases.push_back({"operand bytes FF 00 are not an end mark",
                   concat({{0x01, 0x03, 0xFF, 0x00, 0x01, 0x00}, kStreamTrailer}), 2, 6});

  // L 0x400, the ShadowEtc limit. 00 01 08 10: r 8, f 16 (p 4). Eight times 08 00: each
  // t += 8 x 16 = 128, so t 1024 = L with r 0 after the eighth (p 4 + 16 = 20). Length 20.
  cases.push_back({"the ShadowEtc limit 0x400 reached through a repeat factor",
                   concat({{0x00, 0x01, 0x08, 0x10}, repeat({0x08, 0x00}, 8), kStreamTrailer}),
                   0x400, 20});
  return cases;
}

std::vector<WalkCase> keyBlockWalkCases() {
  std::vector<WalkCase> cases;

  // FF FF at once: p 2, stop.
  cases.push_back({"FF FF ends the block and counts", {0xFF, 0xFF, 0x00, 0x05, 0x81}, 10, 2});

  // 00 00 at once: p 2, stop.
  cases.push_back({"00 00 ends the block and counts", {0x00, 0x00, 0x00, 0x05, 0x81}, 10, 2});

  // T 10. 00 05: index 5, k = 0 >> 3 = 0, yet one record is read: e 81 (bit 7 set: no mask
  // byte; register 1's mask is 0: no skip), p 3. 00 00 ends: 5.
  cases.push_back(
      {"k = 0 still reads one record", {0x00, 0x05, 0x81, 0x00, 0x00, 0x08, 0x00}, 10, 5});

  // T 10. 08 00: k 1, index 0. e 03: bit 7 clear, mask of register 3 = 05 (two bits), then two
  // bytes skipped: p 2 + 1 + 1 + 2 = 6. FF FF: 8.
  cases.push_back({"bit 7 clear reads a mask, then one byte per set bit",
                   {0x08, 0x00, 0x03, 0x05, 0xEE, 0xEE, 0xFF, 0xFF},
                   10,
                   8});

  // T 10. 08 02: index 2. e 03: mask 07 (three bits): p 2 + 1 + 1 + 3 = 7. 08 02: index 2 again,
  // not smaller: go on (p 9). e 83: bit 7 set, register 3 keeps 07: p 10 + 3 = 13. FF FF: 15.
  cases.push_back(
      {"a register keeps its mask; an equal index goes on",
       {0x08, 0x02, 0x03, 0x07, 0xEE, 0xEE, 0xEE, 0x08, 0x02, 0x83, 0xEE, 0xEE, 0xEE, 0xFF, 0xFF},
       10,
       15});

  // T 10. 08 01. e 42: bit 6 skips one byte (p 4), bit 7 clear reads mask 03 of register 2
  // (p 5), two bytes skipped (p 7). 08 01 (p 9). e C2: bit 6 skip (p 11), bit 7 set, register 2
  // mask 03: p 13. 00 00: 15.
  cases.push_back(
      {"bit 6 skips one byte before the mask",
       {0x08, 0x01, 0x42, 0xEE, 0x03, 0xEE, 0xEE, 0x08, 0x01, 0xC2, 0xEE, 0xEE, 0xEE, 0x00, 0x00},
       10,
       15});

  // T 10. 18 04: k = 0x18 >> 3 = 3 records, index 4. e 80 (p 3). e 02: mask 01 of register 2
  // (p 5), one byte skipped (p 6). e 82: register 2 mask 01, one byte skipped (p 8). FF FF: 10.
  cases.push_back({"an entry holds a >> 3 records",
                   {0x18, 0x04, 0x80, 0x02, 0x01, 0xEE, 0x82, 0xEE, 0xFF, 0xFF},
                   10,
                   10});

  // T 4. 08 03: index 3 <= 4, e 80 (p 3). 00 05: index 5 > 4: stop with the two bytes read: 5.
  cases.push_back({"an index above T stops, its two bytes counted",
                   {0x08, 0x03, 0x80, 0x00, 0x05, 0x80, 0xFF, 0xFF},
                   4,
                   5});

  // T 20. 00 07: index 7, e 80 (p 3). 00 06: index 6 < 7: stop, p 5.
  cases.push_back({"an index below the previous one stops, its two bytes counted",
                   {0x00, 0x07, 0x80, 0x00, 0x06, 0x80, 0xFF, 0xFF},
                   20,
                   5});

  // T 0x200. 09 10: k 1, index (9 & 7) x 256 + 0x10 = 272, e 80 (p 3). 0A 00: index 512, not above
  // T = 512 (p 6). 0A 00 again: 512 (p 9). FF FF: 11.
  cases.push_back({"bits 0-2 of the first byte are the index's high byte; index T is allowed",
                   {0x09, 0x10, 0x80, 0x0A, 0x00, 0x80, 0x0A, 0x00, 0x80, 0xFF, 0xFF},
                   0x200,
                   11});

  // T 10, every entry 08 01 (k 1, index 1). e 18: register 24, mask 03, two skipped (p 6).
  // e 98: register 24 keeps 03: p 9 + 2 = 11. e 9F: register 31, never set, 0: p 14.
  // e 38: bit 5 is not part of the register: 0x38 & 0x1F = 24, mask 01, one skipped (p 19).
  // e 98: register 24 now 01: p 22 + 1 = 23. FF FF: 25.
  cases.push_back({"registers 24 to 31 keep masks of their own, starting at 0",
                   {0x08, 0x01, 0x18, 0x03, 0xEE, 0xEE, 0x08, 0x01, 0x98, 0xEE, 0xEE, 0x08, 0x01,
                    0x9F, 0x08, 0x01, 0x38, 0x01, 0xEE, 0x08, 0x01, 0x98, 0xEE, 0xFF, 0xFF},
                   10,
                   25});

  // T 10. 513 entries 00 01 80 (index 1, one record without skips, 3 bytes each), then FF FF.
  // The walk stops after 512 entries: 512 x 3 = 1536.
  cases.push_back(
      {"at most 512 entries", concat({repeat({0x00, 0x01, 0x80}, 513), {0xFF, 0xFF}}), 10, 1536});
  return cases;
}

}  // namespace synthetic
