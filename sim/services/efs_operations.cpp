// The older file system request family (0x59): listings, block reads and
// deletes by name. Answers start with the code and the operation byte; the
// status follows at offset 2.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <limits>

#include "core/byte_order.h"
#include "core/handset_context.h"
#include "services/efs_codes.h"
#include "services/efs_faults.h"
#include "services/file_system_service.h"

namespace rb310 {
namespace {

std::vector<uint8_t> OperationReply(std::span<const uint8_t> request, std::size_t size, uint32_t status) {
  std::vector<uint8_t> packet(request.begin(), request.begin() + 2);
  packet.resize(size, 0);
  packet[efs::ops::kStatusOffset] = static_cast<uint8_t>(status);
  return packet;
}

// The name field: its length byte counts the terminating zero, and is trusted
// no further than the request's own bytes.
std::string OperationName(std::span<const uint8_t> request, std::size_t lengthOffset, std::size_t nameOffset) {
  return EfsPathField(request, nameOffset, Get8(request, lengthOffset));
}

}  // namespace

Answer FileSystemService::ListDirectories(HandsetContext& context, std::span<const uint8_t> request) {
  return List(context, request, true);
}

Answer FileSystemService::ListFiles(HandsetContext& context, std::span<const uint8_t> request) {
  return List(context, request, false);
}

Answer FileSystemService::List(HandsetContext& context, std::span<const uint8_t> request, bool directories) {
  constexpr std::size_t kEmptySize = efs::ops::kListNamesOffset;
  const EfsTree::Place place =
      Locate(context, OperationName(request, efs::ops::kNameLengthOffset, efs::ops::kNameOffset));
  if (place.error) return Answer{OperationReply(request, kEmptySize, place.error), {}};
  std::vector<EfsTree::Entry> entries;
  if (const uint32_t error = tree_.List(place.host, entries)) {
    return Answer{OperationReply(request, kEmptySize, error), {}};
  }

  // Each name is the entry's whole path from the root, in the request's
  // spelling, so that it can be listed, read or deleted as it stands.
  std::vector<std::string> names;
  for (const EfsTree::Entry& entry : entries) {
    if (entry.directory != directories) continue;
    names.push_back(place.relative.empty() ? entry.name : place.relative + "/" + entry.name);
  }
  const EfsFaultOptions& faults = context.faults().options().efs;
  const auto& hostile = directories ? faults.hostileDirectories : faults.hostileFiles;
  names.insert(names.end(), hostile.begin(), hostile.end());

  std::vector<uint8_t> packet = OperationReply(request, kEmptySize, efs::kOk);
  for (const std::string& name : names) {
    packet.insert(packet.end(), name.begin(), name.end());
    packet.push_back(0);
  }
  const std::size_t dataBytes = packet.size() - kEmptySize;
  const std::size_t count = names.size() + faults.extraListingCount;
  if (dataBytes > std::numeric_limits<uint16_t>::max() || count > std::numeric_limits<uint16_t>::max()) {
    return Answer{OperationReply(request, kEmptySize, efs::kIoError), {}, "listing too long for one answer"};
  }
  PutLe16(packet, efs::ops::kListCountOffset, static_cast<uint16_t>(count));
  PutLe16(packet, efs::ops::kListBytesOffset, static_cast<uint16_t>(dataBytes));
  return Answer{std::move(packet), {}};
}

Answer FileSystemService::ReadBlock(HandsetContext& context, std::span<const uint8_t> request) {
  const uint8_t sequence = request[efs::ops::kReadSequenceOffset];
  const auto refuse = [&](uint32_t status) {
    std::vector<uint8_t> packet = OperationReply(request, efs::ops::kBlockDataOffset, status);
    packet[efs::ops::kBlockSequenceOffset] = sequence;
    return Answer{std::move(packet), {}};
  };
  const EfsTree::Place place =
      Locate(context, OperationName(request, efs::ops::kReadNameLengthOffset, efs::ops::kReadNameOffset));
  if (place.error) return refuse(place.error);
  const EfsFaultOptions& faults = context.faults().options().efs;
  if (EfsReadDropped(faults, place.relative, sequence)) {
    return Answer{{}, {}, "file system fault: block read of " + place.relative + " not answered"};
  }

  EfsFd fd(::open(place.host.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW));
  if (fd.get() < 0) return refuse(EfsTree::ErrorFromErrno(errno));
  struct stat info {};
  if (::fstat(fd.get(), &info) != 0) return refuse(efs::kIoError);
  if (S_ISDIR(info.st_mode)) return refuse(efs::kIsDirectory);

  std::vector<uint8_t> packet = OperationReply(request, efs::ops::kBlockDataOffset, efs::kOk);
  packet[efs::ops::kBlockSequenceOffset] = sequence;
  PutLe32(packet, efs::ops::kBlockFileSizeOffset, static_cast<uint32_t>(info.st_size));
  if (EfsTransfersNothing(faults, place.relative)) return Answer{std::move(packet), {}};

  const off_t start = static_cast<off_t>(sequence) * static_cast<off_t>(efs::ops::kBlockBytes);
  std::vector<uint8_t> data(efs::ops::kBlockBytes);
  const ssize_t got = ::pread(fd.get(), data.data(), data.size(), start);
  if (got < 0) return refuse(EfsTree::ErrorFromErrno(errno));
  packet[efs::ops::kBlockMoreOffset] = start + got < info.st_size ? 1 : 0;
  PutLe16(packet, efs::ops::kBlockLengthOffset, static_cast<uint16_t>(got));
  packet.insert(packet.end(), data.begin(), data.begin() + got);
  return Answer{std::move(packet), {}};
}

Answer FileSystemService::Delete(HandsetContext& context, std::span<const uint8_t> request) {
  constexpr std::size_t kSize = 3;
  const EfsTree::Place place =
      Locate(context, OperationName(request, efs::ops::kNameLengthOffset, efs::ops::kNameOffset));
  uint32_t status = place.error;
  struct stat info {};
  if (status == 0 && ::lstat(place.host.c_str(), &info) != 0) status = EfsTree::ErrorFromErrno(errno);
  if (status == 0 && S_ISDIR(info.st_mode)) status = efs::kIsDirectory;
  if (status == 0 && ::unlink(place.host.c_str()) != 0) status = EfsTree::ErrorFromErrno(errno);
  return Answer{OperationReply(request, kSize, status), {}};
}

}  // namespace rb310
