#pragma once
// Porting: the unit of the file side takes over, one for one, the IDs that the ROM side's unit
// occupies. Fixed-size records are written over the ROM side's records; the variable-size data
// is appended behind the image and the pointer tables are pointed at it.

#include "editor/rom_table_offsets.hpp"
#include "editor/unit_data_set.hpp"
#include "rom/gba_address.hpp"
#include "shell/shell.hpp"

#include <cstdint>
#include <string_view>

namespace editor {

// The cartridge window: an image may not end past 32 MiB.
inline constexpr std::size_t kMaxImageSize = rom::kCartridgeSize;

inline constexpr std::string_view kPortShortOfIds = "IDが足りません";
inline constexpr std::string_view kPortDone = "GBAに移植完了";
inline constexpr std::string_view kPortTooLarge = "移植後のROMが32MBを超えます";
inline constexpr std::string_view kPortNotReadable = "移植したユニットを読み直せません";

// Ports `fileSide` into `image` at the IDs of `romIds`. Returns false, with the reason shown and
// nothing changed, when the ROM side has fewer IDs of a kind than the file side (each kind that
// falls short also goes to Shell::detail with its counts), when the image would end past 32 MiB,
// when a record to write lies outside the image, or when the ported unit does not read back from
// the new image. On success the file side holds the ROM side's IDs and the new addresses, and
// "GBAに移植完了" has been shown. The file side's streams and routines are those a folder load
// has checked: each decodes within its own file.
bool PortUnit(shell::Shell& shell, Bytes& image, const RomTableOffsets& offsets,
              UnitDataSet& fileSide, const UnitIdSet& fileIds, const UnitIdSet& romIds);

}  // namespace editor
