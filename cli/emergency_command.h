#pragma once

#include <CLI/CLI.hpp>

namespace zk::cli {

// `zkdownload emergency`: burns a firmware image into a handset that offers only its downloader.
void AddEmergencyCommand(CLI::App& app);

}  // namespace zk::cli
