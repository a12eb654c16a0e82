// What the NV backup file commands print: the entries of a .bak file in
// catalogue order, as a table or JSON, and the entries two files disagree on.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "nv/nv_backup_file.h"

namespace zk::cli {

// One entry of a backup: a calibration or settings item, or one NAM of a NAM item.
struct NvEntry {
  uint16_t item;
  const char* name;
  int nam;  // nv::kNoNam for an item kept once
  bool read;
  std::string valueHex;  // the slot's value bytes, lower-case hex
};

// Reads and decodes `path`. On refusal `problem` says why, naming the file.
struct LoadedBackup {
  std::optional<nv::BackupContents> contents;
  std::string problem;
};
LoadedBackup LoadBackupFile(const std::string& path);

std::vector<NvEntry> BackupEntries(const nv::BackupContents& contents);

std::string EntriesTable(const std::vector<NvEntry>& entries);
std::string EntriesJson(const std::vector<NvEntry>& entries);

// Lines naming each entry whose read flag differs, or whose value differs
// while either file holds it (an entry neither file read carries nothing a
// restore would write). Empty when the files agree.
std::vector<std::string> DiffEntries(const std::vector<NvEntry>& a, const std::vector<NvEntry>& b);

}  // namespace zk::cli
