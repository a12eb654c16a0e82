// `zkdownload refurbish`: erases a used handset's file system and returns it
// to a provisioned state, keeping its NV and authentication items.
#pragma once

#include <CLI/CLI.hpp>

namespace zk::cli {

void AddRefurbishCommand(CLI::App& app);

}  // namespace zk::cli
