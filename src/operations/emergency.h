// CEmergency: rescues a handset that no longer starts. Such a handset offers
// only its downloader on the port, so the flow opens the port and hands the
// image straight to the flash engine, without AT commands or diagnostic
// requests.
#pragma once

#include <cstdint>

class CEmergency {
 public:
  CEmergency() = default;
  CEmergency(const CEmergency&) = delete;
  CEmergency& operator=(const CEmergency&) = delete;

  // 1, or 201000 + r (image), 601000 (port), 602000 + r (download).
  int Run(int16_t kind, const char* text1, const char* text2, const char* imagePath, char flag, int16_t portIndex,
          int16_t param1, int16_t param2, int16_t param3);
};

extern CEmergency g_emergency;
