// Text as a JSON string literal, for the few JSON documents the system
// writes (the service log, reports, the NV editor's pages).
#pragma once

#include <string>
#include <string_view>

namespace zk::platform {

// `text` in double quotes, with quotes, backslashes and control characters
// escaped.
std::string JsonQuoted(std::string_view text);

}  // namespace zk::platform
