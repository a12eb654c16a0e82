#include "diag_commands.h"

#include <algorithm>
#include <cstring>

#include "core/byte_order.h"
#include "services/diag_codes.h"
#include "handset.h"
#include "services/nv_items.h"

namespace rb310 {
namespace {

constexpr uint32_t kDiagRates[] = {9600, 19200, 38400, 57600, 115200, 230400};

void PutText(std::vector<uint8_t>& packet, std::size_t offset, std::string_view text, std::size_t width) {
  for (std::size_t i = 0; i < width; ++i) Put8(packet, offset + i, i < text.size() ? static_cast<uint8_t>(text[i]) : 0);
}

Answer Version(Handset& handset, std::span<const uint8_t>) {
  std::vector<uint8_t> packet(diag::kVersionResponseSize, 0);
  packet[0] = diag::kVersion;
  PutText(packet, diag::kVersionCompileDateOffset, "Mar 14 2006", 11);
  PutText(packet, diag::kVersionCompileTimeOffset, "10:22:31", 8);
  PutText(packet, diag::kVersionReleaseDateOffset, "Mar 14 2006", 11);
  PutText(packet, diag::kVersionReleaseTimeOffset, "10:00:00", 8);
  PutText(packet, diag::kVersionSoftwareOffset, handset.options().identity.softwareVersion, diag::kSoftwareVersionLength);
  Put8(packet, diag::kVersionModelOffset, 0xB6);
  return Answer{std::move(packet), {}};
}

Answer Esn(Handset& handset, std::span<const uint8_t>) {
  std::vector<uint8_t> packet(diag::kEsnResponseSize, 0);
  packet[0] = diag::kEsn;
  PutLe32(packet, 1, handset.options().identity.esn);
  return Answer{std::move(packet), {}};
}

Answer Status(Handset& handset, std::span<const uint8_t>) {
  std::vector<uint8_t> packet(diag::kStatusResponseSize, 0);
  packet[0] = diag::kStatus;
  PutLe32(packet, diag::kStatusEsnOffset, handset.options().identity.esn);
  // Usable states: online shows mode word 0 with phone state 6, offline a
  // non-zero mode word with phone state 2. A handset that never gets there
  // shows mode word 0 with state 2.
  uint16_t modeWord = 0;
  uint16_t phoneState = diag::kPhoneStateOnline;
  if (handset.faults().options().neverUsable) {
    phoneState = diag::kPhoneStateOffline;
  } else if (handset.state().offline) {
    modeWord = 1;
    phoneState = diag::kPhoneStateOffline;
  }
  PutLe16(packet, diag::kStatusModeWordOffset, modeWord);
  PutLe16(packet, diag::kStatusPhoneStateOffset, phoneState);
  return Answer{std::move(packet), {}};
}

Answer ModeControl(Handset& handset, std::span<const uint8_t> request) {
  const uint16_t mode = GetLe16(request, 1);
  Answer answer = EchoAnswer(request.first(diag::kModeControlRequestSize));
  switch (mode) {
    case 0:  // offline analog: treated as offline
    case diag::kModeOffline:
      handset.state().offline = true;
      return answer;
    case 4:  // online
      handset.state().offline = false;
      return answer;
    case diag::kModeReset:
      // Like the real handset, it restarts only from offline.
      if (!handset.state().offline) return ErrorAnswer(diag::kBadParameter, request);
      answer.afterSend = [](Handset& h, int64_t sentMs) { h.BeginRestart(sentMs); };
      return answer;
    default:
      return ErrorAnswer(diag::kBadParameter, request);
  }
}

Answer SwitchToDownloader(Handset&, std::span<const uint8_t> request) {
  Answer answer = EchoAnswer(request.first(1));
  answer.afterSend = [](Handset& h, int64_t) { h.EnterDownloader(); };
  return answer;
}

Answer Spc(Handset& handset, std::span<const uint8_t> request) {
  const std::string& code = handset.options().security.spc;
  bool accepted = code.size() >= 6;
  for (std::size_t i = 0; accepted && i < 6; ++i) accepted = request[1 + i] == static_cast<uint8_t>(code[i]);
  handset.state().spcUnlocked = accepted;
  std::vector<uint8_t> packet{diag::kSpc, static_cast<uint8_t>(accepted ? 1 : 0)};
  return Answer{std::move(packet), {}};
}

Answer KeyLock(Handset& handset, std::span<const uint8_t> request) {
  const uint16_t lock = GetLe16(request, 1);
  if (lock > 1) return ErrorAnswer(diag::kBadParameter, request);
  handset.state().keypadReleased = lock == 0;
  return EchoAnswer(request.first(diag::kKeyRequestSize));
}

Answer KeyPress(Handset& handset, std::span<const uint8_t> request) {
  // A locked keypad ignores remote presses but still answers them.
  if (handset.state().keypadReleased) handset.state().keysPressed.push_back(request[2]);
  return EchoAnswer(request.first(diag::kKeyRequestSize));
}

// NV read and write share the layout; the answer echoes the request with the
// data and the status filled in.
Answer NvItem(Handset& handset, std::span<const uint8_t> request, bool write) {
  std::vector<uint8_t> packet(request.begin(), request.begin() + diag::kNvPacketSize);
  const uint16_t item = GetLe16(request, diag::kNvItemOffset);
  NvData data{};
  std::copy_n(request.begin() + diag::kNvDataOffset, data.size(), data.begin());
  const int index = handset.IsNamItem(item) ? data[0] : -1;

  uint16_t status = nv::kDone;
  if (index >= kNamCount) {
    status = nv::kBadParameter;
  } else if (const auto fault = handset.faults().NvStatus(item, index, write)) {
    status = *fault;
  } else if (write) {
    if (!handset.nv().Write(item, index, data)) status = nv::kFail;
  } else if (const auto stored = handset.nv().Read(item, index)) {
    PutBytes(packet, diag::kNvDataOffset, *stored);
  } else if (item == 0) {
    // The ESN item mirrors the handset's serial number until it is written.
    PutLe32(packet, diag::kNvDataOffset, handset.options().identity.esn);
  } else {
    status = nv::kNotActive;
  }
  PutLe16(packet, diag::kNvStatusOffset, status);
  return Answer{std::move(packet), {}};
}

Answer PrlWrite(Handset& handset, std::span<const uint8_t> request) {
  const uint8_t sequence = request[diag::kPrlWriteSeqOffset];
  const bool more = request[diag::kPrlWriteMoreOffset] != 0;
  const uint8_t nam = request[diag::kPrlWriteNamOffset];
  const uint16_t bits = GetLe16(request, diag::kPrlWriteBitsOffset);

  uint8_t status = diag::kPrlBadBlock;
  if (nam < kNamCount && bits <= diag::kPrlBlockBytes * 8) {
    const std::size_t count = (bits + 7u) / 8u;
    status = handset.prl().WriteBlock(nam, sequence, more, request.subspan(diag::kPrlWriteDataOffset, count));
  }
  std::vector<uint8_t> packet(diag::kPrlWriteResponseSize, 0);
  packet[0] = diag::kPrlWrite;
  packet[1] = status;
  PutLe16(packet, 2, status == diag::kPrlNotStored ? nv::kFail : nv::kDone);
  return Answer{std::move(packet), {}};
}

Answer PrlRead(Handset& handset, std::span<const uint8_t> request) {
  const uint8_t sequence = request[diag::kPrlReadSeqOffset];
  const uint8_t nam = request[diag::kPrlReadNamOffset];
  const std::size_t blockBytes = handset.options().prl.readBlockBytes;
  std::vector<uint8_t> packet(diag::kPrlReadDataOffset + blockBytes, 0);
  packet[0] = diag::kPrlRead;
  packet[diag::kPrlReadAnswerSeqOffset] = sequence;

  const auto list = nam < kNamCount ? handset.prl().Load(nam) : std::nullopt;
  if (nam >= kNamCount) {
    packet[diag::kPrlReadStatusOffset] = diag::kPrlBadBlock;
  } else if (!list) {
    packet[diag::kPrlReadStatusOffset] = diag::kPrlNotStored;
    PutLe16(packet, diag::kPrlReadNvStatusOffset, nv::kNotActive);
  } else {
    // Blocks are addressed by their one-byte sequence number, so a read
    // reaches the first 256 blocks (30 KB at the default block size, more
    // than the largest list the handset stores).
    const std::size_t start = std::min(list->size(), sequence * blockBytes);
    const std::size_t count = std::min(blockBytes, list->size() - start);
    std::copy_n(list->begin() + static_cast<std::ptrdiff_t>(start), count, packet.begin() + diag::kPrlReadDataOffset);
    packet[diag::kPrlReadMoreOffset] = start + count < list->size() ? 1 : 0;
    PutLe16(packet, diag::kPrlReadBitsOffset, static_cast<uint16_t>(count * 8));
  }
  return Answer{std::move(packet), {}};
}

Answer BaudChange(Handset& handset, std::span<const uint8_t> request) {
  if (handset.faults().options().ignoreBaudChange) return ErrorAnswer(diag::kBadCommand, request);
  const uint32_t rate = GetLe32(request, diag::kBaudRateOffset);
  if (std::find(std::begin(kDiagRates), std::end(kDiagRates), rate) == std::end(kDiagRates)) {
    return ErrorAnswer(diag::kBadParameter, request);
  }
  // The answer still leaves at the old rate; the new one holds after it.
  Answer answer = EchoAnswer(request.first(diag::kBaudChangeRequestSize));
  answer.afterSend = [rate](Handset& h, int64_t) { h.SetDiagBaud(rate); };
  return answer;
}

Answer VendorQuery(Handset& handset, std::span<const uint8_t> request) {
  const uint16_t subCommand = GetLe16(request, diag::kVendorSubCommandOffset);
  const uint8_t selector = request[diag::kVendorSelectorOffset];
  const SimOptions& options = handset.options();
  std::vector<uint8_t> packet(request.begin(), request.begin() + diag::kVendorResultOffset);
  if (subCommand == 0 && selector == 0) {
    Put8(packet, diag::kVendorResultOffset, options.identity.vendorByte);
  } else if (subCommand == 0 && selector == 6) {
    PutText(packet, diag::kVendorResultOffset, options.identity.vendorText, diag::kVendorTextLength);
  } else if (subCommand == 20) {
    PutLe32(packet, diag::kVendorResultOffset, options.identity.vendorValue20);
  } else if (subCommand == 21) {
    PutLe32(packet, diag::kVendorResultOffset, options.identity.vendorValue21);
  } else {
    return ErrorAnswer(diag::kBadParameter, request);
  }
  return Answer{std::move(packet), {}};
}

}  // namespace

void AddDiagCommands(CommandTable& table) {
  table.Add(diag::kVersion, {"version", 1, false, Version});
  table.Add(diag::kEsn, {"esn", 1, false, Esn});
  table.Add(diag::kStatus, {"status", 1, false, Status});
  table.Add(diag::kModeControl, {"mode control", diag::kModeControlRequestSize, false, ModeControl});
  table.Add(diag::kSwitchToDownloader, {"switch to downloader", 1, false, SwitchToDownloader});
  table.Add(diag::kSpc, {"spc", diag::kSpcRequestSize, false, Spc});
  table.Add(diag::kKeyLock, {"key lock", diag::kKeyRequestSize, false, KeyLock});
  table.Add(diag::kKeyPress, {"key press", diag::kKeyRequestSize, false, KeyPress});
  table.Add(diag::kNvRead, {"nv read", diag::kNvPacketSize, false,
                            [](Handset& h, std::span<const uint8_t> r) { return NvItem(h, r, false); }});
  table.Add(diag::kNvWrite, {"nv write", diag::kNvPacketSize, true,
                             [](Handset& h, std::span<const uint8_t> r) { return NvItem(h, r, true); }});
  table.Add(diag::kPrlWrite, {"prl write", diag::kPrlWriteRequestSize, true, PrlWrite});
  table.Add(diag::kPrlRead, {"prl read", diag::kPrlReadRequestSize, false, PrlRead});
  table.Add(diag::kBaudChange, {"baud change", diag::kBaudChangeRequestSize, false, BaudChange});
  table.Add(diag::kVendorQuery, {"vendor query", diag::kVendorQueryRequestSize, false, VendorQuery});
  table.SetFallback([](Handset&, std::span<const uint8_t> request) { return ErrorAnswer(diag::kBadCommand, request); });
}

}  // namespace rb310
