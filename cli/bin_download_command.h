#pragma once

#include <CLI/CLI.hpp>

namespace zk::cli {

// `zkdownload bin-download`: burns a firmware image, keeping the handset's NV items.
void AddBinDownloadCommand(CLI::App& app);

}  // namespace zk::cli
