// A handset behind the Transactor seam, played from a script: each step
// names the request it expects and whether the handset answers. One step is
// one whole exchange (the link's retries included): an answer with another
// code ends as the link ends it (no answer in diagnostic mode, refused in
// download mode), judged by the link's own rule.
#pragma once

#include <cstdint>
#include <deque>
#include <span>
#include <vector>

#include "diag/transactor.h"

namespace zk::test {

class ScriptedTransactor : public zk::diag::Transactor {
 public:
  using Bytes = std::vector<uint8_t>;

  explicit ScriptedTransactor(bool downloadMode = false) : m_downloadMode(downloadMode) {}

  ScriptedTransactor& Answer(Bytes request, Bytes answer) {
    m_steps.push_back({std::move(request), true, std::move(answer)});
    return *this;
  }
  ScriptedTransactor& Silence(Bytes request) {
    m_steps.push_back({std::move(request), false, {}});
    return *this;
  }

  // Checks the request against the next step (a mismatch or a request past
  // the script fails the test) and plays the step.
  zk::diag::Reply Exchange(std::span<const uint8_t> request, int timeoutMs) override;

  std::size_t exchanges() const { return m_timeouts.size(); }
  std::size_t unplayed() const { return m_steps.size(); }
  const std::vector<int>& timeouts() const { return m_timeouts; }

 private:
  struct Step {
    Bytes request;
    bool answers = false;
    Bytes answer;
  };

  bool m_downloadMode;
  std::deque<Step> m_steps;
  Bytes m_answer;  // the latest answer, which the reply points into
  std::vector<int> m_timeouts;
};

}  // namespace zk::test
