// Frame encode and decode throughput for 2 KiB and 32 KiB packets.
//
// CAsync's fixed 32 KiB buffers hold a 2 KiB packet in any case; a 32 KiB
// packet goes through the same byte-stuffing routines on larger buffers.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <memory>
#include <random>
#include <vector>

#include "diag/frame_codec.h"
#include "zkdownload/zkcomm.h"

namespace {

// Random bytes: about one in 128 needs escaping, as in image data.
std::vector<uint8_t> Packet(std::size_t size) {
  std::mt19937 random(42);
  std::vector<uint8_t> packet(size);
  for (auto& byte : packet) byte = static_cast<uint8_t>(random());
  return packet;
}

void BM_Encode(benchmark::State& state) {
  const auto packet = Packet(static_cast<std::size_t>(state.range(0)));
  std::vector<uint8_t> frame(zk::diag::MaxEncodedSize(packet.size()));
  for (auto _ : state) {
    const auto length = zk::diag::EncodeFrame(packet.data(), packet.size(), frame.data(), frame.size());
    benchmark::DoNotOptimize(length);
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * state.range(0));
}

void BM_Decode(benchmark::State& state) {
  const auto packet = Packet(static_cast<std::size_t>(state.range(0)));
  std::vector<uint8_t> frame(zk::diag::MaxEncodedSize(packet.size()));
  frame.resize(zk::diag::EncodeFrame(packet.data(), packet.size(), frame.data(), frame.size()));
  std::vector<uint8_t> decoded(frame.size());
  for (auto _ : state) {
    const auto result = zk::diag::DecodeFrame(frame.data(), frame.size() - 1, decoded.data());
    if (!result.good) state.SkipWithError("frame did not decode");
    benchmark::DoNotOptimize(result);
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * state.range(0));
}

// The link's own codec object, as SendData and AsyncTxRx use it.
void BM_CAsyncEncode2K(benchmark::State& state) {
  const auto packet = Packet(2048);
  auto codec = std::make_unique<CAsync>();
  for (auto _ : state) {
    benchmark::DoNotOptimize(codec->Encode(packet.data(), static_cast<int>(packet.size())));
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * 2048);
}

void BM_CAsyncDecode2K(benchmark::State& state) {
  const auto packet = Packet(2048);
  auto codec = std::make_unique<CAsync>();
  const int length = codec->Encode(packet.data(), static_cast<int>(packet.size()));
  const std::vector<uint8_t> frame(codec->m_sendBuffer, codec->m_sendBuffer + length);
  for (auto _ : state) {
    if (!codec->Decode(frame.data(), length - 1)) state.SkipWithError("frame did not decode");
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * 2048);
}

BENCHMARK(BM_Encode)->Arg(2048)->Arg(32768);
BENCHMARK(BM_Decode)->Arg(2048)->Arg(32768);
BENCHMARK(BM_CAsyncEncode2K);
BENCHMARK(BM_CAsyncDecode2K);

}  // namespace

BENCHMARK_MAIN();
