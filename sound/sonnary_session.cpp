#include "sound/sonnary_session.hpp"

#include "rom/byte_io.hpp"
#include "rom/rom_image.hpp"
#include "shell/files.hpp"
#include "shell/program_folder.hpp"
#include "sound/wave.hpp"

namespace sound {
namespace {

std::uint32_t codeValue(std::string_view code)
{
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < rom::kGameCodeLength && i < code.size(); ++i)
        value |= static_cast<std::uint32_t>(static_cast<std::uint8_t>(code[i])) << (8 * i);
    return value;
}

}  // namespace

const SupportedGame* findSupportedGame(shell::ByteSpan image)
{
    const std::optional<std::uint32_t> code = rom::readU32(image, rom::kGameCodeOffset);
    if (!code)
        return nullptr;
    for (const SupportedGame& game : kSupportedGames) {
        if (codeValue(game.code) == *code)
            return &game;
    }
    return nullptr;
}

std::filesystem::path defaultPlayFile()
{
    return shell::programFolder() / kPlayFileName;
}

SonnarySession::SonnarySession(shell::Shell& shell, SoundOutput& output,
                               std::filesystem::path playFile)
    : shell_(shell), output_(output), playFile_(std::move(playFile))
{
}

LoadOutcome SonnarySession::loadRom(const std::filesystem::path& path)
{
    std::optional<shell::Bytes> bytes = shell::readWholeFile(shell_, path);
    if (!bytes)
        return LoadOutcome::Kept;
    image_ = std::move(*bytes);
    loaded_ = true;
    selected_.reset();
    keyMap_ = {};
    game_ = findSupportedGame(image_);
    if (game_ == nullptr) {
        shell::showMessage(shell_, kNotSupportedRom);
        return LoadOutcome::Unrecognised;
    }
    return LoadOutcome::Recognised;
}

std::optional<InstrumentTable> SonnarySession::instrumentTable() const
{
    if (game_ == nullptr)
        return std::nullopt;
    return InstrumentTable(image_, game_->instrumentTable);
}

std::string SonnarySession::gameFieldText() const
{
    if (game_ == nullptr)
        return {};
    return std::string(game_->code) + " " + std::string(game_->label);
}

std::vector<std::string> SonnarySession::instrumentLines(ListLimit limit) const
{
    const std::optional<InstrumentTable> instruments = instrumentTable();
    return instruments ? instruments->instrumentLines(limit) : std::vector<std::string>{};
}

std::size_t SonnarySession::instrumentCount(ListLimit limit) const
{
    const std::optional<InstrumentTable> instruments = instrumentTable();
    return instruments ? instruments->instrumentCount(limit) : 0;
}

std::optional<InstrumentView> SonnarySession::selectInstrument(std::size_t index)
{
    const std::optional<InstrumentTable> instruments = instrumentTable();
    if (!instruments)
        return std::nullopt;
    NoteList notes = instruments->noteList(index);
    selected_ = index;
    keyMap_ = notes.keyMap;
    return InstrumentView{std::move(notes.lines),
                          recordDump(image_, instruments->instrumentOffset(index))};
}

std::string SonnarySession::noteRecordDump(std::size_t line) const
{
    const std::optional<InstrumentTable> instruments = instrumentTable();
    if (!instruments || !selected_)
        return {};
    const std::optional<std::uint64_t> offset =
        instruments->noteRecordOffset(*selected_, line, keyMap_);
    return offset ? recordDump(image_, *offset) : std::string();
}

std::expected<shell::Bytes, WaveRefusal> SonnarySession::waveFor(
    std::size_t index, std::optional<std::size_t> line) const
{
    const std::optional<InstrumentTable> instruments = instrumentTable();
    if (!instruments)
        return std::unexpected(WaveRefusal::NoSample);
    const std::optional<std::size_t> noteLine = index == selected_ ? line : std::nullopt;
    const std::optional<InstrumentRecord> record =
        instruments->recordToPlay(index, noteLine, keyMap_);
    if (!record)
        return std::unexpected(WaveRefusal::NoSample);
    const std::optional<std::uint32_t> sample = sampleOffsetOf(*record);
    if (!sample)
        return std::unexpected(WaveRefusal::NoSample);
    std::optional<shell::Bytes> wave = buildWave(image_, *sample);
    if (!wave)
        return std::unexpected(WaveRefusal::SampleOutsideImage);
    return std::move(*wave);
}

PlayOutcome SonnarySession::play(std::size_t index, std::optional<std::size_t> line)
{
    std::expected<shell::Bytes, WaveRefusal> wave = waveFor(index, line);
    if (!wave) {
        if (wave.error() == WaveRefusal::NoSample)
            return PlayOutcome::NothingToPlay;
        shell::showMessage(shell_, kSampleOutsideImage, std::nullopt, shell::Buttons::Ok,
                           shell::Icon::Warning);
        return PlayOutcome::Refused;
    }
    // The play file is made anew from the image on every play (a held space key plays many
    // times a second), so it is not flushed to the disk first.
    if (!shell::writeWholeFile(shell_, playFile_, *wave, shell::Durability::Replace))
        return PlayOutcome::Refused;
    switch (output_.play(playFile_)) {
    case PlayStart::Started:
        return PlayOutcome::Started;
    case PlayStart::NoDevice:
        shell::showMessage(shell_, kCannotPlay, std::nullopt, shell::Buttons::Ok,
                           shell::Icon::Warning);
        return PlayOutcome::Refused;
    case PlayStart::Unplayable:
        break;
    }
    shell::showMessage(shell_, kUnplayableWave, std::nullopt, shell::Buttons::Ok,
                       shell::Icon::Warning);
    return PlayOutcome::Refused;
}

}  // namespace sound
