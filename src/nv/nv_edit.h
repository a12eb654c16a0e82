// CNVedit: the NV editor operation. It reads the handset's NV items into the
// global image, runs the editor dialog over g_nvEditorModel, and behind the
// dialog's buttons reads the handset again or writes the edited image back.
//
// NV editor mode (g_nvBackup.m_editorMode) is set when the operation starts
// and by every read and write, and cleared only by a completed write: later
// operations of the library run in it until then.
#pragma once

#include <cstdint>

#include "ui/nv_editor_view.h"

class CNVedit {
 public:
  static constexpr int kDone = 1;
  // Failure locations (the step's cause is added).
  static constexpr int kModeEntryLocation = 701000;       // before the first read
  static constexpr int kReadLocation = 702000;            // the first read
  static constexpr int kWriteModeEntryLocation = 703000;  // "Write": diagnostic mode
  static constexpr int kWriteLocation = 704000;           // "Write": the NV restore
  static constexpr int kReadModeEntryLocation = 705000;   // "Read": diagnostic mode
  static constexpr int kRereadLocation = 706000;          // "Read": the NV backup read
  static constexpr int kDialogFailed = 707000;
  static constexpr int kItemsFailed = 50;                 // a pass that left items out
  static constexpr int kReadSettleMs = 7000;              // after "Read", before the pages refill
  static constexpr int kWriteSettleMs = 2000;             // between mode entry and the writes
  static constexpr int kCallHistoryWaitMs = 2000;
  static constexpr int kCallHistoryFailPauseMs = 100;
  static constexpr std::size_t kCallHistoryMaxBytes = 100;
  static constexpr const char* kCallHistoryFile = "pim/call_hist_nv.dat";
  static constexpr const char* kCallHistoryMessage = "Can't read pim/call_hist_nv.dat file from phone !!";
  static constexpr const char* kWriteCompleted = "NV Item Write Completed!";

  CNVedit() = default;
  CNVedit(const CNVedit&) = delete;
  CNVedit& operator=(const CNVedit&) = delete;

  // The whole operation: 1 when the operator left the editor with "Exit"
  // (or its close box), the failed write's code when a write closed it,
  // else a code of the locations above.
  int Run(int16_t kind, int portIndex, const char* spcCode, int16_t param1, int16_t param2, int16_t param3);

  // The dialog's "Read" and "Write" after the model's part.
  zk::ui::NvEditorAfter ReadHandset();
  zk::ui::NvEditorAfter WriteHandset();

  // The outcome of the last "Write" sent to the handset since the operation
  // started: 0 none (a refused value sends nothing), 1 the handset took every
  // item, or the failure (50, 703000 + r, 704000 + r).
  int LastWriteResult() const { return m_lastWrite; }

 private:
  // Reads the call-history counters into the model (zeros and a message
  // when the handset gives no good answer).
  void ReadCallHistory();

  int m_portIndex = 0;
  int m_closedCode = 0;  // the code of the write failure that closed the dialog
  int m_lastWrite = 0;
};

extern CNVedit g_nvEdit;
