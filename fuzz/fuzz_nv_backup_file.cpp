// NV backup files as a user could hand them over: the decoder accepts a file
// or gives a reason, never reads past it, and what it accepts encodes again
// into a file it accepts with the same items and flags. Most inputs are laid
// over a valid file (at an offset the input picks), since a file of any
// other size is refused at once.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <vector>

#include "nv/nv_backup_file.h"

namespace {

using namespace zk::nv;

void Check(bool condition) {
  if (!condition) std::abort();
}

void DecodeAndRoundTrip(std::span<const uint8_t> file) {
  const DecodedBackup decoded = DecodeBackupFile(file);
  Check(decoded.ok == decoded.problem.empty());
  if (!decoded.ok) return;
  Check(file.size() == kBackupFileSize);
  const std::vector<uint8_t> encoded = EncodeBackupFile(decoded.contents);
  Check(encoded.size() == kBackupFileSize);
  const DecodedBackup again = DecodeBackupFile(encoded);
  Check(again.ok);
  Check(again.contents.image == decoded.contents.image);
  Check(EncodeBackupFile(again.contents) == encoded);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  // The input as a whole file, in a block of exactly its size.
  const std::vector<uint8_t> whole(data, data + size);
  DecodeAndRoundTrip(whole);

  // The input (after a 2-byte offset) laid over a valid file.
  static const std::vector<uint8_t> valid = EncodeBackupFile(BackupContents{});
  if (size < 2) return 0;
  std::vector<uint8_t> file = valid;
  const std::size_t offset = (static_cast<std::size_t>(data[0]) << 8 | data[1]) * 8 % kBackupFileSize;
  const std::size_t count = std::min(size - 2, kBackupFileSize - offset);
  std::copy_n(data + 2, count, file.begin() + static_cast<std::ptrdiff_t>(offset));
  DecodeAndRoundTrip(file);
  return 0;
}
