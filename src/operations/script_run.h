// Running a parsed script against a handset that already speaks
// diagnostics: NV writes through the NV layer (from the script's own NV
// image), the service programming code, mode changes, file copies from the
// script's efs_scr folder and waits.
//
// Run rule: a failing line is passed over, unless the NV layer's run of
// unanswered NV requests stands above CNVBackup::kMaxSilentRun when it
// fails; then the handset is taken to be gone and the run is abandoned.
#pragma once

#include <string>
#include <vector>

#include "script/script_parser.h"

class CNVBackup;
class CPacketProcess;
class CEfsBasicFunction;

namespace zk::operations {

// Results of the script download entry.
inline constexpr int kScriptDone = 1;
inline constexpr int kScriptNotLoaded = 46;
inline constexpr int kScriptWarned = 50;     // ran to its end; the NV error list names what failed
inline constexpr int kScriptAbandoned = 53;  // the handset stopped answering NV requests

// The objects a run talks through.
struct ScriptHandset {
  CNVBackup& nv;
  CPacketProcess& packets;
  CEfsBasicFunction& efs;
};

// The library's own objects.
ScriptHandset LibraryHandset();

struct LineOutcome {
  int number = 0;
  bool done = true;
  std::string note;  // why the line failed, or what it did
};

struct ScriptRunReport {
  std::vector<LineOutcome> outcomes;  // the lines that did something or failed, in order
  std::string loadFailure;            // set with kScriptNotLoaded
  int abandonedAt = 0;                // line number, with kScriptAbandoned
};

// Runs `parse` line by line. False when the run was abandoned. The parse's
// refused NV items go to the NV error list and set the NV layer's failure
// flag; so does every NV write the handset does not hold.
bool RunParsedScript(const zk::script::ScriptParse& parse, const std::string& efsFolder, ScriptHandset handset,
                     ScriptRunReport* report = nullptr);

// The script download entry: clears the failure flag, loads the script
// (46 when it cannot be), parses it for `operationKind` and runs it (53 when
// abandoned). 50 when the failure flag was set during the run, else 1.
int RunScriptFile(const std::string& path, int operationKind, ScriptHandset handset,
                  ScriptRunReport* report = nullptr);

}  // namespace zk::operations
