// CNVBackup: the host's copy of the handset's NV items (the NV image and its
// read flags), the passes that read it from the handset and write it back,
// the authentication items, the calibration check and the .bak files.
//
// Requests go through a Transactor (the library's link unless a test hands
// in another); the unlock and reset steps, which drive the keypad through
// the link's own objects, come in as HandsetSteps. Every answer is judged:
// only an NV answer with the request's code and status 0 is a read value or
// a write the handset holds.
//
// Runs of silence: a read pass stops after 4 unanswered items in a row; a
// write pass after 4 unanswered writes with no successful write between
// them. A write answered with a non-zero status neither counts towards the
// run nor ends it.
#pragma once

#include <array>
#include <cstdint>
#include <ctime>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "diag/transactor.h"
#include "nv/nv_catalogue.h"
#include "nv/nv_image.h"
#include "nv/nv_read_flags.h"

class CNVBackup {
 public:
  // Pass results (a flow adds its location).
  static constexpr int kDone = 1;
  static constexpr int kReadUnlockFailed = 3;
  static constexpr int kVersionNoAnswer = 4;   // NV editor mode only
  static constexpr int kWriteUnlockFailed = 21;
  static constexpr int kItemsFailed = 50;      // completed; the NV error list names the items
  static constexpr int kReadAborted = 51;
  static constexpr int kWriteAborted = 52;
  static constexpr int kEditorResetFailed = 120000;
  // Calibration check results.
  static constexpr int kCalibrationUnread = 48;
  static constexpr int kCalibrationEmpty = 49;
  // Unanswered requests in a row that end a pass.
  static constexpr int kMaxSilentRun = 3;  // the run ends a pass once it is above this
  static constexpr int kEditorRestartSeconds = 35;
  // Further requests for an item whose answer named another item.
  static constexpr int kStaleAnswerAsks = 2;

  // The steps around the passes that are not single exchanges.
  struct HandsetSteps {
    std::function<bool()> unlockForReads;   // true when the handset was unlocked
    std::function<bool()> unlockForWrites;
    std::function<bool()> resetHandset;     // true when the reset was taken
  };

  CNVBackup();  // the library's link and its unlock and reset steps
  CNVBackup(zk::diag::Transactor& link, HandsetSteps steps) : m_link(link), m_steps(std::move(steps)) {}
  CNVBackup(const CNVBackup&) = delete;
  CNVBackup& operator=(const CNVBackup&) = delete;

  // --- single items ------------------------------------------------------
  // Reads `item` (NAM `index`, or kNoNam) into the image; true only for an
  // answer with status 0 whose value fits the item's slot.
  bool ReadItem(uint16_t item, int index, const char* name);
  // Writes `item` from the NV image, or from `scriptImage` when given (the
  // script download's image). True only when the handset answered the
  // write with status 0; otherwise the item goes to the NV error list and
  // the current pass is marked failed.
  bool WriteItem(uint16_t item, int index, const char* name, const zk::nv::NvImage* scriptImage = nullptr);

  // --- passes ------------------------------------------------------------
  // The calibration list, and with `everything` the settings and NAM lists.
  int BackupRead(bool everything);
  // Writes back the flagged entries (see the results above).
  int Restore(bool everything);
  // The authentication items of both NAMs; failures do not stop them. Both answer 1.
  int AKeyRead();
  int AKeyWrite();
  // 1, kCalibrationUnread or kCalibrationEmpty.
  int CheckCalibration();

  // --- backup files ------------------------------------------------------
  // "COM<n>_MMDDhhmmss.bak" for port index `portIndex` at local time `when`.
  static std::string AutomaticFileName(int portIndex, std::time_t when);
  // Where a backup is saved: with kind 2 or 3 the operator chooses (nullopt
  // on cancel); otherwise the automatic name in the current directory.
  static std::optional<std::filesystem::path> ChooseBackupFile(int kind, int portIndex);
  // Writes the image and the flags to `path` through a temporary file
  // beside it; `problem` says why when it answers false (the old file then
  // stays as it was).
  bool SaveBackupFile(const std::filesystem::path& path, std::string* problem) const;
  // Names the file (ChooseBackupFile for the link's kind and port) and saves it.
  bool SaveBackupFile();
  // Replaces the image and the flags with the file's; a file the decoder
  // refuses, or one that cannot be read, changes nothing and `problem` says why.
  bool LoadBackupFile(const std::filesystem::path& path, std::string* problem);

