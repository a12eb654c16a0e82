// The provisioning write: a PC directory tree written into the handset's
// file system by the EFS restore (g_efsDownload), then a reset and a check
// that the handset comes back.
#pragma once

#include <cstdint>

// The restore root is `path` itself when it contains "brew_script", else
// path/Efs_COM<port>. Results: 1, 501000 + r (mode entry), 114028 (the
// restore: a file not written, or no restore root at all, so a write that
// landed nothing never reads as success), 120000 (reset) or 116000 + r
// (mode entry after the restart).
int ProvisionWrite(int16_t kind, const char* spcCode, const char* path, int16_t portIndex, int16_t param1,
                   int16_t param2, int16_t param3);
