#include "tests/sound/sound_rom_builder.hpp"

#include <fstream>
#include <stdexcept>

namespace sound_testing {
namespace {

constexpr std::size_t kGameCodeAt = 0xAC;
constexpr std::size_t kRecordBytes = 12;
constexpr std::size_t kDataStart = 0x1000;

void putU32(Bytes& bytes, std::size_t offset, std::uint32_t value)
{
    if (offset + 4 > bytes.size())
        throw std::out_of_range("sound builder: write past the image");
    for (std::size_t i = 0; i < 4; ++i)
        bytes[offset + i] = static_cast<std::uint8_t>(value >> (8 * i));
}

}  // namespace

SoundRomBuilder::SoundRomBuilder(std::string_view gameCode, std::uint32_t tableOffset,
                                 std::size_t imageSize)
    : image_(imageSize, 0), tableOffset_(tableOffset), dataEnd_(kDataStart)
{
    for (std::size_t i = 0; i < gameCode.size() && i < 4; ++i)
        image_.at(kGameCodeAt + i) = static_cast<std::uint8_t>(gameCode[i]);
}

void SoundRomBuilder::putRecord(std::size_t offset, const Record& record)
{
    image_.at(offset) = record.type;
    for (std::size_t i = 0; i < 3; ++i)
        image_.at(offset + 1 + i) = record.rest[i];
    putU32(image_, offset + 4, record.first);
    putU32(image_, offset + 8, record.second);
}

void SoundRomBuilder::setInstrument(std::size_t index, const Record& record)
{
    putRecord(tableOffset_ + kRecordBytes * index, record);
}

void SoundRomBuilder::endTableAt(std::size_t index)
{
    setInstrument(index, Record{.type = 0xFF});
}

std::uint32_t SoundRomBuilder::addBytes(const Bytes& bytes)
{
    const std::size_t at = dataEnd_;
    if (at + bytes.size() > tableOffset_)
        throw std::out_of_range("sound builder: data area full");
    std::copy(bytes.begin(), bytes.end(), image_.begin() + static_cast<std::ptrdiff_t>(at));
    // Keep every item 4-aligned, as the game's data is.
    dataEnd_ = (at + bytes.size() + 3) & ~std::size_t{3};
    return busAddress(at);
}

std::uint32_t SoundRomBuilder::addSample(std::uint32_t pitch, const Bytes& samples)
{
    Bytes bytes(16, 0);
    putU32(bytes, 4, pitch);
    putU32(bytes, 12, static_cast<std::uint32_t>(samples.size()));
    bytes.insert(bytes.end(), samples.begin(), samples.end());
    return addBytes(bytes);
}

std::uint32_t SoundRomBuilder::addRecords(const std::vector<Record>& records)
{
    const std::uint32_t address = addBytes(Bytes(records.size() * kRecordBytes, 0));
    for (std::size_t i = 0; i < records.size(); ++i)
        putRecord(address - 0x08000000u + kRecordBytes * i, records[i]);
    return address;
}

std::uint32_t SoundRomBuilder::addKeyMap(const KeyMapBytes& keyMap)
{
    return addBytes(Bytes(keyMap.begin(), keyMap.end()));
}

void writeFile(const std::filesystem::path& path, const Bytes& bytes)
{
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!out)
        throw std::runtime_error("cannot write " + path.string());
}

Bytes readFile(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

DemoSound makeDemoSound(std::string_view gameCode)
{
    const std::uint32_t table = gameCode == "VQ8T" ? kTalmorTable : kTalmirTable;
    SoundRomBuilder builder(gameCode, table);
    DemoSound demo;

    const std::uint32_t sampleA = builder.addSample(kSampleARate * 1024 + 1023, {0x00, 0x01, 0xFF, 0x80});
    Bytes longSample(kSampleBLength);
    for (std::size_t i = 0; i < longSample.size(); ++i)
        longSample[i] = static_cast<std::uint8_t>(i * 7);
    const std::uint32_t sampleB = builder.addSample(kSampleBRate * 1024, longSample);
    demo.sampleA = sampleA - 0x08000000u;
    demo.sampleB = sampleB - 0x08000000u;

    const Record pulse{.type = 0x01, .rest = {0x3C, 0x00, 0x00}};
    builder.setInstrument(0, {.type = 0x00, .rest = {0x3C, 0x00, 0x00}, .first = sampleA});
    builder.setInstrument(1, pulse);
    builder.setInstrument(2, {.type = 0x02});
    builder.setInstrument(3, {.type = 0x03});
    builder.setInstrument(4, {.type = 0x04});
    builder.setInstrument(5, {.type = 0x08, .first = sampleB});
    builder.setInstrument(6, {.type = 0x0C});
    builder.setInstrument(7, {.type = 0x10});
    builder.setInstrument(8, {.type = 0x20});

    const std::uint32_t subTable = builder.addRecords({
        {.type = 0x01},
        pulse,
        {.type = 0x08, .first = sampleB},
        {.type = 0x00, .first = sampleA},
    });
    KeyMapBytes keyMap{3, 3, 3, 3, 3, 1, 2};
    builder.setInstrument(9, {.type = 0x40, .first = subTable, .second = builder.addKeyMap(keyMap)});
    builder.setInstrument(0xA, {.type = 0x40, .first = subTable, .second = builder.addKeyMap({})});

    std::vector<Record> drums(128, pulse);
    drums[0] = {.type = 0x08, .first = sampleB};
    drums[2] = {.type = 0x08, .first = sampleA};
    builder.setInstrument(0xB, {.type = 0x80, .first = builder.addRecords(drums)});

    // A sample header near the image's end whose length reaches past it.
    const std::size_t tailOffset = builder.image().size() - 20;
    putU32(builder.image(), tailOffset + 4, 22050u * 1024u);
    putU32(builder.image(), tailOffset + 12, 100);
    builder.setInstrument(0xC, {.type = 0x00, .first = busAddress(tailOffset)});

    for (std::size_t index = 0xD; index < 0x80; ++index)
        builder.setInstrument(index, pulse);
    builder.setInstrument(0x80, {.type = 0x02});
    builder.endTableAt(0x81);
    demo.image = builder.take();
    return demo;
}

}  // namespace sound_testing
