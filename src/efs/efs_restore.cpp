// CEfsDownload: the restore direction, PC directory to handset tree.
#include <algorithm>
#include <filesystem>
#include <string>

#include "efs/efs_download.h"
#include "platform/library_state.h"
#include "platform/paths.h"
#include "ui/common_process.h"

namespace fs = std::filesystem;

namespace {

constexpr int kFewFilesRange = 60;
constexpr std::string_view kBrewScript = "brew_script";
constexpr std::string_view kSkippedParts[] = {"Root", "root", "nvm/nvm"};

bool Skipped(const std::string& path) {
  return std::ranges::any_of(kSkippedParts, [&](std::string_view part) { return path.find(part) != std::string::npos; });
}

// Sorted names of the entries of `directory` of one kind; links are never
// followed, so the tree cannot reach outside the restore root.
std::vector<std::string> EntriesOf(const fs::path& directory, bool directories) {
  std::vector<std::string> names;
  std::error_code error;
  for (const auto& entry : fs::directory_iterator(directory, error)) {
    const auto status = entry.symlink_status(error);
    if (directories ? fs::is_directory(status) : fs::is_regular_file(status))
      names.push_back(entry.path().filename().string());
  }
  std::ranges::sort(names);
  return names;
}

void Scan(const fs::path& root, const std::string& relative, std::vector<CEfsDownload::Record>& records) {
  const fs::path here = relative.empty() ? root : root / relative;
  for (const std::string& name : EntriesOf(here, true)) {
    const std::string path = relative.empty() ? name : relative + "/" + name;
    records.push_back({path, EntriesOf(root / path, false)});
    Scan(root, path, records);
  }
}

}  // namespace

std::vector<CEfsDownload::Record> CEfsDownload::ScanTree(const std::string& root) {
  std::vector<Record> records;
  Scan(fs::path(root), "", records);
  return records;
}

int CEfsDownload::EfsRestore(std::string_view path, int portIndex) {
  const bool brewScript = path.find(kBrewScript) != std::string_view::npos;
  g_commonProcess.OpenProgressWindow();
  g_commonProcess.StepProgress();
  g_commonProcess.SetAddressMode(false);
  g_commonProcess.UpdateElapsedTime();
  g_commonProcess.SetStatusText(brewScript ? "Brew Script Writing..." : "EFS Writing...");
  m_records.clear();

  m_restoreRoot = brewScript ? zk::platform::NormalizeHostPath(path) : BackupDirectory(path, portIndex);
  std::error_code error;
  if (!fs::is_directory(m_restoreRoot, error)) {
    // Nothing to restore is not a restore: the caller hears of it.
    g_commonProcess.m_handsetPath = m_restoreRoot;
    g_runState.failureNote = "no directory to restore at " + m_restoreRoot;
    return kWriteFailed;
  }

  // Every directory below the root is restored, however many there are.
  m_records = ScanTree(m_restoreRoot);
  std::size_t allFiles = 0;
  for (const Record& record : m_records) allFiles += record.m_files.size();
  g_commonProcess.SetProgressRange(allFiles >= 2 ? static_cast<int>(allFiles) : kFewFilesRange);

  std::erase_if(m_records, [](const Record& record) { return Skipped(record.m_path); });
  std::size_t files = 0;
  for (const Record& record : m_records) files += record.m_files.size();
  g_commonProcess.SetProgressRange(static_cast<int>(files));

  for (const Record& record : m_records) static_cast<void>(m_client.MakePhoneDirs("/" + record.m_path));
  for (const Record& record : m_records) {
    for (const std::string& name : record.m_files) {
      g_commonProcess.SetDetailText(name);
      g_commonProcess.StepProgress();
      g_commonProcess.UpdateElapsedTime();
      const std::string pcFile = (fs::path(m_restoreRoot) / record.m_path / name).string();
      const std::string handsetPath = "/" + record.m_path + "/" + name;
      const int written = m_client.PutFileToPhone(pcFile, handsetPath);
      if (written != CEfsBasicFunction::kOk) {
        g_commonProcess.m_handsetPath = handsetPath;
        g_runState.failureNote = "writing " + pcFile + " to " + handsetPath + " ended with " + std::to_string(written);
        m_records.clear();
        return kWriteFailed;
      }
    }
  }
  m_records.clear();
  return kDone;
}
