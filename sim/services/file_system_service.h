// The handset's file system (EFS), kept as the directory <state>/efs. Its
// requests come in two families: under subsystem dispatch (code 0x4B,
// subsystem 0x13, a 16-bit sub-command: stat, open, close, read, write,
// mkdir, opendir, readdir, closedir) and the older one under code 0x59 with
// an operation byte (list sub-directories, list files, read a block, delete).
// Open files and directories live in fixed handle tables that a restart
// empties. Every wire path goes through EfsTree, which keeps requests inside
// the directory. Sub-commands and operations it does not know get the
// bad-command answer, like any request the handset does not know.
#pragma once

#include <filesystem>
#include <span>
#include <string>

#include "core/service.h"
#include "services/efs_handles.h"
#include "services/efs_tree.h"
#include "services/service_options.h"

namespace rb310 {

class FileSystemService : public Service {
 public:
  // Creates the directory when missing and copies the seed tree into it.
  FileSystemService(const EfsOptions& options, std::filesystem::path directory);

  const char* name() const override { return "file system"; }
  void Register(Dispatchers& dispatchers) override;
  void OnRestart() override;

  const std::filesystem::path& directory() const { return directory_; }
  std::size_t openFiles() const { return files_.open(); }
  std::size_t openDirectories() const { return directories_.open(); }
  // Removes everything in the file system (never following links out of
  // it) and leaves it empty, creating it when missing; the downloader's EFS
  // erase. False when something could not be removed.
  bool Erase();

 private:
  // Subsystem family.
  Answer Stat(HandsetContext& context, std::span<const uint8_t> request);
  Answer Open(HandsetContext& context, std::span<const uint8_t> request);
  Answer Close(HandsetContext& context, std::span<const uint8_t> request);
  // What a read or write answer starts from: its offset, the answer with
  // handle and offset echoed, the open file, and the error so far (bad
  // handle, or a path the faults refuse).
  struct Transfer {
    uint32_t offset;
    std::vector<uint8_t> packet;
    OpenFile* file;
    uint32_t error;
  };
  Transfer BeginTransfer(HandsetContext& context, std::span<const uint8_t> request, std::size_t offsetField);
  Answer Read(HandsetContext& context, std::span<const uint8_t> request);
  Answer Write(HandsetContext& context, std::span<const uint8_t> request);
  Answer Mkdir(HandsetContext& context, std::span<const uint8_t> request);
  Answer Opendir(HandsetContext& context, std::span<const uint8_t> request);
  Answer Readdir(HandsetContext& context, std::span<const uint8_t> request);
  Answer Closedir(HandsetContext& context, std::span<const uint8_t> request);
  // Older family.
  Answer ListDirectories(HandsetContext& context, std::span<const uint8_t> request);
  Answer ListFiles(HandsetContext& context, std::span<const uint8_t> request);
  Answer List(HandsetContext& context, std::span<const uint8_t> request, bool directories);
  Answer ReadBlock(HandsetContext& context, std::span<const uint8_t> request);
  Answer Delete(HandsetContext& context, std::span<const uint8_t> request);

  // The place a wire path names, with error 13 when a failed-path fault
  // covers it.
  EfsTree::Place Locate(const HandsetContext& context, const std::string& wirePath) const;

  std::filesystem::path directory_;
  EfsTree tree_;
  HandleTable<OpenFile> files_;
  HandleTable<OpenDirectory> directories_;
};

}  // namespace rb310
