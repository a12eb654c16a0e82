// CZKComm: request/response exchanges over the serial port.
//
// The receive side blocks in poll() until bytes arrive or the deadline
// passes, waking at least every 50 ms to let the operator interface handle
// pending events; nothing spins. When the length of the answer is known and
// its bytes trickle in at the line rate, the wait sleeps through the bulk
// of it: a 512-byte answer at 115200 bit/s then costs a handful of wake-ups
// instead of one for every few bytes the line delivers.
#include "zkdownload/zkcomm.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <string>
#include <chrono>
#include <thread>

#include <poll.h>

#include "diag/frame_assembler.h"
#include "diag/frame_codec.h"
#include "diag/wire_trace.h"
#include "platform/cancel.h"
#include "platform/clock.h"
#include "platform/library_state.h"
#include "platform/paths.h"
#include "platform/port_error.h"
#include "ui/common_process.h"

namespace {

constexpr uint8_t kFlag = zk::diag::kFlag;
constexpr uint8_t kDownloadAck = 0x02;  // the download protocol's acknowledgement
constexpr int kLeadInFlags = 3;
constexpr int kEventSliceMs = 50;
constexpr int kBytesPerClockCheck = 512;
constexpr int kEventsPerFetch = 5;
constexpr char kTracePrefix[] = "RX : ";
constexpr int kTracePrefixLength = 5;
constexpr char kHexDigits[] = "0123456789ABCDEF";
constexpr uint32_t kDefaultLineRate = 38400;
constexpr int kBitsPerCharacter = 10;  // start, 8 data, stop
constexpr int kFrameTrailer = 3;       // check sequence and closing flag
// A port that delivers bytes this much faster than its line rate (a USB
// modem) is not paced: sleeping by the line rate would only slow it down.
constexpr int kFasterThanLineFactor = 2;
// The quiet pause before an answer ends this early: the last bytes are
// waited for, not slept past.
constexpr int kQuietMarginMs = 1;

}  // namespace

CZKComm::CZKComm() : m_traceRecord(new char[kTraceRecordSize]()) {}

CZKComm::~CZKComm() {
  CommClose();
  delete[] m_traceRecord;
}

int CZKComm::GetPacket(diag_req_pkt_type* request, diag_rsp_pkt_type* response, int requestLength, int timeoutMs,
                       int mode) {
  if (!IsOpen()) return kExchangePortClosed;
  SendData(&request->req, requestLength, mode);
  return AsyncTxRx(&request->req, &response->rsp, timeoutMs, mode);
}

int CZKComm::SendData(diag_req_type* request, int length, int mode) {
  length = std::clamp(length, 0, static_cast<int>(sizeof(diag_req_type)));
  const int frameLength = m_codec.Encode(request->bytes, length);
  MessageFetch();
  Clear();
  if (frameLength <= 0) return 0;
  m_sentFrameBytes = frameLength + (mode != kDiagnosticMode ? kLeadInFlags : 0);
  int written = 0;
  if (mode != kDiagnosticMode) {
    std::memset(m_wireFrame, kFlag, kLeadInFlags);
    std::memcpy(m_wireFrame + kLeadInFlags, m_codec.m_sendBuffer, static_cast<std::size_t>(frameLength));
    zk::diag::TraceWire(zk::diag::WireDirection::Sent, zk::diag::WireKind::Download, m_wireFrame,
                        static_cast<std::size_t>(frameLength) + 3);
    written = WriteBlock(m_wireFrame, frameLength + kLeadInFlags);
  } else {
    zk::diag::TraceWire(zk::diag::WireDirection::Sent, zk::diag::WireKind::Diagnostic, m_codec.m_sendBuffer,
                        static_cast<std::size_t>(frameLength));
    written = WriteBlock(m_codec.m_sendBuffer, frameLength);
  }
  return written > 0 ? 1 : 0;
}

