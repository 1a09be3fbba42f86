#include "sprite/lz77.hpp"

#include "sprite/sprite_format.hpp"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>
#include <optional>
#include <vector>

namespace sprite {
namespace {

// The most input one group can take: its flag byte and eight back-references.
constexpr std::size_t kLargestGroupInput = 1 + 2 * kLz77ItemsPerGroup;
// The most output one group can produce.
constexpr std::size_t kLargestGroupOutput = std::size_t{kLz77ItemsPerGroup} * kLz77MaximumMatch;


// Decoding state with every access checked: reads past the input give zero, stores at or past the
// declared size are dropped, sources before the output's start give zero.
class CheckedDecoder {
public:
    CheckedDecoder(ByteSpan input, std::size_t position, Bytes& output)
        : input_(input), position_(position), output_(output), size_(output.size())
    {
    }

    // Decodes one whole group, taking the fast path when nothing in it can leave a buffer.
    void group()
    {
        if (position_ + kLargestGroupInput <= input_.size() &&
            written_ + kLargestGroupOutput <= size_) {
            fastGroup();
            return;
        }
        const std::uint8_t flags = next();
        for (int item = 0; item < kLz77ItemsPerGroup; ++item) {
            if (flags & (kLz77FirstItemFlag >> item)) {
                const std::uint8_t first = next();
                const std::uint8_t second = next();
                copyChecked(lengthOf(first), distanceOf(first, second));
            } else {
                store(next());
            }
        }
    }

    bool reachedSize() const { return written_ >= size_; }
    bool inputLeft() const { return position_ < input_.size(); }
    bool starved() const { return starvedAt_.has_value(); }
    // The declared bytes decoded from input that was there.
    std::size_t produced() const { return starvedAt_.value_or(std::min(written_, size_)); }

private:
    static std::size_t lengthOf(std::uint8_t first)
    {
        return static_cast<std::size_t>(first >> kLz77LengthShift) + kLz77MinimumMatch;
    }
    static std::size_t distanceOf(std::uint8_t first, std::uint8_t second)
    {
        return (static_cast<std::size_t>(first & kLz77DistanceHighMask) << 8 | second) + 1;
    }

    std::uint8_t next()
    {
        if (position_ < input_.size())
            return input_[position_++];
        ++position_;
        // Only input that the declared size still needed makes the stream incomplete; the item
        // it belongs to starts at the write position, so nothing from there on came from input.
        if (written_ < size_ && !starvedAt_)
            starvedAt_ = written_;
        return 0;
    }

    void store(std::uint8_t value)
    {
        if (written_ < size_)
            output_[written_] = value;
        ++written_;
    }

    void copyChecked(std::size_t length, std::size_t distance)
    {
        for (std::size_t i = 0; i < length; ++i) {
            if (written_ >= size_) {
                written_ += length - i;
                return;
            }
            output_[written_] = written_ >= distance ? output_[written_ - distance] : 0;
            ++written_;
        }
    }

    // The whole group's input is present and all it produces lies below the declared size.
    void fastGroup()
    {
        const std::uint8_t* in = input_.data() + position_;
        std::uint8_t* out = output_.data();
        const std::uint8_t flags = *in++;
        for (int item = 0; item < kLz77ItemsPerGroup; ++item) {
            if (flags & (kLz77FirstItemFlag >> item)) {
                const std::size_t length = lengthOf(in[0]);
                const std::size_t distance = distanceOf(in[0], in[1]);
                in += 2;
                if (written_ < distance) {
                    copyChecked(length, distance);
                    continue;
                }
                std::uint8_t* target = out + written_;
                const std::uint8_t* source = target - distance;
                if (distance >= length) {
                    std::memcpy(target, source, length);
                } else {
                    for (std::size_t i = 0; i < length; ++i)
                        target[i] = source[i];
                }
                written_ += length;
            } else {
                out[written_++] = *in++;
            }
        }
        position_ = static_cast<std::size_t>(in - input_.data());
    }

    ByteSpan input_;
    std::size_t position_;
    Bytes& output_;
    std::size_t size_;
    std::size_t written_ = 0;
    std::optional<std::size_t> starvedAt_;
};

std::uint8_t byteOrZero(ByteSpan buffer, std::size_t offset, std::size_t index)
{
    if (offset >= buffer.size() || index >= buffer.size() - offset)
        return 0;
    return buffer[offset + index];
}

}  // namespace

void appendLz77Header(Bytes& stream, std::uint32_t declaredSize)
{
    stream.push_back(kLz77Type);
    stream.push_back(static_cast<std::uint8_t>(declaredSize));
    stream.push_back(static_cast<std::uint8_t>(declaredSize >> 8));
    stream.push_back(static_cast<std::uint8_t>(declaredSize >> 16));
}

Lz77Decoding lz77Decode(ByteSpan buffer, std::size_t offset)
{
    const std::uint32_t declaredSize =
        (byteOrZero(buffer, offset, 1) | byteOrZero(buffer, offset, 2) << 8) &
        kLz77DecodableSizeMask;
    Lz77Decoding result;
    result.bytes.assign(declaredSize, 0);
    const bool headerInside =
        offset < buffer.size() && buffer.size() - offset >= kLz77HeaderSize;
    const std::size_t bodyStart = headerInside ? offset + kLz77HeaderSize : buffer.size();

    CheckedDecoder decoder(buffer, bodyStart, result.bytes);
    do {
        decoder.group();
        // Past the input every item is a zero literal, and the output is zero already.
        if (!decoder.reachedSize() && !decoder.inputLeft()) {
            result.produced = decoder.produced();
            result.complete = false;
            return result;
        }
    } while (!decoder.reachedSize());
    result.produced = decoder.produced();
    result.complete = headerInside && !decoder.starved();
    return result;
}

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
