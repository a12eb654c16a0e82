#include "support/scripted_transactor.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>

#include "diag/answer_verdict.h"

namespace zk::test {

std::string Hex(std::span<const uint8_t> bytes) {
  std::string text;
  for (const uint8_t byte : bytes) {
    char digits[4];
    std::snprintf(digits, sizeof(digits), "%02X ", byte);
    text += digits;
  }
  if (!text.empty()) text.pop_back();
  return text;
}

ScriptedTransactor& ScriptedTransactor::Answer(Bytes request, Bytes answer) {
  m_steps.push_back({std::move(request), true, std::move(answer)});
  return *this;
}

ScriptedTransactor& ScriptedTransactor::Silence(Bytes request) {
  m_steps.push_back({std::move(request), false, {}});
  return *this;
}

zk::diag::Reply ScriptedTransactor::Exchange(std::span<const uint8_t> request, int timeoutMs) {
  ++m_exchanges;
  m_timeouts.push_back(timeoutMs);
  m_answer.clear();
  if (m_steps.empty()) {
    ADD_FAILURE() << "request past the end of the script: " << Hex(request);
    return {};
  }
  Step step = std::move(m_steps.front());
  m_steps.pop_front();
  EXPECT_TRUE(std::ranges::equal(request, step.request))
      << "exchange " << m_exchanges << ": sent " << Hex(request) << ", script expects " << Hex(step.request);
  if (!step.answers) return {};

  m_answer = std::move(step.answer);
  const uint8_t requestCode = request.empty() ? 0 : request[0];
  int result = kTransactRefused;
  switch (zk::diag::JudgeAnswer(requestCode, m_answer, m_downloadMode)) {
    case zk::diag::Verdict::kAccepted: result = kTransactAccepted; break;
    case zk::diag::Verdict::kTryAgain: result = kNoAnswer; break;
    case zk::diag::Verdict::kRefused:
    case zk::diag::Verdict::kNegative: result = kTransactRefused; break;
  }
  return {result, true, m_answer};
}

}  // namespace zk::test
