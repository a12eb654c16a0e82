#include "nv/nv_tool.h"

#include <algorithm>
#include <array>
#include <string>

#include "diag/diag_link.h"
#include "diag/handset_session.h"
#include "nv/nv_backup.h"
#include "nv/nv_catalogue.h"
#include "nv/nv_image.h"
#include "platform/library_state.h"
#include "ui/common_process.h"

namespace zk::nv {
namespace {

constexpr int kNotTaken = 50;     // the item was not read or not written
constexpr int kBadItem = 42;      // an item the catalogue does not know, or a value too long for it

// The port and the progress window are released however the call ends.
class Session : public HandsetSession {
 public:
  Session(int16_t portIndex, const char* spcCode) : HandsetSession(portIndex) { g_diagLink.SetSpcCode(spcCode); }

  int Enter() const {
    const int entered = EnterDiagMode();
    return entered == kDiagModeEntered ? 1 : CNVBackup::kModeEntryLocation + entered;
  }
};

std::string StatusNote(int status) {
  if (status == -1) return "the handset did not answer";
  if (status == -2) return "the handset answered with another command (a locked handset answers 0x42)";
  std::string note = "the handset answered status " + std::to_string(status);
  if (status == 5) note += " (the item was never written)";
  if (status == 6) note += " (the item is not in use)";
  return note;
}

int EntryIndex(uint16_t item, int nam) {
  const auto slot = FindSlot(item);
  if (!slot || !slot->perNam) return kNoNam;
  return nam < 0 ? 0 : nam;
}

}  // namespace

int ToolBackup(int16_t portIndex, const char* spcCode, const std::filesystem::path& file) {
  const Session session(portIndex, spcCode);
  if (const int entered = session.Enter(); entered != 1) return entered;
  const int read = g_nvBackup.BackupRead(true);
  if (read != CNVBackup::kDone) return CNVBackup::kNvReadLocation + read;
  std::string problem;
  if (!g_nvBackup.SaveBackupFile(file, &problem)) {
    g_runState.failureNote = problem;
    return CNVBackup::kFileRefused;
  }
  return 1;
}

int ToolRestore(int16_t portIndex, const char* spcCode, const std::filesystem::path& file) {
  const int result = g_nvBackup.BackupFileWrite(HandsetSession::kSingleHandsetKind, spcCode, file, portIndex, 0, 0, -1);
  g_commonProcess.CloseProgressWindow();
  g_diagLink.ClosePort();
  return result;
}

int ToolReadItem(int16_t portIndex, const char* spcCode, uint16_t item, int nam, std::vector<uint8_t>& value,
                 int* status) {
  if (!FindSlot(item)) return CNVBackup::kNvReadLocation + kBadItem;
  const int index = EntryIndex(item, nam);
  const Session session(portIndex, spcCode);
  if (const int entered = session.Enter(); entered != 1) return entered;
  CNVBackup& nv = g_nvBackup;
  if (g_diagLink.UnlockAndTypeCode() != zk::diag::UnlockResult::kUnlocked)
    return CNVBackup::kNvReadLocation + CNVBackup::kReadUnlockFailed;
  const char* name = ItemName(item);
  const bool read = nv.ReadItem(item, index, name);
  if (status != nullptr) *status = nv.m_lastStatus;
  if (!read) {
    g_runState.failureNote = StatusNote(nv.m_lastStatus);
    return CNVBackup::kNvReadLocation + kNotTaken;
  }
  const auto bytes = ValueBytes(nv.m_image, item, index);
  value.assign(bytes.begin(), bytes.end());
  return 1;
}

int ToolWriteItem(int16_t portIndex, const char* spcCode, uint16_t item, int nam, std::span<const uint8_t> value,
                  int* status) {
  const auto slot = FindSlot(item);
  if (!slot || value.size() > slot->size) return CNVBackup::kNvWriteLocation + kBadItem;
  const int index = EntryIndex(item, nam);
  std::array<uint8_t, kDataFieldSize> field{};
  const std::size_t start = slot->perNam ? 1 : 0;
  if (slot->perNam) field[0] = static_cast<uint8_t>(index);
  std::copy(value.begin(), value.end(), field.begin() + static_cast<std::ptrdiff_t>(start));

  const Session session(portIndex, spcCode);
  if (const int entered = session.Enter(); entered != 1) return entered;
  if (g_diagLink.UnlockAndRelease() != zk::diag::UnlockResult::kUnlocked)
    return CNVBackup::kNvWriteLocation + CNVBackup::kWriteUnlockFailed;
  CNVBackup& nv = g_nvBackup;
  // The value goes through the image, as every other write does.
  NvImage image = nv.m_image;
  if (!UnpackIntoImage(image, item, DataField(field))) return CNVBackup::kNvWriteLocation + kBadItem;
  const bool written = nv.WriteItem(item, index, ItemName(item), &image);
  if (status != nullptr) *status = nv.m_lastStatus;
  if (!written) {
    g_runState.failureNote = StatusNote(nv.m_lastStatus);
    return CNVBackup::kNvWriteLocation + kNotTaken;
  }
  return 1;
}

}  // namespace zk::nv
