#include "ui/qt/nv_editor_dialog.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QVBoxLayout>
#include <algorithm>

namespace zk::ui::qt {
namespace {

constexpr int kPageCount = 3;
constexpr int kWidth = 640;
constexpr int kHeight = 560;

}  // namespace

MaskValidator::MaskValidator(QString mask, QObject* parent) : QValidator(parent), m_mask(std::move(mask)) {}

QValidator::State MaskValidator::validate(QString& input, int&) const {
  if (input.size() > m_mask.size()) return Invalid;
  for (int i = 0; i < input.size(); ++i)
    if (m_mask[i] == '#' && !input[i].isDigit()) return Invalid;
  return Acceptable;
}

NvEditorDialog::NvEditorDialog(NvEditorModel& model) : m_model(model) {
  setWindowTitle(QString::fromStdString(model.Caption()));
  resize(kWidth, kHeight);

  m_pages = new QTabWidget(this);
  for (int page = 0; page < kPageCount; ++page) {
    auto* table = new QTableWidget(m_pages);
    table->horizontalHeader()->setVisible(false);
    table->verticalHeader()->setVisible(false);
    table->setSelectionMode(QAbstractItemView::NoSelection);
    m_tables.push_back(table);
    m_pages->addTab(table, QString());
  }

  m_nam = new QComboBox(this);
  for (int nam = 0; nam < model.NamCount(); ++nam) m_nam->addItem(QString::number(nam));
  m_nam->setCurrentIndex(std::max(0, model.SelectedNam()));
  connect(m_nam, &QComboBox::activated, this, [this](int nam) {
    m_model.SelectNam(nam);
    FillAll();
  });

  m_read = new QPushButton("Read", this);
  m_write = new QPushButton("Write", this);
  m_restore = new QPushButton("Restore", this);
  m_exit = new QPushButton("Exit", this);
  m_write->setDefault(true);
  connect(m_read, &QPushButton::clicked, this, [this] { RunAction(&NvEditorModel::Read); });
  connect(m_write, &QPushButton::clicked, this, [this] { RunAction(&NvEditorModel::Write); });
  connect(m_restore, &QPushButton::clicked, this, [this] {
    const int page = m_pages->currentIndex();
    m_model.Restore(page);
    const std::vector<NvEditorPage> pages = m_model.Pages();
    if (page >= 0 && page < static_cast<int>(pages.size())) FillPage(page, pages[page]);
  });
  connect(m_exit, &QPushButton::clicked, this, &QDialog::reject);

  auto* buttons = new QHBoxLayout;
  buttons->addWidget(new QLabel("NAM", this));
  buttons->addWidget(m_nam);
  buttons->addStretch();
  for (QPushButton* button : {m_read, m_write, m_restore, m_exit}) buttons->addWidget(button);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(m_pages);
  layout->addLayout(buttons);
  FillAll();
}

void NvEditorDialog::RunAction(NvEditorAfter (NvEditorModel::*action)()) {
  setEnabled(false);  // nothing may change under a running read or write
  const NvEditorAfter after = (m_model.*action)();
  switch (after) {
    case NvEditorAfter::Refill:
      setEnabled(true);
      FillAll();
      return;
    case NvEditorAfter::Keep:
      setEnabled(true);
      return;
    case NvEditorAfter::Disabled:
      return;  // its failure was shown; only the close box is left
    case NvEditorAfter::Close:
      done(kClosedResult);
      return;
  }
}

void NvEditorDialog::FillAll() {
  const std::vector<NvEditorPage> pages = m_model.Pages();
  for (int page = 0; page < kPageCount; ++page) {
    const NvEditorPage content = page < static_cast<int>(pages.size()) ? pages[page] : NvEditorPage{};
    m_pages->setTabText(page, QString::fromStdString(content.title));
    FillPage(page, content);
  }
}

void NvEditorDialog::FillPage(int page, const NvEditorPage& content) {
  QTableWidget* table = m_tables[page];
  std::size_t columns = 1;
  for (const NvEditorRow& row : content.rows) columns = std::max(columns, row.cells.size() + 1);
  table->clearContents();
  table->setRowCount(static_cast<int>(content.rows.size()));
  table->setColumnCount(static_cast<int>(columns));
  for (int r = 0; r < static_cast<int>(content.rows.size()); ++r) {
    const NvEditorRow& row = content.rows[r];
    auto* label = new QTableWidgetItem(QString::fromStdString(row.label));
    label->setFlags(Qt::ItemIsEnabled);
    table->setItem(r, 0, label);
    for (int c = 0; c < static_cast<int>(row.cells.size()); ++c)
      table->setCellWidget(r, c + 1, MakeCell(page, r, c, row.cells[c], content.readOnly));
  }
  table->resizeColumnToContents(0);
}

QWidget* NvEditorDialog::MakeCell(int page, int row, int cell, const NvEditorCell& content, bool readOnly) {
  const bool editable = content.editable && !readOnly;
  const QString text = QString::fromStdString(content.text);
  if (!content.choices.empty()) {
    auto* box = new QComboBox;
    for (const std::string& choice : content.choices) box->addItem(QString::fromStdString(choice));
    const int shown = box->findText(text);
    if (shown >= 0) {
      box->setCurrentIndex(shown);
    } else {
      box->setEditable(true);  // a stored value outside the list still shows as it is
      box->setEditText(text);
    }
    box->setEnabled(editable);
    connect(box, &QComboBox::textActivated, this, [this, page, row, cell](const QString& chosen) {
      m_model.SetCell(page, row, cell, chosen.toStdString());
    });
    return box;
  }
  auto* line = new QLineEdit(text);
  line->setReadOnly(!editable);
  // A cell whose text does not fit its mask ("No Setting" for an item the
  // handset did not give) stays free: the model checks it on Write.
  auto* validator = new MaskValidator(QString::fromStdString(content.mask), line);
  QString probe = text;
  int at = 0;
  if (!content.mask.empty() && validator->validate(probe, at) == QValidator::Acceptable) {
    line->setMaxLength(static_cast<int>(content.mask.size()));
    line->setValidator(validator);
  } else {
    delete validator;
  }
  connect(line, &QLineEdit::textEdited, this, [this, page, row, cell](const QString& edited) {
    m_model.SetCell(page, row, cell, edited.toStdString());
  });
  return line;
}

QWidget* NvEditorDialog::CellWidget(int page, int row, int cell) const {
  if (page < 0 || page >= static_cast<int>(m_tables.size())) return nullptr;
  return m_tables[page]->cellWidget(row, cell + 1);
}

}  // namespace zk::ui::qt
