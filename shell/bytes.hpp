#pragma once

#include "shell/large_buffer_allocator.hpp"

#include <cstdint>
#include <span>
#include <vector>

namespace shell {

// Buffers of file and image bytes.
using Bytes = std::vector<std::uint8_t, LargeBufferAllocator<std::uint8_t>>;
using ByteSpan = std::span<const std::uint8_t>;

}  // namespace shell
