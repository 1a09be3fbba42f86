#include "rom/lz77.hpp"

#include "rom/block_reader.hpp"
#include "shell/number_text.hpp"

#include <algorithm>
#include <cstring>
#include <optional>

namespace rom {
namespace {

// The LZ77 length walk. A strict walk also refuses what the game could not decode: another type
// than 0x10, and a back-reference to before the start of the output.
RomResult<std::size_t> walkLz77(ByteSpan image, std::uint32_t offset, DataSource source,
                                bool strict)
{
    constexpr const char* kWhat = "LZ77データ";
    const std::optional<std::uint32_t> header = readU32(image, offset);
    if (!header)
        return std::unexpected(outOfImage(kWhat, offset, kLz77HeaderSize, source));
    constexpr int kTypeDigits = 2;
    if (strict && (*header & 0xFF) != kLz77Type)
        return std::unexpected(RomError{std::string(kWhat) + " の種類が 0x" +
                                        shell::paddedHexText(*header & 0xFF, kTypeDigits) +
                                        " です (0x" + shell::paddedHexText(kLz77Type, kTypeDigits) +
                                        " のはずです)"});
    const std::uint32_t decompressedSize = *header >> kLz77SizeShift;

    const BlockReader reader(image, offset, kWhat, source);
    std::size_t position = kLz77HeaderSize;
    std::uint32_t decoded = 0;
    do {
        const std::optional<std::uint8_t> flags = reader.byte(position);
        if (!flags)
            return std::unexpected(reader.failureAt(position));
        ++position;
        for (int item = 0; item < kLz77ItemsPerGroup; ++item) {
            if (*flags & (kLz77FirstItemFlag >> item)) {
                const std::optional<std::uint8_t> first = reader.byte(position);
                const std::optional<std::uint8_t> second = reader.byte(position + 1);
                if (!first || (strict && !second))
                    return std::unexpected(reader.failureAt(first ? position + 1 : position));
                if (strict) {
                    const unsigned distance =
                        ((*first & unsigned{kLz77DistanceHighMask}) << 8 | *second) + 1;
                    if (distance > decoded)
                        return std::unexpected(RomError{
                            std::string(kWhat) + " の参照が復元前のデータを指しています (オフセット 0x" +
                            shell::hexText(static_cast<std::uint64_t>(offset) + position) + ")"});
                }
                decoded += static_cast<std::uint32_t>((*first >> kLz77LengthShift) + kLz77MinimumMatch);
                position += 2;
            } else {
                // A strict walk names the first missing byte, literal or not.
                if (strict && !reader.byte(position))
                    return std::unexpected(reader.failureAt(position));
                decoded += 1;
                position += 1;
            }
        }
    } while (decoded < decompressedSize);
    return reader.wholeBlock(position);
}

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

RomResult<std::size_t> measureLz77Block(ByteSpan image, std::uint32_t offset, DataSource source)
{
    return walkLz77(image, offset, source, false);
}

RomResult<std::size_t> checkLz77File(ByteSpan file)
{
    return walkLz77(file, 0, DataSource::File, true);
}

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

}  // namespace rom
