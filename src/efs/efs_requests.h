// File-system requests: the subsystem family (code 0x4B, subsystem 0x13,
// 16-bit sub-command) and the older file-system operation request (code
// 0x59). Each builder fills the start of `buffer` with one request (every
// byte without a field set to 0) and returns exactly the bytes to send; a
// buffer too short, or a path or name that does not fit its field, gets an
// empty span back and nothing is sent. All multi-byte fields little-endian.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

#include "diag/field_layout.h"

namespace zk::efs {

using RequestBytes = std::span<const uint8_t>;

inline constexpr uint8_t kSubsystemCode = 0x4B;
inline constexpr uint8_t kEfsSubsystem = 0x13;
inline constexpr uint8_t kFileOperationCode = 0x59;

// Sub-commands of the subsystem family.
namespace sub {
inline constexpr uint16_t kOpen = 2;
inline constexpr uint16_t kClose = 3;
inline constexpr uint16_t kRead = 4;
inline constexpr uint16_t kWrite = 5;
inline constexpr uint16_t kMkdir = 9;
inline constexpr uint16_t kOpendir = 11;
inline constexpr uint16_t kReaddir = 12;
inline constexpr uint16_t kClosedir = 13;
inline constexpr uint16_t kStat = 15;
}  // namespace sub

// Operations of the older request.
namespace op {
inline constexpr uint8_t kListDirectories = 2;
inline constexpr uint8_t kListFiles = 3;
inline constexpr uint8_t kReadBlock = 4;
inline constexpr uint8_t kDelete = 6;
}  // namespace op

// Waits of one exchange, in ms.
inline constexpr int kWaitMs = 3000;           // stat, open, close, mkdir, directory requests
inline constexpr int kTransferWaitMs = 15000;  // read and write
inline constexpr int kListDirectoriesWaitMs = 2000;
inline constexpr int kFileOperationWaitMs = 10000;  // the other older operations

inline constexpr std::size_t kPathField = 128;     // a path and its terminating zero
inline constexpr std::size_t kNameField = 500;     // older request: a name and its terminating zero
inline constexpr std::size_t kShortNameMax = 49;   // older request, listing files and deleting
inline constexpr uint32_t kReadChunk = 512;        // bytes asked for by every read
inline constexpr std::size_t kWriteChunk = 2048;   // most data bytes in one write

// Values carried in requests.
inline constexpr uint32_t kOpenReadFlags = 0;
inline constexpr uint32_t kOpenReadMode = 0;
// Write only (0x01), create (0x40) and truncate (0x200). Without truncate a
// shorter file written over a longer one would keep the old file's tail.
inline constexpr uint32_t kOpenWriteFlags = 0x241;
inline constexpr uint32_t kOpenWriteMode = 1;
inline constexpr uint16_t kDirectoryMode = 0777;

// Request fields, at their offsets from the command code.
namespace field {
using diag::ByteRun;
using diag::Le16;
using diag::Le32;
using diag::U8;
using Code = U8<0>;
using Subsystem = U8<1>;
using SubCommand = Le16<2>;
inline constexpr std::size_t kHeaderBytes = 4;
inline constexpr std::size_t kStatPath = 4;
using OpenFlags = Le32<4>;
using OpenMode = Le32<8>;
inline constexpr std::size_t kOpenPath = 12;
using Handle = Le32<4>;  // close, read, write, readdir, closedir
using ReadCount = Le32<8>;
using ReadOffset = Le32<12>;
using WriteOffset = Le32<8>;
inline constexpr std::size_t kWriteData = 12;
using MkdirMode = Le16<4>;
inline constexpr std::size_t kMkdirPath = 6;
inline constexpr std::size_t kOpendirPath = 4;
using ReaddirSequence = Le32<8>;
inline constexpr std::size_t kCloseBytes = 8;
inline constexpr std::size_t kReadBytes = 16;
inline constexpr std::size_t kReaddirBytes = 12;
// The older request.
using Operation = U8<1>;
using NameLength = U8<2>;
inline constexpr std::size_t kName = 3;
using BlockSequence = U8<2>;  // operation 4 only: the name moves one byte on
using BlockNameLength = U8<3>;
inline constexpr std::size_t kBlockName = 4;
}  // namespace field

RequestBytes BuildStat(std::span<uint8_t> buffer, std::string_view path);
RequestBytes BuildOpen(std::span<uint8_t> buffer, std::string_view path, uint32_t flags, uint32_t mode);
RequestBytes BuildClose(std::span<uint8_t> buffer, uint32_t handle);
RequestBytes BuildRead(std::span<uint8_t> buffer, uint32_t handle, uint32_t offset);
// At most kWriteChunk bytes of `data`; more gives an empty span.
RequestBytes BuildWrite(std::span<uint8_t> buffer, uint32_t handle, uint32_t offset, std::span<const uint8_t> data);
RequestBytes BuildMkdir(std::span<uint8_t> buffer, std::string_view path, uint16_t mode);
RequestBytes BuildOpendir(std::span<uint8_t> buffer, std::string_view path);
RequestBytes BuildReaddir(std::span<uint8_t> buffer, uint32_t directory, uint32_t sequence);
RequestBytes BuildClosedir(std::span<uint8_t> buffer, uint32_t directory);

// Older request, operations 2, 3 and 6: the name with its terminating zero
// (49 characters at most for 3 and 6).
RequestBytes BuildFileOperation(std::span<uint8_t> buffer, uint8_t operation, std::string_view name);
// Operation 4: block `sequence` (data from sequence * 512) of the file.
RequestBytes BuildReadBlock(std::span<uint8_t> buffer, uint8_t sequence, std::string_view name);

// Whether `path` can travel in a path field of `field` bytes: no zero byte
// inside, and room for the terminating zero.
bool FitsField(std::string_view path, std::size_t field);

}  // namespace zk::efs
