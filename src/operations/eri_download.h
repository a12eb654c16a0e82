// CEriDownload: reads the handset's ERI file (/eri/eri.bin) into a PC file
// and writes a PC file there.
//
// Results: 1, or a failure code. Mode entry, offline and unlock failures are
// their location + the step's result; the ERI file steps report whole codes
// of their own (411000 read, 415000 write), which pass through unchanged;
// a failed reset is 416000.
#pragma once

#include <cstdint>

class CEriDownload {
 public:
  CEriDownload() = default;
  CEriDownload(const CEriDownload&) = delete;
  CEriDownload& operator=(const CEriDownload&) = delete;

  // 1, 417000 + r (mode entry) or 411000. Shows "Successfully Completed!"
  // on success unless `unattended`.
  int Read(int16_t kind, const char* spcCode, const char* path, int16_t portIndex, int16_t param1, int16_t param2,
           int16_t param3, bool unattended = false);

  // 1, 412000 + r, 413000 + r, 414000 + r, 415000 or 416000. Serves handset
  // after handset while the end dialog answers OK; one handset per call when
  // a host registered a result cell.
  int Write(int16_t kind, const char* spcCode, const char* path, int16_t portIndex, int16_t param1, int16_t param2,
            int16_t param3);

  // The unattended write: one handset, unlocked with the service sequence,
  // no reset and no restart wait. 1, 412000 + r, 413000 + r, 414000 + r or
  // 415000.
  int WriteUnattended(int16_t kind, const char* spcCode, const char* path, int16_t portIndex, int16_t param1,
                      int16_t param2, int16_t param3);

  int16_t m_kind = 0;  // operation kind of the last call

 private:
  void Prepare(int16_t kind, const char* spcCode, int16_t portIndex, int16_t param1, int16_t param2, int16_t param3);
  int WriteOneHandset(const char* path, int16_t portIndex);
};

extern CEriDownload g_eriDownload;
