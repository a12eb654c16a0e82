// Sub-commands, field offsets, error numbers and limits of the handset's file
// system requests: the subsystem family (0x4B 0x13, 16-bit sub-command, a
// 4-byte header echoed at the start of every answer, 32-bit little-endian
// fields) and the older operation family (0x59, operation byte at offset 1).
#pragma once

#include <cstddef>
#include <cstdint>

namespace rb310::efs {

// Subsystem family sub-commands.
inline constexpr uint16_t kOpen = 0x02;
inline constexpr uint16_t kClose = 0x03;
inline constexpr uint16_t kRead = 0x04;
inline constexpr uint16_t kWrite = 0x05;
inline constexpr uint16_t kMkdir = 0x09;
inline constexpr uint16_t kOpendir = 0x0B;
inline constexpr uint16_t kReaddir = 0x0C;
inline constexpr uint16_t kClosedir = 0x0D;
inline constexpr uint16_t kStat = 0x0F;

inline constexpr std::size_t kHeaderSize = 4;

// Request fields after the header.
inline constexpr std::size_t kStatPathOffset = 4;
inline constexpr std::size_t kOpenFlagsOffset = 4;
inline constexpr std::size_t kOpenModeOffset = 8;
inline constexpr std::size_t kOpenPathOffset = 12;
inline constexpr std::size_t kHandleOffset = 4;  // close, read, write, readdir, closedir
inline constexpr std::size_t kReadCountOffset = 8;
inline constexpr std::size_t kReadOffsetOffset = 12;
inline constexpr std::size_t kWriteOffsetOffset = 8;
inline constexpr std::size_t kWriteDataOffset = 12;
inline constexpr std::size_t kMkdirModeOffset = 4;  // 16-bit
inline constexpr std::size_t kMkdirPathOffset = 6;
inline constexpr std::size_t kOpendirPathOffset = 4;
inline constexpr std::size_t kReaddirSequenceOffset = 8;

// Answer fields.
inline constexpr std::size_t kErrorOffset = 4;  // stat, close, mkdir, closedir
inline constexpr std::size_t kStatModeOffset = 8;
inline constexpr std::size_t kStatSizeOffset = 12;
inline constexpr std::size_t kStatLinksOffset = 16;
inline constexpr std::size_t kStatTimesOffset = 20;  // access, modification, change: 20, 24, 28
inline constexpr std::size_t kStatAnswerSize = 32;
inline constexpr std::size_t kOpenHandleOffset = 4;  // open, opendir: handle at 4, error at 8
inline constexpr std::size_t kOpenErrorOffset = 8;
inline constexpr std::size_t kTransferOffsetOffset = 8;  // read, write: handle at 4 and offset at 8 echoed
inline constexpr std::size_t kTransferCountOffset = 12;
inline constexpr std::size_t kTransferErrorOffset = 16;
inline constexpr std::size_t kReadDataOffset = 20;
inline constexpr std::size_t kTransferAnswerSize = 20;  // a read's data follows
inline constexpr std::size_t kReaddirErrorOffset = 12;  // handle 4, sequence 8 echoed
inline constexpr std::size_t kReaddirTypeOffset = 16;
inline constexpr std::size_t kReaddirModeOffset = 20;
inline constexpr std::size_t kReaddirSizeOffset = 24;  // 28, 32, 36: times, then 0
inline constexpr std::size_t kReaddirNameOffset = 40;

inline constexpr uint32_t kNoHandle = 0xFFFFFFFF;

// Open flags, bit for bit as the handset's C library has them.
inline constexpr uint32_t kAccessMask = 0x3;  // 0 read, 1 write, 2 both
inline constexpr uint32_t kCreate = 0x40;
inline constexpr uint32_t kExclusive = 0x80;
inline constexpr uint32_t kTruncate = 0x200;
inline constexpr uint32_t kAppend = 0x400;

// Entry types of a readdir answer.
inline constexpr uint32_t kPlainFile = 0;
inline constexpr uint32_t kDirectory = 1;

// Error numbers (errno-style) of both families; 0 is success.
inline constexpr uint32_t kOk = 0;
inline constexpr uint32_t kNoSuchPath = 2;
inline constexpr uint32_t kIoError = 5;  // anything not named below
inline constexpr uint32_t kBadHandle = 9;
inline constexpr uint32_t kRefused = 13;  // outside the file system, or a failed-path fault
inline constexpr uint32_t kExists = 17;
inline constexpr uint32_t kNotDirectory = 20;
inline constexpr uint32_t kIsDirectory = 21;
inline constexpr uint32_t kTooManyOpen = 24;

inline constexpr std::size_t kMaxReadBytes = 512;
inline constexpr std::size_t kMaxWriteBytes = 2048;
inline constexpr std::size_t kMaxPathBytes = 500;  // longer paths are cut at this many bytes

}  // namespace rb310::efs

// The older operation family (0x59).
namespace rb310::efs::ops {

inline constexpr uint8_t kListDirectories = 2;
inline constexpr uint8_t kListFiles = 3;
inline constexpr uint8_t kReadBlock = 4;
inline constexpr uint8_t kDelete = 6;

inline constexpr std::size_t kNameLengthOffset = 2;  // counts the terminating zero
inline constexpr std::size_t kNameOffset = 3;
inline constexpr std::size_t kReadSequenceOffset = 2;
inline constexpr std::size_t kReadNameLengthOffset = 3;
inline constexpr std::size_t kReadNameOffset = 4;

inline constexpr std::size_t kStatusOffset = 2;
inline constexpr std::size_t kListCountOffset = 3;
inline constexpr std::size_t kListBytesOffset = 5;
inline constexpr std::size_t kListNamesOffset = 7;
inline constexpr std::size_t kBlockSequenceOffset = 3;  // echoed
inline constexpr std::size_t kBlockMoreOffset = 4;      // 1 when the file goes on past this block
inline constexpr std::size_t kBlockLengthOffset = 5;
inline constexpr std::size_t kBlockFileSizeOffset = 7;
inline constexpr std::size_t kBlockDataOffset = 11;
inline constexpr std::size_t kBlockBytes = 512;

}  // namespace rb310::efs::ops
