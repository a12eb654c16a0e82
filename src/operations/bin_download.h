// CBinDownload: burns a firmware image alone, keeping the handset's NV items
// (and with kinds 2 and 3 its authentication items): saves them, downloads
// the image, waits for the handset to restart, proves that it came back with
// a version (the image's own, when the image names one) and writes the items
// back. Reports its stages to a host that registered buffers.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "operations/flow_steps.h"

class CBinDownload {
 public:
  // The message shown after each of the first three failed mode entries
  // after the download (kinds 2 and 3).
  static constexpr const char* kRebootMessage = zk::operations::kRebootMessage;

  CBinDownload() = default;
  CBinDownload(const CBinDownload&) = delete;
  CBinDownload& operator=(const CBinDownload&) = delete;

  // 1, or 201000 + r (image), 121000 (image name, kinds 2 and 3), 202000 + r
  // (mode entry), 203000 + r (NV or AKey read), 204000 + r (download),
  // 205000 + r (mode entry after the restart), 314000 (version read-back),
  // 206000 + r (NV or AKey write), 207000 (reset). Serves handset after
  // handset while the end dialog answers OK.
  int Run(int16_t kind, const char* text, const char* spcCode, const char* imagePath, char flag, int16_t portIndex,
          int16_t param1, int16_t param2, int16_t param3);

  // Whether kind `kind` runs the full sequence (model check, AKeys, retries,
  // final restart check) rather than the short one.
  static bool FullSequence(int16_t kind) { return kind == 2 || kind == 3; }

 private:
  int OneHandset(int16_t kind, int16_t portIndex);
  // Enters diagnostic mode after the restart: once, or with kinds 2 and 3
  // up to four times with the reboot message between tries.
  int ReenterDiagMode(int16_t kind, int16_t portIndex);
};

extern CBinDownload g_binDownload;
