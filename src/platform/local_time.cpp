#include "platform/local_time.h"

namespace zk::platform {

std::string LocalTimeText(const char* format, std::time_t when) {
  std::tm local{};
  localtime_r(&when, &local);
  char text[64];
  return std::string(text, std::strftime(text, sizeof(text), format, &local));
}

}  // namespace zk::platform
