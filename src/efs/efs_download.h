// CEfsDownload: copies the handset's file system to a PC directory and
// writes such a directory back to the handset.
//
// Backup of port index i into base directory D fills D/Efs_COM<i+1>,
// mirroring the handset tree (a handset directory /a/b becomes a/b; the
// files of the handset's root go to Root). Restore writes every directory
// below its restore root, with the files directly in each, except those
// whose path holds "Root", "root" or "nvm/nvm". Neither direction changes
// the process's current directory.
//
// Names the handset supplies become PC paths only when each is one plain
// component: never empty, ".", "..", holding '/', '\\', a zero or control
// byte, nor longer than 255 bytes; a directory the walk lists must be a
// direct child of the directory listed. Anything else fails the backup
// (25 for a directory, 27 for a file) with the entry named in the handset
// path text and the failure note; nothing is written outside the backup
// directory. The old backup is removed without following symbolic links,
// the top level included.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "diag/transactor.h"
#include "efs/efs_basic_function.h"

class CEfsDownload {
 public:
  static constexpr int kDone = 1;
  static constexpr int kNoDirectoryList = 23;  // the handset's root could not be listed
  static constexpr int kListingFailed = 25;    // a folder's file listing failed, or a refused directory name
  static constexpr int kReadNoAnswer = 26;
  static constexpr int kReadFailed = 27;       // an error status, a stalled read or a refused file name
  static constexpr int kWriteFailed = 28;      // restore: a file not written, or no restore root
  // Directories the walk follows at most; more fail the backup with 25.
  static constexpr std::size_t kMaxDirectories = 4096;

  // One directory of a restore: its path relative to the restore root ("/"
  // between components) and the regular files directly in it.
  struct Record {
    std::string m_path;
    std::vector<std::string> m_files;
  };

  // What the recursive walk of the handset's directories found.
  struct DirectoryWalk {
    bool rootListed = false;               // the root's listing was answered with status 0
    std::vector<std::string> directories;  // relative paths, each after every directory below it
    std::string refused;                   // a listed name the walk refused (empty: none)
  };

  CEfsDownload();  // talks through g_diagLink
  explicit CEfsDownload(zk::diag::Transactor& link) : m_client(link) {}
  CEfsDownload(const CEfsDownload&) = delete;
  CEfsDownload& operator=(const CEfsDownload&) = delete;

  // 1, 23, 25, 26 or 27.
  int EfsBackup(std::string_view baseDirectory, int portIndex);
  // 1 or 28. `path` containing "brew_script" is the restore root itself;
  // otherwise the root is path/Efs_COM<portIndex+1>, which must exist.
  int EfsRestore(std::string_view path, int portIndex);

  DirectoryWalk WalkPhoneDirectories();
  // "/" then "|/" + path for each directory of the walk.
  static std::string DirectoryListText(const DirectoryWalk& walk);
  // base/Efs_COM<portIndex+1> (either separator in `base`).
  static std::string BackupDirectory(std::string_view base, int portIndex);
  // Whether a handset-supplied name may become one PC path component.
  static bool IsSafeComponent(std::string_view name);
  // The restore table of a PC tree: every directory below `root`, depth
  // first, in name order, with its regular files (symbolic links skipped).
  static std::vector<Record> ScanTree(const std::string& root);

  CEfsBasicFunction& Client() { return m_client; }

  std::string m_restoreRoot;     // restore root of the last restore
  std::vector<Record> m_records;  // the restore table, during a restore

 private:
  void Walk(const std::string& path, DirectoryWalk& walk, bool root);

  CEfsBasicFunction m_client;
};

extern CEfsDownload g_efsDownload;
