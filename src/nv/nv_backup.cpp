// The NV passes: single reads and writes, backup read, restore, the
// authentication items and the calibration check.
#include "nv/nv_backup.h"

#include <algorithm>
#include <cstdio>
#include <string>

#include "diag/diag_answers.h"
#include "diag/diag_builders.h"
#include "diag/diag_link.h"
#include "diag/packet_process.h"
#include "platform/clock.h"
#include "ui/common_process.h"
#include "ui/silent_mode.h"

namespace {

using namespace zk::nv;
namespace diag = zk::diag;

constexpr const char* kNoResponse = "No response from the Phone";
constexpr const char* kBuildFail = "Write build fail";
constexpr int kCalibrationPauseMs = 500;
constexpr int kRestartPauseMs = 1000;
constexpr uint8_t kBadSecurityMode = 0x42;

CNVBackup::HandsetSteps LibrarySteps() {
  return {
      [] { return g_diagLink.UnlockAndTypeCode() == diag::UnlockResult::kUnlocked; },
      [] { return g_diagLink.UnlockAndRelease() == diag::UnlockResult::kUnlocked; },
      [] { return g_packetProcess.ResetPhone() == diag::ResetResult::kDone; },
  };
}

}  // namespace

CNVBackup::CNVBackup() : CNVBackup(g_diagLink, LibrarySteps()) {}

diag::Reply CNVBackup::Send(std::span<const uint8_t> request, int waitMs, std::size_t answerBytes) {
  const diag::Reply reply =
      answerBytes == 0 ? m_link.Exchange(request, waitMs) : m_link.ExchangeExpecting(request, waitMs, answerBytes);
  g_commonProcess.UpdateElapsedTime();
  return reply;
}

void CNVBackup::NoteFailure(const char* name, const char* what) {
  m_errorLines.push_back(std::string(name != nullptr ? name : "?") + " : " + what);
}

bool CNVBackup::ReadItem(uint16_t item, int index, const char* name) {
  std::array<uint8_t, 1> indexByte{static_cast<uint8_t>(index)};
  const std::span<const uint8_t> data =
      index == kNoNam ? std::span<const uint8_t>() : std::span<const uint8_t>(indexByte);
  const auto request = diag::BuildNvRequest(m_request, diag::request::kNvRead, item, data);
  // An answer about another item or NAM is a late answer to an earlier
  // request (a retry after a time-out crosses its answers): it says nothing
  // of this item, so the item is asked for again, and if the handset still
  // answers about another one, the backup misses it.
  for (int ask = 0; ask <= kStaleAnswerAsks; ++ask) {
    const diag::Reply reply = Send(request, diag::request::kNvRead.waitMs, request.size());
    if (!reply.answered) {
      ++m_silentRun;
      m_failed = true;
      NoteFailure(name, kNoResponse);
      m_lastStatus = -1;
      return false;
    }
    m_silentRun = 0;
    const auto answer = diag::ParseNvAnswer(reply.answer, diag::code::kNvRead);
    m_lastStatus = answer ? answer->status : -2;
    // A locked handset refuses the read itself: the item is not merely
    // absent, the backup misses it.
    if (!answer && diag::HasCode(reply.answer, kBadSecurityMode)) {
      m_failed = true;
      NoteFailure(name, "Refused, the handset is locked");
      return false;
    }
    // Status 5 (never written) or a refused request (another code) leaves
    // the item unread.
    if (!answer) return false;
    const bool otherNam = index != kNoNam && answer->status == 0 && answer->data[0] != static_cast<uint8_t>(index);
    if (answer->item != item || otherNam) continue;
    if (answer->status != 0) return false;
    return UnpackIntoImage(m_image, item, answer->data);
  }
  m_failed = true;
  NoteFailure(name, "Unexpected answer from the Phone");
  return false;
}

