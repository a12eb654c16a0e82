#include "operations/efs_tool.h"

#include <filesystem>
#include <string>
#include <system_error>

#include "diag/diag_link.h"
#include "diag/handset_session.h"
#include "efs/efs_download.h"
#include "platform/library_state.h"
#include "ui/common_process.h"
#include "ui/failure_code.h"

namespace zk::operations {
namespace {

namespace fs = std::filesystem;
using zk::ui::FailureCode;
using zk::ui::Location;

// The tool's causes beyond the shared EFS ones (25 to 28).
constexpr int kNoSuchHandsetPath = 60;
constexpr int kPcWriteFailed = 61;
constexpr int kPcReadFailed = 62;
constexpr int kListingFailed = 25;
constexpr int kReadNoAnswer = 26;
constexpr int kReadFailed = 27;
constexpr int kWriteFailed = 28;

int Fail(Location location, int cause, const std::string& handsetPath, const std::string& note) {
  g_commonProcess.m_handsetPath = handsetPath;
  g_runState.failureNote = note;
  return FailureCode(location, cause);
}

// The port and the progress window are released however the call ends.
class Session : public HandsetSession {
 public:
  Session(int16_t portIndex, const char* status) : HandsetSession(portIndex) { g_commonProcess.SetStatusText(status); }

  // 1, or the mode entry's failure code.
  int Enter() const {
    const int entered = EnterDiagMode();
    return entered == kDiagModeEntered ? 1 : FailureCode(Location::kEfsToolModeEntry, entered);
  }
};

std::string JoinHandsetPath(const std::string& directory, const std::string& name) {
  return directory == "/" ? "/" + name : directory + "/" + name;
}

// "/a/b/" reads as "/a/b"; the root stays "/".
std::string TrimDirectory(std::string path) {
  while (path.size() > 1 && path.back() == '/') path.pop_back();
  return path;
}

bool IsUsableHandsetPath(const std::string& path) {
  return !path.empty() && path.front() == '/' && path.size() <= kMaxHandsetPath;
}

class Lister {
 public:
  explicit Lister(std::vector<EfsToolEntry>& entries) : m_entries(entries) {}

  int List(const std::string& directory, bool recursive) {
    std::vector<std::string> subdirectories;
    if (const int listed = ListOne(directory, subdirectories); listed != 1) return listed;
    if (!recursive) return 1;
    for (const std::string& subdirectory : subdirectories)
      if (const int listed = List(subdirectory, true); listed != 1) return listed;
    return 1;
  }

 private:
  int ListOne(const std::string& directory, std::vector<std::string>& subdirectories) {
    uint32_t handle = 0;
    int opened = CEfsBasicFunction::kNoAnswer;
    for (int i = 0; i < CEfsBasicFunction::kDirectoryTries && opened != CEfsBasicFunction::kOk; ++i)
      opened = m_client.efs_opendir(directory, &handle);
    if (opened == CEfsBasicFunction::kNoSuchPath)
      return Fail(Location::kEfsToolList, kNoSuchHandsetPath, directory, directory + " is no directory on the handset");
    if (opened != CEfsBasicFunction::kOk)
      return Fail(Location::kEfsToolList, kListingFailed, directory,
                  "opening " + directory + " ended with " + std::to_string(opened));
    const int read = ReadEntries(directory, handle, subdirectories);
    m_client.efs_closedir(handle);
    return read;
  }

  int ReadEntries(const std::string& directory, uint32_t handle, std::vector<std::string>& subdirectories) {
    for (uint32_t sequence = 1;; ++sequence) {
      if (sequence > static_cast<uint32_t>(CEfsBasicFunction::kMaxDirectoryEntries))
        return Fail(Location::kEfsToolList, kListingFailed, directory, directory + " lists too many entries");
      uint32_t type = 0;
      std::string name;
      int read = CEfsBasicFunction::kNoAnswer;
      for (int i = 0; i < CEfsBasicFunction::kDirectoryTries; ++i) {
        read = m_client.efs_readdir(handle, sequence, &type, &name);
        if (read == CEfsBasicFunction::kOk || read == CEfsBasicFunction::kEndOfDirectory) break;
      }
      if (read == CEfsBasicFunction::kEndOfDirectory) return 1;
      if (read != CEfsBasicFunction::kOk)
        return Fail(Location::kEfsToolList, kListingFailed, directory,
                    "reading entry " + std::to_string(sequence) + " of " + directory + " ended with " +
                        std::to_string(read));
      if (name == "." || name == "..") continue;
      const std::string path = JoinHandsetPath(directory, name);
      // A name that is no single component, or a path the requests cannot
      // carry, would send the walk somewhere else or nowhere.
      if (!CEfsDownload::IsSafeComponent(name) || path.size() > kMaxHandsetPath)
        return Fail(Location::kEfsToolList, kListingFailed, path, "refused the handset entry name '" + path + "'");
      EfsToolEntry entry{path, type, 0};
      if (type == zk::efs::kEntryDirectory) {
        subdirectories.push_back(path);
      } else if (const int stat = m_client.efs_stat(path, &entry.size); stat != CEfsBasicFunction::kOk) {
        return Fail(Location::kEfsToolList, kListingFailed, path,
                    "the size of " + path + " was not given (" + std::to_string(stat) + ")");
      }
      m_entries.push_back(std::move(entry));
    }
  }

