// CZKComm: the frame link through which every byte to and from the handset
// passes. Frames are HDLC-like: 0x7D escapes, 0x7E ends a frame, and a
// CRC-16/X-25 check sequence follows the packet, low byte first.
//
// C++ only, C++17 or later: the class and its base use std::filesystem and
// inline constexpr constants.
#pragma once

#if !defined(__cplusplus) || __cplusplus < 201703L
#error "zkcomm.h needs C++17 or later (CZKComm is a C++ class; C hosts use zkdownload.h)"
#endif

#include <cstdint>
#include <deque>
#include <string>
#include <string_view>

#include "zkdownload/comm_port.h"
#include "zkdownload/diag_packet.h"
#include "zkdownload/export.h"

// The frame codec.
class ZK_API CAsync {
 public:
  static constexpr int kBufferSize = 32768;

  // Encodes `count` packet bytes into the send buffer; returns the frame
  // length, or 0 when the frame could not fit the buffer.
  int Encode(const uint8_t* packet, int count);
  // Decodes a frame body (without its terminating flag) into the receive
  // buffer; true when the check sequence is good. A body ending in a lone
  // escape byte is bad.
  bool Decode(const uint8_t* body, int count);

  int m_sendLength = 0;
  int m_receiveLength = 0;
  uint8_t m_sendBuffer[kBufferSize] = {};
  uint8_t m_receiveBuffer[kBufferSize] = {};
};

// Exchange results of GetPacket and AsyncTxRx.
enum ZkExchangeResult : int {
  kExchangeAnswered = 1,
  kExchangeOtherCode = 2,
  kExchangeBadFrame = 3,
  kExchangeNoFrame = 5,
  kExchangePortClosed = -1,
};

// Framing modes.
enum ZkLinkMode : int {
  kDiagnosticMode = 0,
  kDownloadMode = 1,
};

class ZK_API CZKComm : public CCommPort {
 public:
  static constexpr int kChunkSize = 4096;
  static constexpr int kReadSlice = 2048;
  static constexpr int kTraceRecordSize = 4096;
  static constexpr int kLongestDecodableFrame = 4096;  // body plus final flag
  static constexpr std::size_t kTraceDepth = 20;

  CZKComm();
  ~CZKComm() override;

  int GetPacket(diag_req_pkt_type* request, diag_rsp_pkt_type* response, int requestLength, int timeoutMs,
                int mode);
  int CommOpen(COMM_PORT port, int baudRate);
  int SetComPort(COMM_PORT port);
  int SetComBaudRate(unsigned long baudRate);
  int SetupBCD();
  int SetComBufSize(int inputSize, int outputSize);
  void CommClose();
  int AsyncTxRx(diag_req_type* request, diag_rsp_type* response, int timeoutMs, int mode);
  void Sleep(int milliseconds);
  int SendData(diag_req_type* request, int length, int mode);
  void SioSendS(const char* bytes, int length);
  char SioGetC(int& got);
  int MessageFetch();
  void Clear();
  void AddPacketQue(const char* record);
  std::string StrToBin(const char* record);
  std::string ConvBinToASCII(unsigned char byte);
  int MakeErrorLoginFile(const char* text, int portIndex);
  void WaitRsp(int);

  // The decoded length the next answer is expected to have, about (0: not
  // known). On a slow line the receive side then sleeps through the bulk of
  // a long answer instead of waking for every few bytes. It holds for the
  // exchanges (and their retries) until it is set again.
  void ExpectAnswerBytes(int bytes) { m_expectedAnswerBytes = bytes > 0 ? bytes : 0; }

  // The traces of the last received frames, oldest first, as the error
  // login file shows them.
  std::deque<std::string> packetQueue() const;
  int lastReceiveLength() const { return m_codec.m_receiveLength; }

 private:
  int EvaluateFrame(const diag_req_type* request, diag_rsp_type* response, int mode);
  void TraceReceived(const uint8_t* bytes, int count, int mode);
  static std::string TraceRecordText(std::string_view record);
  void TraceOpenFailure();
  void ResetChunk();
  // Milliseconds the rest of an answer of the expected length takes on a
  // paced line (0: unknown, complete, or not a paced line); `paced` is set
  // when the bytes so far tell whether they came at line rate.
  int RestOfAnswerMs(std::size_t received, int64_t firstByteMs, bool* paced) const;
  // Before an answer's first byte: how long the request and an answer of the
  // expected length take to cross a line whose answers came at line rate.
  int QuietLineMs() const;
  int RequestLineMs() const;  // the last request's time on the line
  void PauseForLine(int milliseconds);

  CAsync m_codec;
  int m_chunkFill = 0;
  int m_chunkPosition = 0;
  uint8_t m_chunk[kChunkSize] = {};
  // The last received frames as they came ("RX : " and the raw bytes),
  // kept raw: they are formatted only when a report shows them.
  std::deque<std::string> m_packetQueue;
  int m_queueCount = 0;
  int m_traceLength = 0;
  char* m_traceRecord = nullptr;
  int m_expectedAnswerBytes = 0;
  int m_sentFrameBytes = 0;     // the last request as it went on the line
  bool m_answersPaced = false;  // the last judged answer came at line rate (a real serial line)
  // Frame assembly storage and the lead-in + frame written in download mode.
  uint8_t m_assembly[CAsync::kBufferSize] = {};
  uint8_t m_wireFrame[3 + CAsync::kBufferSize] = {};
};
