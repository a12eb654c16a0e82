// CNVEditorModel: the NV editor as its dialog sees it. It formats the pages
// from the global NV image and read flags, keeps the operator's unsaved cell
// texts, checks and parses them back into the image on "Write", and hands
// the handset work of "Read" and "Write" to the editor's actions (CNVedit).
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <span>
#include <string>
#include <tuple>

#include "nv/nv_backup.h"
#include "nv/nv_editor_fields.h"
#include "ui/nv_editor_view.h"

class CNVEditorModel : public zk::ui::NvEditorModel {
 public:
  // The handset steps behind the buttons; both run after the model did its
  // own part (Write: the values are checked and in the image, marked).
  struct Actions {
    std::function<zk::ui::NvEditorAfter()> read;
    std::function<zk::ui::NvEditorAfter()> write;
  };
  // How a refused value is shown (a message box with OK).
  using ShowMessage = std::function<void(const std::string&)>;

  CNVEditorModel();  // over g_nvBackup, the library's NV editor option and message box
  CNVEditorModel(CNVBackup& backup, std::function<bool()> editorOption, ShowMessage show)
      : m_backup(backup), m_editorOption(std::move(editorOption)), m_show(std::move(show)) {}
  CNVEditorModel(const CNVEditorModel&) = delete;
  CNVEditorModel& operator=(const CNVEditorModel&) = delete;

  // A new dialog: NAM 0 selected, no edits.
  void Open(Actions actions);

  std::string Caption() const override { return "NV Edit"; }
  std::vector<zk::ui::NvEditorPage> Pages() const override;
  int NamCount() const override { return zk::nv::kNamCount; }
  int SelectedNam() const override { return m_nam; }
  void SelectNam(int nam) override;
  void SetCell(int page, int row, int cell, const std::string& text) override;
  void Restore(int page) override;
  zk::ui::NvEditorAfter Read() override;
  zk::ui::NvEditorAfter Write() override;

  // Checks every edited cell (phone page first, then the NAM page) and
  // parses them into a copy of the image; the first refusal's message, or
  // the new image. Nothing of the model changes.
  struct Parsed {
    std::optional<std::string> refusal;
    zk::nv::NvImage image{};
  };
  Parsed ParseEdits() const;

  // The call-history counters from the first block of their file: whole
  // 32-bit values, at most as many as there are counters.
  void SetCounters(std::span<const uint8_t> block);
  void ClearCounters() { m_counters.fill(0); }
  const std::array<uint32_t, zk::nv::editor::kCounterCount>& Counters() const { return m_counters; }

 private:
  zk::nv::editor::Source MakeSource() const;

  CNVBackup& m_backup;
  std::function<bool()> m_editorOption;
  ShowMessage m_show;
  Actions m_actions;
  int m_nam = 0;
  std::map<std::tuple<int, int, int>, std::string> m_edits;  // (page, row, cell) -> text
  std::array<uint32_t, zk::nv::editor::kCounterCount> m_counters{};
};

extern CNVEditorModel g_nvEditorModel;
