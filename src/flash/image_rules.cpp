#include "flash/image_rules.h"

#include <algorithm>
#include <cctype>

namespace zk::flash {

std::string_view ImageFileName(std::string_view path) {
  const auto slash = path.find_last_of("\\/");
  return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

bool ImageNameHasPrefix(std::string_view path, std::string_view prefix) {
  const std::string_view name = ImageFileName(path);
  if (name.size() < prefix.size()) return false;
  return std::equal(prefix.begin(), prefix.end(), name.begin(), [](char a, char b) {
    return std::toupper(static_cast<unsigned char>(a)) == std::toupper(static_cast<unsigned char>(b));
  });
}

std::optional<std::string> ImageVersion(std::span<const uint8_t> image) {
  const std::size_t needed = kImageVersionTag.size() + kImageVersionLength;
  if (image.size() < needed) return std::nullopt;
  if (!std::equal(kImageVersionTag.begin(), kImageVersionTag.end(), image.begin())) return std::nullopt;
  const auto version = image.subspan(kImageVersionTag.size(), kImageVersionLength);
  return std::string(version.begin(), version.end());
}

bool LabelCarriesVersion(std::string_view label, std::string_view version) {
  return label.size() > version.size() && label.substr(0, version.size()) == version &&
         label[version.size()] == '_';
}

}  // namespace zk::flash
