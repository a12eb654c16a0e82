#include "services/nv_seed.h"

#include <algorithm>
#include <string_view>
#include <vector>

#include "services/nv_seed_table.h"

namespace rb310 {
namespace {

using Value = std::vector<uint8_t>;

// The directory numbers of NAM 0 and NAM 1.
constexpr std::string_view kAreaCode[] = {"858", "619"};
constexpr std::string_view kNumber[] = {"5550134", "5550177"};

Value Le(uint32_t value, std::size_t bytes) {
  Value out;
  for (std::size_t i = 0; i < bytes; ++i) out.push_back(static_cast<uint8_t>(value >> (8 * i)));
  return out;
}

Value Text(std::string_view text) { return Value(text.begin(), text.end()); }

Value Concat(Value a, const Value& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

// Mobile-identity digit groups: each digit 1..9 as itself and 0 as 10, a
// group of three as 100*d1 + 10*d2 + d3 - 111.
uint32_t DigitValue(char digit) { return digit == '0' ? 10u : static_cast<uint32_t>(digit - '0'); }
uint32_t ThreeDigits(std::string_view d) {
  return 100 * DigitValue(d[0]) + 10 * DigitValue(d[1]) + DigitValue(d[2]) - 111;
}
uint32_t Min1(int nam) {
  const std::string_view n = kNumber[nam];
  return ThreeDigits(n.substr(0, 3)) << 14 | DigitValue(n[3]) << 10 | ThreeDigits(n.substr(4, 3));
}
uint32_t Min2(int nam) { return ThreeDigits(kAreaCode[nam]); }

// Reproducible table bytes: calibration curves and other opaque blocks.
Value TableBytes(uint16_t item, int nam, std::size_t size) {
  uint32_t state = item * 2654435761u + static_cast<uint32_t>(nam + 1) * 40503u;
  Value out(size);
  for (auto& byte : out) {
    state = state * 1664525u + 1013904223u;
    byte = static_cast<uint8_t>(state >> 24);
  }
  return out;
}

Value DialEntry() {
  Value out{0, 1, 0, 0, 0, 0, 3};  // address, status, time stamp, digit count
  Value digits = Text("611");
  digits.resize(32);
  Value letters = Text("CUSTOMER SVC");
  return Concat(Concat(out, digits), letters);
}

// Values a technician would recognise; nullopt for everything else.
std::optional<Value> KnownValue(uint16_t item, int nam, uint32_t esn) {
  const std::string number = std::string(kAreaCode[nam]) + std::string(kNumber[nam]);
  switch (item) {
    case 0: return Le(esn, 4);
    case 2: return Value{1};
    case 3: return Value{5};
    case 4: return Value{0xEA};  // station class mark: dual mode, slotted
    case 7: return Le(0x0105, 2);
    case 114: return Text("RB310 TRI MODE LINE 3 2006-11-14");
    case 568: return Text("R310V105");
    case 569: return Text("CAL 2.4");
    case 570: return Text("RF 1.1");
    case 571:
    case 572: return Le(0x45598B00, 4);  // 2006-11-14
    case 573: return Text("rb310_cal.dat");
    case 71: return Text("RB310");
    case 2036: return Text("Tri Mode");
    case 43: return Text(nam == 0 ? "NAM 1" : "NAM 2");
    case 82: return Text("0000");
    case 85:
    case 2311:
    case 184:
    case 219: return Text("000000");
    case 57: return DialEntry();
    case 2019: return Text("911");
    case 2020: return Text("*911");
    case 2021: return Text("112");
    case 298: return Concat(Value{4}, Text("#777"));
    case 318:
    case 911: return Concat(Value{20}, Text("user@carrier.example"));
    case 906: return Concat(Value{6}, Text("secret"));
    case 2178: return Text("http://mms.carrier.example/mms");
    case 2185: return Text("http://uaprof.example/rb310.xml");
    case 2180: return Text("POST");
    case 2201:
    case 2202: return Text("brew.carrier.example");
    case 2345:
    case 2346: return Text("ptt.carrier.example");
    case 423: return Value{10, 0, 0, 1};
    case 424: return Value{10, 0, 0, 2};
    case 6: return Value{6};  // air interface revision: IS-2000
    case 38: return Value{1, 1, 0, 0};
    case 86:
    case 186:
    case 222: return Value{0};  // switched off, no standing alarm
    case 185: return Le(0, 2);    // no alarms set
    case 187: return Text("0000");
    case 209: return Value{0xFF};  // class 0 IMSI: no address number
    case 319: return Text("secret");
    case 2159: return Value{};  // no broadcast text
    case 2100: return Le(10041, 2);
    case 2101: return Le(7, 2);
    // NAM programming
    case 27:
    case 29: return TableBytes(item, nam, 8);
    case 31: return Value{3};
    case 32: return Concat(Le(Min1(nam), 4), Le(Min1(nam), 4));
    case 33: return Concat(Le(Min2(nam), 2), Le(Min2(nam), 2));
    case 37: {
      const uint8_t accolc = static_cast<uint8_t>(number.back() - '0');
      return Value{accolc, accolc};
    }
    case 176:
    case 264: return Le(ThreeDigits("310"), 2);
    case 177:
    case 265: return Value{99};  // network code 00
    case 178: return Text(number);
    case 262: return Le(Min1(nam), 4);
    case 263: return Le(Min2(nam), 2);
    case 20: return Concat(Le(283, 2), Le(384, 2));
    case 21: return Concat(Le(691, 2), Le(777, 2));
    case 259: return Concat(Le(nam == 0 ? 4139 : 4183, 2), Le(65535, 2));
    default: return std::nullopt;
  }
}

const NvSeedItem* FindRow(uint16_t item) {
  for (const auto& row : NvSeedItems())
    if (row.item == item) return &row;
  return nullptr;
}

}  // namespace

std::optional<NvData> SeedValue(uint16_t item, int index, const NvSeedSource& source) {
  // The A-key is the handset's secret: it is never given out.
  if (item == 25) return std::nullopt;
  const NvSeedItem* row = FindRow(item);
  if (row == nullptr) return std::nullopt;
  // The ESN is burned before calibration and stays.
  if (row->calibration && !source.calibrated && item != 0) return std::nullopt;
  const int nam = std::max(index, 0);
  Value value;
  if (auto known = KnownValue(item, nam, source.esn)) {
    value = std::move(*known);
  } else if (row->calibration || row->size > 4) {
    value = TableBytes(item, nam, row->size);
  } else {
    value = Le(1u + item % 7u + static_cast<uint32_t>(nam), row->size);  // levels, switches, modes
  }
  value.resize(row->size);  // never more than a backup keeps
  NvData data{};
  const std::size_t lead = row->perNam ? 1 : 0;
  if (row->perNam) data[0] = static_cast<uint8_t>(nam);
  std::copy(value.begin(), value.end(), data.begin() + static_cast<std::ptrdiff_t>(lead));
  return data;
}

}  // namespace rb310
