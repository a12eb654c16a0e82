// CEfsBasicFunction: copies between handset and PC, directory paths,
// listings and deletions, built from the primitives.
#include <algorithm>
#include <cstdio>
#include <iterator>
#include <filesystem>
#include <memory>

#include "efs/efs_basic_function.h"
#include "efs/efs_requests.h"
#include "platform/atomic_file.h"
#include "platform/paths.h"
#include "ui/common_process.h"

namespace {

using namespace zk::efs;

constexpr char kPartialSuffix[] = ".partial";
// Directory listing results that mean the directory is not there.
constexpr int kNoSuchDirectory[] = {CEfsBasicFunction::kNoSuchPath, 4};

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

}  // namespace

int CEfsBasicFunction::GetFileFromPhone(std::string_view handsetPath, std::string_view pcPath) {
  uint32_t size = 0;
  if (const int stat = efs_stat(handsetPath, &size); stat != kOk) return stat;
  uint32_t handle = 0;
  int open = kNoAnswer;
  for (int i = 0; i < kOpenTries && open != kOk; ++i) open = efs_open(handsetPath, kOpenReadFlags, kOpenReadMode, &handle);
  if (open != kOk) return open;

  const std::filesystem::path target = zk::platform::NormalizeHostPath(pcPath);
  zk::platform::PendingFile pending(target);
  if (pending.file() == nullptr) {
    static_cast<void>(efs_close(handle));
    return kHostCreate;
  }
  std::error_code error;
  auto fail = [&](int result) {
    static_cast<void>(efs_close(handle));
    static_cast<void>(pending.KeepAs(target.string() + kPartialSuffix, error));  // kept when it can be
    return result;
  };

  std::vector<uint8_t> data;
  uint32_t offset = 0;
  int zeroAnswers = 0;
  while (offset < size) {
    int read = kNoAnswer;
    for (int i = 0; i < kReadTries && read == kNoAnswer; ++i) read = efs_read(handle, offset, data, size - offset);
    if (read != kOk) return fail(read);
    zeroAnswers = data.empty() ? zeroAnswers + 1 : 0;
    if (zeroAnswers >= kMaxZeroAnswers) return fail(kStalled);
    if (!data.empty() && std::fwrite(data.data(), 1, data.size(), pending.file()) != data.size()) return fail(kHostIo);
    offset += static_cast<uint32_t>(data.size());
    g_commonProcess.UpdateElapsedTime();
  }
  static_cast<void>(efs_close(handle));
  if (!pending.Commit(error)) return kHostIo;
  return kOk;
}

int CEfsBasicFunction::PutFileToPhone(std::string_view pcPath, std::string_view handsetPath) {
  FilePtr file(std::fopen(zk::platform::NormalizeHostPath(pcPath).c_str(), "rb"));
  if (!file || std::fseek(file.get(), 0, SEEK_END) != 0) return kHostCreate;
  const long size = std::ftell(file.get());
  std::rewind(file.get());
  if (size < 0) return kHostIo;

  uint32_t handle = 0;
  if (const int open = efs_open(handsetPath, kOpenWriteFlags, kOpenWriteMode, &handle); open != kOk) return open;
  std::vector<uint8_t> chunk(kWriteChunk);
  uint32_t offset = 0;
  while (offset < static_cast<unsigned long>(size)) {
    const std::size_t got = std::fread(chunk.data(), 1, chunk.size(), file.get());
    if (got == 0) {
      if (std::ferror(file.get()) != 0) {
        static_cast<void>(efs_close(handle));
        return kHostIo;
      }
      break;  // the file ended early: the handset has all there is
    }
    uint32_t written = 0;
    int write = kNoAnswer;
    for (int i = 0; i < kWriteTries && write != kOk; ++i)
      write = efs_write(handle, offset, std::span(chunk).first(got), &written);
    if (write != kOk) {
      static_cast<void>(efs_close(handle));
      return write;
    }
    offset += written;
    g_commonProcess.UpdateElapsedTime();
  }
  // The handset has the file only once it has closed it.
  return efs_close(handle);
}

int CEfsBasicFunction::MakePhoneDirs(std::string_view path) {
  std::size_t position = 0;
  for (;;) {
    const std::size_t slash = path.find('/', position + 1);
    const std::string_view prefix = path.substr(0, slash);
    const int stat = efs_stat(prefix, nullptr);
    int made = kOk;
    if (stat == kNoSuchPath) {
      made = efs_mkdir(prefix, kDirectoryMode);
    } else if (stat != kOk) {
      return stat;
    }
    // A directory that could not be made ends the walk; the writes into it
    // will report the failure.
    if (slash == std::string_view::npos || made != kOk) return kOk;
    position = slash;
  }
}

int CEfsBasicFunction::ListPhoneDir(std::string_view directory, std::vector<std::string>& names, uint32_t type) {
  names.clear();
  uint32_t handle = 0;
  int open = kNoAnswer;
  for (int i = 0; i < kDirectoryTries && open != kOk; ++i) open = efs_opendir(directory, &handle);
  if (open != kOk) return open;

  int result = kOk;
  for (uint32_t sequence = 1;; ++sequence) {
    if (sequence > static_cast<uint32_t>(kMaxDirectoryEntries)) {
      result = kStalled;
      break;
    }
    uint32_t entryType = 0;
    std::string name;
    int read = kNoAnswer;
    for (int i = 0; i < kDirectoryTries; ++i) {
      read = efs_readdir(handle, sequence, &entryType, &name);
      if (read == kOk || read == kEndOfDirectory) break;
    }
    if (read == kEndOfDirectory) break;
    if (read != kOk) {
      result = read;
      break;
    }
    if (entryType == type) names.push_back(std::move(name));
  }
  // The handle is closed on every path, so the handset never runs out of them.
  static_cast<void>(efs_closedir(handle));
  return result;
}

std::string CEfsBasicFunction::ListPhoneFiles(std::string_view directory, char separator) {
  std::vector<std::string> names;
  const int result = ListPhoneDir(directory, names, kEntryFile);
  if (std::ranges::find(kNoSuchDirectory, result) != std::end(kNoSuchDirectory)) return kNotExistDir;
  if (result != kOk) return kError;
  if (names.empty()) return kNotExistFiles;
  std::string text = names.front();
  for (std::size_t i = 1; i < names.size(); ++i) (text += separator) += names[i];
  return text;
}

int CEfsBasicFunction::DeletePhoneDirFiles(std::string_view directory) {
  const auto listing = ListByOperation(op::kListFiles, directory);
  if (!listing || listing->status != 0) return 0;
  for (const std::string& name : listing->names) {
    const int status = DeletePhoneFile(name);
    if (status != 0 && status != kDeleteStatusAlsoOk) return 0;
  }
  return 1;
}