int CZKComm::AsyncTxRx(diag_req_type* request, diag_rsp_type* response, int timeoutMs, int mode) {
  using Event = zk::diag::FrameAssembler::Event;
  const zk::platform::Deadline deadline(timeoutMs);
  zk::diag::FrameAssembler assembler(m_assembly, sizeof(m_assembly));
  bool goodFrame = false;

  int bytesSinceClockCheck = 0;
  int64_t firstByteMs = 0;
  // Whether a read may find something: not before the first wait when
  // nothing is buffered (the request has only just left), and not when the
  // last read took fewer bytes than it could (the port was empty then).
  // Asking anyway would cost a read for nothing before every wait.
  bool mayRead = m_chunkPosition < m_chunkFill;
  // On a paced line nothing of an answer of known length can be complete
  // before the request and the answer have both crossed it: sleep through
  // that (a little short of it) instead of waking for the first bytes.
  const int quietMs = mayRead ? 0 : QuietLineMs();
  const bool quietPause = quietMs > kQuietMarginMs;
  if (quietPause) {
    // The answer's bytes are then taken to have begun once the request had
    // crossed the line, so the rest of it is waited for at line rate too.
    firstByteMs = zk::platform::NowMs() + RequestLineMs();
    PauseForLine(std::min(quietMs - kQuietMarginMs, std::max(deadline.RemainingMs(kEventSliceMs), 1)));
    mayRead = true;
  }
  for (;;) {
    int got = 0;
    uint8_t byte = 0;
    if (mayRead) byte = static_cast<uint8_t>(SioGetC(got));
    mayRead = true;
    if (!got) {
      if (deadline.Expired()) break;
      const int sliceMs = std::max(deadline.RemainingMs(kEventSliceMs), 1);
      bool paced = m_answersPaced;
      const int restMs = RestOfAnswerMs(assembler.Received().size(), firstByteMs, &paced);
      // An answer that arrived in one piece after the quiet pause says
      // nothing about the line: its bytes had all the pause to gather.
      if (!quietPause) m_answersPaced = paced;
      if (restMs > 1) {
        PauseForLine(std::min(restMs - 1, sliceMs));  // wake for the last bytes, not after them
        MessageFetch();
        continue;
      }
      const auto wait = WaitReadable(sliceMs);
      if (wait == WaitResult::HungUp || wait == WaitResult::Failed) break;  // the port is gone: no answer
      MessageFetch();
      continue;
    }

    // A handset that streams bytes without ever ending a frame must not hold
    // the exchange past its time-out: look at the clock now and then.
    if (++bytesSinceClockCheck >= kBytesPerClockCheck) {
      bytesSinceClockCheck = 0;
      if (deadline.Expired()) break;
    }

    mayRead = m_chunkPosition < m_chunkFill || m_chunkFill >= kReadSlice;
    if (firstByteMs == 0) firstByteMs = zk::platform::NowMs();
    const Event event = assembler.Push(byte);
    if (event == Event::Overflowed) {
      // A stream longer than the assembly buffer without a frame end is
      // dropped instead of overrunning the buffer.
      if (mode == kDiagnosticMode) {
        Clear();
        return kExchangeBadFrame;
      }
      continue;
    }
    if (event != Event::FrameEnded) continue;

    const auto received = assembler.Received();
    TraceReceived(received.data(), static_cast<int>(received.size()), mode);
    const auto frame = assembler.Frame();  // body plus the final flag
    if (frame.size() < static_cast<std::size_t>(kLongestDecodableFrame)) {
      goodFrame = m_codec.Decode(frame.data(), static_cast<int>(frame.size()) - 1);
      if (goodFrame) break;
      Clear();
      if (mode == kDiagnosticMode) return kExchangeBadFrame;
      break;
    }
    Clear();
    if (mode == kDiagnosticMode) return kExchangeBadFrame;
    assembler.Reset();  // overlong frame in download mode: wait for the next one
  }

  if (!goodFrame) g_wireTrace.Note("no answer within " + std::to_string(timeoutMs) + " ms");
  if (!goodFrame || (mode != kDiagnosticMode && mode != kDownloadMode)) return kExchangeNoFrame;
  return EvaluateFrame(request, response, mode);
}

int CZKComm::RestOfAnswerMs(std::size_t received, int64_t firstByteMs, bool* paced) const {
  const uint32_t lineRate = m_line.baudRate;
  if (m_expectedAnswerBytes <= 0 || received == 0 || firstByteMs == 0 || lineRate == 0) return 0;
  const auto expected = static_cast<std::size_t>(m_expectedAnswerBytes + kFrameTrailer);
  if (received >= expected) return 0;
  // Bytes that came faster than the line could carry them: not a paced line.
  const int64_t sinceFirstMs = zk::platform::NowMs() - firstByteMs;
  const int64_t lineBytes = (sinceFirstMs + 2) * lineRate / (kBitsPerCharacter * 1000);
  *paced = static_cast<int64_t>(received) <= kFasterThanLineFactor * lineBytes;
  if (!*paced) return 0;
  const auto rest = static_cast<int64_t>(expected - received);
  return static_cast<int>(rest * kBitsPerCharacter * 1000 / lineRate);
}

