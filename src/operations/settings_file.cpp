#include "operations/settings_file.h"

#include <array>
#include <fstream>

#include "platform/paths.h"

namespace zk::operations {

std::filesystem::path SettingsFilePath() { return platform::Home() / kSettingsFileName; }

bool ReadNvEditorOption(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  if (!in) return false;
  // Bytes past the end of a short file read as zero.
  std::array<char, kSettingsReadLimit> bytes{};
  in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  return bytes[kNvEditorOptionOffset] != 0;
}

}  // namespace zk::operations
