#pragma once
// Synthetic ROM images holding a game's instrument table, written straight from the record
// layouts: a game code at 0xAC, 12-byte instrument records at the table offset, and the samples,
// key maps and sub-tables they point to. It shares no code with the readers it feeds.

#include <array>
#include <cstdint>
#include <filesystem>
#include <string_view>
#include <vector>

namespace sound_testing {

using Bytes = std::vector<std::uint8_t>;

inline constexpr std::uint32_t kTalmirTable = 0x3F6AD4;
inline constexpr std::uint32_t kTalmorTable = 0x33430C;
inline constexpr std::size_t kDefaultImageSize = 0x400000;

struct Record {
    std::uint8_t type = 0;
    std::array<std::uint8_t, 3> rest{};
    std::uint32_t first = 0;   // bus address
    std::uint32_t second = 0;  // bus address
};

using KeyMapBytes = std::array<std::uint8_t, 128>;

class SoundRomBuilder {
public:
    SoundRomBuilder(std::string_view gameCode, std::uint32_t tableOffset,
                    std::size_t imageSize = kDefaultImageSize);

    void setInstrument(std::size_t index, const Record& record);
    // A record of type 0xFF, which no list shows, at `index`: the end of an unlimited list.
    void endTableAt(std::size_t index);

    // Each returns the bus address of what it placed in the data area.
    std::uint32_t addSample(std::uint32_t pitch, const Bytes& samples);
    std::uint32_t addRecords(const std::vector<Record>& records);
    std::uint32_t addKeyMap(const KeyMapBytes& keyMap);
    // Raw bytes, for damaged data.
    std::uint32_t addBytes(const Bytes& bytes);

    std::uint32_t tableOffset() const { return tableOffset_; }
    Bytes& image() { return image_; }
    Bytes take() { return std::move(image_); }

private:
    void putRecord(std::size_t offset, const Record& record);

    Bytes image_;
    std::uint32_t tableOffset_;
    std::size_t dataEnd_;
};

inline constexpr std::uint32_t busAddress(std::size_t offset)
{
    return static_cast<std::uint32_t>(offset + 0x08000000u);
}

void writeFile(const std::filesystem::path& path, const Bytes& bytes);
Bytes readFile(const std::filesystem::path& path);

// An image of the first game with every instrument type, used by the session, command line and
// window tests:
//   0  PCM melody sample A (rate 13379, bytes 00 01 FF 80)
//   1  pulse 1            2  pulse 2             3  wave memory     4  noise
//   5  PCM rhythm sample B (rate 8000, 1000 bytes)
//   6  rhythm noise       7  unknown (0x10)      8  custom sound
//   9  note switch: notes 0-4 -> sub 3 (sample A), 5 -> sub 1 (pulse), 6 -> sub 2 (sample B)
//   A  note switch with an empty key map
//   B  drum set: drum 0 sample B, drum 1 pulse, drum 2 sample A, the rest 0x01
//   C  PCM melody whose sample runs past the image
//   D..7F pulse 1, and the table ends after line 0x80 (line 80 is pulse 2)
struct DemoSound {
    Bytes image;
    std::uint32_t sampleA = 0;  // ROM offsets of the sample headers
    std::uint32_t sampleB = 0;
};
inline constexpr std::uint32_t kSampleARate = 13379;
inline constexpr std::uint32_t kSampleBRate = 8000;
inline constexpr std::size_t kSampleBLength = 1000;
DemoSound makeDemoSound(std::string_view gameCode = "KX4M");

}  // namespace sound_testing
