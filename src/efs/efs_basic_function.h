// CEfsBasicFunction: the client of the handset's file system. Primitives
// send one request each through a Transactor (the library's link unless a
// test hands in another) and judge the answer; composites copy files between
// handset and PC, create directory paths, list directories and delete files.
//
// Primitive results: 0 success, the handset's error number when the answer
// carries one, kNoAnswer (-1) when no usable answer arrived (none, another
// command, another header, too short for the fields read), kEndOfDirectory
// (-2, readdir only). Composites add kHostCreate (-2), kHostIo (-3),
// kStalled (-4) and kBadRequest (-5).
//
// Stall bound: a handset that answers a read or a write with zero bytes and
// no error makes no progress. After kMaxZeroAnswers such answers in a row
// the copy ends with kStalled, so a copy loop always ends. Likewise a
// directory that yields more than kMaxDirectoryEntries entries ends its
// listing with kStalled.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "diag/transactor.h"
#include "efs/efs_answers.h"

class CEfsBasicFunction {
 public:
  static constexpr int kOk = 0;
  static constexpr int kNoAnswer = -1;
  static constexpr int kEndOfDirectory = -2;
  static constexpr int kHostCreate = -2;  // PC file cannot be created (read) or opened (write)
  static constexpr int kHostIo = -3;      // PC file cannot be written (read) or read (write)
  static constexpr int kStalled = -4;     // zero-byte answers in a row, or an endless directory
  static constexpr int kBadRequest = -5;  // a path or name that does not fit its request field
  static constexpr int kNoSuchPath = 2;   // handset error number
  static constexpr int kMaxZeroAnswers = 8;
  static constexpr int kMaxDirectoryEntries = 10000;
  // Tries of the composites: first try plus repeats.
  static constexpr int kOpenTries = 22;
  static constexpr int kReadTries = 7;
  static constexpr int kWriteTries = 22;
  static constexpr int kDirectoryTries = 12;
  static constexpr int kDeleteStatusAlsoOk = 6;  // a deletion status counted as success

  CEfsBasicFunction();  // talks through g_diagLink
  explicit CEfsBasicFunction(zk::diag::Transactor& link) : m_link(link) {}
  CEfsBasicFunction(const CEfsBasicFunction&) = delete;
  CEfsBasicFunction& operator=(const CEfsBasicFunction&) = delete;

  // --- primitives ---------------------------------------------------------
  int efs_stat(std::string_view path, uint32_t* size);
  int efs_open(std::string_view path, uint32_t flags, uint32_t mode, uint32_t* handle);
  int efs_close(uint32_t handle);
  // Replaces `data` with the bytes read (512 asked for; never more than the
  // answer carried). `expected`: the bytes the file still holds from
  // `offset`, when known, so the link can wait for the answer's bulk at once.
  int efs_read(uint32_t handle, uint32_t offset, std::vector<uint8_t>& data, uint32_t expected = 0);
  // Sends `data` in requests of at most 2048 bytes, each from where the
  // handset's reported count left the last; `written` gets the bytes the
  // handset took. A count larger than was sent is no usable answer.
  int efs_write(uint32_t handle, uint32_t offset, std::span<const uint8_t> data, uint32_t* written);
  int efs_mkdir(std::string_view path, uint16_t mode);
  int efs_opendir(std::string_view path, uint32_t* directory);
  // `sequence` starts at 1. kEndOfDirectory when the entry's name is empty.
  int efs_readdir(uint32_t directory, uint32_t sequence, uint32_t* type, std::string* name);
  int efs_closedir(uint32_t directory);

  // --- composites ---------------------------------------------------------
  // Handset file to a PC file (either separator; the directory must exist).
  // The file arrives in a temporary file beside the target, which takes the
  // target's place only when complete; a failed copy leaves the target as
  // it was and keeps what arrived as <target>.partial.
  int GetFileFromPhone(std::string_view handsetPath, std::string_view pcPath);
  int PutFileToPhone(std::string_view pcPath, std::string_view handsetPath);
  // Creates every missing directory along `path` ("/a/b/c").
  int MakePhoneDirs(std::string_view path);
  // Names of the entries of `type` (0 plain file, 1 directory) in `directory`.
  int ListPhoneDir(std::string_view directory, std::vector<std::string>& names, uint32_t type);
  // Plain files' names joined by `separator`, or kNotExistDir, kError,
  // kNotExistFiles.
  std::string ListPhoneFiles(std::string_view directory, char separator);
  // 1 when every file the older listing names was deleted, else 0.
  int DeletePhoneDirFiles(std::string_view directory);
  // The deletion's status byte, or 23 without an answer.
  int DeletePhoneFile(std::string_view name);

  // --- the older request ---------------------------------------------------
  // Operation 2 (sub-directories, 2000 ms) or 3 (plain files, 10000 ms) of
  // `directory`; nullopt without a usable answer.
  std::optional<zk::efs::ListingAnswer> ListByOperation(uint8_t operation, std::string_view directory);
  // Operation 4: one block of `name`; nullopt without a usable answer.
  std::optional<std::vector<uint8_t>> ReadFileBlock(std::string_view name, uint8_t sequence, int waitMs,
                                                    uint8_t* status);

  static constexpr const char* kNotExistDir = "NOT_EXIST_DIR";
  static constexpr const char* kError = "ERROR";
  static constexpr const char* kNotExistFiles = "NOT_EXIST_FILES";

 private:
  zk::diag::Reply Send(std::span<const uint8_t> request, int waitMs);
  std::span<uint8_t> Buffer() { return m_request; }

  zk::diag::Transactor& m_link;
  std::array<uint8_t, 3016> m_request{};
};
