// What an image file's name and first bytes say about it.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace zk::flash {

// The file-name part of a host path: the text after the last '\' or '/'.
std::string_view ImageFileName(std::string_view path);

// True when the file name of `path` begins with `prefix` (any case).
bool ImageNameHasPrefix(std::string_view path, std::string_view prefix);

// An image may name the software version it brings, in its first bytes:
// "RB310VER=" and then the 8 characters of the version. Those 8 characters,
// or nullopt when the image does not begin with the tag.
inline constexpr std::string_view kImageVersionTag = "RB310VER=";
inline constexpr std::size_t kImageVersionLength = 8;
std::optional<std::string> ImageVersion(std::span<const uint8_t> image);

// True when the version label the handset reported ("<version>_<nn>")
// carries `version` as its software version.
bool LabelCarriesVersion(std::string_view label, std::string_view version);

}  // namespace zk::flash
