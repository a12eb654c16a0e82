#include "nv/nv_editor_model.h"

#include <algorithm>

#include "platform/library_state.h"
#include "ui/common_process.h"

using namespace zk::nv::editor;
using zk::ui::NvEditorAfter;

CNVEditorModel::CNVEditorModel()
    : CNVEditorModel(
          g_nvBackup, [] { return g_runState.nvEditorOption; },
          [](const std::string& text) { g_commonProcess.ShowMessage(text); }) {}

void CNVEditorModel::Open(Actions actions) {
  m_actions = std::move(actions);
  m_nam = 0;
  m_edits.clear();
}

Source CNVEditorModel::MakeSource() const {
  return Source{m_backup.m_image, m_backup.m_flags, m_counters, m_nam, m_editorOption()};
}

std::vector<zk::ui::NvEditorPage> CNVEditorModel::Pages() const {
  auto pages = BuildPages(MakeSource());
  for (const auto& [where, text] : m_edits) {
    const auto [page, row, cell] = where;
    pages[page].rows[row].cells[cell].text = text;
  }
  return pages;
}

void CNVEditorModel::SelectNam(int nam) {
  if (nam < 0 || nam >= zk::nv::kNamCount) return;
  m_nam = nam;
  m_edits.clear();  // every page is filled again for the new NAM
}

void CNVEditorModel::SetCell(int page, int row, int cell, const std::string& text) {
  if (page != kNamPage && page != kPhonePage) return;
  const auto& rows = page == kNamPage ? NamRows(m_editorOption()) : PhoneRows();
  if (row < 0 || static_cast<std::size_t>(row) >= rows.size()) return;
  if (cell < 0 || static_cast<std::size_t>(cell) >= rows[row].cells.size()) return;
  m_edits[{page, row, cell}] = text;
}

void CNVEditorModel::Restore(int page) {
  std::erase_if(m_edits, [page](const auto& edit) { return std::get<0>(edit.first) == page; });
}

// Only cells whose text differs from what the image shows are parsed: a
// value the operator left alone keeps its bytes exactly, even where the text
// cannot say everything the bytes hold.
CNVEditorModel::Parsed CNVEditorModel::ParseEdits() const {
  Parsed parsed;
  parsed.image = m_backup.m_image;
  const Source source = MakeSource();
  for (const int page : {kPhonePage, kNamPage}) {
    const auto& rows = page == kNamPage ? NamRows(source.editorOption) : PhoneRows();
    for (const auto& [where, text] : m_edits) {
      const auto [editPage, row, cell] = where;
      if (editPage != page) continue;
      const RowDef& def = rows[row];
      const Field& field = def.cells[cell];
      if (text == FormatCell(def, field, source)) continue;
      if (!HasValue(field, source) || field.format == Format::Counter) {
        parsed.refusal = "NV Item : " + def.label + " \n was not read from the phone and cannot be written";
        return parsed;
      }
      if (auto refusal = ParseCell(def, field, text, parsed.image, m_nam)) {
        parsed.refusal = std::move(refusal);
        return parsed;
      }
    }
  }
  return parsed;
}

NvEditorAfter CNVEditorModel::Read() {
  if (!m_actions.read) return NvEditorAfter::Disabled;
  const NvEditorAfter after = m_actions.read();
  if (after == NvEditorAfter::Refill) m_edits.clear();
  return after;
}

NvEditorAfter CNVEditorModel::Write() {
  m_backup.m_editorMode = true;  // every write attempt, even one a refused value stops
  Parsed parsed = ParseEdits();
  if (parsed.refusal) {
    m_show(*parsed.refusal);
    return NvEditorAfter::Keep;
  }
  m_backup.m_image = parsed.image;
  m_edits.clear();
  // Every item the last read got is written back with the edited values;
  // an item never read is never written (its image bytes are not the
  // handset's). The selected NAM's authentication key and its count are
  // never sent.
  for (const char* name : {"NV_A_KEY_I", "NV_COUNT_I"})
    if (const auto item = zk::nv::ItemNumber(name)) m_backup.m_flags.SetRead(*item, m_nam, 0);
  if (!m_actions.write) return NvEditorAfter::Disabled;
  return m_actions.write();
}

void CNVEditorModel::SetCounters(std::span<const uint8_t> block) {
  m_counters.fill(0);
  const std::size_t count = std::min(block.size() / 4, m_counters.size());
  for (std::size_t i = 0; i < count; ++i)
    m_counters[i] = static_cast<uint32_t>(block[4 * i]) | static_cast<uint32_t>(block[4 * i + 1]) << 8 |
                    static_cast<uint32_t>(block[4 * i + 2]) << 16 | static_cast<uint32_t>(block[4 * i + 3]) << 24;
}
