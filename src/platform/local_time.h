// Wall-clock time as the operator reads it: in the machine's time zone.
#pragma once

#include <ctime>
#include <string>

namespace zk::platform {

// `when` in local time, formatted by strftime's `format` (at most 63
// characters once formatted).
std::string LocalTimeText(const char* format, std::time_t when = std::time(nullptr));

}  // namespace zk::platform
