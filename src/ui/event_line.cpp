#include "ui/event_line.h"

namespace zk::ui {

std::string EncodeEventLine(const std::vector<std::string>& fields) {
  std::string line;
  for (std::size_t i = 0; i < fields.size(); ++i) {
    if (i > 0) line += '\t';
    for (const char c : fields[i]) {
      switch (c) {
        case '\t': line += "\\t"; break;
        case '\n': line += "\\n"; break;
        case '\r': line += "\\r"; break;
        case '\\': line += "\\\\"; break;
        default: line += c;
      }
    }
  }
  line += '\n';
  return line;
}

std::vector<std::string> DecodeEventLine(std::string_view line) {
  std::vector<std::string> fields(1);
  for (std::size_t i = 0; i < line.size(); ++i) {
    const char c = line[i];
    if (c == '\t') {
      fields.emplace_back();
    } else if (c == '\\' && i + 1 < line.size()) {
      const char next = line[i + 1];
      const char plain = next == 't' ? '\t' : next == 'n' ? '\n' : next == 'r' ? '\r' : next == '\\' ? '\\' : '\0';
      if (plain != '\0') {
        fields.back() += plain;
        ++i;
      } else {
        fields.back() += c;
      }
    } else {
      fields.back() += c;
    }
  }
  return fields;
}

}  // namespace zk::ui
