#include "services/file_system_service.h"

#include <system_error>

#include "services/diag_codes.h"

namespace rb310 {

void FileSystemService::Register(Dispatchers& dispatchers) {
  // Subsystem dispatch is laid out by the core; the older family keys its
  // requests by the operation byte alone.
  dispatchers.diagnostic.AddFamily(diag::kEfsOperations, SubKeyLayout{std::nullopt, diag::kEfsOperationOffset, 1});
}

bool FileSystemService::Erase() {
  namespace fs = std::filesystem;
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

}  // namespace rb310
