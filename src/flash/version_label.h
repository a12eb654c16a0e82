// The handset's version label as the binary download reports it back.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace zk::flash {

// "<version>_<vendorByte as %02d>", cut to `maxLength` characters. The
// version stops at its first zero byte.
std::string FormatVersionLabel(std::string_view version, uint8_t vendorByte, std::size_t maxLength);

}  // namespace zk::flash
