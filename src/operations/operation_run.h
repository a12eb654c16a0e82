// What the last main operation (binary download, upgrade, refurbish) saw, for
// a host's service record: the software version the handset reported at the
// first mode entry and every stage entered, with its start time. Kept whatever
// the kind and whether or not the host registered stage buffers.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct OperationStage {
  std::string name;
  int64_t startMs = 0;  // steady clock
};

class COperationRun {
 public:
  // Forgets the last run and starts timing a new one.
  void Begin();
  // Enters `name` and tells the operator; a stage entered twice in a row is
  // kept once.
  void EnterStage(const char* name);
  // Marks the end of the run (the flow returned).
  void End();
  // Notes the version of the first mode entry that reported one.
  void NoteVersion(const std::string& softwareVersion);
  // Stages as "NAME=MS;NAME=MS...": each with the milliseconds it lasted
  // (the last one until the end of the run, or until now while it runs).
  std::string StagesWithDurations() const;
  // Stage names separated by ';'.
  std::string StageNames() const;

  std::string m_versionBefore;
  std::vector<OperationStage> m_stages;
  int64_t m_beginMs = 0;
  int64_t m_endMs = 0;  // when the flow returned; 0 while it runs
};

extern COperationRun g_operationRun;

// Times one call of a flow: begins the run record on construction and ends it
// on whichever return the flow takes.
class OperationRunScope {
 public:
  OperationRunScope() { g_operationRun.Begin(); }
  ~OperationRunScope() { g_operationRun.End(); }
  OperationRunScope(const OperationRunScope&) = delete;
  OperationRunScope& operator=(const OperationRunScope&) = delete;
};
