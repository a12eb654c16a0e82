// Received bytes through frame assembly and the frame decoder, as the link
// sees them from a handset; and the same bytes as a packet through encode and
// decode, which must give them back unchanged.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <span>
#include <vector>

#include "diag/crc16.h"
#include "diag/frame_assembler.h"
#include "diag/frame_codec.h"
#include "zkdownload/zkcomm.h"

namespace {

void Check(bool condition) {
  if (!condition) std::abort();
}

CAsync& Codec() {
  static auto* codec = new CAsync();
  return *codec;
}

// Decodes one assembled frame from a block of exactly its body's size, so a
// read past the body is caught.
void DecodeFrame(std::span<const uint8_t> frame) {
  Check(!frame.empty() && frame.back() == zk::diag::kFlag);
  const std::size_t bodyLength = frame.size() - 1;
  std::vector<uint8_t> body(frame.begin(), frame.end() - 1);
  for (const uint8_t byte : body) Check(byte != zk::diag::kFlag);
  body.shrink_to_fit();

  CAsync& codec = Codec();
  const bool good = codec.Decode(body.data(), static_cast<int>(bodyLength));
  Check(codec.m_receiveLength >= 0 && static_cast<std::size_t>(codec.m_receiveLength) <= bodyLength);
  if (!good) return;
  Check(codec.m_receiveLength >= 2);
  Check(zk::diag::CrcUpdate(zk::diag::kCrcPreset, codec.m_receiveBuffer,
                            static_cast<std::size_t>(codec.m_receiveLength)) == zk::diag::kCrcGoodResidue);
}

void AssembleAndDecode(const uint8_t* data, std::size_t size) {
  // The assembly buffer is as large as the link's; a small one as well so
  // that overflows happen within the fuzzer's input sizes.
  static auto* large = new uint8_t[CAsync::kBufferSize];
  uint8_t small[64];
  zk::diag::FrameAssembler assemblers[] = {{large, CAsync::kBufferSize}, {small, sizeof(small)}};
  for (auto& assembler : assemblers) {
    for (std::size_t i = 0; i < size; ++i) {
      if (assembler.Push(data[i]) == zk::diag::FrameAssembler::Event::FrameEnded) DecodeFrame(assembler.Frame());
    }
  }
}

void RoundTrip(const uint8_t* data, std::size_t size) {
  CAsync& codec = Codec();
  const int length = codec.Encode(data, static_cast<int>(size));
  Check(length > 0);  // a fuzzer input is far smaller than the send buffer
  const std::vector<uint8_t> frame(codec.m_sendBuffer, codec.m_sendBuffer + length);

  // The encoded frame ends at its terminator and nowhere before.
  std::vector<uint8_t> storage(frame.size());
  zk::diag::FrameAssembler assembler(storage.data(), storage.size());
  for (std::size_t i = 0; i < frame.size(); ++i) {
    const auto event = assembler.Push(frame[i]);
    Check((event == zk::diag::FrameAssembler::Event::FrameEnded) == (i + 1 == frame.size()));
  }
  Check(assembler.Frame().size() == frame.size());

  Check(codec.Decode(frame.data(), length - 1));
  Check(static_cast<std::size_t>(codec.m_receiveLength) == size + 2);
  Check(size == 0 || std::memcmp(codec.m_receiveBuffer, data, size) == 0);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  AssembleAndDecode(data, size);
  if (size <= 4096) RoundTrip(data, size);
  return 0;
}
