// CPRLDown: reads the preferred roaming list of one NAM into a file, and
// writes a file into one NAM or both.
#pragma once

#include <cstdint>

class CPRLDown {
 public:
  CPRLDown() = default;
  CPRLDown(const CPRLDown&) = delete;
  CPRLDown& operator=(const CPRLDown&) = delete;

  // 1, or 407000 + r (mode entry), 401034 (file), 401035 (exchange),
  // 401063 (no list stored).
  int Read(int16_t kind, const char* text, const char* spcCode, const char* path, int nam, int16_t portIndex,
           int16_t param1, int16_t param2, int16_t param3);

  // 1, or 402000 + r, 403000 + r, 404000 + r, 405041, 405043, 406000. Serves
  // handset after handset while the end dialog answers OK.
  int Write(int16_t kind, const char* text, const char* spcCode, const char* path, int namSelector, int16_t portIndex,
            int16_t param1, int16_t param2, int16_t param3);

 private:
  int WriteOneHandset(const char* path, int namSelector, int16_t portIndex);
};

extern CPRLDown g_prlDown;
