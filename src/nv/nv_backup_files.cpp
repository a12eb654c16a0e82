// The .bak files of CNVBackup: naming, saving through a temporary file, and
// loading only what the decoder accepts.
#include <cstdio>
#include <fstream>
#include <iterator>
#include <system_error>

#include "diag/diag_link.h"
#include "nv/nv_backup.h"
#include "nv/nv_backup_file.h"
#include "platform/atomic_file.h"
#include "ui/common_process.h"

namespace {

constexpr const char* kSaveTitle = "Save NV backup";
constexpr const char* kSuggestedName = "*.bak";
constexpr int kLargestPortNumber = 256;

bool OperatorChoosesFile(int kind) { return kind == 2 || kind == 3; }

}  // namespace

std::string CNVBackup::AutomaticFileName(int portIndex, std::time_t when) {
  std::tm local{};
  localtime_r(&when, &local);
  const int port = (portIndex & 0xFFFF) % kLargestPortNumber + 1;
  char name[48];
  std::snprintf(name, sizeof(name), "COM%d_%02d%02d%02d%02d%02d.bak", port, local.tm_mon + 1, local.tm_mday,
                local.tm_hour, local.tm_min, local.tm_sec);
  return name;
}

std::optional<std::filesystem::path> CNVBackup::ChooseBackupFile(int kind, int portIndex) {
  if (!OperatorChoosesFile(kind)) return std::filesystem::path(AutomaticFileName(portIndex, std::time(nullptr)));
  const auto chosen = g_commonProcess.Ui().AskSaveFile(kSaveTitle, kSuggestedName);
  if (!chosen || chosen->empty()) return std::nullopt;
  std::filesystem::path path(*chosen);
  if (!path.has_extension()) path += ".bak";
  return path;
}

bool CNVBackup::SaveBackupFile(const std::filesystem::path& path, std::string* problem) const {
  zk::nv::BackupContents contents;
  contents.image = m_image;
  contents.flags = m_flags;
  const std::vector<uint8_t> bytes = zk::nv::EncodeBackupFile(contents);
  std::error_code error;
  if (zk::platform::WriteFileAtomically(path, bytes, error)) return true;
  if (problem != nullptr) *problem = "cannot write " + path.string() + ": " + error.message();
  return false;
}

bool CNVBackup::SaveBackupFile() {
  const auto path = ChooseBackupFile(g_diagLink.m_opKind, g_diagLink.m_portIndex);
  if (!path) return false;
  return SaveBackupFile(*path, nullptr);
}

bool CNVBackup::LoadBackupFile(const std::filesystem::path& path, std::string* problem) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    if (problem != nullptr) *problem = "cannot open " + path.string();
    return false;
  }
  // Never more than one byte past the file's size is read: a longer file is
  // refused without holding it all.
  std::vector<uint8_t> bytes(zk::nv::kBackupFileSize + 1);
  in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  if (in.bad()) {
    if (problem != nullptr) *problem = "cannot read " + path.string();
    return false;
  }
  bytes.resize(static_cast<std::size_t>(in.gcount()));
  zk::nv::DecodedBackup decoded = zk::nv::DecodeBackupFile(bytes);
  if (!decoded.ok) {
    if (problem != nullptr) *problem = path.string() + ": " + decoded.problem;
    return false;
  }
  m_image = decoded.contents.image;
  m_flags = decoded.contents.flags;
  return true;
}
