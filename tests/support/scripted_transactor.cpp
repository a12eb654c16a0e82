#include "support/scripted_transactor.h"

#include <gtest/gtest.h>

#include "diag/answer_verdict.h"

namespace zk::test {

zk::diag::Reply ScriptedTransactor::Exchange(std::span<const uint8_t> request, int timeoutMs) {
  m_timeouts.push_back(timeoutMs);
  const Bytes sent(request.begin(), request.end());
  if (m_steps.empty()) {
    ADD_FAILURE() << "a request past the end of the script: " << testing::PrintToString(sent);
    return {};
  }
  Step step = std::move(m_steps.front());
  m_steps.pop_front();
  EXPECT_EQ(sent, step.request) << "exchange " << m_timeouts.size();
  if (!step.answers) return {};

  m_answer = std::move(step.answer);
  switch (zk::diag::JudgeAnswer(sent.empty() ? 0 : sent[0], m_answer, m_downloadMode)) {
    case zk::diag::Verdict::kAccepted: return {kTransactAccepted, true, m_answer};
    case zk::diag::Verdict::kTryAgain: return {kNoAnswer, true, m_answer};
    default: return {kTransactRefused, true, m_answer};
  }
}

}  // namespace zk::test
