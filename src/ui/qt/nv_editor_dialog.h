// The NV editor dialog over an editor model: three pages of rows (label and
// value cells), the NAM drop-down and the buttons "Read", "Write" (default),
// "Restore" and "Exit". Cells with a choice list are drop-downs; the others
// take only what their mask allows. Every change goes to the model at once;
// the dialog is disabled while an action runs and afterwards does what the
// action asks.
#pragma once

#include <QComboBox>
#include <QDialog>
#include <QPushButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QValidator>
#include <vector>

#include "ui/nv_editor_view.h"

namespace zk::ui::qt {

// Accepts what fits a cell's mask: at most one character per mask position,
// a digit where the mask has "#", any character elsewhere. Shorter texts are
// accepted too: handsets keep values shorter than their masks.
class MaskValidator : public QValidator {
 public:
  MaskValidator(QString mask, QObject* parent);
  State validate(QString& input, int& position) const override;

 private:
  QString m_mask;
};

class NvEditorDialog : public QDialog {
 public:
  static constexpr int kClosedResult = 2;  // exec() result when an action closed the dialog

  explicit NvEditorDialog(NvEditorModel& model);

  QTabWidget& Pages() { return *m_pages; }
  QComboBox& NamChoice() { return *m_nam; }
  QPushButton& ReadButton() { return *m_read; }
  QPushButton& WriteButton() { return *m_write; }
  QPushButton& RestoreButton() { return *m_restore; }
  QPushButton& ExitButton() { return *m_exit; }
  // The widget of a value cell (a QComboBox or a QLineEdit), or nullptr.
  QWidget* CellWidget(int page, int row, int cell) const;

  void RunAction(NvEditorAfter (NvEditorModel::*action)());

 private:
  void FillAll();
  void FillPage(int page, const NvEditorPage& content);
  QWidget* MakeCell(int page, int row, int cell, const NvEditorCell& content, bool readOnly);

  NvEditorModel& m_model;
  QTabWidget* m_pages = nullptr;
  std::vector<QTableWidget*> m_tables;
  QComboBox* m_nam = nullptr;
  QPushButton* m_read = nullptr;
  QPushButton* m_write = nullptr;
  QPushButton* m_restore = nullptr;
  QPushButton* m_exit = nullptr;
};

}  // namespace zk::ui::qt
