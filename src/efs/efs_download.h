// CEfsDownload: copies the handset's file system to a PC directory and
// writes such a directory back to the handset.
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <vector>

class CEfsDownload {
 public:
  // One directory of a tree being copied: its path relative to the copy's
  // root ("/" between components) and the regular files directly in it.
  struct Record {
    std::string m_path;
    std::vector<std::string> m_files;
  };
  static constexpr std::size_t kRecordCount = 24;

  CEfsDownload() = default;
  CEfsDownload(const CEfsDownload&) = delete;
  CEfsDownload& operator=(const CEfsDownload&) = delete;

  std::array<Record, kRecordCount> m_records;
  std::vector<std::string> m_texts;
};

extern CEfsDownload g_efsDownload;
