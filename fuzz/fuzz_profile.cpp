// The host profile and the settings file as they may lie on disk: reading a
// key from any file gives the value or the fallback, a key written is read
// back as written while the file's other lines stay readable, and the
// settings byte is read from any file without a read past it.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "operations/settings_file.h"
#include "platform/profile.h"

namespace {

void Check(bool condition) {
  if (!condition) std::abort();
}

const std::filesystem::path& Scratch() {
  // In memory when the machine offers it: every input is a file written and read.
  static const std::filesystem::path directory =
      std::filesystem::is_directory("/dev/shm") ? "/dev/shm" : std::filesystem::temp_directory_path();
  static const std::filesystem::path file = directory / ("zk_fuzz_profile_" + std::to_string(getpid()) + ".ini");
  return file;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  const std::filesystem::path& file = Scratch();
  std::ofstream(file, std::ios::binary | std::ios::trunc)
      .write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));

  const bool option = zk::operations::ReadNvEditorOption(file);
  Check(!option || size > zk::operations::kNvEditorOptionOffset);

  const zk::platform::Profile profile(file);
  for (const char* section : {"Setting", "COM", ""}) {
    for (const char* key : {"Port", "Path", "x"}) {
      profile.GetInt(section, key, 7);
      profile.GetString(section, key, "fallback");
    }
  }
  // A written key reads back; an earlier key of another section keeps its text.
  const std::string before = profile.GetString("Other", "Keep", "absent");
  if (profile.WriteInt("Fuzz", "Number", -12345)) {
    Check(profile.GetInt("Fuzz", "Number", 0) == -12345);
    if (profile.WriteString("Fuzz", "Text", "a b=c")) Check(profile.GetString("Fuzz", "Text", "") == "a b=c");
    Check(profile.GetString("Other", "Keep", "absent") == before);
  }
  std::filesystem::remove(file);
  return 0;
}
