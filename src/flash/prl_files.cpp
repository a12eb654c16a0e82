// The PRL file steps of the flash engine: a PRL file is a raw byte image,
// sent to one or both NAMs in 40-byte blocks, or read back from one NAM.
#include <cstdio>
#include <filesystem>
#include <memory>

#include "diag/packet_process.h"
#include "ui/common_process.h"
#include "flash/dl_common.h"
#include "platform/atomic_file.h"
#include "platform/clock.h"
#include "platform/paths.h"

namespace {

using zk::flash::PrlFileResult;

constexpr long kPrlBlockBytes = 40;
constexpr char kSkipEntry[] = " ";
constexpr char kPartialSuffix[] = ".partial";

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

std::vector<std::string> BuildWriteList(int namSelector, const std::string& path) {
  switch (namSelector) {
    case 0: return {path};
    case 1: return {kSkipEntry, path};
    case 2: return {path, path};
    default: return {};  // no NAM of that number: nothing to send
  }
}

long FileSize(std::FILE* file) {
  if (std::fseek(file, 0, SEEK_END) != 0) return -1;
  const long size = std::ftell(file);
  std::rewind(file);
  return size;
}

}  // namespace

PrlFileResult CDLCommon::WritePrlList(int namSelector, const std::string& path) {
  if (path.empty()) return PrlFileResult::kDone;
  m_prlList = BuildWriteList(namSelector, path);
  g_commonProcess.SetStatusText("PRL Write...");

  for (std::size_t nam = 0; nam < m_prlList.size(); ++nam) {
    const std::string& entry = m_prlList[nam];
    zk::platform::SleepMs(300);
    if (entry == kSkipEntry) continue;
    m_prlName = zk::platform::FileNameOf(entry);
    g_commonProcess.SetDetailText(m_prlName);
    const std::string local = zk::platform::NormalizeHostPath(entry);
    FilePtr file(std::fopen(local.c_str(), "rb"));
    if (!file) {
      zk::platform::SleepMs(1000);
      file.reset(std::fopen(local.c_str(), "rb"));
      if (!file) return PrlFileResult::kFileUnreadable;
    }
    const long size = FileSize(file.get());
    if (size < 0) return PrlFileResult::kFileUnreadable;
    g_commonProcess.SetProgressRange(static_cast<int>(size / kPrlBlockBytes + 2));
    if (!g_packetProcess.WritePrl(static_cast<uint8_t>(nam), file.get(), size)) return PrlFileResult::kWriteFailed;
    file.reset();
    zk::platform::SleepMs(300);
  }
  m_prlList.clear();
  return PrlFileResult::kDone;
}

PrlFileResult CDLCommon::ReadPrlToFile(int nam, const std::string& path) {
  // The list goes to a temporary file beside the target (at its full path;
  // the host process's current directory is left alone), which replaces the
  // target only once the whole list has arrived. A read that fails leaves
  // the target as it was and keeps what did arrive as <target>.partial.
  const std::filesystem::path target = zk::platform::NormalizeHostPath(path);
  zk::platform::PendingFile pending(target);
  if (pending.file() == nullptr) return PrlFileResult::kFileNotCreated;
  std::error_code error;
  const auto read = g_packetProcess.ReadPrl(static_cast<uint8_t>(nam), pending.file());
  if (read == zk::diag::PrlReadOutcome::kNotStored) return PrlFileResult::kNotStored;  // nothing arrived to keep
  if (read != zk::diag::PrlReadOutcome::kRead) {
    static_cast<void>(pending.KeepAs(target.string() + kPartialSuffix, error));  // kept when it can be
    return PrlFileResult::kReadFailed;
  }
  if (!pending.Commit(error)) return PrlFileResult::kFileNotCreated;
  return PrlFileResult::kDone;
}
