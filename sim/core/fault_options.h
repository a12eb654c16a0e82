// The faults a handset is told to inject: rules that hit answers, NV statuses
// reported instead of doing the work, and handset quirks.
#pragma once

#include <cstdint>
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

struct FaultOptions {
  std::vector<FaultRule> rules;
  std::vector<NvStatusFault> nvStatus;
  bool ignoreStandardSwitch = false;  // AT$QCDMR / AT$QCDMG answer ERROR
  bool ignoreBaudChange = false;      // the baud change is an unknown command
  bool neverUsable = false;           // status never shows a usable state
  bool rejectFastRate = false;        // the downloader refuses 460800 bit/s (NAKs the rate packet)
};

}  // namespace rb310
