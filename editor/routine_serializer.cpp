#include "editor/routine_serializer.hpp"

#include "rom/gba_address.hpp"

#include <algorithm>

namespace editor {
namespace {

constexpr std::uint32_t kGapAlignment = 16;
constexpr std::uint32_t kGapStride = 32;

// Builds a block, keeping the running position and the base the block will lie at.
class BlockWriter {
public:
    explicit BlockWriter(std::uint32_t base) : base_(base) {}

    std::uint32_t position() const { return static_cast<std::uint32_t>(block_.size()); }
    std::uint32_t pointerHere() const { return rom::gbaPointerOf(base_ + position()); }

    void append(ByteSpan bytes) { block_.insert(block_.end(), bytes.begin(), bytes.end()); }

    template <class Record>
    void appendRecord(const Record& record)
    {
        const auto bytes = rom::serializeRecord(record);
        append(bytes);
    }

    void appendU32(std::uint32_t value)
    {
        std::uint8_t bytes[rom::kShadowEtcListEntrySize];
        rom::storeU32(bytes, 0, value);
        append(bytes);
    }

    void gap() { block_.resize(AlignGap(base_, position()), 0); }

    Bytes take() { return std::move(block_); }

private:
    std::uint32_t base_;
    Bytes block_;
};

}  // namespace

std::uint32_t AlignGap(std::uint32_t base, std::uint32_t position)
{
    const std::uint32_t absolute = base + position;
    return absolute - absolute % kGapAlignment + kGapStride - base;
}

SerializedRoutine SerializeRoutine(MotionPartRoutine& routine, std::uint32_t base)
{
    if (!routine.present)
        return {};
    BlockWriter writer(base);
    for (MotionPartEntry& part : routine.parts) {
        if (part.entry.dwPointer != 0)
            part.entry.dwPointer = writer.pointerHere();
        writer.append(part.stream);
        writer.gap();
    }
    writer.gap();
    if (routine.header.dwPartTable != 0)
        routine.header.dwPartTable = writer.pointerHere();
    for (const MotionPartEntry& part : routine.parts)
        writer.appendRecord(part.entry);
    writer.gap();
    if (routine.header.dwKeyBlock != 0) {
        routine.header.dwKeyBlock = writer.pointerHere();
        writer.append(routine.script);
    }
    writer.gap();
    const std::uint32_t pointer = writer.pointerHere();
    writer.appendRecord(routine.header);
    return {writer.take(), pointer};
}

SerializedRoutine SerializeRoutine(ShadowEtcRoutine& routine, std::uint32_t base)
{
    if (!routine.present)
        return {};
    BlockWriter writer(base);
    const auto used = [&routine](std::size_t k) { return (routine.header.wMask & (1u << k)) != 0; };
    for (std::size_t k = 0; k < kShadowEtcEntries; ++k) {
        if (!used(k))
            continue;
        ShadowEtcEntry& entry = routine.entries[k];
        if (entry.dwPointer != 0)
            entry.dwPointer = writer.pointerHere();
        writer.append(entry.stream);
        writer.gap();
    }
    writer.gap();
    routine.header.dwStreamList = writer.pointerHere();
    for (std::size_t k = 0; k < kShadowEtcEntries; ++k) {
        if (used(k))
            writer.appendU32(routine.entries[k].dwPointer);
    }
    writer.gap();
    const std::uint32_t pointer = writer.pointerHere();
    writer.appendRecord(routine.header);
    return {writer.take(), pointer};
}

SerializedRoutine SerializeRoutine(CutinScrollRoutine& routine, std::uint32_t base)
{
    if (!routine.present)
        return {};
    BlockWriter writer(base);
    routine.header.dwCommands = writer.pointerHere();
    writer.append(routine.commands);
    writer.gap();
    const std::uint32_t pointer = writer.pointerHere();
    writer.appendRecord(routine.header);
    return {writer.take(), pointer};
}

}  // namespace editor
