#include "handset.h"

#include <algorithm>

#include "services/diag_codes.h"
#include "diag_commands.h"
#include "services/download_codes.h"
#include "services/nv_items.h"
#include "platform/clock.h"

namespace rb310 {
Handset::Handset(SimOptions options, int64_t nowMs)
    : options_(std::move(options)),
      startMs_(nowMs),
      namItems_(options_.nv.namItems.empty() ? DefaultNamItems() : options_.nv.namItems),
      nv_(options_.stateDir / "nv"),
      prl_(options_.stateDir / "prl", options_.prl.maxBytes),
      flash_(options_.stateDir / "flash"),
      faults_(options_.faults),
      at_(AtPersonality::Settings{options_.personality.dmBaud, options_.faults.ignoreStandardSwitch}),
      lastDueMs_(nowMs) {
  state_.personality = options_.personality.startInDownloader ? Personality::kDownloader
                      : options_.personality.startInDm         ? Personality::kDiag
                                                   : Personality::kAt;
  state_.diagBaud = options_.personality.dmBaud;
  AddDiagCommands(diagCommands_);
  AddDownloaderCommands(downloaderCommands_);
}

bool Handset::UnderstandsLine(uint32_t hostBaud) const {
  // The USB modem port carries bytes whatever rate the host sets; a
  // physical line garbles them unless both ends agree.
  return options_.line.UsbModem() || hostBaud == 0 || hostBaud == state_.diagBaud;
}

void Handset::Receive(std::span<const uint8_t> bytes, uint32_t hostBaud, int64_t nowMs) {
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

void Handset::HandleAtLine(const AtResult& result, int64_t nowMs) {
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
    Schedule(nowMs, 0, std::vector<uint8_t>(result.answer.begin(), result.answer.end()), {});
  }
  // Bytes after the switching line already belong to the diagnostic side.
  if (result.enterDiagAt) EnterDiagMode(*result.enterDiagAt);
}

void Handset::HandleFrame(ReceivedFrame frame, int64_t nowMs) {
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

Answer Handset::Dispatch(const CommandTable& table, std::span<const uint8_t> request) {
  const Command* command = table.Find(request[0]);
  if (command == nullptr) return table.fallback() ? table.fallback()(*this, request) : Answer{};
  if (request.size() < command->minLength) return ErrorAnswer(diag::kBadLength, request);
  if (command->guarded && options_.security.requireSpcForWrites && !state_.spcUnlocked) {
    return ErrorAnswer(diag::kBadSecurityMode, request);
  }
  return command->handler(*this, request);
}

void Handset::HandleRequest(std::vector<uint8_t> request, int64_t nowMs) {
  const uint64_t ordinal = ++counters_.frames;
  const uint8_t code = request[0];
  ++counters_.requestsByCode[code];
  const bool downloader = state_.personality == Personality::kDownloader;
  const char* kind = downloader ? "download" : "frame";
  const std::optional<WriteFields> write = downloader ? ParseWriteFields(request) : std::nullopt;

  // A refused request never reaches its handler, so it changes nothing.
  Answer answer = downloader && faults_.Refuse(code, ordinal)
                      ? Answer{{dl::kNak}, {}, "nak"}
                      : Dispatch(downloader ? downloaderCommands_ : diagCommands_, request);

  if (answer.packet.empty()) {
    Record(nowMs, kind, code, request, false, "no answer", write);
    if (answer.afterSend) Schedule(nowMs, 0, {}, std::move(answer.afterSend));
    return;
  }

  const FaultDecision fault = faults_.Decide(code, ordinal);
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
  Record(nowMs, kind, code, request, !fault.drop, std::move(note), write);
  Schedule(nowMs, fault.stallMs, std::move(bytes), std::move(answer.afterSend));
}

void Handset::Schedule(int64_t nowMs, int64_t delayMs, std::vector<uint8_t> bytes,
                       std::function<void(Handset&, int64_t)> action) {
  // Answers leave in the order of their requests, a stalled one holding
  // back those behind it.
  const int64_t due = std::max(nowMs + zk::platform::Scaled(delayMs).count(), lastDueMs_);
  lastDueMs_ = due;
  outbox_.push_back(Scheduled{due, std::move(bytes), std::move(action)});
}

std::vector<uint8_t> Handset::Advance(int64_t nowMs) {
  std::vector<uint8_t> out;
  while (!outbox_.empty() && outbox_.front().dueMs <= nowMs) {
    Scheduled item = std::move(outbox_.front());
    outbox_.pop_front();
    out.insert(out.end(), item.bytes.begin(), item.bytes.end());
    if (item.action) item.action(*this, item.dueMs);
  }
  return out;
}

std::optional<int64_t> Handset::NextEventMs() const {
  if (outbox_.empty()) return std::nullopt;
  return outbox_.front().dueMs;
}

void Handset::EnterDiagMode(uint32_t baud) {
  state_.personality = Personality::kDiag;
  state_.diagBaud = baud;
  receiver_.Reset();
}

void Handset::EnterDownloader() {
  state_.personality = Personality::kDownloader;
  receiver_.Reset();
}

void Handset::BeginRestart(int64_t nowMs) {
  state_.personality = Personality::kRestarting;
  receiver_.Reset();
  at_.Reset();
  prl_.AbandonWrite();
  flash_.Abandon();  // a burn not finalised is lost
  Schedule(nowMs, options_.personality.restartDelayMs, {}, [](Handset& handset, int64_t) { handset.FinishRestart(); });
}

void Handset::FinishRestart() {
  ++counters_.restarts;
  const bool inDm = options_.personality.RestartInDm();
  state_.personality = inDm ? Personality::kDiag : Personality::kAt;
  state_.diagBaud = options_.personality.dmBaud;
  state_.offline = false;
  state_.spcUnlocked = false;
  state_.keypadReleased = false;
  receiver_.Reset();
  at_.Reset();
}

void Handset::Record(int64_t nowMs, std::string kind, int code, std::span<const uint8_t> bytes, bool answered,
                     std::string note, std::optional<WriteFields> write) {
  TranscriptEntry entry{nowMs - startMs_, std::move(kind), code, ToHex(bytes), answered, std::move(note)};
  if (write) {
    entry.address = write->address;
    entry.length = write->length;
  }
  transcript_.Add(std::move(entry));
}

}  // namespace rb310
