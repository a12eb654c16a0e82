#include "services/nv_items.h"

namespace rb310 {

const std::set<uint16_t>& DefaultNamItems() {
  // The per-NAM settings, the NAM identity, the authentication items and
  // the IMSI address number.
  static const std::set<uint16_t> items = {
      32,  33,  178, 176, 177, 10,  441, 442, 256, 258, 259, 255, 20, 21, 231, 15, 16, 17, 18,
      19,  24,  37,  34,  35,  36,  39,  285, 25,  27,  29,  31,  260, 261, 264, 265, 266, 262,
      263, 43,  13,  14,  53,  54,  66,  69,  70,  2037, 76, 169, 192, 52, 22, 23, 11, 12, 168,
      219, 209,
  };
  return items;
}

}  // namespace rb310
