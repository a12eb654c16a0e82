// CEfsDownload: the backup direction, handset tree to PC directory.
#include <algorithm>
#include <filesystem>
#include <string>

#include "efs/efs_download.h"
#include "efs/efs_requests.h"
#include "platform/library_state.h"
#include "platform/paths.h"
#include "ui/common_process.h"

namespace fs = std::filesystem;

namespace {

constexpr std::size_t kMaxComponent = 255;
constexpr char kRootFolder[] = "Root";
constexpr int kAcceptedReadStatuses[] = {0, 6, 8};

int Fail(int code, const std::string& handsetPath, const std::string& note) {
  g_commonProcess.m_handsetPath = handsetPath;
  g_runState.failureNote = note;
  return code;
}

// Empties `directory` without following links: a link in its place is
// removed itself, and remove_all never descends through links. Failures to
// remove are ignored, as a busy file must not stop a new backup.
void ClearBackupDirectory(const fs::path& directory) {
  std::error_code error;
  const auto status = fs::symlink_status(directory, error);
  if (fs::is_symlink(status) || (fs::exists(status) && !fs::is_directory(status))) {
    fs::remove(directory, error);
  } else if (fs::is_directory(status)) {
    for (const auto& entry : fs::directory_iterator(directory, error)) fs::remove_all(entry.path(), error);
  }
  fs::create_directories(directory, error);
}

}  // namespace

CEfsDownload::CEfsDownload() = default;

bool CEfsDownload::IsSafeComponent(std::string_view name) {
  if (name.empty() || name == "." || name == ".." || name.size() > kMaxComponent) return false;
  for (const char c : name) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || byte == 0x7F || c == '/' || c == '\\') return false;
  }
  return true;
}

std::string CEfsDownload::BackupDirectory(std::string_view base, int portIndex) {
  return zk::platform::JoinHostPath(zk::platform::NormalizeHostPath(base), "Efs_COM" + std::to_string(portIndex + 1));
}

void CEfsDownload::Walk(const std::string& path, DirectoryWalk& walk, bool root) {
  const auto listing = m_client.ListByOperation(zk::efs::op::kListDirectories, path);
  const bool listed = listing && listing->status == 0;
  if (root) walk.rootListed = listed;
  if (listed) {
    const std::string prefix = root ? std::string() : path + "/";
    for (const std::string& name : listing->names) {
      if (!walk.refused.empty()) return;
      // Each name is the full path of a direct child of `path`.
      const bool child = name.starts_with(prefix) && IsSafeComponent(std::string_view(name).substr(prefix.size()));
      if (!child || walk.directories.size() >= kMaxDirectories) {
        walk.refused = name.empty() ? std::string("(empty name)") : name;
        return;
      }
      Walk(name, walk, false);
    }
  }
  if (!root && walk.refused.empty()) walk.directories.push_back(path);
}

CEfsDownload::DirectoryWalk CEfsDownload::WalkPhoneDirectories() {
  DirectoryWalk walk;
  Walk("", walk, true);
  return walk;
}

std::string CEfsDownload::DirectoryListText(const DirectoryWalk& walk) {
  std::string text = "/";
  for (const std::string& directory : walk.directories) (text += "|/") += directory;
  return text;
}

int CEfsDownload::EfsBackup(std::string_view baseDirectory, int portIndex) {
  g_commonProcess.OpenProgressWindow();
  g_commonProcess.SetAddressMode(false);
  g_commonProcess.UpdateElapsedTime();
  g_commonProcess.SetStatusText("EFS Reading...");

  const fs::path backup = BackupDirectory(baseDirectory, portIndex);
  ClearBackupDirectory(backup);

  // A root that answers with no sub-directories still has its own files to
  // save; only a root that cannot be listed at all ends the backup here.
  const DirectoryWalk walk = WalkPhoneDirectories();
  if (!walk.rootListed) return Fail(kNoDirectoryList, "/", "the handset did not list its root directory");
  if (!walk.refused.empty())
    return Fail(kListingFailed, walk.refused, "refused the handset directory name '" + walk.refused + "'");

  std::vector<std::string> folders{"/"};
  for (const std::string& directory : walk.directories) folders.push_back("/" + directory);
  g_commonProcess.SetProgressRange(static_cast<int>(folders.size()));

  for (const std::string& folder : folders) {
    g_commonProcess.StepProgress();
    const bool root = folder == "/";
    const fs::path pcFolder = root ? backup / kRootFolder : backup / folder.substr(1);
    std::error_code error;
    fs::create_directories(pcFolder, error);

    std::vector<std::string> names;
    const int listed = m_client.ListPhoneDir(folder, names, zk::efs::kEntryFile);
    if (listed != CEfsBasicFunction::kOk)
      return Fail(kListingFailed, folder, "listing " + folder + " ended with " + std::to_string(listed));

    for (const std::string& name : names) {
      const std::string handsetPath = (root ? std::string() : folder) + "/" + name;
      if (!IsSafeComponent(name))
        return Fail(kReadFailed, handsetPath, "refused the handset file name '" + handsetPath + "'");
      g_commonProcess.SetDetailText(name);
      const fs::path pcFile = pcFolder / name;
      const int read = m_client.GetFileFromPhone(handsetPath, pcFile.string());
      g_commonProcess.UpdateElapsedTime();
      if (read == CEfsBasicFunction::kNoAnswer)
        return Fail(kReadNoAnswer, handsetPath, "the handset did not answer reading " + handsetPath);
      if (std::ranges::find(kAcceptedReadStatuses, read) == std::end(kAcceptedReadStatuses))
        return Fail(kReadFailed, handsetPath, "reading " + handsetPath + " ended with " + std::to_string(read));
      // An accepted status that is not 0 leaves no file; no partial copy
      // may stay in the backup to be restored later.
      fs::remove(pcFile.string() + ".partial", error);
    }
  }
  return kDone;
}
