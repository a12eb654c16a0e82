// Library-wide settings that the lower layers read. The values are kept by
// the library boundary (pass-parameter registration, load, settings file);
// this header lets serial, diag, flash and the rest read them without
// depending on boundary code.
#pragma once

namespace zk::platform {

// The library's own file path, or the path a host registered instead; its
// directory holds the error login files and BOOT_LOADER.bin. Never null.
const char* LibraryPathBuffer();

// NV editor option, from byte 65 of the settings file read at load.
bool NvEditorOption();
void SetNvEditorOption(bool on);

}  // namespace zk::platform
