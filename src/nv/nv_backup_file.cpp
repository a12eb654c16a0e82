// Encoding and decoding the .bak NV backup file.
#include "nv/nv_backup_file.h"

#include <algorithm>
#include <array>

#include "nv/nv_catalogue.h"

namespace zk::nv {
namespace {

constexpr std::size_t kRecordSize = 12;

struct ListPart {
  ListId id;
  std::span<const CatalogueItem> items;
  const char* label;
};

std::array<ListPart, 3> Parts() {
  return {ListPart{ListId::Calibration, CalibrationList(), "calibration"},
          ListPart{ListId::Settings, SettingsList(), "settings"}, ListPart{ListId::Nam, NamList(), "NAM"}};
}

void PutLe32(std::vector<uint8_t>& out, uint32_t value) {
  for (int shift = 0; shift < 32; shift += 8) out.push_back(static_cast<uint8_t>(value >> shift));
}

uint32_t Le32(std::span<const uint8_t> bytes) {
  return uint32_t{bytes[0]} | uint32_t{bytes[1]} << 8 | uint32_t{bytes[2]} << 16 | uint32_t{bytes[3]} << 24;
}

std::string ItemText(const CatalogueItem& item) { return "item " + std::to_string(item.item) + " " + item.name; }

std::string RecordText(const ListPart& part, std::size_t position) {
  return std::string(part.label) + " record " + std::to_string(position + 1);
}

}  // namespace

std::vector<uint8_t> EncodeBackupFile(const BackupContents& contents) {
  std::vector<uint8_t> out(contents.image.begin(), contents.image.end());
  out.reserve(kBackupFileSize);
  for (const auto& part : Parts()) {
    for (std::size_t i = 0; i < part.items.size(); ++i) {
      PutLe32(out, part.items[i].item);
      PutLe32(out, 0);  // the name travels by item number; readers ignore these bytes
      out.push_back(contents.flags.Get(part.id, i, 0));
      out.push_back(contents.flags.Get(part.id, i, 1));
      out.push_back(0);
      out.push_back(0);
    }
  }
  return out;
}

DecodedBackup DecodeBackupFile(std::span<const uint8_t> bytes) {
  DecodedBackup result;
  if (bytes.size() != kBackupFileSize) {
    result.problem = "is " + std::to_string(bytes.size()) + " bytes, an NV backup file has " +
                     std::to_string(kBackupFileSize);
    return result;
  }
  std::copy_n(bytes.begin(), kImageSize, result.contents.image.begin());
  std::size_t at = kImageSize;
  for (const auto& part : Parts()) {
    for (std::size_t i = 0; i < part.items.size(); ++i, at += kRecordSize) {
      const auto record = bytes.subspan(at, kRecordSize);
      const uint32_t item = Le32(record);
      if (item != part.items[i].item) {
        result.problem = RecordText(part, i) + " names item " + std::to_string(item) + " where " +
                         ItemText(part.items[i]) + " belongs: not a backup of this handset model";
        return result;
      }
      const bool perNam = part.id == ListId::Nam;
      for (int index = 0; index < kNamCount; ++index) {
        const uint8_t flag = record[8 + index];
        const bool allowed = flag == 0 || (flag == 1 && (index == 0 || perNam));
        if (!allowed) {
          result.problem = RecordText(part, i) + " (" + ItemText(part.items[i]) + ") has read flag " +
                           std::to_string(index) + " = " + std::to_string(flag) + ": the file is damaged";
          return result;
        }
        result.contents.flags.Set(part.id, i, index, flag);
      }
    }
  }
  result.ok = true;
  return result;
}

}  // namespace zk::nv
