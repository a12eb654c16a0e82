// Command codes, packet sizes and status values of the handset's diagnostic
// command set. The refusal answers (bad command, parameter, length, security
// mode) and subsystem dispatch are the core's, in core/error_codes.h.
#pragma once

#include <cstddef>
#include <cstdint>

#include "core/error_codes.h"

namespace rb310 {

// Both NAMs: the index byte of NAM items and PRL requests is 0 or 1.
inline constexpr int kNamCount = 2;

}  // namespace rb310

namespace rb310::diag {

inline constexpr uint8_t kVersion = 0x00;
inline constexpr uint8_t kEsn = 0x01;
inline constexpr uint8_t kStatus = 0x0C;
inline constexpr uint8_t kKeyPress = 0x20;
inline constexpr uint8_t kKeyLock = 0x21;
inline constexpr uint8_t kNvRead = 0x26;
inline constexpr uint8_t kNvWrite = 0x27;
inline constexpr uint8_t kModeControl = 0x29;
inline constexpr uint8_t kSwitchToDownloader = 0x3A;
inline constexpr uint8_t kSpc = 0x41;
inline constexpr uint8_t kPrlWrite = 0x48;
inline constexpr uint8_t kPrlRead = 0x49;
inline constexpr uint8_t kBaudChange = 0x5C;
inline constexpr uint8_t kVendorQuery = 0xFA;

// The file system: its subsystem under subsystem dispatch, and the older
// request family with an operation byte at offset 1.
inline constexpr uint8_t kEfsSubsystem = 0x13;
inline constexpr uint8_t kEfsOperations = 0x59;
inline constexpr std::size_t kEfsOperationOffset = 1;

// Mode control values (16-bit at offset 1).
inline constexpr uint16_t kModeOffline = 1;
inline constexpr uint16_t kModeReset = 2;

// Request sizes the handset insists on (it accepts longer requests).
inline constexpr std::size_t kModeControlRequestSize = 3;
inline constexpr std::size_t kSpcRequestSize = 7;
inline constexpr std::size_t kKeyRequestSize = 3;
inline constexpr std::size_t kNvPacketSize = 133;
inline constexpr std::size_t kPrlWriteRequestSize = 46;
inline constexpr std::size_t kPrlReadRequestSize = 3;
inline constexpr std::size_t kBaudChangeRequestSize = 6;
inline constexpr std::size_t kVendorQueryRequestSize = 5;

// Answer layouts.
inline constexpr std::size_t kVersionResponseSize = 55;
inline constexpr std::size_t kVersionCompileDateOffset = 1;  // 11 characters
inline constexpr std::size_t kVersionCompileTimeOffset = 12;  // 8 characters
inline constexpr std::size_t kVersionReleaseDateOffset = 20;  // 11 characters
inline constexpr std::size_t kVersionReleaseTimeOffset = 31;  // 8 characters
inline constexpr std::size_t kVersionSoftwareOffset = 39;  // 8 characters
inline constexpr std::size_t kVersionModelOffset = 49;
inline constexpr std::size_t kSoftwareVersionLength = 8;
inline constexpr std::size_t kEsnResponseSize = 5;
inline constexpr std::size_t kStatusResponseSize = 48;
inline constexpr std::size_t kStatusEsnOffset = 4;
inline constexpr std::size_t kStatusModeWordOffset = 8;
inline constexpr std::size_t kStatusPhoneStateOffset = 32;
inline constexpr std::size_t kSpcAcceptOffset = 1;
inline constexpr std::size_t kNvItemOffset = 1;
inline constexpr std::size_t kNvDataOffset = 3;
inline constexpr std::size_t kNvDataSize = 128;
inline constexpr std::size_t kNvStatusOffset = 131;
inline constexpr std::size_t kPrlBlockBytes = 40;
inline constexpr std::size_t kPrlWriteSeqOffset = 1;
inline constexpr std::size_t kPrlWriteMoreOffset = 2;
inline constexpr std::size_t kPrlWriteNamOffset = 3;
inline constexpr std::size_t kPrlWriteBitsOffset = 4;
inline constexpr std::size_t kPrlWriteDataOffset = 6;
inline constexpr std::size_t kPrlWriteResponseSize = 4;  // code, status, NV status
inline constexpr std::size_t kPrlReadSeqOffset = 1;
inline constexpr std::size_t kPrlReadNamOffset = 2;
inline constexpr std::size_t kPrlReadStatusOffset = 1;
inline constexpr std::size_t kPrlReadNvStatusOffset = 2;
inline constexpr std::size_t kPrlReadAnswerSeqOffset = 4;
inline constexpr std::size_t kPrlReadMoreOffset = 5;
inline constexpr std::size_t kPrlReadBitsOffset = 6;
inline constexpr std::size_t kPrlReadDataOffset = 8;
inline constexpr std::size_t kBaudRateOffset = 2;
inline constexpr std::size_t kVendorSubCommandOffset = 1;
inline constexpr std::size_t kVendorSelectorOffset = 3;
inline constexpr std::size_t kVendorResultOffset = 4;
inline constexpr std::size_t kVendorTextLength = 15;

// Phone states reported at offset 32 of the status answer.
inline constexpr uint16_t kPhoneStateOffline = 2;
inline constexpr uint16_t kPhoneStateOnline = 6;

// Status of the PRL transfer answers (offset 1).
inline constexpr uint8_t kPrlOk = 0;
inline constexpr uint8_t kPrlSequenceError = 1;
inline constexpr uint8_t kPrlOverflow = 2;
inline constexpr uint8_t kPrlBadBlock = 3;
inline constexpr uint8_t kPrlNotStored = 4;

}  // namespace rb310::diag

namespace rb310::nv {

// NV item status values (offset 131 of an NV answer).
inline constexpr uint16_t kDone = 0;
inline constexpr uint16_t kBusy = 1;
inline constexpr uint16_t kBadCommand = 2;
inline constexpr uint16_t kFull = 3;
inline constexpr uint16_t kFail = 4;
inline constexpr uint16_t kNotActive = 5;  // never written
inline constexpr uint16_t kBadParameter = 6;
inline constexpr uint16_t kReadOnly = 7;
inline constexpr uint16_t kBadTarget = 8;
inline constexpr uint16_t kNoMemory = 9;
inline constexpr uint16_t kNotAllocated = 10;

}  // namespace rb310::nv
