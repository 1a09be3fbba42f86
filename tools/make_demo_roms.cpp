// make_demo_roms OUTDIR: writes the demo images demo_a.gba and demo_b.gba and the character
// table string.txt that decodes their names, for trying the tools by hand.
#include <cstdio>
#include <exception>
#include <filesystem>
#include <fstream>
#include <string>
#include <system_error>

#include "tests/support/character_table_file.hpp"
#include "tests/support/demo_scenario.hpp"

namespace {

bool writeFile(const std::filesystem::path& path, const char* data, std::size_t size) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(data, static_cast<std::streamsize>(size));
  out.close();
  if (!out) {
    std::fprintf(stderr, "make_demo_roms: cannot write %s\n", path.string().c_str());
    return false;
  }
  return true;
}

bool writeImage(const std::filesystem::path& path, const synthetic::Bytes& image) {
  return writeFile(path, reinterpret_cast<const char*>(image.data()), image.size());
}

constexpr const char* kUsage =
    "usage: make_demo_roms OUTDIR\n"
    "Writes the demo images demo_a.gba and demo_b.gba and the character table string.txt that\n"
    "decodes their names into OUTDIR (created when missing), for trying the tools by hand.\n";

}  // namespace

int main(int argc, char** argv) {
  const std::string first = argc > 1 ? argv[1] : "";
  if (argc == 2 && (first == "--help" || first == "-h")) {
    std::fputs(kUsage, stdout);
    return 0;
  }
  if (argc != 2 || first.starts_with('-')) {
    std::fputs(kUsage, stderr);
    return 2;
  }
  const std::filesystem::path folder = argv[1];
  std::error_code error;
  std::filesystem::create_directories(folder, error);
  if (error) {
    std::fprintf(stderr, "make_demo_roms: cannot create %s: %s\n", folder.string().c_str(),
                 error.message().c_str());
    return 1;
  }
  try {
    const std::string table = synthetic::makeCharacterTableFile();
    const bool written = writeImage(folder / "demo_a.gba", synthetic::makeDemoScenarioA().image) &&
                         writeImage(folder / "demo_b.gba", synthetic::makeDemoScenarioB().image) &&
                         writeFile(folder / "string.txt", table.data(), table.size());
    return written ? 0 : 1;
  } catch (const std::exception& fault) {
    std::fprintf(stderr, "make_demo_roms: %s\n", fault.what());
    return 1;
  }
}
