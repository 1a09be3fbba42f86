#pragma once
// What the fuzz targets share: a property check that names its place in the crash report, and a
// reader of an input's bytes that gives zeros past its end.

#include "shell/bytes.hpp"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace fuzz_support {

// A broken property: says which one, for the crash report, and stops.
inline void requireAt(bool condition, const char* file, int line)
{
    if (condition)
        return;
    std::fprintf(stderr, "property broken at %s:%d\n", file, line);
    std::abort();
}

class Input {
public:
    Input(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
    bool empty() const { return position_ >= size_; }
    std::uint8_t byte() { return empty() ? 0 : data_[position_++]; }
    std::uint16_t u16() { return static_cast<std::uint16_t>(byte() | byte() << 8); }
    // The next `count` bytes, fewer when the input ends.
    shell::Bytes bytes(std::size_t count)
    {
        count = std::min(count, size_ - std::min(position_, size_));
        shell::Bytes out(data_ + position_, data_ + position_ + count);
        position_ += count;
        return out;
    }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t position_ = 0;
};

}  // namespace fuzz_support

#define require(condition) ::fuzz_support::requireAt((condition), __FILE__, __LINE__)
