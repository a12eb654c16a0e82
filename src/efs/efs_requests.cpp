#include "efs/efs_requests.h"

#include <algorithm>

namespace zk::efs {
namespace {

using diag::Write;

std::span<const uint8_t> Bytes(std::string_view text) {
  return {reinterpret_cast<const uint8_t*>(text.data()), text.size()};
}

// Clears `length` bytes and writes the subsystem header; empty when the
// buffer is too short.
std::span<uint8_t> StartSubsystem(std::span<uint8_t> buffer, std::size_t length, uint16_t subCommand) {
  if (buffer.size() < length) return {};
  const auto request = buffer.first(length);
  std::fill(request.begin(), request.end(), uint8_t{0});
  Write<field::Code>(request, kSubsystemCode);
  Write<field::Subsystem>(request, kEfsSubsystem);
  Write<field::SubCommand>(request, subCommand);
  return request;
}

// A request of the fixed part `pathOffset` followed by the path and its
// terminating zero.
std::span<uint8_t> StartWithPath(std::span<uint8_t> buffer, std::size_t pathOffset, uint16_t subCommand,
                                 std::string_view path) {
  if (!FitsField(path, kPathField)) return {};
  const auto request = StartSubsystem(buffer, pathOffset + path.size() + 1, subCommand);
  if (!request.empty()) std::ranges::copy(Bytes(path), request.begin() + static_cast<std::ptrdiff_t>(pathOffset));
  return request;
}

}  // namespace

bool FitsField(std::string_view path, std::size_t field) {
  return path.size() < field && path.find('\0') == std::string_view::npos;
}

RequestBytes BuildStat(std::span<uint8_t> buffer, std::string_view path) {
  return StartWithPath(buffer, field::kStatPath, sub::kStat, path);
}

RequestBytes BuildOpen(std::span<uint8_t> buffer, std::string_view path, uint32_t flags, uint32_t mode) {
  const auto request = StartWithPath(buffer, field::kOpenPath, sub::kOpen, path);
  Write<field::OpenFlags>(request, flags);
  Write<field::OpenMode>(request, mode);
  return request;
}

RequestBytes BuildClose(std::span<uint8_t> buffer, uint32_t handle) {
  const auto request = StartSubsystem(buffer, field::kCloseBytes, sub::kClose);
  Write<field::Handle>(request, handle);
  return request;
}

RequestBytes BuildRead(std::span<uint8_t> buffer, uint32_t handle, uint32_t offset) {
  const auto request = StartSubsystem(buffer, field::kReadBytes, sub::kRead);
  Write<field::Handle>(request, handle);
  Write<field::ReadCount>(request, kReadChunk);
  Write<field::ReadOffset>(request, offset);
  return request;
}

RequestBytes BuildWrite(std::span<uint8_t> buffer, uint32_t handle, uint32_t offset, std::span<const uint8_t> data) {
  if (data.size() > kWriteChunk) return {};
  const auto request = StartSubsystem(buffer, field::kWriteData + data.size(), sub::kWrite);
  if (request.empty()) return {};
  Write<field::Handle>(request, handle);
  Write<field::WriteOffset>(request, offset);
  std::ranges::copy(data, request.begin() + field::kWriteData);
  return request;
}

RequestBytes BuildMkdir(std::span<uint8_t> buffer, std::string_view path, uint16_t mode) {
  const auto request = StartWithPath(buffer, field::kMkdirPath, sub::kMkdir, path);
  Write<field::MkdirMode>(request, mode);
  return request;
}

RequestBytes BuildOpendir(std::span<uint8_t> buffer, std::string_view path) {
  return StartWithPath(buffer, field::kOpendirPath, sub::kOpendir, path);
}

RequestBytes BuildReaddir(std::span<uint8_t> buffer, uint32_t directory, uint32_t sequence) {
  const auto request = StartSubsystem(buffer, field::kReaddirBytes, sub::kReaddir);
  Write<field::Handle>(request, directory);
  Write<field::ReaddirSequence>(request, sequence);
  return request;
}

RequestBytes BuildClosedir(std::span<uint8_t> buffer, uint32_t directory) {
  const auto request = StartSubsystem(buffer, field::kCloseBytes, sub::kClosedir);
  Write<field::Handle>(request, directory);
  return request;
}

RequestBytes BuildFileOperation(std::span<uint8_t> buffer, uint8_t operation, std::string_view name) {
  const bool shortName = operation == op::kListFiles || operation == op::kDelete;
  if (!FitsField(name, kNameField) || name.size() >= 255 || (shortName && name.size() > kShortNameMax)) return {};
  const std::size_t length = field::kName + name.size() + 1;
  if (buffer.size() < length) return {};
  const auto request = buffer.first(length);
  std::fill(request.begin(), request.end(), uint8_t{0});
  Write<field::Code>(request, kFileOperationCode);
  Write<field::Operation>(request, operation);
  Write<field::NameLength>(request, static_cast<uint8_t>(name.size() + 1));
  std::ranges::copy(Bytes(name), request.begin() + field::kName);
  return request;
}

RequestBytes BuildReadBlock(std::span<uint8_t> buffer, uint8_t sequence, std::string_view name) {
  if (!FitsField(name, kNameField) || name.size() >= 255) return {};
  const std::size_t length = field::kBlockName + name.size() + 1;
  if (buffer.size() < length) return {};
  const auto request = buffer.first(length);
  std::fill(request.begin(), request.end(), uint8_t{0});
  Write<field::Code>(request, kFileOperationCode);
  Write<field::Operation>(request, op::kReadBlock);
  Write<field::BlockSequence>(request, sequence);
  Write<field::BlockNameLength>(request, static_cast<uint8_t>(name.size() + 1));
  std::ranges::copy(Bytes(name), request.begin() + field::kBlockName);
  return request;
}

}  // namespace zk::efs
