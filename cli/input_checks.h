// Checks of the files a command is given, made before the handset is
// touched: a missing or empty file must not cost a switch into diagnostic
// mode and leave the handset offline. Each returns an empty text when the
// file is fit, else why not.
#pragma once

#include <string>

namespace zk::cli {

// `what` names the file in the message ("PRL file", "image").
std::string WhyNotReadable(const std::string& path, const std::string& what);

// A PRL begins with its own size (16 bits, most significant byte first); a
// file whose size disagrees is damaged or no PRL at all.
std::string WhyNotPrl(const std::string& path);

// The file can be created or replaced: its directory exists and is
// writable, and the path is no directory.
std::string WhyNotWritable(const std::string& path);

}  // namespace zk::cli
