#pragma once

#include <CLI/CLI.hpp>

namespace zk::cli {

// `zkdownload identity`: switches the handset into diagnostic mode, reads its
// version label and identity, takes it offline and resets it.
void AddIdentityCommand(CLI::App& app);

}  // namespace zk::cli
