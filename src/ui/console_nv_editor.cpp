// The console's NV editor: the pages printed as tables, and commands in
// place of the dialog's grid and buttons.
#include <cctype>
#include <cstdio>
#include <string>

#include "platform/atomic_file.h"
#include "ui/console_ui.h"
#include "ui/nv_editor_text.h"

namespace zk::ui {
namespace {

constexpr const char* kHelp =
    "commands:\n"
    "  page N            show page N (0 NAM, 1 Phone, 2 Calibration)\n"
    "  nam N             select NAM N (0 or 1)\n"
    "  set ROW=VALUE     change the first cell of a row (label without regard to case)\n"
    "  set ROW#K=VALUE   change cell K (1, 2, ...) of a row\n"
    "  show              show every page\n"
    "  restore           drop the unsaved changes of the current page\n"
    "  read              read the handset again\n"
    "  write             check the changes and write them to the handset\n"
    "  save FILE         write the pages as text into FILE\n"
    "  json FILE         write the pages as JSON into FILE\n"
    "  exit              leave the editor\n";

std::string Lower(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

// "word rest" -> word (lower case) and rest.
std::pair<std::string, std::string> SplitCommand(const std::string& line) {
  const auto first = line.find_first_not_of(" \t");
  if (first == std::string::npos) return {};
  const auto space = line.find_first_of(" \t", first);
  std::string word = Lower(line.substr(first, space == std::string::npos ? std::string::npos : space - first));
  std::string rest;
  if (space != std::string::npos) {
    const auto from = line.find_first_not_of(" \t", space);
    if (from != std::string::npos) rest = line.substr(from);
  }
  return {word, rest};
}

std::optional<int> Number(const std::string& text) {
  if (text.empty() || text.size() > 3) return std::nullopt;
  for (const char c : text)
    if (!std::isdigit(static_cast<unsigned char>(c))) return std::nullopt;
  return std::stoi(text);
}

}  // namespace

void ConsoleUi::SetEditorScript(std::string_view script) {
  m_editorScript.clear();
  while (!script.empty()) {
    const auto end = script.find('\n');
    std::string line(script.substr(0, end));
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.find_first_not_of(" \t") != std::string::npos) m_editorScript.push_back(line);
    if (end == std::string_view::npos) break;
    script.remove_prefix(end + 1);
  }
}

std::optional<std::string> ConsoleUi::NextEditorCommand() {
  if (!m_editorScript.empty()) {
    std::string command = std::move(m_editorScript.front());
    m_editorScript.pop_front();
    Write("nv-edit> " + command + " (script)\n");
    return command;
  }
  if (const auto scripted = m_answers.Next()) {
    Write("nv-edit> " + *scripted + " (scripted)\n");
    return scripted;
  }
  return Ask("nv-edit> ");
}

NvEditorEnd ConsoleUi::RunNvEditor(NvEditorModel& model) {
  EndLiveLine();
  int current = 0;
  bool disabled = false;
  const auto show = [&](std::optional<int> page) {
    Write(PagesAsText(model.Pages(), model.SelectedNam(), page));
  };
  Write("\n=== " + model.Caption() + " === (\"help\" lists the commands)\n");
  show(std::nullopt);
  for (;;) {
    const auto line = NextEditorCommand();
    if (!line) return NvEditorEnd::Exit;
    const auto [word, rest] = SplitCommand(*line);
    if (word.empty()) continue;
    if (word == "exit" || word == "quit" || word == "end") return NvEditorEnd::Exit;
    if (word == "help") {
      Write(kHelp);
      continue;
    }
    const auto pages = model.Pages();
    if (word == "show") {
      show(std::nullopt);
    } else if (word == "page") {
      const auto page = Number(rest);
      if (!page || *page >= static_cast<int>(pages.size())) {
        Write("no page " + rest + "\n");
        continue;
      }
      current = *page;
      show(current);
    } else if (word == "save" || word == "json") {
      std::error_code error;
      const std::string text = word == "json" ? PagesAsJson(pages, model.SelectedNam())
                                              : PagesAsText(pages, model.SelectedNam());
      if (rest.empty() || !zk::platform::WriteFileAtomically(rest, text, error))
        Write("cannot write " + (rest.empty() ? std::string("(no file)") : rest) + "\n");
    } else if (disabled) {
      Write("the editor is disabled after the failure; only exit is left\n");
    } else if (word == "nam") {
      const auto nam = Number(rest);
      if (!nam || *nam >= model.NamCount()) {
        Write("no NAM " + rest + "\n");
        continue;
      }
      model.SelectNam(*nam);
      show(std::nullopt);
    } else if (word == "set") {
      const auto assignment = ParseAssignment(rest);
      if (!assignment) {
        Write("write set ROW=VALUE or set ROW#K=VALUE\n");
        continue;
      }
      // The current page first, then the other pages.
      int page = -1, row = -1;
      for (int offset = 0; offset < static_cast<int>(pages.size()) && row < 0; ++offset) {
        page = (current + offset) % static_cast<int>(pages.size());
        row = FindRowByLabel(pages[page], assignment->label);
      }
      if (row < 0) {
        Write("no row \"" + assignment->label + "\"\n");
        continue;
      }
      const auto& cells = pages[page].rows[row].cells;
      if (assignment->cell >= static_cast<int>(cells.size())) {
        Write("\"" + pages[page].rows[row].label + "\" has " + std::to_string(cells.size()) + " cell(s)\n");
        continue;
      }
      if (pages[page].readOnly || !cells[assignment->cell].editable) {
        Write("\"" + pages[page].rows[row].label + "\" cannot be changed\n");
        continue;
      }
      model.SetCell(page, row, assignment->cell, assignment->value);
    } else if (word == "restore") {
      model.Restore(current);
      show(current);
    } else if (word == "read" || word == "write") {
      const NvEditorAfter after = word == "read" ? model.Read() : model.Write();
      switch (after) {
        case NvEditorAfter::Refill: show(std::nullopt); break;
        case NvEditorAfter::Keep: break;
        case NvEditorAfter::Disabled: disabled = true; break;
        case NvEditorAfter::Close: return NvEditorEnd::Closed;
      }
    } else {
      Write("unknown command \"" + word + "\" (help lists the commands)\n");
    }
  }
}

}  // namespace zk::ui
