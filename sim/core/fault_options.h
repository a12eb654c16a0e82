// The faults a handset is told to inject: rules that hit answers, NV statuses
// reported instead of doing the work, and handset quirks.
#pragma once

#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace rb310 {

// One injected fault: which answers it hits and what it does to them.
struct FaultRule {
  enum class Action {
    kDrop,         // the answer is never sent (the request still takes effect)
    kCorrupt,      // the answer's check bytes are wrong
    kForeignCode,  // answer `value` followed by the request instead
    kStall,        // the answer leaves `value` ms (scaled) late
    kGarbage,      // `value` noise bytes go out before the answer
    kNak,          // refused: the packet does not take effect and the answer is the
                   // downloader's negative acknowledgement 0x03 (download packets
                   // only: diagnostic requests neither count nor get hit)
    kDisconnect,   // the handset vanishes: no answer, and the line closes for good
  };
  enum class Match {
    kAll,   // every request (diagnostic or download)
    kNth,   // the `selector`-th request since start (1-based)
    kCode,  // every request with command code `selector`
  };
  Action action = Action::kDrop;
  Match match = Match::kAll;
  uint32_t selector = 0;
  uint32_t times = 0;  // how many matching requests it hits; 0 = all of them
  uint32_t value = 0;
  uint32_t skip = 0;   // matching requests passed over before it starts to hit
};

// A status the NV store reports for one item instead of doing the work.
struct NvStatusFault {
  uint16_t item = 0;
  int index = -1;  // NAM index of an indexed item; -1 = any
  uint16_t status = 0;
  bool onRead = true;
  bool onWrite = true;
};

// Faults of the file system, by handset path (any spelling: "/eri/eri.bin"
// and "eri/eri.bin" name the same file).
struct EfsFaultOptions {
  std::set<std::string> failPaths;  // every request naming one of them answers error 13
  // Reads of the path past its first N blocks of 512 bytes get no answer.
  std::map<std::string, uint32_t> dropReadsAfter;
  std::set<std::string> zeroTransfers;  // reads and writes of the path move 0 bytes, error 0
  uint32_t extraListingCount = 0;       // older-family listings count this many names more than they send
  // Entries every directory listing also names, exactly as given: as plain
  // files (readdir, file listings) and as directories (readdir, directory
  // listings).
  std::vector<std::string> hostileFiles;
  std::vector<std::string> hostileDirectories;
};

struct FaultOptions {
  std::vector<FaultRule> rules;
  std::vector<NvStatusFault> nvStatus;
  EfsFaultOptions efs;
  bool ignoreStandardSwitch = false;  // AT$QCDMR / AT$QCDMG answer ERROR
  bool ignoreBaudChange = false;      // the baud change is an unknown command
  bool neverUsable = false;           // status never shows a usable state
  bool rejectFastRate = false;        // the downloader refuses 460800 bit/s (NAKs the rate packet)
};

}  // namespace rb310
