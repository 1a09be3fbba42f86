#pragma once
// Fuzz inputs as small patches over one large base image: the image is built once, each input
// writes a few runs of bytes into the places the readers care about (the header, the locators,
// the record and pointer tables, the data a demo scenario placed), may cut the image short or pad
// it, and every change is undone before the next input. This keeps a 16 MiB image per input
// affordable: only the bytes an input touched are copied back.
//
// Input layout: a list of patches, each
//   [group u8] [item u8] [offset u16 LE] [op u8] [payload]
// `group` picks a group of regions (modulo the group count plus two extra operations), `item` one
// region of the group, `offset` a position inside it. `op` with bit 7 set fills (op & 0x7F) + 1
// bytes with the one payload byte; otherwise (op & 0x7F) + 1 payload bytes are copied (fewer when
// the input ends). Writes run on past their region but never past the image. The two extra groups
// cut the image to the 24-bit size item << 16 | offset (never longer) and pad it with
// offset % 4096 + 1 bytes of the op value. Readers see the result through view().

#include "shell/bytes.hpp"
#include "tests/support/demo_scenario.hpp"

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace fuzz_patch {

struct Region {
    std::uint32_t offset = 0;
    std::uint32_t length = 0;
};

struct RegionGroup {
    std::string name;
    std::vector<Region> regions;
};

// The header, the locators, each record and pointer table, the code references of the
// extendable tables, and every run of data the scenario placed, grouped by kind.
std::vector<RegionGroup> scenarioRegions(const synthetic::DemoScenario& scenario);

// Reads a fuzz input front to back; reads past its end give zeros.
class InputReader {
public:
    InputReader(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

    std::uint8_t u8() { return position_ < size_ ? data_[position_++] : 0; }
    std::uint16_t u16()
    {
        const std::uint16_t low = u8();
        return static_cast<std::uint16_t>(low | u8() << 8);
    }
    bool empty() const { return position_ >= size_; }
    std::size_t remaining() const { return empty() ? 0 : size_ - position_; }
    // Up to `count` bytes, fewer at the end of the input.
    shell::ByteSpan take(std::size_t count);
    shell::ByteSpan rest() { return take(remaining()); }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t position_ = 0;
};

class PatchedImage {
public:
    // `extraCapacity`: room reserved behind the image, so padding and readers that grow the image
    // in place never move it.
    PatchedImage(shell::Bytes base, std::vector<RegionGroup> groups, std::size_t extraCapacity);

    // Applies every patch of the input (to its end). Call undo() before the next input.
    void apply(InputReader& input);
    // Restores the base image exactly: its size and every byte the patches wrote.
    void undo();
    // Compares the whole image with the base; slow, for occasional checks.
    bool matchesBase() const;

    // The patched image. A cut only shortens this view, so undoing it copies nothing.
    shell::ByteSpan view() const { return shell::ByteSpan(image_.data(), size_); }
    const shell::Bytes& base() const { return base_; }

private:
    void write(std::size_t offset, shell::ByteSpan bytes);
    void fill(std::size_t offset, std::size_t count, std::uint8_t value);

    shell::Bytes base_;
    shell::Bytes image_;
    std::vector<RegionGroup> groups_;
    std::vector<Region> written_;
    std::size_t size_;
};

}  // namespace fuzz_patch
