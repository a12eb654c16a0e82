#include "ui/nv_editor_text.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstdio>

#include "platform/json_text.h"

namespace zk::ui {
namespace {

std::string JsonString(std::string_view text) { return platform::JsonQuoted(text); }

std::string Trim(std::string_view text) {
  const auto first = text.find_first_not_of(" \t");
  if (first == std::string_view::npos) return {};
  return std::string(text.substr(first, text.find_last_not_of(" \t") - first + 1));
}

bool SameText(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
         });
}

}  // namespace

std::string PagesAsText(const std::vector<NvEditorPage>& pages, int nam, std::optional<int> only) {
  std::string out;
  for (std::size_t p = 0; p < pages.size(); ++p) {
    if (only && *only != static_cast<int>(p)) continue;
    const NvEditorPage& page = pages[p];
    out += "== page " + std::to_string(p) + ": " + page.title + (p == 0 ? " (NAM " + std::to_string(nam) + ")" : "") +
           (page.readOnly ? " (read-only)" : "") + " ==\n";
    std::size_t width = 0;
    for (const auto& row : page.rows) width = std::max(width, row.label.size());
    for (const auto& row : page.rows) {
      std::string line = row.label;
      line.append(width - row.label.size(), ' ');
      for (const auto& cell : row.cells) line += " | " + cell.text;
      out += line + "\n";
    }
  }
  return out;
}

std::string PagesAsJson(const std::vector<NvEditorPage>& pages, int nam) {
  std::string out = "{\"nam\":" + std::to_string(nam) + ",\"pages\":[";
  for (std::size_t p = 0; p < pages.size(); ++p) {
    out += std::string(p ? "," : "") + "{\"title\":" + JsonString(pages[p].title) +
           ",\"readOnly\":" + (pages[p].readOnly ? "true" : "false") + ",\"rows\":[";
    for (std::size_t r = 0; r < pages[p].rows.size(); ++r) {
      const auto& row = pages[p].rows[r];
      out += std::string(r ? "," : "") + "{\"label\":" + JsonString(row.label) + ",\"cells\":[";
      for (std::size_t c = 0; c < row.cells.size(); ++c) out += std::string(c ? "," : "") + JsonString(row.cells[c].text);
      out += "]}";
    }
    out += "]}";
  }
  return out + "]}\n";
}

std::optional<CellAssignment> ParseAssignment(std::string_view text) {
  const auto equals = text.find('=');
  if (equals == std::string_view::npos) return std::nullopt;
  CellAssignment assignment;
  std::string_view left = text.substr(0, equals);
  assignment.value = Trim(text.substr(equals + 1));
  if (const auto hash = left.rfind('#'); hash != std::string_view::npos) {
    const std::string number = Trim(left.substr(hash + 1));
    int cell = 0;
    const auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), cell);
    if (number.empty() || error != std::errc() || end != number.data() + number.size() || cell < 1)
      return std::nullopt;
    assignment.cell = cell - 1;
    left = left.substr(0, hash);
  }
  assignment.label = Trim(left);
  if (assignment.label.empty()) return std::nullopt;
  return assignment;
}

int FindRowByLabel(const NvEditorPage& page, std::string_view label) {
  for (std::size_t r = 0; r < page.rows.size(); ++r)
    if (SameText(page.rows[r].label, label)) return static_cast<int>(r);
  return -1;
}

}  // namespace zk::ui
