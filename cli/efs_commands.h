// The handset file-system commands (efs-ls, efs-get, efs-put, efs-backup,
// efs-restore) and the ERI and provisioning commands built on the file system.
#pragma once

#include <CLI/CLI.hpp>
#include <cstdint>
#include <string>

namespace zk::cli {

void AddEfsListCommand(CLI::App& app);
void AddEfsCopyCommands(CLI::App& app);
void AddEfsTreeCommands(CLI::App& app);
void AddEriCommands(CLI::App& app);

// "512 bytes", "12.5 KiB", "1.0 MiB".
std::string SizeText(uint64_t bytes);

}  // namespace zk::cli
