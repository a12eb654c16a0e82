// The record of every request the handset received: AT lines, decoded frames
// and the input it could not use. Kept in memory and, when a file is given,
// appended to it as JSON lines as it happens.
#pragma once

#include <cstdint>
#include <fstream>
#include <mutex>
#include <span>
#include <string>
#include <system_error>
#include <vector>

namespace rb310 {

struct TranscriptEntry {
  int64_t timeMs = 0;  // since the handset was started
  std::string kind;    // "at", "frame", "download", "bad-frame", "overlong", "stray-text", "garbled",
                       // "restarting"
  int code = -1;       // command code of a frame, else -1
  std::string hex;     // the request bytes (decoded packet of a frame, raw bytes otherwise)
  bool answered = false;
  std::string note;    // faults applied, the AT answer, why input was ignored
  int64_t address = -1;  // download write block: its address and meaningful length
  int64_t length = -1;
};

std::string ToHex(std::span<const uint8_t> bytes);
std::string ToJsonLine(const TranscriptEntry& entry);

class Transcript {
 public:
  // Appends every later entry to `path` (truncated first).
  bool OpenFile(const std::string& path, std::error_code& error);
  void Add(TranscriptEntry entry);
  std::vector<TranscriptEntry> Entries() const;
  std::size_t Size() const;

 private:
  mutable std::mutex mutex_;
  std::vector<TranscriptEntry> entries_;
  std::ofstream file_;
};

}  // namespace rb310
