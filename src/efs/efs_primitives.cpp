// CEfsBasicFunction: one request per primitive, judged by its answer.
#include "diag/diag_link.h"
#include "efs/efs_basic_function.h"
#include "efs/efs_requests.h"

namespace {

using namespace zk::efs;
using Reply = zk::diag::Reply;

// The primitive's result for an answer's error field.
int FromError(uint32_t error) { return error == 0 ? CEfsBasicFunction::kOk : static_cast<int>(error); }

}  // namespace

CEfsBasicFunction::CEfsBasicFunction() : m_link(g_diagLink) {}

Reply CEfsBasicFunction::Send(std::span<const uint8_t> request, int waitMs) { return m_link.Exchange(request, waitMs); }

int CEfsBasicFunction::efs_stat(std::string_view path, uint32_t* size) {
  const auto request = BuildStat(Buffer(), path);
  if (request.empty()) return kBadRequest;
  const Reply reply = Send(request, kWaitMs);
  const auto stat = reply.Accepted() ? ParseStat(reply.answer) : std::nullopt;
  if (!stat) return kNoAnswer;
  if (size != nullptr) *size = stat->size;
  return FromError(stat->error);
}

int CEfsBasicFunction::efs_open(std::string_view path, uint32_t flags, uint32_t mode, uint32_t* handle) {
  const auto request = BuildOpen(Buffer(), path, flags, mode);
  if (request.empty()) return kBadRequest;
  const Reply reply = Send(request, kWaitMs);
  const auto open = reply.Accepted() ? ParseOpen(reply.answer) : std::nullopt;
  if (!open) return kNoAnswer;
  if (handle != nullptr) *handle = open->handle;
  return FromError(open->error);
}

int CEfsBasicFunction::efs_close(uint32_t handle) {
  const Reply reply = Send(BuildClose(Buffer(), handle), kWaitMs);
  const auto error = reply.Accepted() ? ParsePlainError(reply.answer, sub::kClose) : std::nullopt;
  return error ? FromError(*error) : kNoAnswer;
}

int CEfsBasicFunction::efs_read(uint32_t handle, uint32_t offset, std::vector<uint8_t>& data, uint32_t expected) {
  data.clear();
  const auto request = BuildRead(Buffer(), handle, offset);
  const Reply reply =
      expected == 0 ? Send(request, kTransferWaitMs)
                    : m_link.ExchangeExpecting(request, kTransferWaitMs, answer::kReadData + std::min(expected, kReadChunk));
  const auto read = reply.Accepted() ? ParseRead(reply.answer) : std::nullopt;
  if (!read) return kNoAnswer;
  if (read->error != 0) return FromError(read->error);
  data.assign(read->data.begin(), read->data.end());
  return kOk;
}

int CEfsBasicFunction::efs_write(uint32_t handle, uint32_t offset, std::span<const uint8_t> data, uint32_t* written) {
  uint32_t taken = 0;
  int zeroAnswers = 0;
  int result = kOk;
  while (taken < data.size()) {
    const auto piece = data.subspan(taken, std::min(data.size() - taken, kWriteChunk));
    const Reply reply = Send(BuildWrite(Buffer(), handle, offset + taken, piece), kTransferWaitMs);
    const auto write = reply.Accepted() ? ParseWrite(reply.answer) : std::nullopt;
    if (!write || write->written > piece.size()) {
      result = kNoAnswer;
      break;
    }
    if (write->error != 0) {
      result = FromError(write->error);
      break;
    }
    zeroAnswers = write->written == 0 ? zeroAnswers + 1 : 0;
    if (zeroAnswers >= kMaxZeroAnswers) {
      result = kStalled;
      break;
    }
    taken += write->written;
  }
  if (written != nullptr) *written = taken;
  return result;
}

int CEfsBasicFunction::efs_mkdir(std::string_view path, uint16_t mode) {
  const auto request = BuildMkdir(Buffer(), path, mode);
  if (request.empty()) return kBadRequest;
  const Reply reply = Send(request, kWaitMs);
  const auto error = reply.Accepted() ? ParsePlainError(reply.answer, sub::kMkdir) : std::nullopt;
  return error ? FromError(*error) : kNoAnswer;
}

int CEfsBasicFunction::efs_opendir(std::string_view path, uint32_t* directory) {
  const auto request = BuildOpendir(Buffer(), path);
  if (request.empty()) return kBadRequest;
  const Reply reply = Send(request, kWaitMs);
  const auto open = reply.Accepted() ? ParseOpendir(reply.answer) : std::nullopt;
  if (!open) return kNoAnswer;
  if (directory != nullptr) *directory = open->handle;
  return FromError(open->error);
}

int CEfsBasicFunction::efs_readdir(uint32_t directory, uint32_t sequence, uint32_t* type, std::string* name) {
  const Reply reply = Send(BuildReaddir(Buffer(), directory, sequence), kWaitMs);
  const auto entry = reply.Accepted() ? ParseReaddir(reply.answer) : std::nullopt;
  if (!entry) return kNoAnswer;
  if (entry->error != 0) return FromError(entry->error);
  if (entry->name.empty()) return kEndOfDirectory;
  if (type != nullptr) *type = entry->type;
  if (name != nullptr) *name = entry->name;
  return kOk;
}

int CEfsBasicFunction::efs_closedir(uint32_t directory) {
  const Reply reply = Send(BuildClosedir(Buffer(), directory), kWaitMs);
  const auto error = reply.Accepted() ? ParsePlainError(reply.answer, sub::kClosedir) : std::nullopt;
  return error ? FromError(*error) : kNoAnswer;
}

std::optional<ListingAnswer> CEfsBasicFunction::ListByOperation(uint8_t operation, std::string_view directory) {
  const auto request = BuildFileOperation(Buffer(), operation, directory);
  if (request.empty()) return std::nullopt;
  const int wait = operation == op::kListDirectories ? kListDirectoriesWaitMs : kFileOperationWaitMs;
  const Reply reply = Send(request, wait);
  return reply.Accepted() ? ParseListing(reply.answer) : std::nullopt;
}

std::optional<std::vector<uint8_t>> CEfsBasicFunction::ReadFileBlock(std::string_view name, uint8_t sequence,
                                                                     int waitMs, uint8_t* status) {
  const auto request = BuildReadBlock(Buffer(), sequence, name);
  if (request.empty()) return std::nullopt;
  const Reply reply = Send(request, waitMs);
  const auto block = reply.Accepted() ? ParseBlock(reply.answer) : std::nullopt;
  if (!block) return std::nullopt;
  if (status != nullptr) *status = block->status;
  return std::vector<uint8_t>(block->data.begin(), block->data.end());
}

int CEfsBasicFunction::DeletePhoneFile(std::string_view name) {
  const auto request = BuildFileOperation(Buffer(), op::kDelete, name);
  if (request.empty()) return kBadRequest;
  const Reply reply = Send(request, kFileOperationWaitMs);
  const auto status = reply.Accepted() ? ParseFileOperationStatus(reply.answer) : std::nullopt;
  return status ? *status : ::kNoAnswer;
}
