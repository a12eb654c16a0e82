// The handset's tables of open files and open directories: a fixed number of
// slots each, handles 1..limit (0 and values past the limit are never valid).
#pragma once

#include <unistd.h>

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "services/efs_tree.h"

namespace rb310 {

// An open host file descriptor, closed with its owner.
class EfsFd {
 public:
  explicit EfsFd(int fd = -1) : fd_(fd) {}
  EfsFd(EfsFd&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
  EfsFd& operator=(EfsFd&& other) noexcept {
    if (this != &other) {
      Reset();
      fd_ = std::exchange(other.fd_, -1);
    }
    return *this;
  }
  EfsFd(const EfsFd&) = delete;
  EfsFd& operator=(const EfsFd&) = delete;
  ~EfsFd() { Reset(); }

  int get() const { return fd_; }

 private:
  void Reset() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
  }
  int fd_;
};

struct OpenFile {
  EfsFd fd;
  std::string relative;  // its handset path, for the faults
  uint32_t flags = 0;
};

struct OpenDirectory {
  std::string relative;
  std::vector<EfsTree::Entry> entries;  // as listed when it was opened
};

template <typename T>
class HandleTable {
 public:
  explicit HandleTable(std::size_t limit) : slots_(limit) {}

  // The new handle, nullopt when every slot is taken.
  std::optional<uint32_t> Add(T value) {
    for (std::size_t i = 0; i < slots_.size(); ++i) {
      if (!slots_[i]) {
        slots_[i].emplace(std::move(value));
        return static_cast<uint32_t>(i + 1);
      }
    }
    return std::nullopt;
  }
  T* Find(uint32_t handle) {
    if (handle == 0 || handle > slots_.size() || !slots_[handle - 1]) return nullptr;
    return &*slots_[handle - 1];
  }
  bool Remove(uint32_t handle) {
    if (Find(handle) == nullptr) return false;
    slots_[handle - 1].reset();
    return true;
  }
  void Clear() {
    for (auto& slot : slots_) slot.reset();
  }
  std::size_t limit() const { return slots_.size(); }
  std::size_t open() const {
    std::size_t count = 0;
    for (const auto& slot : slots_) count += slot ? 1 : 0;
    return count;
  }

 private:
  std::vector<std::optional<T>> slots_;
};

}  // namespace rb310
