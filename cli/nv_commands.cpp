#include "nv_commands.h"

#include <charconv>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "command_result.h"
#include "global_options.h"
#include "input_checks.h"
#include "nv/nv_backup_file.h"
#include "nv/nv_catalogue.h"
#include "operation_options.h"
#include "operation_record.h"
#include "zkdownload/zkdownload.h"

namespace zk::cli {
namespace {

namespace fs = std::filesystem;

struct NvOptions {
  std::string port;
  std::string spc;
  std::string file;  // nv-backup --out, nv-restore FILE, backup/restore DIR
  std::string item;
  std::string value;
  int nam = -1;
};

std::string EfsName(int portIndex) { return "Efs_COM" + std::to_string(portIndex + 1); }

// The item by number or by its NV_..._I name; nothing for an item the
// catalogue does not know.
std::optional<uint16_t> ParseItem(const std::string& text) {
  unsigned value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error == std::errc() && end == text.data() + text.size() && value <= 0xFFFF) {
    if (!zk::nv::FindSlot(static_cast<uint16_t>(value))) return std::nullopt;
    return static_cast<uint16_t>(value);
  }
  return zk::nv::ItemNumber(text);
}

// "0A1b2C" or "0x0A1B2C": whole bytes only.
std::optional<std::vector<uint8_t>> ParseHex(std::string text) {
  if (text.rfind("0x", 0) == 0 || text.rfind("0X", 0) == 0) text.erase(0, 2);
  if (text.empty() || text.size() % 2 != 0) return std::nullopt;
  std::vector<uint8_t> bytes;
  for (std::size_t i = 0; i < text.size(); i += 2) {
    uint8_t byte = 0;
    const auto [end, error] = std::from_chars(text.data() + i, text.data() + i + 2, byte, 16);
    if (error != std::errc() || end != text.data() + i + 2) return std::nullopt;
    bytes.push_back(byte);
  }
  return bytes;
}

std::string Hex(const std::vector<uint8_t>& bytes) {
  std::string text;
  char pair[3];
  for (const uint8_t byte : bytes) std::snprintf(pair, sizeof(pair), "%02X", byte), text += pair;
  return text;
}

// Why `path` is no NV backup the restore could use, or empty.
std::string WhyNotBackupFile(const std::string& path) {
  if (std::string why = WhyNotReadable(path, "NV backup file"); !why.empty()) return why;
  std::ifstream in(path, std::ios::binary);
  std::vector<uint8_t> bytes;
  bytes.resize(zk::nv::kBackupFileSize + 1);
  in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  bytes.resize(static_cast<std::size_t>(in.gcount()));
  const auto decoded = zk::nv::DecodeBackupFile(bytes);
  return decoded.ok ? std::string() : path + " is not an NV backup: " + decoded.problem;
}

int RunBackup(const NvOptions& options) {
  const auto port = ResolveOperationPort(options.port);
  if (!port) return kUsageStatus;
  const std::string file =
      AbsolutePath(options.file.empty() ? "COM" + std::to_string(port->index + 1) + "_nv.bak" : options.file);
  if (const std::string why = WhyNotWritable(file); !why.empty()) return RefuseInput(why, "");
  OperationRecord record("nv-backup", *port);
  const int status =
      record.Finish(NvBackupToFile_Interface(static_cast<short>(port->index), options.spc.c_str(), file.c_str()));
  if (status == 0)
    std::printf("every NV item the handset holds on %s saved in %s%s\n", port->name.c_str(), file.c_str(),
                record.EsnSuffix().c_str());
  return status;
}

int RunRestore(const NvOptions& options) {
  const std::string file = AbsolutePath(options.file);
  if (const std::string why = WhyNotBackupFile(file); !why.empty()) return RefuseInput(why, "");
  const auto port = ResolveOperationPort(options.port);
  if (!port) return kUsageStatus;
  OperationRecord record("nv-restore", *port);
  const int status =
      record.Finish(NvRestoreFromFile_Interface(static_cast<short>(port->index), options.spc.c_str(), file.c_str()));
  if (status == 0)
    std::printf("every NV item of %s written into %s and taken; the handset restarted%s\n", file.c_str(),
                port->name.c_str(), record.EsnSuffix().c_str());
  return status;
}

int RunRead(const NvOptions& options) {
  const auto item = ParseItem(options.item);
  if (!item) return RefuseInput("no catalogued NV item " + options.item, "give its number or NV_..._I name");
  const auto port = ResolveOperationPort(options.port);
  if (!port) return kUsageStatus;
  OperationRecord record("nv-read", *port);
  std::vector<uint8_t> value(128);
  int length = 0, handsetStatus = -1;
  const int status = record.Finish(NvReadItem_Interface(static_cast<short>(port->index), options.spc.c_str(), *item,
                                                        options.nam, value.data(), static_cast<int>(value.size()),
                                                        &length, &handsetStatus));
  if (status == 0) {
    value.resize(static_cast<std::size_t>(length));
    std::printf("%s (%u)%s = %s\n", zk::nv::ItemName(*item), static_cast<unsigned>(*item),
                options.nam >= 0 ? (" NAM " + std::to_string(options.nam)).c_str() : "", Hex(value).c_str());
  }
  return status;
}

int RunWrite(const NvOptions& options) {
  const auto item = ParseItem(options.item);
  if (!item) return RefuseInput("no catalogued NV item " + options.item, "give its number or NV_..._I name");
  const auto value = ParseHex(options.value);
  if (!value) return RefuseInput("VALUE " + options.value + " is not hex bytes", "write e.g. 0A1B2C");
  const auto slot = zk::nv::FindSlot(*item);
  if (value->size() > slot->size)
    return RefuseInput(std::string(zk::nv::ItemName(*item)) + " holds " + std::to_string(slot->size) +
                           " bytes, VALUE has " + std::to_string(value->size()),
                       "");
  const auto port = ResolveOperationPort(options.port);
  if (!port) return kUsageStatus;
  OperationRecord record("nv-write", *port);
  int handsetStatus = -1;
  const int status =
      record.Finish(NvWriteItem_Interface(static_cast<short>(port->index), options.spc.c_str(), *item, options.nam,
                                          value->data(), static_cast<int>(value->size()), &handsetStatus));
  if (status == 0)
    std::printf("%s written on %s; the handset took it (status 0)%s\n", zk::nv::ItemName(*item),
                port->name.c_str(), record.EsnSuffix().c_str());
  return status;
}

// NV items to DIR/nv.bak, then the file system to DIR/Efs_COM<n>.
int RunDataBackup(const NvOptions& options) {
  const std::string directory = AbsolutePath(options.file);
  if (const std::string why = WhyNotWritableDirectory(directory); !why.empty()) return RefuseInput(why, "");
  const auto port = ResolveOperationPort(options.port);
  if (!port) return kUsageStatus;
  const std::string nvFile = (fs::path(directory) / "nv.bak").string();
  OperationRecord nvRecord("backup nv", *port);
  if (const int status = nvRecord.Finish(
          NvBackupToFile_Interface(static_cast<short>(port->index), options.spc.c_str(), nvFile.c_str()));
      status != 0)
    return status;
  OperationRecord efsRecord("backup efs", *port);
  if (const int status = efsRecord.Finish(EfsBackup_Interface(static_cast<short>(port->index), directory.c_str()));
      status != 0)
    return status;
  std::printf("NV items of %s saved in %s, file system in %s%s\n", port->name.c_str(), nvFile.c_str(),
              (fs::path(directory) / EfsName(port->index)).c_str(), nvRecord.EsnSuffix().c_str());
  return 0;
}

// The file system first, then the NV items, whose restore ends with the restart.
int RunDataRestore(const NvOptions& options) {
  const std::string directory = AbsolutePath(options.file);
  const std::string nvFile = (fs::path(directory) / "nv.bak").string();
  if (const std::string why = WhyNotBackupFile(nvFile); !why.empty()) return RefuseInput(why, "");
  const auto port = ResolveOperationPort(options.port);
  if (!port) return kUsageStatus;
  std::error_code error;
  const fs::path efs = fs::path(directory) / EfsName(port->index);
  if (!fs::is_directory(efs, error))
    return RefuseInput(efs.string() + " does not exist", "restore from the directory a backup of this port made");
  OperationRecord efsRecord("restore efs", *port);
  if (const int status = efsRecord.Finish(EfsRestore_Interface(static_cast<short>(port->index), directory.c_str()));
      status != 0)
    return status;
  OperationRecord nvRecord("restore nv", *port);
  if (const int status = nvRecord.Finish(
          NvRestoreFromFile_Interface(static_cast<short>(port->index), options.spc.c_str(), nvFile.c_str()));
      status != 0)
    return status;
  std::printf("file system and NV items of %s written into %s and taken; the handset restarted%s\n",
              directory.c_str(), port->name.c_str(), nvRecord.EsnSuffix().c_str());
  return 0;
}

CLI::App* Command(CLI::App& app, const char* name, const char* about, const std::shared_ptr<NvOptions>& options,
                  const char* waits) {
  auto* command = app.add_subcommand(name, about);
  AddPortOption(*command, options->port);
  AddSpcOption(*command, options->spc);
  command->footer(std::string(waits) + "\n" + kGlobalOptionsFooter);
  return command;
}

}  // namespace

