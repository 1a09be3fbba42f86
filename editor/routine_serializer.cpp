#include "editor/routine_serializer.hpp"

#include "rom/block_writer.hpp"

namespace editor {
namespace {

// Every piece of a routine file, and of a port's routine, is followed by the folders' gap.
void gap(rom::BlockWriter& writer)
{
    writer.gap(rom::kFolderPieceGap);
}

}  // namespace

SerializedRoutine SerializeRoutine(MotionPartRoutine& routine, std::uint32_t base)
{
    if (!routine.present)
        return {};
    rom::BlockWriter writer(base);
    for (MotionPartEntry& part : routine.parts) {
        if (part.entry.dwPointer != 0)
            part.entry.dwPointer = writer.pointerHere();
        writer.append(part.stream);
        gap(writer);
    }
    gap(writer);
    if (routine.header.dwPartTable != 0)
        routine.header.dwPartTable = writer.pointerHere();
    for (const MotionPartEntry& part : routine.parts)
        writer.appendRecord(part.entry);
    gap(writer);
    if (routine.header.dwKeyBlock != 0) {
        routine.header.dwKeyBlock = writer.pointerHere();
        writer.append(routine.script);
    }
    gap(writer);
    const std::uint32_t pointer = writer.pointerHere();
    writer.appendRecord(routine.header);
    return {writer.take(), pointer};
}

SerializedRoutine SerializeRoutine(ShadowEtcRoutine& routine, std::uint32_t base)
{
    if (!routine.present)
        return {};
    rom::BlockWriter writer(base);
    const auto used = [&routine](std::size_t k) { return (routine.header.wMask & (1u << k)) != 0; };
    for (std::size_t k = 0; k < kShadowEtcEntries; ++k) {
        if (!used(k))
            continue;
        ShadowEtcEntry& entry = routine.entries[k];
        if (entry.dwPointer != 0)
            entry.dwPointer = writer.pointerHere();
        writer.append(entry.stream);
        gap(writer);
    }
    gap(writer);
    routine.header.dwStreamList = writer.pointerHere();
    for (std::size_t k = 0; k < kShadowEtcEntries; ++k) {
        if (used(k))
            writer.appendU32(routine.entries[k].dwPointer);
    }
    gap(writer);
    const std::uint32_t pointer = writer.pointerHere();
    writer.appendRecord(routine.header);
    return {writer.take(), pointer};
}

SerializedRoutine SerializeRoutine(CutinScrollRoutine& routine, std::uint32_t base)
{
    if (!routine.present)
        return {};
    rom::BlockWriter writer(base);
    routine.header.dwCommands = writer.pointerHere();
    writer.append(routine.commands);
    gap(writer);
    const std::uint32_t pointer = writer.pointerHere();
    writer.appendRecord(routine.header);
    return {writer.take(), pointer};
}

}  // namespace editor
