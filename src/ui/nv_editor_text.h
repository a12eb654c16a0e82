// The NV editor's pages as text: tables for a terminal or a log, and JSON
// for programs. Shared by the console view and the command line.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "ui/nv_editor_view.h"

namespace zk::ui {

// Every page (or only `page`) as a table: one line per row, "label | cell | cell".
std::string PagesAsText(const std::vector<NvEditorPage>& pages, int nam, std::optional<int> page = std::nullopt);
// {"nam":0,"pages":[{"title":"NAM","readOnly":false,"rows":[{"label":"...","cells":["..."]}]}]}
std::string PagesAsJson(const std::vector<NvEditorPage>& pages, int nam);

// Where "ROW=VALUE" or "ROW#N=VALUE" (N counting cells from 1) points.
struct CellAssignment {
  std::string label;
  int cell = 0;  // 0-based
  std::string value;
};
// nullopt when the text has no "=" or a bad "#N".
std::optional<CellAssignment> ParseAssignment(std::string_view text);
// The row labelled `label` (case-insensitive) of `page`, or -1.
int FindRowByLabel(const NvEditorPage& page, std::string_view label);

}  // namespace zk::ui
