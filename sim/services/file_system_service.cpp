#include "services/file_system_service.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <fstream>
#include <vector>
#include <system_error>

#include "core/byte_order.h"
#include "core/handset_context.h"
#include "services/diag_codes.h"
#include "services/efs_codes.h"
#include "services/efs_faults.h"

namespace rb310 {
namespace {

namespace fs = std::filesystem;

// An answer of the subsystem family: the request's 4-byte header, then
// `size` - 4 bytes of zeros for the fields.
std::vector<uint8_t> Reply(std::span<const uint8_t> request, std::size_t size) {
  std::vector<uint8_t> packet(request.begin(), request.begin() + efs::kHeaderSize);
  packet.resize(size, 0);
  return packet;
}

Answer ErrorAt(std::span<const uint8_t> request, std::size_t offset, uint32_t error, std::size_t size) {
  std::vector<uint8_t> packet = Reply(request, size);
  PutLe32(packet, offset, error);
  return Answer{std::move(packet), {}};
}

// Open flags of the wire as the host's; the link check is done already, so a
// link at the last component is refused rather than followed.
int HostFlags(uint32_t flags) {
  int host = O_CLOEXEC | O_NOFOLLOW;
  switch (flags & efs::kAccessMask) {
    case 0: host |= O_RDONLY; break;
    case 1: host |= O_WRONLY; break;
    default: host |= O_RDWR; break;
  }
  if (flags & efs::kCreate) host |= O_CREAT;
  if (flags & efs::kExclusive) host |= O_EXCL;
  if (flags & efs::kTruncate) host |= O_TRUNC;
  if (flags & efs::kAppend) host |= O_APPEND;
  return host;
}

uint32_t Low32(int64_t value) { return static_cast<uint32_t>(value); }

}  // namespace

FileSystemService::FileSystemService(const EfsOptions& options, fs::path directory)
    : directory_(std::move(directory)),
      tree_(directory_),
      files_(options.maxOpenFiles),
      directories_(options.maxOpenDirectories) {
  std::error_code error;
  fs::create_directories(directory_, error);
  if (!options.seedFrom.empty()) {
    fs::copy(options.seedFrom, directory_,
             fs::copy_options::recursive | fs::copy_options::overwrite_existing | fs::copy_options::skip_symlinks,
             error);
  }
  if (!options.callHistory.empty()) {
    std::vector<uint8_t> bytes;
    for (const uint32_t counter : options.callHistory)
      for (int shift = 0; shift < 32; shift += 8) bytes.push_back(static_cast<uint8_t>(counter >> shift));
    fs::create_directories(directory_ / "pim", error);
    std::ofstream(directory_ / "pim" / "call_hist_nv.dat", std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  }
}

void FileSystemService::Register(Dispatchers& dispatchers) {
  Dispatcher& diagnostic = dispatchers.diagnostic;
  struct Entry {
    uint16_t subcommand;
    const char* name;
    std::size_t minLength;
    Answer (FileSystemService::*method)(HandsetContext&, std::span<const uint8_t>);
  };
  // Minimum lengths: the header, the fixed fields and at least a path's zero.
  static constexpr Entry kSubsystem[] = {
      {efs::kStat, "efs stat", efs::kStatPathOffset + 1, &FileSystemService::Stat},
      {efs::kOpen, "efs open", efs::kOpenPathOffset + 1, &FileSystemService::Open},
      {efs::kClose, "efs close", efs::kHandleOffset + 4, &FileSystemService::Close},
      {efs::kRead, "efs read", efs::kReadOffsetOffset + 4, &FileSystemService::Read},
      {efs::kWrite, "efs write", efs::kWriteDataOffset, &FileSystemService::Write},
      {efs::kMkdir, "efs mkdir", efs::kMkdirPathOffset + 1, &FileSystemService::Mkdir},
      {efs::kOpendir, "efs opendir", efs::kOpendirPathOffset + 1, &FileSystemService::Opendir},
      {efs::kReaddir, "efs readdir", efs::kReaddirSequenceOffset + 4, &FileSystemService::Readdir},
      {efs::kClosedir, "efs closedir", efs::kHandleOffset + 4, &FileSystemService::Closedir},
  };
  for (const Entry& entry : kSubsystem) {
    diagnostic.Add({diag::kSubsystemDispatch, diag::kEfsSubsystem, entry.subcommand},
                   {entry.name, entry.minLength, false, Handler(this, entry.method)});
  }

  // The older family keys its requests by the operation byte alone.
  diagnostic.AddFamily(diag::kEfsOperations, SubKeyLayout{std::nullopt, diag::kEfsOperationOffset, 1});
  static constexpr Entry kOperations[] = {
      {efs::ops::kListDirectories, "efs list directories", efs::ops::kNameOffset,
       &FileSystemService::ListDirectories},
      {efs::ops::kListFiles, "efs list files", efs::ops::kNameOffset, &FileSystemService::ListFiles},
      {efs::ops::kReadBlock, "efs read block", efs::ops::kReadNameOffset, &FileSystemService::ReadBlock},
      {efs::ops::kDelete, "efs delete", efs::ops::kNameOffset, &FileSystemService::Delete},
  };
  for (const Entry& entry : kOperations) {
    diagnostic.Add({diag::kEfsOperations, std::nullopt, entry.subcommand},
                   {entry.name, entry.minLength, false, Handler(this, entry.method)});
  }
}

void FileSystemService::OnRestart() {
  files_.Clear();
  directories_.Clear();
}

bool FileSystemService::Erase() {
  OnRestart();
  std::error_code error;
  fs::create_directories(directory_, error);
  if (error) return false;
  bool emptied = true;
  for (fs::directory_iterator it(directory_, error), end; !error && it != end; it.increment(error)) {
    // remove_all removes a link itself, never what it points to.
    std::error_code removeError;
    fs::remove_all(it->path(), removeError);
    if (removeError) emptied = false;
  }
  return emptied && !error;
}

EfsTree::Place FileSystemService::Locate(const HandsetContext& context, const std::string& wirePath) const {
  EfsTree::Place place = tree_.Resolve(wirePath);
  if (place.error == 0 && EfsPathFails(context.faults().options().efs, place.relative)) place.error = efs::kRefused;
  return place;
}

Answer FileSystemService::Stat(HandsetContext& context, std::span<const uint8_t> request) {
  const EfsTree::Place place = Locate(context, EfsPathField(request, efs::kStatPathOffset, efs::kMaxPathBytes));
  if (place.error) return ErrorAt(request, efs::kErrorOffset, place.error, efs::kStatAnswerSize);
  struct stat info {};
  if (::stat(place.host.c_str(), &info) != 0) {
    return ErrorAt(request, efs::kErrorOffset, EfsTree::ErrorFromErrno(errno), efs::kStatAnswerSize);
  }
  std::vector<uint8_t> packet = Reply(request, efs::kStatAnswerSize);
  PutLe32(packet, efs::kStatModeOffset, info.st_mode);
  PutLe32(packet, efs::kStatSizeOffset, Low32(info.st_size));
  PutLe32(packet, efs::kStatLinksOffset, static_cast<uint32_t>(info.st_nlink));
  PutLe32(packet, efs::kStatTimesOffset, Low32(info.st_atime));
  PutLe32(packet, efs::kStatTimesOffset + 4, Low32(info.st_mtime));
  PutLe32(packet, efs::kStatTimesOffset + 8, Low32(info.st_ctime));
  return Answer{std::move(packet), {}};
}

Answer FileSystemService::Open(HandsetContext& context, std::span<const uint8_t> request) {
  constexpr std::size_t kSize = 12;
  const auto refuse = [&](uint32_t error) {
    std::vector<uint8_t> packet = Reply(request, kSize);
    PutLe32(packet, efs::kOpenHandleOffset, efs::kNoHandle);
    PutLe32(packet, efs::kOpenErrorOffset, error);
    return Answer{std::move(packet), {}};
  };
  const uint32_t flags = GetLe32(request, efs::kOpenFlagsOffset);
  const EfsTree::Place place = Locate(context, EfsPathField(request, efs::kOpenPathOffset, efs::kMaxPathBytes));
  if (place.error) return refuse(place.error);
  if (place.relative.empty()) return refuse(efs::kIsDirectory);
  if (files_.open() == files_.limit()) return refuse(efs::kTooManyOpen);

  EfsFd fd(::open(place.host.c_str(), HostFlags(flags), 0644));
  if (fd.get() < 0) return refuse(EfsTree::ErrorFromErrno(errno));
  struct stat info {};
  if (::fstat(fd.get(), &info) != 0) return refuse(efs::kIoError);
  if (S_ISDIR(info.st_mode)) return refuse(efs::kIsDirectory);

  const auto handle = files_.Add(OpenFile{std::move(fd), place.relative, flags});
  if (!handle) return refuse(efs::kTooManyOpen);
  std::vector<uint8_t> packet = Reply(request, kSize);
  PutLe32(packet, efs::kOpenHandleOffset, *handle);
  return Answer{std::move(packet), {}};
}

Answer FileSystemService::Close(HandsetContext&, std::span<const uint8_t> request) {
  const bool closed = files_.Remove(GetLe32(request, efs::kHandleOffset));
  return ErrorAt(request, efs::kErrorOffset, closed ? efs::kOk : efs::kBadHandle, 8);
}

FileSystemService::Transfer FileSystemService::BeginTransfer(HandsetContext& context,
                                                             std::span<const uint8_t> request,
                                                             std::size_t offsetField) {
  Transfer transfer{GetLe32(request, offsetField), Reply(request, efs::kTransferAnswerSize),
                    files_.Find(GetLe32(request, efs::kHandleOffset)), efs::kOk};
  PutLe32(transfer.packet, efs::kHandleOffset, GetLe32(request, efs::kHandleOffset));
  PutLe32(transfer.packet, efs::kTransferOffsetOffset, transfer.offset);
  if (transfer.file == nullptr) {
    transfer.error = efs::kBadHandle;
  } else if (EfsPathFails(context.faults().options().efs, transfer.file->relative)) {
    transfer.error = efs::kRefused;
  }
  return transfer;
}

Answer FileSystemService::Read(HandsetContext& context, std::span<const uint8_t> request) {
  auto [offset, packet, file, error] = BeginTransfer(context, request, efs::kReadOffsetOffset);
  const EfsFaultOptions& faults = context.faults().options().efs;
  if (error == efs::kOk && EfsReadDropped(faults, file->relative, offset / efs::kMaxReadBytes))
    return Answer{{}, {}, "file system fault: read of " + file->relative + " not answered"};
  if (error == efs::kOk && !EfsTransfersNothing(faults, file->relative)) {
    const std::size_t count = std::min<std::size_t>(GetLe32(request, efs::kReadCountOffset), efs::kMaxReadBytes);
    std::vector<uint8_t> data(count);
    const ssize_t got = ::pread(file->fd.get(), data.data(), count, offset);
    if (got < 0) {
      error = errno == EBADF ? efs::kBadHandle : EfsTree::ErrorFromErrno(errno);
    } else {
      PutLe32(packet, efs::kTransferCountOffset, static_cast<uint32_t>(got));
      packet.insert(packet.end(), data.begin(), data.begin() + got);
    }
  }
  PutLe32(packet, efs::kTransferErrorOffset, error);
  return Answer{std::move(packet), {}};
}

Answer FileSystemService::Write(HandsetContext& context, std::span<const uint8_t> request) {
  auto [offset, packet, file, error] = BeginTransfer(context, request, efs::kWriteOffsetOffset);
  const EfsFaultOptions& faults = context.faults().options().efs;
  if (error == efs::kOk && !EfsTransfersNothing(faults, file->relative)) {
    // A longer request is taken in part; the answer says how much.
    const auto data = request.subspan(efs::kWriteDataOffset);
    const std::size_t count = std::min(data.size(), efs::kMaxWriteBytes);
    std::size_t written = 0;
    while (written < count) {
      const ssize_t put = ::pwrite(file->fd.get(), data.data() + written, count - written, offset + written);
      if (put <= 0) {
        error = put < 0 && errno == EBADF ? efs::kBadHandle : EfsTree::ErrorFromErrno(put < 0 ? errno : EIO);
        break;
      }
      written += static_cast<std::size_t>(put);
    }
    PutLe32(packet, efs::kTransferCountOffset, static_cast<uint32_t>(written));
  }
  PutLe32(packet, efs::kTransferErrorOffset, error);
  return Answer{std::move(packet), {}};
}

Answer FileSystemService::Mkdir(HandsetContext& context, std::span<const uint8_t> request) {
  const EfsTree::Place place = Locate(context, EfsPathField(request, efs::kMkdirPathOffset, efs::kMaxPathBytes));
  uint32_t error = place.error;
  if (error == 0 && place.relative.empty()) error = efs::kExists;
  if (error == 0 && ::mkdir(place.host.c_str(), 0755) != 0) error = EfsTree::ErrorFromErrno(errno);
  return ErrorAt(request, efs::kErrorOffset, error, 8);
}

Answer FileSystemService::Opendir(HandsetContext& context, std::span<const uint8_t> request) {
  constexpr std::size_t kSize = 12;
  const auto refuse = [&](uint32_t error) {
    std::vector<uint8_t> packet = Reply(request, kSize);
    PutLe32(packet, efs::kOpenHandleOffset, efs::kNoHandle);
    PutLe32(packet, efs::kOpenErrorOffset, error);
    return Answer{std::move(packet), {}};
  };
  const EfsTree::Place place = Locate(context, EfsPathField(request, efs::kOpendirPathOffset, efs::kMaxPathBytes));
  if (place.error) return refuse(place.error);
  if (directories_.open() == directories_.limit()) return refuse(efs::kTooManyOpen);
  OpenDirectory directory{place.relative, {}};
  if (const uint32_t error = tree_.List(place.host, directory.entries)) return refuse(error);
  const EfsFaultOptions& faults = context.faults().options().efs;
  for (const std::string& name : faults.hostileDirectories) directory.entries.push_back({name, true, 0});
  for (const std::string& name : faults.hostileFiles) directory.entries.push_back({name, false, 0});

  const auto handle = directories_.Add(std::move(directory));
  if (!handle) return refuse(efs::kTooManyOpen);
  std::vector<uint8_t> packet = Reply(request, kSize);
  PutLe32(packet, efs::kOpenHandleOffset, *handle);
  return Answer{std::move(packet), {}};
}

Answer FileSystemService::Readdir(HandsetContext&, std::span<const uint8_t> request) {
  const uint32_t sequence = GetLe32(request, efs::kReaddirSequenceOffset);
  std::vector<uint8_t> packet = Reply(request, efs::kReaddirNameOffset);
  PutLe32(packet, efs::kHandleOffset, GetLe32(request, efs::kHandleOffset));
  PutLe32(packet, efs::kReaddirSequenceOffset, sequence);
  const OpenDirectory* directory = directories_.Find(GetLe32(request, efs::kHandleOffset));
  uint32_t error = efs::kOk;
  if (directory == nullptr) {
    error = efs::kBadHandle;
  } else if (sequence == 0) {
    error = efs::kIoError;  // entries are numbered from 1
  } else if (sequence <= directory->entries.size()) {
    // Numbered, not iterated: asking for the same entry again answers it again.
    const EfsTree::Entry& entry = directory->entries[sequence - 1];
    PutLe32(packet, efs::kReaddirTypeOffset, entry.directory ? efs::kDirectory : efs::kPlainFile);
    PutLe32(packet, efs::kReaddirModeOffset, entry.directory ? (S_IFDIR | 0755) : (S_IFREG | 0644));
    PutLe32(packet, efs::kReaddirSizeOffset, static_cast<uint32_t>(entry.size));
    packet.insert(packet.end(), entry.name.begin(), entry.name.end());
  }
  packet.push_back(0);  // the name's terminator; an empty name ends the directory
  PutLe32(packet, efs::kReaddirErrorOffset, error);
  return Answer{std::move(packet), {}};
}

Answer FileSystemService::Closedir(HandsetContext&, std::span<const uint8_t> request) {
  const bool closed = directories_.Remove(GetLe32(request, efs::kHandleOffset));
  return ErrorAt(request, efs::kErrorOffset, closed ? efs::kOk : efs::kBadHandle, 8);
}

}  // namespace rb310