int CZKComm::RequestLineMs() const {
  const uint32_t lineRate = m_line.baudRate;
  return lineRate == 0 ? 0 : static_cast<int>(int64_t{m_sentFrameBytes} * kBitsPerCharacter * 1000 / lineRate);
}

int CZKComm::QuietLineMs() const {
  const uint32_t lineRate = m_line.baudRate;
  if (!m_answersPaced || m_expectedAnswerBytes <= 0 || lineRate == 0) return 0;
  const int64_t bytes = int64_t{m_sentFrameBytes} + m_expectedAnswerBytes + kFrameTrailer;
  return static_cast<int>(bytes * kBitsPerCharacter * 1000 / lineRate);
}

void CZKComm::PauseForLine(int milliseconds) {
  // Only a cancel ends the pause early; the port is read right after it.
  const int wakeFd = zk::platform::CancelWakeFd();
  if (wakeFd < 0) {
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
    return;
  }
  pollfd pfd{wakeFd, POLLIN, 0};
  static_cast<void>(::poll(&pfd, 1, milliseconds));
}

int CZKComm::EvaluateFrame(const diag_req_type* request, diag_rsp_type* response, int mode) {
  // The response buffer is smaller than the longest decodable frame: copy
  // only what fits.
  const auto length = std::min(static_cast<std::size_t>(m_codec.m_receiveLength), sizeof(diag_rsp_type));
  std::memcpy(response->bytes, m_codec.m_receiveBuffer, length);
  // Whatever follows the frame is flushed before the next request goes out.
  ResetChunk();
  const uint8_t code = response->bytes[0];
  if (mode == kDownloadMode && code == kDownloadAck) return kExchangeAnswered;
  return code == request->bytes[0] ? kExchangeAnswered : kExchangeOtherCode;
}

void CZKComm::TraceReceived(const uint8_t* bytes, int count, int mode) {
  zk::diag::TraceWire(zk::diag::WireDirection::Received,
                      mode == kDiagnosticMode ? zk::diag::WireKind::Diagnostic : zk::diag::WireKind::Download, bytes,
                      static_cast<std::size_t>(count));
  // The trace record holds 4096 bytes; a longer frame is traced cut short.
  const int kept = std::min(count, kTraceRecordSize - kTracePrefixLength);
  std::memcpy(m_traceRecord, kTracePrefix, kTracePrefixLength);
  std::memcpy(m_traceRecord + kTracePrefixLength, bytes, static_cast<std::size_t>(kept));
  m_traceLength = kept + kTracePrefixLength;
  AddPacketQue(m_traceRecord);
}

void CZKComm::Sleep(int milliseconds) { zk::platform::SleepMs(milliseconds); }

void CZKComm::SioSendS(const char* bytes, int length) {
  if (bytes == nullptr || length <= 0 || !IsOpen()) return;
  zk::diag::TraceWire(zk::diag::WireDirection::Sent, zk::diag::WireKind::AtLine, reinterpret_cast<const uint8_t*>(bytes),
                      static_cast<std::size_t>(length));
  WriteBlock(reinterpret_cast<const uint8_t*>(bytes), length);
}

char CZKComm::SioGetC(int& got) {
  if (m_chunkPosition >= m_chunkFill) {
    m_chunkFill = ReadAvailable(m_chunk, kReadSlice);
    m_chunkPosition = 0;
    if (m_chunkFill <= 0) {
      m_chunkFill = 0;
      got = 0;
      return 0;
    }
  }
  got = 1;
  return static_cast<char>(m_chunk[m_chunkPosition++]);
}

int CZKComm::MessageFetch() {
  g_commonProcess.ProcessPendingEvents(kEventsPerFetch);
  return 1;
}

void CZKComm::ResetChunk() {
  m_chunkFill = 0;
  m_chunkPosition = 0;
}

void CZKComm::Clear() {
  PurgeAll();
  ResetChunk();
}

int CZKComm::CommOpen(COMM_PORT port, int baudRate) {
  if (IsOpen()) return 1;
  LoadSettings();
  SetPort(port);
  ApplyLineSettings(kDefaultLineRate, 8, 0, 0);  // closed: stores the configuration only
  SetBaudSetting(static_cast<uint32_t>(baudRate));
  if (!OpenDevice()) {
    TraceOpenFailure();
    return 0;
  }
  ResetChunk();
  return 1;
}

