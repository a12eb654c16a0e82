// The seam between protocol code and the port: one request/answer exchange
// with the link's retries, over byte spans. The library's link implements it
// (CDiagLink); unit tests put a scripted handset behind it. Builders and
// parsers (diag_builders.h, diag_answers.h) stay pure, and the steps that
// drive them need no port to be tested.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

// Exchange results (the values Transact has always returned).
inline constexpr int kTransactRefused = 0;   // download mode: answered, but not with an acknowledgement
inline constexpr int kTransactAccepted = 1;  // the answer carries the request's code (or an acknowledgement)
inline constexpr int kNoAnswer = 23;         // no accepted answer after every try (library-wide)

namespace zk::diag {

struct Reply {
  int result = kNoAnswer;  // kTransactAccepted, kTransactRefused or kNoAnswer
  bool answered = false;   // some answer (of any code) arrived during the exchange
  // The last answer that arrived, exactly as long as the handset sent it
  // (without the check bytes, cut to the response buffer); empty when none
  // did. It stays valid until the next exchange on the same transactor.
  std::span<const uint8_t> answer;

  bool Accepted() const { return result == kTransactAccepted; }
};

class Transactor {
 public:
  virtual ~Transactor() = default;
  // Sends `request` (command code first, exactly the bytes that go out) and
  // waits up to `timeoutMs` for each try's answer.
  virtual Reply Exchange(std::span<const uint8_t> request, int timeoutMs) = 0;
  // The same, for an answer of about `answerBytes` bytes: a link on a slow
  // line may then wait for the bulk of it in one sleep. A hint only; any
  // answer is taken as Exchange would take it.
  virtual Reply ExchangeExpecting(std::span<const uint8_t> request, int timeoutMs, std::size_t answerBytes) {
    static_cast<void>(answerBytes);
    return Exchange(request, timeoutMs);
  }

 protected:
  Transactor() = default;
  Transactor(const Transactor&) = default;
  Transactor& operator=(const Transactor&) = default;
};

}  // namespace zk::diag
