// One operator-interface event as a line of text: fields separated by tabs,
// with tab, line feed, carriage return and backslash escaped, so that any
// text a window shows travels whole and one line is always one event.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace zk::ui {

// The fields joined and escaped, with the closing line feed.
std::string EncodeEventLine(const std::vector<std::string>& fields);

// The fields of one line (without its line feed). A backslash before any
// other character, or at the end, stands for itself.
std::vector<std::string> DecodeEventLine(std::string_view line);

}  // namespace zk::ui
