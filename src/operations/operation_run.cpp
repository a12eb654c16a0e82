#include "operations/operation_run.h"

#include "platform/clock.h"
#include "ui/common_process.h"

void COperationRun::Begin() {
  m_versionBefore.clear();
  m_stages.clear();
  m_beginMs = zk::platform::NowMs();
  m_endMs = 0;
}

void COperationRun::EnterStage(const char* name) {
  if (!m_stages.empty() && m_stages.back().name == name) return;
  m_stages.push_back({name, zk::platform::NowMs()});
  g_commonProcess.EnterStage(name);
}

void COperationRun::End() { m_endMs = zk::platform::NowMs(); }

void COperationRun::NoteVersion(const std::string& softwareVersion) {
  if (m_versionBefore.empty()) m_versionBefore = softwareVersion;
}

std::string COperationRun::StagesWithDurations() const {
  const int64_t nowMs = m_endMs != 0 ? m_endMs : zk::platform::NowMs();
  std::string joined;
  for (std::size_t i = 0; i < m_stages.size(); ++i) {
    const int64_t end = i + 1 < m_stages.size() ? m_stages[i + 1].startMs : nowMs;
    if (!joined.empty()) joined += ';';
    joined += m_stages[i].name + "=" + std::to_string(end > m_stages[i].startMs ? end - m_stages[i].startMs : 0);
  }
  return joined;
}

std::string COperationRun::StageNames() const {
  std::string joined;
  for (const auto& stage : m_stages) {
    if (!joined.empty()) joined += ';';
    joined += stage.name;
  }
  return joined;
}
