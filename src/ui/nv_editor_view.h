// What an operator interface needs to show the NV editor: its pages of rows
// and cells, and the editor's actions behind the dialog's buttons.
//
// The editor itself (formatting from the NV image, parsing and validation,
// reading and writing the handset) lives in the core; a view only shows the
// pages it is given, sends back the cells the operator changed and calls
// the actions. Messages and error dialogs of an action go through the
// operator interface as usual, while the action runs.
#pragma once

#include <string>
#include <vector>

namespace zk::ui {

struct NvEditorCell {
  std::string text;                  // what the cell shows
  std::string mask;                  // input mask: "#" is one digit, any other character one character
  std::vector<std::string> choices;  // when not empty the cell offers exactly these entries
  bool editable = true;
};

struct NvEditorRow {
  std::string label;
  std::vector<NvEditorCell> cells;  // one or more value cells
};

struct NvEditorPage {
  std::string title;  // "NAM", "Phone", "Calibration"
  std::vector<NvEditorRow> rows;
  bool readOnly = false;
};

// What the dialog does after an action.
enum class NvEditorAfter {
  Refill,    // the action ended well: enable the dialog and show Pages() again
  Keep,      // nothing changed (a refused value): keep the edits, stay enabled
  Disabled,  // the action failed and its failure was shown: the dialog stays disabled
  Close,     // the dialog must close (a failed write)
};

// How the editor dialog was left.
enum class NvEditorEnd {
  Exit,    // "Exit", the close box or Escape
  Closed,  // closed because an action asked for it
  Failed,  // the dialog could not be shown
};

// The editor model behind the dialog (implemented in the core).
class NvEditorModel {
 public:
  virtual ~NvEditorModel() = default;

  // "NV Edit": the dialog's caption.
  virtual std::string Caption() const = 0;
  // All pages for the selected NAM, formatted from the editor's values.
  virtual std::vector<NvEditorPage> Pages() const = 0;
  virtual int NamCount() const = 0;
  virtual int SelectedNam() const = 0;  // 0-based
  // Selects another NAM; the caller then shows Pages() again.
  virtual void SelectNam(int nam) = 0;

  // The operator's text for one cell (page, row, cell as in Pages()); kept
  // until Write parses it or Restore/Read/NAM change drops it.
  virtual void SetCell(int page, int row, int cell, const std::string& text) = 0;
  // Drops the unsaved edits of one page.
  virtual void Restore(int page) = 0;
  // "Read": reads the handset again.
  virtual NvEditorAfter Read() = 0;
  // "Write": validates and writes the edited values to the handset.
  virtual NvEditorAfter Write() = 0;
};

}  // namespace zk::ui
