#pragma once

#include <CLI/CLI.hpp>

namespace zk::cli {

// `zkdownload upgrade`: burns a firmware image and brings the handset back
// to a provisioned state: NV items (and with the full sequence the
// authentication items and the file system) saved and restored, then the
// PRL, ERI file and script written.
void AddUpgradeCommand(CLI::App& app);

}  // namespace zk::cli
