#include "platform/profile.h"

#include <charconv>
#include <fstream>
#include <optional>
#include <utility>
#include <vector>

#include "platform/atomic_file.h"
#include "platform/paths.h"

namespace zk::platform {
namespace {

std::string_view Trim(std::string_view text) {
  const auto first = text.find_first_not_of(" \t\r");
  if (first == std::string_view::npos) return {};
  const auto last = text.find_last_not_of(" \t\r");
  return text.substr(first, last - first + 1);
}

bool EqualsIgnoreCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    const auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; };
    if (lower(a[i]) != lower(b[i])) return false;
  }
  return true;
}

std::vector<std::string> ReadLines(const std::filesystem::path& file) {
  std::vector<std::string> lines;
  std::ifstream in(file);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

std::optional<std::string_view> SectionName(std::string_view line) {
  line = Trim(line);
  if (line.size() < 2 || line.front() != '[' || line.back() != ']') return std::nullopt;
  return Trim(line.substr(1, line.size() - 2));
}

// Splits "key = value"; nullopt for comments and lines without '='.
std::optional<std::pair<std::string_view, std::string_view>> KeyValue(std::string_view line) {
  const auto trimmed = Trim(line);
  if (trimmed.empty() || trimmed.front() == ';' || trimmed.front() == '#') return std::nullopt;
  const auto eq = trimmed.find('=');
  if (eq == std::string_view::npos) return std::nullopt;
  return std::make_pair(Trim(trimmed.substr(0, eq)), Trim(trimmed.substr(eq + 1)));
}

std::optional<std::string> Lookup(const std::filesystem::path& file, std::string_view section, std::string_view key) {
  bool inSection = false;
  for (const auto& line : ReadLines(file)) {
    if (const auto name = SectionName(line)) {
      inSection = EqualsIgnoreCase(*name, section);
      continue;
    }
    if (!inSection) continue;
    if (const auto kv = KeyValue(line); kv && EqualsIgnoreCase(kv->first, key)) return std::string(kv->second);
  }
  return std::nullopt;
}

}  // namespace

Profile Profile::Default() { return Profile(Home() / "profile.ini"); }

int Profile::GetInt(std::string_view section, std::string_view key, int fallback) const {
  const auto text = Lookup(file_, section, key);
  if (!text || text->empty()) return fallback;
  int value = 0;
  const char* begin = text->data();
  const char* end = begin + text->size();
  const auto [stop, ec] = std::from_chars(begin, end, value);
  return (ec == std::errc() && stop == end) ? value : fallback;
}

std::string Profile::GetString(std::string_view section, std::string_view key, std::string_view fallback) const {
  const auto text = Lookup(file_, section, key);
  return text ? *text : std::string(fallback);
}

bool Profile::WriteInt(std::string_view section, std::string_view key, int value) const {
  return WriteString(section, key, std::to_string(value));
}

bool Profile::WriteString(std::string_view section, std::string_view key, std::string_view value) const {
  auto lines = ReadLines(file_);
  const std::string entry = std::string(key) + "=" + std::string(value);
  bool inSection = false;
  std::optional<std::size_t> sectionEnd;  // index after the section's last line
  bool written = false;
  for (std::size_t i = 0; i < lines.size() && !written; ++i) {
    if (const auto name = SectionName(lines[i])) {
      inSection = EqualsIgnoreCase(*name, section);
      if (inSection) sectionEnd = i + 1;
      continue;
    }
    if (!inSection) continue;
    if (!Trim(lines[i]).empty()) sectionEnd = i + 1;
    if (const auto kv = KeyValue(lines[i]); kv && EqualsIgnoreCase(kv->first, key)) {
      lines[i] = entry;
      written = true;
    }
  }
  if (!written) {
    if (sectionEnd) {
      lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(*sectionEnd), entry);
    } else {
      if (!lines.empty() && !Trim(lines.back()).empty()) lines.emplace_back();
      std::string header(1, '[');
      header.append(section).push_back(']');
      lines.push_back(std::move(header));
      lines.push_back(entry);
    }
  }
  std::string text;
  for (const auto& line : lines) text += line + '\n';
  std::error_code error;
  return WriteFileAtomically(file_, text, error);
}

}  // namespace zk::platform
