// PRL read answers as a handset could send them: the parser alone, and the
// read step driving it through the Transactor seam. The data taken from an
// answer is never more than its bit count claims nor than the answer carried,
// and the file never receives more than all answers carried together.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <span>
#include <vector>

#include "diag/answer_verdict.h"
#include "diag/diag_answers.h"
#include "diag/packet_process.h"

namespace {

using namespace zk::diag;

void Check(bool condition) {
  if (!condition) std::abort();
}

void CheckAnswer(AnswerBytes answer) {
  const auto block = ParsePrlRead(answer);
  Check(block.has_value() == (answer.size() >= answer::PrlReadData::offset && answer[0] == code::kPrlRead));
  if (!block) return;
  const auto& data = block->data;
  Check(data.data() == answer.data() + answer::PrlReadData::offset);
  Check(data.size() <= block->bits / 8u && data.size() <= answer.size() - answer::PrlReadData::offset);
  // The link's rule on decoded lengths agrees for every answer the link can give.
  if (answer.size() <= kDiagResponseBufferSize)
    Check(data.size() == PrlReadDataBytes(block->bits, static_cast<int>(answer.size() + 2)));
  Check(block->more == (answer[answer::PrlReadMore::offset] == kPrlMoreBlocks));
}

// Plays the input as a handset: each answer is one length byte and that many
// bytes (cut at the input's end) with the PRL read code put first; silence
// once the input is used up.
class InputHandset : public Transactor {
 public:
  explicit InputHandset(std::span<const uint8_t> input) : m_input(input) {}

  Reply Exchange(std::span<const uint8_t> request, int) override {
    Check(request.size() == static_cast<std::size_t>(request::kPrlRead.length) && request[0] == code::kPrlRead);
    if (m_input.empty()) return {};
    const std::size_t length = std::min<std::size_t>(m_input[0], m_input.size() - 1);
    m_answer.assign(m_input.begin() + 1, m_input.begin() + 1 + static_cast<std::ptrdiff_t>(length));
    m_input = m_input.subspan(1 + length);
    if (!m_answer.empty()) m_answer[0] = code::kPrlRead;
    const bool accepted = JudgeAnswer(request[0], m_answer, false) == Verdict::kAccepted;
    carried += m_answer.size() > answer::PrlReadData::offset ? m_answer.size() - answer::PrlReadData::offset : 0;
    return {accepted ? kTransactAccepted : kNoAnswer, true, m_answer};
  }

  std::size_t carried = 0;  // data bytes all answers carried

 private:
  std::span<const uint8_t> m_input;
  std::vector<uint8_t> m_answer;
};

void ReadThroughTheStep(std::span<const uint8_t> input) {
  InputHandset handset(input);
  CPacketProcess process(handset);
  char* text = nullptr;
  std::size_t written = 0;
  std::FILE* file = open_memstream(&text, &written);
  Check(file != nullptr);
  static_cast<void>(process.ReadPrl(0, file));
  std::fclose(file);
  std::free(text);
  Check(written <= handset.carried);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  const std::vector<uint8_t> answer(data, data + size);  // exactly the answer's size
  CheckAnswer(answer);
  ReadThroughTheStep(answer);
  return 0;
}
