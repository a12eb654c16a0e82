#include "services/efs_tree.h"

#include <algorithm>
#include <cerrno>
#include <system_error>

#include "services/efs_codes.h"

namespace rb310 {
namespace {

namespace fs = std::filesystem;

bool Acceptable(std::string_view component) {
  if (component == "..") return false;
  return std::none_of(component.begin(), component.end(), [](char c) {
    const auto byte = static_cast<unsigned char>(c);
    return c == '\\' || byte < 0x20 || byte == 0x7F;
  });
}

// The components of a wire path, without empty and "." ones.
std::vector<std::string_view> Components(std::string_view wirePath) {
  std::vector<std::string_view> components;
  while (!wirePath.empty()) {
    const std::size_t slash = wirePath.find('/');
    const std::string_view component = wirePath.substr(0, slash);
    wirePath = slash == std::string_view::npos ? std::string_view{} : wirePath.substr(slash + 1);
    if (!component.empty() && component != ".") components.push_back(component);
  }
  return components;
}

}  // namespace

std::string EfsPathField(std::span<const uint8_t> request, std::size_t offset, std::size_t limit) {
  std::string path;
  for (std::size_t i = offset; i < request.size() && i - offset < limit && request[i] != 0; ++i) {
    path += static_cast<char>(request[i]);
  }
  return path;
}

std::string EfsTree::Spelling(std::string_view wirePath) {
  std::string spelling;
  for (const std::string_view component : Components(wirePath)) {
    if (!spelling.empty()) spelling += '/';
    spelling += component;
  }
  return spelling;
}

uint32_t EfsTree::ErrorFromErrno(int error) {
  switch (error) {
    case ENOENT: return efs::kNoSuchPath;
    case ENOTDIR: return efs::kNotDirectory;
    case EISDIR: return efs::kIsDirectory;
    case EEXIST: return efs::kExists;
    case EACCES:
    case EPERM:
    case ELOOP: return efs::kRefused;
    case EMFILE:
    case ENFILE: return efs::kTooManyOpen;
    default: return efs::kIoError;
  }
}

bool EfsTree::Inside(const fs::path& canonical) const {
  std::error_code error;
  const fs::path root = fs::canonical(root_, error);
  if (error) return false;
  const fs::path relative = canonical.lexically_relative(root);
  return !relative.empty() && *relative.begin() != "..";
}

EfsTree::Place EfsTree::Resolve(std::string_view wirePath) const {
  Place place;
  const std::vector<std::string_view> components = Components(wirePath);
  if (!std::all_of(components.begin(), components.end(), Acceptable)) {
    place.error = efs::kRefused;
    return place;
  }

  std::error_code error;
  fs::path host = fs::canonical(root_, error);
  if (error) {
    place.error = efs::kIoError;
    return place;
  }
  // Each existing link on the way is followed and must stay inside; once a
  // component does not exist, nothing below it can be a link.
  bool existing = true;
  for (const std::string_view component : components) {
    if (!place.relative.empty()) place.relative += '/';
    place.relative += component;
    host /= component;
    if (!existing) continue;
    const fs::file_status status = fs::symlink_status(host, error);
    if (!fs::exists(status)) {
      existing = false;
      continue;
    }
    if (fs::is_symlink(status)) {
      fs::path target = fs::canonical(host, error);
      if (error || !Inside(target)) {  // dangling or pointing out
        place.error = efs::kRefused;
        return place;
      }
      host = std::move(target);
    }
  }
  place.host = std::move(host);
  return place;
}

uint32_t EfsTree::List(const fs::path& directory, std::vector<Entry>& entries) const {
  entries.clear();
  std::error_code error;
  const fs::file_status status = fs::status(directory, error);
  if (!fs::exists(status)) return efs::kNoSuchPath;
  if (!fs::is_directory(status)) return efs::kNotDirectory;
  for (fs::directory_iterator it(directory, error), end; !error && it != end; it.increment(error)) {
    fs::path target = it->path();
    if (it->is_symlink(error)) {
      target = fs::canonical(it->path(), error);
      if (error || !Inside(target)) {
        error.clear();
        continue;
      }
    }
    const fs::file_status entryStatus = fs::status(target, error);
    if (error) return efs::kIoError;
    Entry entry{it->path().filename().string(), fs::is_directory(entryStatus), 0};
    if (fs::is_regular_file(entryStatus)) {
      entry.size = fs::file_size(target, error);
    } else if (!entry.directory) {
      continue;
    }
    if (error) return efs::kIoError;
    entries.push_back(std::move(entry));
  }
  if (error) return efs::kIoError;
  std::sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) { return a.name < b.name; });
  return efs::kOk;
}

}  // namespace rb310
