#include "core/handset_core.h"

#include "core/error_codes.h"

namespace rb310 {
namespace {

// The downloader's negative acknowledgement: the answer of a packet a fault
// refuses.
constexpr uint8_t kDownloaderNak = 0x03;

}  // namespace

HandsetCore::HandsetCore(Settings settings, int64_t nowMs)
    : settings_(std::move(settings)),
      startMs_(nowMs),
      faults_(settings_.faults),
      at_(AtPersonality::Settings{settings_.personality.dmBaud, settings_.faults.ignoreStandardSwitch}),
      outbox_(nowMs) {
  const PersonalityOptions& personality = settings_.personality;
  state_.personality = personality.startInDownloader ? Personality::kDownloader
                       : personality.startInDm       ? Personality::kDiag
                                                     : Personality::kAt;
  state_.diagBaud = personality.dmBaud;
  dispatchers_.diagnostic.AddFamily(diag::kSubsystemDispatch,
                                    SubKeyLayout{diag::kSubsystemIdOffset, diag::kSubsystemCommandOffset, 2});
  dispatchers_.diagnostic.SetFallback(
      [](HandsetContext&, std::span<const uint8_t> request) { return ErrorAnswer(diag::kBadCommand, request); });
}

void HandsetCore::Attach(Service& service) {
  service.Register(dispatchers_);
  services_.push_back(&service);
}

bool HandsetCore::UnderstandsLine(uint32_t hostBaud) const {
  // The USB modem port carries bytes whatever rate the host sets; a
  // physical line garbles them unless both ends agree.
  return settings_.usbModem || hostBaud == 0 || hostBaud == state_.diagBaud;
}

void HandsetCore::Receive(std::span<const uint8_t> bytes, uint32_t hostBaud, int64_t nowMs) {
  if (vanished_) return;
  if (!bytes.empty()) state_.hostBaud = hostBaud;
  std::size_t i = 0;
  while (i < bytes.size()) {
    switch (state_.personality) {
      case Personality::kRestarting:
        ++counters_.ignoredWhileRestarting;
        Record(nowMs, "restarting", -1, bytes.subspan(i), false, "");
        return;
      case Personality::kAt:
        // The modem side follows whatever rate the host uses (autobaud).
        if (auto result = at_.Push(bytes[i++])) HandleAtLine(*result, nowMs);
        break;
      case Personality::kDiag:
      case Personality::kDownloader:
        if (!UnderstandsLine(hostBaud)) {
          // Garbled on the line: nothing of it arrives as a byte, and a
          // frame being received is spoilt.
          ++counters_.garbledChunks;
          receiver_.Reset();
          Record(nowMs, "garbled", -1, bytes.subspan(i), false,
                 "host " + std::to_string(hostBaud) + " bit/s, handset " + std::to_string(state_.diagBaud));
          return;
        }
        if (auto frame = receiver_.Push(bytes[i++])) HandleFrame(std::move(*frame), nowMs);
        break;
    }
  }
}

void HandsetCore::HandleAtLine(const AtResult& result, int64_t nowMs) {
  ++counters_.atLines;
  const auto* text = reinterpret_cast<const uint8_t*>(result.line.data());
  std::string note;
  for (const char c : result.answer) {
    if (c != '\r' && c != '\n') note += c;
    else if (!note.empty() && note.back() != ' ') note += ' ';
  }
  while (!note.empty() && note.back() == ' ') note.pop_back();
  if (result.enterDiagAt) note += " -> diag at " + std::to_string(*result.enterDiagAt);
  const bool answered = !result.answer.empty();
  Record(nowMs, "at", -1, std::span<const uint8_t>(text, result.line.size()), answered, note);
  if (answered) {
    ++counters_.answers;
    outbox_.Schedule(nowMs, 0, std::vector<uint8_t>(result.answer.begin(), result.answer.end()), {});
  }
  // Bytes after the switching line already belong to the diagnostic side.
  if (result.enterDiagAt) EnterDiagMode(*result.enterDiagAt);
}

void HandsetCore::HandleFrame(ReceivedFrame frame, int64_t nowMs) {
  switch (frame.kind) {
    case ReceivedFrame::Kind::kGood:
      HandleRequest(std::move(frame.bytes), nowMs);
      return;
    case ReceivedFrame::Kind::kBad:
      ++counters_.badFrames;
      Record(nowMs, "bad-frame", -1, frame.bytes, false, "check failed");
      return;
    case ReceivedFrame::Kind::kOverlong:
      ++counters_.overlongFrames;
      Record(nowMs, "overlong", -1, frame.bytes, false, "frame too long, dropped");
      return;
    case ReceivedFrame::Kind::kStrayText:
      ++counters_.strayLines;
      Record(nowMs, "stray-text", -1, frame.bytes, false, "AT line in diagnostic mode, dropped");
      return;
  }
}

void HandsetCore::HandleRequest(std::vector<uint8_t> request, int64_t nowMs) {
  const uint64_t ordinal = ++counters_.frames;
  const uint8_t code = request[0];
  ++counters_.requestsByCode[code];
  const bool downloader = state_.personality == Personality::kDownloader;
  if (downloader) ++counters_.downloaderFrames;
  const char* kind = downloader ? "download" : "frame";
  const Dispatcher& dispatcher = downloader ? dispatchers_.downloader : dispatchers_.diagnostic;
  const Command* command = dispatcher.Match(request);
  const std::optional<BlockFields> block =
      command != nullptr && command->describe ? command->describe(request) : std::nullopt;

  // A refused request never reaches its handler, so it changes nothing.
  const bool refused = downloader && faults_.Refuse(code, ordinal);
  if (refused) ++counters_.faultsActed;
  Answer answer = refused ? Answer{{kDownloaderNak}, {}, "nak"} : dispatcher.Dispatch(*this, request);
  Outbox::Action afterSend;
  if (answer.afterSend) {
    afterSend = [this, action = std::move(answer.afterSend)](int64_t sentMs) { action(*this, sentMs); };
  }

  if (answer.packet.empty()) {
    Record(nowMs, kind, code, request, false, "no answer", block);
    if (afterSend) outbox_.Schedule(nowMs, 0, {}, std::move(afterSend));
    return;
  }

  const FaultDecision fault = faults_.Decide(code, ordinal);
  if (fault.Any()) ++counters_.faultsActed;
  if (fault.disconnect) {
    // The request took effect; its answer and everything after are lost.
    vanished_ = true;
    ++counters_.droppedAnswers;
    Record(nowMs, kind, code, request, false, fault.Describe(), block);
    return;
  }
  std::vector<uint8_t> bytes;
  if (!fault.drop) {
    if (fault.garbageBytes > 0) bytes = GarbageBytes(fault.garbageBytes, ordinal);
    std::vector<uint8_t> packet = std::move(answer.packet);
    if (fault.foreignCode) {
      packet.assign(1, *fault.foreignCode);
      packet.insert(packet.end(), request.begin(), request.end());
    }
    const std::vector<uint8_t> frame = FrameAnswer(packet, fault.corrupt);
    bytes.insert(bytes.end(), frame.begin(), frame.end());
    ++counters_.answers;
  } else {
    ++counters_.droppedAnswers;
  }
  std::string note = std::move(answer.note);
  if (fault.Any()) note += (note.empty() ? "" : "; ") + fault.Describe();
  Record(nowMs, kind, code, request, !fault.drop, std::move(note), block);
  outbox_.Schedule(nowMs, fault.stallMs, std::move(bytes), std::move(afterSend));
}

void HandsetCore::EnterDiagMode(uint32_t baud) {
  state_.personality = Personality::kDiag;
  state_.diagBaud = baud;
  receiver_.Reset();
}

void HandsetCore::EnterDownloader() {
  state_.personality = Personality::kDownloader;
  receiver_.Reset();
}

void HandsetCore::BeginRestart(int64_t nowMs) {
  state_.personality = Personality::kRestarting;
  receiver_.Reset();
  at_.Reset();
  for (Service* service : services_) service->OnRestart();
  outbox_.Schedule(nowMs, settings_.personality.restartDelayMs, {}, [this](int64_t) { FinishRestart(); });
}

void HandsetCore::FinishRestart() {
  ++counters_.restarts;
  state_.personality = settings_.personality.RestartInDm() ? Personality::kDiag : Personality::kAt;
  state_.diagBaud = settings_.personality.dmBaud;
  receiver_.Reset();
  at_.Reset();
}

void HandsetCore::Record(int64_t nowMs, std::string kind, int code, std::span<const uint8_t> bytes, bool answered,
                         std::string note, std::optional<BlockFields> block) {
  TranscriptEntry entry{nowMs - startMs_, std::move(kind), code, ToHex(bytes), answered, std::move(note)};
  if (block) {
    entry.address = block->address;
    entry.length = block->length;
  }
  transcript_.Add(std::move(entry));
}

}  // namespace rb310