  // --- the flows behind the data backup and backup file exports -----------
  // Codes of these flows (the cause of an NV or EFS step added).
  static constexpr int kPortNotOpened = 109002;    // the port could not be opened
  static constexpr int kNvReadLocation = 110000;   // the NV backup read got nothing (+3 or +51)
  static constexpr int kEfsReadLocation = 111000;  // the EFS backup failed (+ its result)
  static constexpr int kEfsWriteLocation = 114000; // the EFS restore failed (+ its result)
  static constexpr int kModeEntryLocation = 109000;
  static constexpr int kNvWriteLocation = 117000;  // the NV restore failed (+ its result)
  static constexpr int kResetFailed = 120000;
  static constexpr int kFileRefused = 117041;      // the chosen .bak could not be read or was refused
  // Reads every NV item into the image (kept in memory for DataBackupWrite)
  // and copies the handset's file system below `directory`. The port is
  // opened at 38400 bit/s; the handset must already speak diagnostics.
  int DataBackupRead(int16_t kind, const char* spcCode, const char* directory, int16_t portIndex,
                     int16_t param1, int16_t param2, int16_t param3);
  // Writes the image's read items back, then the file system from `directory`.
  int DataBackupWrite(int16_t kind, const char* spcCode, const char* directory, int16_t portIndex,
                      int16_t param1, int16_t param2, int16_t param3);
  // Asks for a .bak file, writes its items into the handset and resets it.
  // Cancelling the file dialog succeeds without touching the handset.
  int BackupFileWrite(int16_t kind, const char* spcCode, int16_t portIndex, int16_t param1, int16_t param2,
                      int16_t param3);
  // The same with the file given (the command line's restore).
  int BackupFileWrite(int16_t kind, const char* spcCode, const std::filesystem::path& file, int16_t portIndex,
                      int16_t param1, int16_t param2, int16_t param3);

  // Whether the image holds any value read from a handset or a file.
  bool AnyRead() const;

  // Empties the NV error list (an exported operation starts).
  void ClearErrors() { m_errorLines.clear(); }

  zk::nv::NvImage m_image{};
  zk::nv::NvReadFlags m_flags;
  // Which authentication items the last AKey read got, per NAM.
  std::array<std::array<uint8_t, 8>, zk::nv::kNamCount> m_authRead{};
  bool m_editorMode = false;   // set by the NV editor while it reads or writes
  bool m_failed = false;       // an item of the current pass went unanswered (cleared when a pass starts)
  int m_silentRun = 0;         // unanswered requests since the last answer (reads) or success (writes)
  std::vector<std::string> m_errorLines;  // the NV error list
  std::string m_handsetVersion;            // software version read in NV editor mode
  int m_lastStatus = -1;                   // status of the last NV answer; -1 none, -2 not an NV answer

 private:
  // `answerBytes`: the answer's length when known (an NV answer echoes the
  // whole request), so the link can wait for it in one piece; 0 when not.
  zk::diag::Reply Send(std::span<const uint8_t> request, int waitMs, std::size_t answerBytes = 0);
  void NoteFailure(const char* name, const char* what);
  // One list of a pass, each item once (namCount 1) or per NAM (2); false
  // when the run of silence ended it.
  bool ReadList(std::span<const zk::nv::CatalogueItem> list, zk::nv::ListId id, int namCount);
  bool WriteList(std::span<const zk::nv::CatalogueItem> list, zk::nv::ListId id, int namCount);
  // The lock list and the NAM identity list (silent mode).
  bool WriteIdentity();

  zk::diag::Transactor& m_link;
  HandsetSteps m_steps;
  std::array<uint8_t, 3016> m_request{};
};

extern CNVBackup g_nvBackup;
