#pragma once
// What Sonnary holds while it runs: the ROM image, the recognised game, the instrument selected
// last with its key map. The window and the command line drive the same session; it shows its
// messages through the Shell and plays through the SoundOutput it is handed.

#include "shell/bytes.hpp"
#include "shell/shell.hpp"
#include "sound/instruments.hpp"
#include "sound/sound_layout.hpp"
#include "sound/sound_output.hpp"

#include <cstdint>
#include <expected>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace sound {

inline constexpr std::string_view kNotSupportedRom = "該当するROMではありません";
inline constexpr std::string_view kPlayFileName = "PlaySound.wav";
inline constexpr std::string_view kCannotPlay = "サウンドデバイスが使えないため再生できません";
inline constexpr std::string_view kUnplayableWave = "このサンプルは再生できません";

// The supported game whose code the cartridge header at 0xAC holds. Only the listed codes count:
// an image whose code bytes are zero is no supported game.
const SupportedGame* findSupportedGame(shell::ByteSpan image);

// "PlaySound.wav" in the program's folder.
std::filesystem::path defaultPlayFile();

enum class LoadOutcome {
    Kept,          // unreadable: the image held before stays, with its state
    Unrecognised,  // the new image is held, but no game is recognised
    Recognised,
};

enum class WaveRefusal {
    NoSample,            // no record chosen, or one whose type carries no sample
    SampleOutsideImage,  // the sample's header or data run past the image
};

enum class PlayOutcome { Started, NothingToPlay, Refused };

struct InstrumentView {
    std::vector<std::string> noteLines;
    std::string recordDump;  // the instrument record's 12 bytes
};

class SonnarySession {
public:
    SonnarySession(shell::Shell& shell, SoundOutput& output,
                   std::filesystem::path playFile = defaultPlayFile());

    // Reads the ROM image at `path` and checks its game code. An unreadable file keeps the image
    // held before, with its state: dropping it would leave lists on screen that no image stands
    // behind.
    LoadOutcome loadRom(const std::filesystem::path& path);

    bool hasImage() const { return loaded_; }
    bool gameRecognised() const { return game_ != nullptr; }

    // "KX4M TALMIR"; empty while no game is recognised.
    std::string gameFieldText() const;

    // The instrument list; empty while no game is recognised.
    std::vector<std::string> instrumentLines(ListLimit limit) const;
    std::size_t instrumentCount(ListLimit limit) const;

    // Makes `index` the selected instrument and keeps its key map. Nothing while no game is
    // recognised.
    std::optional<InstrumentView> selectInstrument(std::size_t index);
    std::optional<std::size_t> selectedInstrument() const { return selected_; }

    // The dump of the record note line `line` of the selected instrument names; empty when the line
    // names none.
    std::string noteRecordDump(std::size_t line) const;

    // The WAV file that playing instrument `index` with note line `line` writes. A note line only
    // applies to the selected instrument, whose note list it is a line of.
    std::expected<shell::Bytes, WaveRefusal> waveFor(std::size_t index,
                                                     std::optional<std::size_t> line) const;

    // Writes that WAV file to the play file and starts playing it. A record without a sample plays
    // nothing and says nothing; every other failure is shown.
    PlayOutcome play(std::size_t index, std::optional<std::size_t> line);

    // The recognised game's instrument table in the held image; nothing while no game is
    // recognised. It views the session's image and is valid until the next load.
    std::optional<InstrumentTable> instrumentTable() const;

    const std::filesystem::path& playFile() const { return playFile_; }
    SoundOutput& output() { return output_; }

private:

    shell::Shell& shell_;
    SoundOutput& output_;
    std::filesystem::path playFile_;
    shell::Bytes image_;
    bool loaded_ = false;
    const SupportedGame* game_ = nullptr;
    std::optional<std::size_t> selected_;
    KeyMap keyMap_;
};

}  // namespace sound