void AddNvCommands(CLI::App& app) {
  constexpr const char* kItemHelp = "NV item: its number or NV_..._I name";
  constexpr const char* kNamHelp = "NAM of a NAM item: 0 or 1 (default 0)";

  auto backup = std::make_shared<NvOptions>();
  auto* backupCommand = Command(app, "nv-backup", "Save every catalogued NV item of the handset in a .bak file",
                                backup, "Waits: the switch into diagnostic mode, then 514 reads (3 s for each one "
                                        "left unanswered). The file is replaced only by a complete backup.");
  backupCommand->add_option("--out", backup->file, "the .bak file (default COM<n>_nv.bak here)");
  backupCommand->callback([backup] { SetCommandResult(RunBackup(*backup)); });

  auto restore = std::make_shared<NvOptions>();
  auto* restoreCommand = Command(app, "nv-restore", "Write the NV items of a .bak file back into the handset",
                                 restore, "The file is checked before the port opens. Waits: the switch into "
                                          "diagnostic mode, the writes, then 35 s for the restart.");
  restoreCommand->add_option("FILE", restore->file, "the .bak file")->required();
  restoreCommand->callback([restore] { SetCommandResult(RunRestore(*restore)); });

  auto read = std::make_shared<NvOptions>();
  auto* readCommand = Command(app, "nv-read", "Show one NV item's value in hex", read,
                              "Waits: the switch into diagnostic mode, then one read.");
  readCommand->add_option("ITEM", read->item, kItemHelp)->required();
  readCommand->add_option("--nam", read->nam, kNamHelp)->check(CLI::Range(0, 1));
  readCommand->callback([read] { SetCommandResult(RunRead(*read)); });

  auto write = std::make_shared<NvOptions>();
  auto* writeCommand = Command(app, "nv-write", "Write one NV item (no restart)", write,
                               "ITEM and VALUE are checked before the port opens. Waits: the switch into "
                               "diagnostic mode, then one write.");
  writeCommand->add_option("ITEM", write->item, kItemHelp)->required();
  writeCommand->add_option("VALUE", write->value, "hex bytes, e.g. 0A1B2C (the rest of the item is zero)")
      ->required();
  writeCommand->add_option("--nam", write->nam, kNamHelp)->check(CLI::Range(0, 1));
  writeCommand->callback([write] { SetCommandResult(RunWrite(*write)); });

  auto dataBackup = std::make_shared<NvOptions>();
  auto* dataBackupCommand =
      Command(app, "backup", "Save the NV items (DIR/nv.bak) and the file system (DIR/Efs_COM<n>)", dataBackup,
              "Waits: the NV backup, then the file-system copy, each with its own switch into diagnostic mode.");
  dataBackupCommand->add_option("DIR", dataBackup->file, "backup directory (made if missing)")->required();
  dataBackupCommand->callback([dataBackup] { SetCommandResult(RunDataBackup(*dataBackup)); });

  auto dataRestore = std::make_shared<NvOptions>();
  auto* dataRestoreCommand =
      Command(app, "restore", "Write a backup made by `backup` into the handset: file system, then NV items",
              dataRestore, "DIR/nv.bak is checked before the port opens. Ends with the handset's restart (35 s).");
  dataRestoreCommand->add_option("DIR", dataRestore->file, "the directory `backup` wrote")->required();
  dataRestoreCommand->callback([dataRestore] { SetCommandResult(RunDataRestore(*dataRestore)); });
}

}  // namespace zk::cli
