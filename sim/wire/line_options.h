// The line the handset sits on: the port it appears as and how the bytes
// cross it.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace rb310 {

struct LineOptions {
  int port = 5;                         // COM<port>
  std::optional<std::string> friendly;  // text of COM<n>.friendly
  std::optional<bool> usbModem;         // unset: usb when a friendly name is given
  uint32_t paceBaud = 0;                // > 0: both directions no faster than this line rate

  // The USB modem port carries bytes whatever rate the host sets.
  bool UsbModem() const { return usbModem.value_or(friendly.has_value()); }
};

}  // namespace rb310