  std::vector<EfsToolEntry>& m_entries;
  CEfsBasicFunction& m_client = g_efsDownload.Client();
};

}  // namespace

int EfsToolList(int16_t portIndex, const std::string& directory, bool recursive, std::vector<EfsToolEntry>& entries) {
  entries.clear();
  const std::string start = TrimDirectory(directory);
  if (!IsUsableHandsetPath(start))
    return Fail(Location::kEfsToolList, kNoSuchHandsetPath, start, "a handset path is absolute and at most 127 characters");
  const Session session(portIndex, "EFS Listing...");
  if (const int entered = session.Enter(); entered != 1) return entered;
  return Lister(entries).List(start, recursive);
}

int EfsToolGet(int16_t portIndex, const std::string& handsetPath, const std::string& pcPath) {
  if (!IsUsableHandsetPath(handsetPath))
    return Fail(Location::kEfsToolRead, kNoSuchHandsetPath, handsetPath,
                "a handset path is absolute and at most 127 characters");
  const Session session(portIndex, "EFS Reading...");
  if (const int entered = session.Enter(); entered != 1) return entered;
  g_commonProcess.SetDetailText(handsetPath);
  const int read = g_efsDownload.Client().GetFileFromPhone(handsetPath, pcPath);
  switch (read) {
    case CEfsBasicFunction::kOk: return 1;
    case CEfsBasicFunction::kNoSuchPath:
      return Fail(Location::kEfsToolRead, kNoSuchHandsetPath, handsetPath, handsetPath + " does not exist on the handset");
    case CEfsBasicFunction::kNoAnswer:
      return Fail(Location::kEfsToolRead, kReadNoAnswer, handsetPath, "the handset did not answer reading " + handsetPath);
    case CEfsBasicFunction::kHostCreate:
    case CEfsBasicFunction::kHostIo:
      return Fail(Location::kEfsToolRead, kPcWriteFailed, handsetPath, "could not write " + pcPath);
    default:
      return Fail(Location::kEfsToolRead, kReadFailed, handsetPath,
                  "reading " + handsetPath + " ended with " + std::to_string(read));
  }
}

int EfsToolPut(int16_t portIndex, const std::string& pcPath, const std::string& handsetPath) {
  if (!IsUsableHandsetPath(handsetPath) || handsetPath.back() == '/')
    return Fail(Location::kEfsToolWrite, kWriteFailed, handsetPath,
                "a handset file path is absolute, names a file and has at most 127 characters");
  std::error_code error;
  const auto size = fs::file_size(pcPath, error);
  if (error) return Fail(Location::kEfsToolWrite, kPcReadFailed, handsetPath, "could not read " + pcPath);
  const Session session(portIndex, "EFS Writing...");
  if (const int entered = session.Enter(); entered != 1) return entered;
  g_commonProcess.SetDetailText(handsetPath);
  CEfsBasicFunction& client = g_efsDownload.Client();
  const std::string parent = handsetPath.substr(0, handsetPath.rfind('/'));
  if (!parent.empty()) client.MakePhoneDirs(parent);
  const int written = client.PutFileToPhone(pcPath, handsetPath);
  if (written == CEfsBasicFunction::kHostCreate || written == CEfsBasicFunction::kHostIo)
    return Fail(Location::kEfsToolWrite, kPcReadFailed, handsetPath, "could not read " + pcPath);
  if (written != CEfsBasicFunction::kOk)
    return Fail(Location::kEfsToolWrite, kWriteFailed, handsetPath,
                "writing " + handsetPath + " ended with " + std::to_string(written));
  // The handset's own account of the file is what counts as written.
  uint32_t held = 0;
  const int stat = client.efs_stat(handsetPath, &held);
  if (stat != CEfsBasicFunction::kOk || held != size)
    return Fail(Location::kEfsToolWrite, kWriteFailed, handsetPath,
                "after writing, the handset holds " + (stat == CEfsBasicFunction::kOk ? std::to_string(held) : "no") +
                    " bytes of " + handsetPath + ", " + std::to_string(size) + " were sent");
  return 1;
}

// The backup goes into a staging directory beside the old one, which it
// replaces only when complete: a failed backup never costs the technician
// the last good one. What a failed backup copied stays as <backup>.partial.
int EfsToolBackup(int16_t portIndex, const std::string& baseDirectory) {
  const fs::path backup = CEfsDownload::BackupDirectory(baseDirectory, portIndex);
  const fs::path staging = backup.parent_path() / (".incoming_" + backup.filename().string());
  const fs::path made = staging / backup.filename();
  std::error_code error;
  fs::remove_all(staging, error);
  fs::create_directories(staging, error);
  if (!fs::is_directory(staging, error))
    return Fail(Location::kEfsToolRead, kPcWriteFailed, "/", "could not create " + staging.string());
  int result = CEfsDownload::kDone;
  {
    const Session session(portIndex, "EFS Reading...");
    if (const int entered = session.Enter(); entered != 1) {
      fs::remove_all(staging, error);
      return entered;
    }
    result = g_efsDownload.EfsBackup(staging.string(), portIndex);
  }
  if (result != CEfsDownload::kDone) {
    const fs::path partial = backup.string() + ".partial";
    fs::remove_all(partial, error);
    fs::rename(made, partial, error);
    fs::remove_all(staging, error);
    return FailureCode(Location::kEfsToolRead, result);
  }
  fs::remove_all(backup, error);  // a link in its place goes itself, never what it points at
  fs::rename(made, backup, error);
  if (error)
    return Fail(Location::kEfsToolRead, kPcWriteFailed, "/",
                "the backup is complete in " + made.string() + " but could not take the place of " + backup.string());
  fs::remove_all(staging, error);
  return 1;
}

int EfsToolRestore(int16_t portIndex, const std::string& path) {
  const Session session(portIndex, "EFS Writing...");
  if (const int entered = session.Enter(); entered != 1) return entered;
  const int result = g_efsDownload.EfsRestore(path, portIndex);
  return result == CEfsDownload::kDone ? 1 : FailureCode(Location::kEfsToolWrite, result);
}

}  // namespace zk::operations
