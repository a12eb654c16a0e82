// Script text: any bytes parse without a crash, every NV record fits the
// write request's data field, and no EFS line leaves the efs_scr folder.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "script/script_parser.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  for (int kind : {0, 2}) {
    const zk::script::ScriptParse parse = zk::script::ParseScript(text, {"efs_scr", kind});
    int previous = 0;
    for (const zk::script::ParsedLine& line : parse.lines) {
      if (line.number <= previous) std::abort();
      previous = line.number;
      if (line.nv.length > zk::script::kNvDataBytes) std::abort();
      if (line.action == zk::script::Action::kNvWrite && !line.Fails() && line.nv.nam > 1) std::abort();
      if (line.action == zk::script::Action::kEfs && !line.Fails()) {
        const std::string& path = line.efs.destination;
        if (path.empty() || path[0] != '/' || path.find("/../") != std::string::npos ||
            path.compare(path.size() - std::min<std::size_t>(path.size(), 3), 3, "/..") == 0)
          std::abort();
      }
      if (line.action == zk::script::Action::kWait && !line.Fails() && line.waitSeconds < 0) std::abort();
    }
    if (parse.failureFlag == parse.nvErrors.empty()) std::abort();
  }
  return 0;
}
