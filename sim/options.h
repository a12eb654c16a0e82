// Everything that configures one simulated handset, grouped by the part that
// reads it: the line, the personalities, each service, and the faults to
// inject.
#pragma once

#include <filesystem>
#include <string>

#include "core/fault_options.h"
#include "core/personality.h"
#include "services/service_options.h"
#include "wire/line_options.h"

namespace rb310 {

struct SimOptions {
  LineOptions line;

  // State directory (NV items, PRLs, burned images in flash/, the EFS in efs/);
  // empty = $ZKDOWNLOAD_HOME/rb310-sim/COM<n>.
  std::filesystem::path stateDir;
  std::string transcriptPath;  // JSON lines; empty = in memory only

  PersonalityOptions personality;
  IdentityOptions identity;
  SecurityOptions security;
  NvOptions nv;
  PrlOptions prl;
  EfsOptions efs;
  FaultOptions faults;
};

}  // namespace rb310
