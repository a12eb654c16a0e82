// CPacketProcess: the preferred roaming list, written in 40-byte blocks and
// read back block by block.
#include <algorithm>
#include <cstring>
#include <span>

#include "diag/diag_link.h"
#include "ui/common_process.h"
#include "diag/byte_order.h"
#include "diag/diag_requests.h"
#include "diag/packet_process.h"
#include "zkdownload/diag_packet.h"

namespace {

using namespace zk::diag;

constexpr uint16_t kFullBlockBits = field::kPrlBlockBytes * 8;
constexpr uint8_t kMoreBlocks = 1;
constexpr uint8_t kLastBlock = 0;

}  // namespace

std::size_t PrlReadDataBytes(uint16_t bitCount, int decodedLength) {
  // What the answer carried: the decoded bytes without the check bytes, and
  // no more than the response buffer keeps.
  if (decodedLength <= static_cast<int>(answer::kCheckBytes)) return 0;
  const std::size_t carried = std::min(static_cast<std::size_t>(decodedLength) - answer::kCheckBytes,
                                       sizeof(diag_rsp_type));
  const std::size_t available = carried > answer::kPrlReadData ? carried - answer::kPrlReadData : 0;
  return std::min<std::size_t>(bitCount / 8, available);
}

bool CPacketProcess::WritePrl(uint8_t nam, std::FILE* file, long size) {
  if (file == nullptr) return false;
  if (size <= 0) return true;  // an empty list: nothing to send
  const std::span<uint8_t> request(m_request.req.bytes);
  // Cleared once: a short last block leaves the rest of the data field as
  // the previous block left it, beyond the block's bit count.
  PrepareRequest(request::kPrlWrite.code);
  uint8_t sequence = 0;
  long sent = 0;
  bool lastSent = false;

  for (;;) {
    g_commonProcess.StepProgress();
    g_commonProcess.UpdateElapsedTime();
    if (lastSent) return true;  // the handset has the whole list; bytes past `size` are not sent
    const std::size_t read = std::fread(m_request.req.bytes + field::kPrlWriteData, 1, field::kPrlBlockBytes, file);
    if (read == 0) return false;  // the file ended before `size` bytes

    const bool more = sent + static_cast<long>(field::kPrlBlockBytes) < size;
    const auto bits = more ? kFullBlockBits : static_cast<uint16_t>(((size - sent) % 256) * 8);
    Put8(request, field::kPrlWriteSequence, sequence);
    Put8(request, field::kPrlWriteMore, more ? kMoreBlocks : kLastBlock);
    Put8(request, field::kPrlWriteNam, nam);
    PutLe16(request, field::kPrlWriteBits, bits);
    const int result = Send(request::kPrlWrite.length, request::kPrlWrite.waitMs);
    if (result == kNoAnswer || g_diagLink.m_lastOk == 0) return false;

    sent += static_cast<long>(field::kPrlBlockBytes);
    ++sequence;  // one byte, wraps after 256 blocks
    lastSent = !more;
  }
}

bool CPacketProcess::ReadPrl(uint8_t nam, std::FILE* file) {
  if (file == nullptr) return false;
  const std::span<const uint8_t> reply(m_response.rsp.bytes);
  uint8_t sequence = 0;
  for (;;) {
    PrepareRequest(request::kPrlRead.code);
    m_request.req.bytes[field::kPrlReadSequence] = sequence;
    m_request.req.bytes[field::kPrlReadNam] = nam;
    const int result = Send(request::kPrlRead.length, request::kPrlRead.waitMs);
    if (result == kNoAnswer || g_diagLink.m_lastOk == 0) return false;

    // The bit count is the handset's word; the bytes copied are never more
    // than the answer actually carried.
    const std::size_t count =
        PrlReadDataBytes(GetLe16(reply, answer::kPrlReadBits), g_diagLink.m_comm.lastReceiveLength());
    if (count > 0 && std::fwrite(m_response.rsp.bytes + answer::kPrlReadData, 1, count, file) != count)
      return false;
    ++sequence;
    if (Get8(reply, answer::kPrlReadMore) != kMoreBlocks) return true;
  }
}
