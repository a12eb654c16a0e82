#include "serial/settings_tables.h"

namespace zk::serial {

int PositionOf(std::span<const uint32_t> table, uint32_t value) {
  for (std::size_t i = 0; i < table.size(); ++i)
    if (table[i] == value) return static_cast<int>(i);
  return -1;
}

uint32_t ValueAt(std::span<const uint32_t> table, int position, int fallbackPosition) {
  if (position < 0 || static_cast<std::size_t>(position) >= table.size()) position = fallbackPosition;
  return table[static_cast<std::size_t>(position)];
}

}  // namespace zk::serial
