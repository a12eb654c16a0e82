#include "core/transcript.h"

#include <cstdio>

namespace rb310 {
namespace {

void AppendJsonString(std::string& out, const std::string& text) {
  out += '"';
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') {
      out += '\\';
      out += c;
    } else if (byte < 0x20 || byte >= 0x7F) {
      char escaped[8];
      std::snprintf(escaped, sizeof(escaped), "\\u%04x", byte);
      out += escaped;
    } else {
      out += c;
    }
  }
  out += '"';
}

}  // namespace

std::string ToHex(std::span<const uint8_t> bytes) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  std::string text;
  text.reserve(bytes.size() * 2);
  for (const uint8_t byte : bytes) {
    text += kDigits[byte >> 4];
    text += kDigits[byte & 0x0F];
  }
  return text;
}

std::string ToJsonLine(const TranscriptEntry& entry) {
  std::string line = "{\"t_ms\":" + std::to_string(entry.timeMs) + ",\"kind\":";
  AppendJsonString(line, entry.kind);
  line += ",\"code\":";
  line += entry.code < 0 ? std::string("null") : std::to_string(entry.code);
  line += ",\"hex\":";
  AppendJsonString(line, entry.hex);
  line += ",\"answered\":";
  line += entry.answered ? "true" : "false";
  if (entry.address >= 0) line += ",\"address\":" + std::to_string(entry.address);
  if (entry.length >= 0) line += ",\"length\":" + std::to_string(entry.length);
  if (!entry.note.empty()) {
    line += ",\"note\":";
    AppendJsonString(line, entry.note);
  }
  line += '}';
  return line;
}

bool Transcript::OpenFile(const std::string& path, std::error_code& error) {
  std::lock_guard lock(mutex_);
  file_.open(path, std::ios::out | std::ios::trunc);
  if (!file_) {
    error = std::make_error_code(std::errc::io_error);
    return false;
  }
  error.clear();
  return true;
}

void Transcript::Add(TranscriptEntry entry) {
  std::lock_guard lock(mutex_);
  if (file_.is_open()) {
    // Flushed per line so that a script can follow the file while the
    // handset runs.
    file_ << ToJsonLine(entry) << '\n';
    file_.flush();
  }
  entries_.push_back(std::move(entry));
}

std::vector<TranscriptEntry> Transcript::Entries() const {
  std::lock_guard lock(mutex_);
  return entries_;
}

std::size_t Transcript::Size() const {
  std::lock_guard lock(mutex_);
  return entries_.size();
}

}  // namespace rb310