int CZKComm::SetComPort(COMM_PORT port) {
  if (IsOpen()) {
    SaveSettings();
    CloseDevice();
  }
  SetPort(port);
  ApplyLineSettings(kDefaultLineRate, 8, 0, 0);
  ResetChunk();
  if (OpenDevice()) return 1;
  TraceOpenFailure();
  return 0;
}

void CZKComm::TraceOpenFailure() {
  g_wireTrace.Note("open " + zk::platform::PortOpenFailureText(currentPort(), lastOpenDevice(), lastOpenError()));
}

int CZKComm::SetComBaudRate(unsigned long baudRate) {
  m_settings.baudRate = static_cast<uint32_t>(baudRate);
  m_line.baudRate = static_cast<uint32_t>(baudRate);
  return WriteLineConfig() ? 1 : 0;
}

int CZKComm::SetupBCD() { return WriteLineConfig() ? 1 : 0; }

int CZKComm::SetComBufSize(int inputSize, int outputSize) { return SetQueueSizes(inputSize, outputSize) ? 1 : 0; }

void CZKComm::CommClose() {
  if (IsOpen()) CloseDevice();
  m_answersPaced = false;  // the next port may be another line
}

void CZKComm::AddPacketQue(const char* record) {
  if (m_packetQueue.size() >= kTraceDepth) m_packetQueue.pop_front();
  m_packetQueue.emplace_back(record, static_cast<std::size_t>(std::clamp(m_traceLength, 0, kTraceRecordSize)));
  m_queueCount = static_cast<int>(m_packetQueue.size());
}

std::string CZKComm::StrToBin(const char* record) {
  return TraceRecordText({record, static_cast<std::size_t>(std::clamp(m_traceLength, 0, kTraceRecordSize))});
}

std::string CZKComm::TraceRecordText(std::string_view record) {
  // The prefix as it stands, then every byte in hex, with a line break
  // after the bytes at positions 15, 30, ... of the record.
  std::string text;
  text.reserve(record.size() * 3 + (record.size() / 15) * 2);
  for (std::size_t i = 0; i < record.size(); ++i) {
    if (i < static_cast<std::size_t>(kTracePrefixLength)) {
      text += record[i];
      continue;
    }
    const auto byte = static_cast<unsigned char>(record[i]);
    const char hex[3] = {' ', kHexDigits[byte >> 4], kHexDigits[byte & 0x0F]};
    text.append(hex, sizeof(hex));
    if (i % 15 == 0) text += "\r\n";
  }
  return text;
}

std::deque<std::string> CZKComm::packetQueue() const {
  std::deque<std::string> texts;
  for (const auto& record : m_packetQueue) texts.push_back(TraceRecordText(record));
  return texts;
}

std::string CZKComm::ConvBinToASCII(unsigned char byte) {
  return {kHexDigits[byte >> 4], kHexDigits[byte & 0x0F]};
}

int CZKComm::MakeErrorLoginFile(const char* text, int portIndex) {
  const std::string directory = zk::platform::DirectoryOf(zk::platform::LibraryPathBuffer());
  // A host may register the library's path with either separator.
  const std::string path = zk::platform::NormalizeHostPath(
      zk::platform::JoinHostPath(directory, "error_login_COM" + std::to_string(portIndex + 1) + ".txt"));
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) return 0;

  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  char date[64];
  std::snprintf(date, sizeof(date), "%d.%d.%d  %d:%d:%d", local.tm_year + 1900, local.tm_mon + 1, local.tm_mday,
                local.tm_hour, local.tm_min, local.tm_sec);

  std::string block = "MODEL : RB310\r\n\r\nDATE : ";
  block += date;
  block += "\r\n\r\n";
  block += text != nullptr ? text : "";
  block += "\r\n";
  // A port that would not open explains most failures better than any frame.
  if (lastOpenError() != 0)
    block += "PORT : " + zk::platform::PortOpenFailureText(currentPort(), lastOpenDevice(), lastOpenError()) + "\r\n";
  for (const auto& record : m_packetQueue) {
    block += TraceRecordText(record);
    block += "\r\n";
  }
  const bool written = std::fwrite(block.data(), 1, block.size(), file) == block.size();
  return (std::fclose(file) == 0 && written) ? 1 : 0;
}

void CZKComm::WaitRsp(int) {}
