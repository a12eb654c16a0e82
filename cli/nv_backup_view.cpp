#include "nv_backup_view.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>

namespace zk::cli {
namespace {

namespace fs = std::filesystem;

std::string Hex(std::span<const uint8_t> bytes) {
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string text;
  text.reserve(bytes.size() * 2);
  for (const uint8_t byte : bytes) {
    text.push_back(kDigits[byte >> 4]);
    text.push_back(kDigits[byte & 0xF]);
  }
  return text;
}

void AddEntries(std::vector<NvEntry>& out, const nv::BackupContents& contents, nv::ListId list,
                std::span<const nv::CatalogueItem> items, bool perNam) {
  for (std::size_t i = 0; i < items.size(); ++i) {
    const int first = perNam ? 0 : nv::kNoNam;
    const int last = perNam ? nv::kNamCount - 1 : nv::kNoNam;
    for (int nam = first; nam <= last; ++nam)
      out.push_back({items[i].item, items[i].name, nam, contents.flags.Get(list, i, nam == nv::kNoNam ? 0 : nam) == 1,
                     Hex(nv::ValueBytes(contents.image, items[i].item, nam))});
  }
}

std::string NamText(int nam) { return nam == nv::kNoNam ? "-" : std::to_string(nam); }

}  // namespace

LoadedBackup LoadBackupFile(const std::string& path) {
  LoadedBackup result;
  std::error_code error;
  const auto status = fs::status(path, error);
  if (!fs::exists(status)) {
    result.problem = path + " does not exist";
    return result;
  }
  if (!fs::is_regular_file(status)) {
    result.problem = path + " is not a regular file";
    return result;
  }
  // Judge the size before reading: a wrong file may be large.
  const auto size = fs::file_size(path, error);
  if (!error && size != nv::kBackupFileSize) {
    result.problem = path + " is " + std::to_string(size) + " bytes, an NV backup file has " +
                     std::to_string(nv::kBackupFileSize);
    return result;
  }
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    result.problem = path + " cannot be read";
    return result;
  }
  const std::vector<uint8_t> bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  auto decoded = nv::DecodeBackupFile(bytes);
  if (!decoded.ok) {
    result.problem = path + ": " + decoded.problem;
    return result;
  }
  result.contents = std::move(decoded.contents);
  return result;
}

std::vector<NvEntry> BackupEntries(const nv::BackupContents& contents) {
  std::vector<NvEntry> entries;
  entries.reserve(nv::kFullPassSteps);
  AddEntries(entries, contents, nv::ListId::Calibration, nv::CalibrationList(), false);
  AddEntries(entries, contents, nv::ListId::Settings, nv::SettingsList(), false);
  AddEntries(entries, contents, nv::ListId::Nam, nv::NamList(), true);
  return entries;
}

std::string EntriesTable(const std::vector<NvEntry>& entries) {
  std::string text;
  std::size_t read = 0;
  char line[160];
  std::snprintf(line, sizeof line, "%5s  %-44s %3s  %-4s  %s\n", "item", "name", "NAM", "read", "value");
  text += line;
  for (const auto& e : entries) {
    std::snprintf(line, sizeof line, "%5u  %-44s %3s  %-4s  ", unsigned{e.item}, e.name, NamText(e.nam).c_str(),
                  e.read ? "yes" : "no");
    text += line;
    text += e.read ? e.valueHex : "not read";
    text += '\n';
    read += e.read ? 1 : 0;
  }
  text += std::to_string(read) + " of " + std::to_string(entries.size()) + " entries read\n";
  return text;
}

std::string EntriesJson(const std::vector<NvEntry>& entries) {
  std::string text = "[";
  for (std::size_t i = 0; i < entries.size(); ++i) {
    const auto& e = entries[i];
    text += i == 0 ? "\n" : ",\n";
    text += "  {\"item\": " + std::to_string(e.item) + ", \"name\": \"" + e.name + "\", \"nam\": " +
            (e.nam == nv::kNoNam ? std::string("null") : std::to_string(e.nam)) +
            ", \"read\": " + (e.read ? "true" : "false") + ", \"value\": \"" + e.valueHex + "\"}";
  }
  text += "\n]\n";
  return text;
}

std::vector<std::string> DiffEntries(const std::vector<NvEntry>& a, const std::vector<NvEntry>& b) {
  std::vector<std::string> lines;
  const auto side = [](const NvEntry& e) { return e.read ? e.valueHex : std::string("not read"); };
  for (std::size_t i = 0; i < a.size() && i < b.size(); ++i) {
    const bool differs = a[i].read != b[i].read || ((a[i].read || b[i].read) && a[i].valueHex != b[i].valueHex);
    if (!differs) continue;
    std::string line = "item " + std::to_string(a[i].item) + " " + a[i].name;
    if (a[i].nam != nv::kNoNam) line += " NAM " + std::to_string(a[i].nam);
    line += ": A " + side(a[i]) + ", B " + side(b[i]);
    lines.push_back(std::move(line));
  }
  return lines;
}

}  // namespace zk::cli
