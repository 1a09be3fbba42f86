#pragma once
// Byte access for the length walks: positions are relative to a block's start, and a failure
// names the first byte the walk could not read, in the image or in a file.

#include "rom/byte_io.hpp"
#include "rom/rom_error.hpp"

#include <cstdint>
#include <optional>

namespace rom {

class BlockReader {
public:
    BlockReader(ByteSpan image, std::uint32_t start, const char* what, DataSource source)
        : image_(image), start_(start), what_(what), source_(source)
    {
    }

    std::optional<std::uint8_t> byte(std::size_t position) const
    {
        return readU8(image_, static_cast<std::uint64_t>(start_) + position);
    }

    RomError failureAt(std::size_t position) const
    {
        return outOfImage(what_, static_cast<std::uint64_t>(start_) + position, 1, source_);
    }

    RomResult<std::size_t> wholeBlock(std::size_t length) const
    {
        if (!fits(image_.size(), start_, length))
            return std::unexpected(outOfImage(what_, start_, length, source_));
        return length;
    }

private:
    ByteSpan image_;
    std::uint32_t start_;
    const char* what_;
    DataSource source_;
};

}  // namespace rom