// Every write that leaves the handset without the value fails the pass it
// belongs to (result 50) and names the item in the NV error list: a restore
// that reports success has had every flagged value taken with status 0.
bool CNVBackup::WriteItem(uint16_t item, int index, const char* name, const NvImage* scriptImage) {
  std::array<uint8_t, kDataFieldSize> value{};
  if (!PackFromImage(scriptImage != nullptr ? *scriptImage : m_image, item, index, MutableDataField(value))) {
    m_failed = true;
    NoteFailure(name, kBuildFail);
    return false;
  }
  const auto request = diag::BuildNvRequest(m_request, diag::request::kNvWrite, item, value);
  const diag::Reply reply = Send(request, diag::request::kNvWrite.waitMs, request.size());
  m_lastStatus = -1;
  if (!reply.answered) {
    ++m_silentRun;
    m_failed = true;
    NoteFailure(name, kNoResponse);
    return false;
  }
  // A refusal is an answer, but not a success: the run stays as it was.
  const auto answer = diag::ParseNvAnswer(reply.answer, diag::code::kNvWrite);
  m_lastStatus = answer ? answer->status : -2;
  if (!answer || answer->item != item) {
    m_failed = true;
    NoteFailure(name, "Unexpected answer from the Phone");
    return false;
  }
  if (answer->status != 0) {
    m_failed = true;
    NoteFailure(name, ("Write refused, status " + std::to_string(answer->status)).c_str());
    return false;
  }
  m_silentRun = 0;
  return true;
}

bool CNVBackup::ReadList(std::span<const CatalogueItem> list, ListId id, int namCount) {
  for (std::size_t position = 0; position < list.size(); ++position) {
    for (int nam = 0; nam < namCount; ++nam) {
      const int index = namCount == 1 ? kNoNam : nam;
      const bool read = ReadItem(list[position].item, index, list[position].name);
      m_flags.Set(id, position, nam, read ? 1 : 0);
      if (!read && m_silentRun > kMaxSilentRun) return false;
      g_commonProcess.StepProgress();
    }
  }
  return true;
}

int CNVBackup::BackupRead(bool everything) {
  m_failed = false;
  m_silentRun = 0;
  g_commonProcess.SetStatusText("NV Reading...");
  g_commonProcess.SetDetailText(" ");
  g_commonProcess.SetProgressRange(everything ? kFullPassSteps : kShortPassSteps);
  m_image.fill(0);
  m_flags.Clear();

  if (!m_steps.unlockForReads()) return kReadUnlockFailed;
  if (m_editorMode) {
    const auto request = diag::BuildBareRequest(m_request, diag::request::kVersion);
    const diag::Reply reply = Send(request, diag::request::kVersion.waitMs);
    if (!reply.answered) return kVersionNoAnswer;
    const auto version = diag::ParseSoftwareVersion(reply.answer);
    m_handsetVersion = version ? std::string(version->substr(0, version->find('\0'))) : std::string();
  }
  if (!ReadList(CalibrationList(), ListId::Calibration, 1)) return kReadAborted;
  if (everything) {
    if (!ReadList(SettingsList(), ListId::Settings, 1)) return kReadAborted;
    if (!ReadList(NamList(), ListId::Nam, kNamCount)) return kReadAborted;
  }
  return m_failed ? kItemsFailed : kDone;
}

bool CNVBackup::WriteList(std::span<const CatalogueItem> list, ListId id, int namCount) {
  for (std::size_t position = 0; position < list.size(); ++position) {
    for (int nam = 0; nam < namCount; ++nam) {
      if (m_flags.Get(id, position, nam) == 1) {
        const int index = namCount == 1 ? kNoNam : nam;
        if (!WriteItem(list[position].item, index, list[position].name) && m_silentRun > kMaxSilentRun) {
          m_errorLines.push_back("Writing stopped after " + std::to_string(m_silentRun) +
                                 " unanswered writes in a row");
          return false;
        }
      }
      g_commonProcess.StepProgress();
    }
  }
  return true;
}

