// Checks of the files a command is given, made before the handset is
// touched: a missing or empty file must not cost a switch into diagnostic
// mode and leave the handset offline. Each returns an empty text when the
// file is fit, else why not.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace zk::cli {

// `what` names the file in the message ("PRL file", "image").
std::string WhyNotReadable(const std::string& path, const std::string& what);

// A PRL begins with its own size (16 bits, most significant byte first); a
// file whose size disagrees is damaged or no PRL at all.
std::string WhyNotPrl(const std::string& path);

// A PRL ends with a 16-bit check sequence (most significant byte first):
// the CRC with generator x^16 + x^12 + x^5 + 1 over every byte before it,
// register preset to all ones, complemented at the end. Lists are written by
// several tools and not all of them complement the register, so both forms
// pass. Returns a warning when neither matches, else an empty text; the
// file is sent all the same, since the handset judges the list itself.
std::string PrlCheckWarning(const std::string& path);

// The check register over `bytes`, uncomplemented (preset 0xFFFF).
uint16_t PrlCheckRegister(const uint8_t* bytes, std::size_t count);

// The image's file name (after the last '/' or '\\') begins with the
// model's `prefix`, in any case: the full sequences burn nothing else.
std::string WhyNotModelImage(const std::string& path, const std::string& prefix);

// The file can be created or replaced: its directory exists and is
// writable, and the path is no directory.
std::string WhyNotWritable(const std::string& path);

}  // namespace zk::cli

namespace zk::cli {

// Handset paths of the file-system commands: absolute, "/" separators, at
// most 127 characters (what the handset's path field carries).
std::string WhyNotHandsetPath(const std::string& path);

// A directory the command may write into: it exists (or can be made) and
// is writable.
std::string WhyNotWritableDirectory(const std::string& path);

}  // namespace zk::cli
