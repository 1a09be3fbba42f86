#include "sprite/lz77.hpp"

#include "sprite/sprite_format.hpp"

namespace sprite {

Bytes lz77EncodeLiterals(ByteSpan source, std::uint32_t declaredSize)
{
    const std::size_t groups = (source.size() + kLz77ItemsPerGroup - 1) / kLz77ItemsPerGroup;
    Bytes stream;
    stream.reserve(kLz77HeaderSize + groups * (1 + kLz77ItemsPerGroup));
    appendLz77Header(stream, declaredSize);
    for (std::size_t group = 0; group < groups; ++group) {
        stream.push_back(0);
        for (std::size_t item = 0; item < std::size_t{kLz77ItemsPerGroup}; ++item) {
            const std::size_t index = group * kLz77ItemsPerGroup + item;
            stream.push_back(index < source.size() ? source[index] : 0);
        }
    }
    return stream;
}

}  // namespace sprite
