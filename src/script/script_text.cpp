#include "script/script_text.h"

namespace zk::script {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }
bool IsSeparator(char c) { return IsBlank(c) || c == ',' || c == '{' || c == '}'; }

}  // namespace

SplitText SplitLines(std::string_view text) {
  SplitText split;
  std::size_t start = 0;
  int number = 1;
  for (std::size_t feed = text.find('\n'); feed != std::string_view::npos; feed = text.find('\n', start)) {
    std::string_view line = text.substr(start, feed - start);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    split.lines.push_back({number++, std::string(line)});
    start = feed + 1;
  }
  if (start < text.size()) {
    split.unterminated = std::string(text.substr(start));
    split.unterminatedNumber = number;
  }
  return split;
}

FilteredLine FilterLine(std::string_view line) {
  FilteredLine filtered;
  if (line.size() < 2) return filtered;
  const std::size_t semicolon = line.find(';');
  if (semicolon == std::string_view::npos) {
    filtered.skipped = false;
    filtered.text = std::string(line);
    return filtered;
  }
  const std::size_t keep = semicolon == 0 ? 0 : semicolon - 1;
  if (semicolon > 0 && !IsBlank(line[keep])) {
    filtered.droppedCharacter = true;
    filtered.dropped = line[keep];
  }
  filtered.text = std::string(line.substr(0, keep));
  filtered.skipped = filtered.text.find_first_not_of(" \t") == std::string::npos;
  return filtered;
}

Tokens Tokenize(std::string_view line) {
  Tokens result;
  std::string current;
  bool inToken = false;
  bool sawSeparator = false;
  auto flush = [&] {
    if (inToken) result.tokens.push_back(std::move(current));
    current.clear();
    inToken = false;
  };
  for (std::size_t i = 0; i < line.size(); ++i) {
    const char c = line[i];
    if (c == ';') break;
    if (c == '"') {
      flush();
      const std::size_t close = line.find('"', i + 1);
      if (close == std::string_view::npos) {
        result.tokens.emplace_back(line.substr(i + 1));
        result.unterminatedQuote = true;
        return result;
      }
      result.tokens.emplace_back(line.substr(i + 1, close - i - 1));
      i = close;
      continue;
    }
    if (IsSeparator(c)) {
      if (!IsBlank(c)) sawSeparator = true;
      flush();
      continue;
    }
    current += c;
    inToken = true;
  }
  flush();
  result.onlySeparators = result.tokens.empty() && sawSeparator;
  return result;
}

}  // namespace zk::script