// The lock code and the NAM identity are written back in silent mode even
// when no pass list holds them, but only entries that hold a value read from
// the handset: an entry never read is zeros in the image, and writing it
// would erase the handset's own (a NAM 1 write over NAM 0's number).
bool CNVBackup::WriteIdentity() {
  for (const CatalogueItem& entry : LockList()) {
    if (!m_flags.WasRead(entry.item, kNoNam)) continue;
    if (!WriteItem(entry.item, kNoNam, entry.name) && m_silentRun > kMaxSilentRun) return false;
  }
  for (const CatalogueItem& entry : NamIdentityList()) {
    for (int nam = 0; nam < kNamCount; ++nam) {
      if (!m_flags.WasRead(entry.item, nam)) continue;
      if (!WriteItem(entry.item, nam, entry.name) && m_silentRun > kMaxSilentRun) return false;
    }
  }
  return true;
}

int CNVBackup::Restore(bool everything) {
  m_failed = false;
  m_silentRun = 0;
  g_commonProcess.SetStatusText("NV Writing...");
  g_commonProcess.SetDetailText(" ");
  g_commonProcess.SetProgressRange(everything ? kFullPassSteps : kShortPassSteps);

  if (!m_steps.unlockForWrites()) return kWriteUnlockFailed;
  // The calibration list may end early; the restore goes on regardless.
  if (!m_editorMode) static_cast<void>(WriteList(CalibrationList(), ListId::Calibration, 1));
  if (everything) {
    m_silentRun = 0;
    if (!WriteList(SettingsList(), ListId::Settings, 1)) return kWriteAborted;
    if (!WriteList(NamList(), ListId::Nam, kNamCount)) return kWriteAborted;
  }
  if (zk::ui::SilentMode()) static_cast<void>(WriteIdentity());
  if (m_failed) return kItemsFailed;
  if (m_editorMode) {
    if (!m_steps.resetHandset()) return kEditorResetFailed;
    for (int step = 0; step < kShortPassSteps; ++step) g_commonProcess.StepProgress();
    for (int second = 0; second < kEditorRestartSeconds; ++second) {
      g_commonProcess.UpdateElapsedTime();
      zk::platform::SleepMs(kRestartPauseMs);
    }
  }
  return kDone;
}

bool CNVBackup::AnyRead() const {
  for (std::size_t i = 0; i < kCalibrationCount; ++i)
    if (m_flags.Get(ListId::Calibration, i, 0) == 1) return true;
  for (std::size_t i = 0; i < kSettingsCount; ++i)
    if (m_flags.Get(ListId::Settings, i, 0) == 1) return true;
  for (std::size_t i = 0; i < kNamListCount; ++i)
    for (int nam = 0; nam < kNamCount; ++nam)
      if (m_flags.Get(ListId::Nam, i, nam) == 1) return true;
  return false;
}

int CNVBackup::AKeyRead() {
  g_commonProcess.SetStatusText("AKey Reading...");
  g_commonProcess.SetDetailText(" ");
  const auto items = AuthenticationList();
  for (int nam = 0; nam < kNamCount; ++nam)
    for (std::size_t i = 0; i < items.size() && i < m_authRead[nam].size(); ++i)
      m_authRead[nam][i] = ReadItem(items[i].item, nam, items[i].name) ? 1 : 0;
  return kDone;
}

int CNVBackup::AKeyWrite() {
  g_commonProcess.SetStatusText("AKey Writing...");
  g_commonProcess.SetDetailText(" ");
  const auto items = AuthenticationList();
  for (int nam = 0; nam < kNamCount; ++nam)
    for (std::size_t i = 0; i < items.size() && i < m_authRead[nam].size(); ++i)
      if (m_authRead[nam][i] == 1) static_cast<void>(WriteItem(items[i].item, nam, items[i].name));
  return kDone;
}

int CNVBackup::CheckCalibration() {
  g_commonProcess.SetStatusText("CAL checking...");
  g_commonProcess.SetDetailText(" ");
  g_commonProcess.SetProgressRange(1);
  if (!ReadItem(kCalibrationCheckItem.item, kNoNam, kCalibrationCheckItem.name)) return kCalibrationUnread;
  const auto value = ValueBytes(m_image, kCalibrationCheckItem.item, kNoNam);
  if (std::all_of(value.begin(), value.end(), [](uint8_t byte) { return byte == 0; })) return kCalibrationEmpty;
  g_commonProcess.StepProgress();
  zk::platform::SleepMs(kCalibrationPauseMs);
  return kDone;
}
