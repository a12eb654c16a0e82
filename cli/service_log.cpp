#include "service_log.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fstream>
#include <map>

#include "platform/json_text.h"
#include "platform/local_time.h"
#include "platform/paths.h"

namespace zk::cli {
namespace {

std::string Quoted(std::string_view text) { return platform::JsonQuoted(text); }

// Reads a flat JSON object of strings and numbers, as ToJsonLine writes it.
bool ParseFlatObject(const std::string& line, std::map<std::string, std::string>& fields) {
  std::size_t at = 0;
  const auto skipBlanks = [&] {
    while (at < line.size() && (line[at] == ' ' || line[at] == '\t')) ++at;
  };
  const auto readString = [&](std::string& out) {
    if (at >= line.size() || line[at] != '"') return false;
    for (++at; at < line.size(); ++at) {
      const char c = line[at];
      if (c == '"') {
        ++at;
        return true;
      }
      if (c != '\\') {
        out += c;
        continue;
      }
      if (++at >= line.size()) return false;
      switch (line[at]) {
        case 'n': out += '\n'; break;
        case 'r': out += '\r'; break;
        case 't': out += '\t'; break;
        case 'u': {
          unsigned value = 0;
          if (at + 4 >= line.size() ||
              std::from_chars(line.data() + at + 1, line.data() + at + 5, value, 16).ec != std::errc())
            return false;
          out += static_cast<char>(value < 0x80 ? value : '?');
          at += 4;
          break;
        }
        default: out += line[at];
      }
    }
    return false;
  };
  skipBlanks();
  if (at >= line.size() || line[at++] != '{') return false;
  for (;;) {
    skipBlanks();
    std::string key, value;
    if (!readString(key)) return false;
    skipBlanks();
    if (at >= line.size() || line[at++] != ':') return false;
    skipBlanks();
    if (at < line.size() && line[at] == '"') {
      if (!readString(value)) return false;
    } else {
      while (at < line.size() && line[at] != ',' && line[at] != '}') value += line[at++];
    }
    fields[key] = value;
    skipBlanks();
    if (at >= line.size()) return false;
    if (line[at] == '}') return true;
    if (line[at++] != ',') return false;
  }
}

}  // namespace

std::filesystem::path ServiceLogPath() { return platform::Home() / "service-log.jsonl"; }

std::string ServiceTimeNow() { return platform::LocalTimeText("%Y-%m-%dT%H:%M:%S%z"); }

std::string ToJsonLine(const ServiceRecord& r) {
  char seconds[32];
  std::snprintf(seconds, sizeof(seconds), "%.1f", r.seconds);
  std::string staged;
  if (!r.softwareVersionBefore.empty()) staged += ",\"software_version_before\":" + Quoted(r.softwareVersionBefore);
  if (r.kind >= 0) staged += ",\"kind\":" + std::to_string(r.kind);
  if (!r.stages.empty()) staged += ",\"stages\":" + Quoted(r.stages);
  return "{\"time\":" + Quoted(r.time) + ",\"operation\":" + Quoted(r.operation) + ",\"port\":" + Quoted(r.port) +
         ",\"device\":" + Quoted(r.device) + ",\"arguments\":" + Quoted(r.arguments) + ",\"esn\":" + Quoted(r.esn) +
         staged + ",\"software_version\":" + Quoted(r.softwareVersion) + ",\"result\":" + std::to_string(r.result) +
         ",\"result_text\":" + Quoted(r.resultText) + ",\"seconds\":" + seconds + "}";
}

std::vector<StageTime> SplitStages(const std::string& stages) {
  std::vector<StageTime> out;
  std::size_t at = 0;
  while (at < stages.size()) {
    std::size_t end = stages.find(';', at);
    if (end == std::string::npos) end = stages.size();
    const std::string stage = stages.substr(at, end - at);
    at = end + 1;
    const std::size_t equals = stage.rfind('=');
    if (equals == std::string::npos) {
      out.push_back({stage, 0});  // a record written before stages carried their times
      continue;
    }
    out.push_back({stage.substr(0, equals), std::strtol(stage.c_str() + equals + 1, nullptr, 10)});
  }
  return out;
}

std::string ToReportJson(const ServiceRecord& r) {
  const auto number = [](double value) {
    char text[32];
    std::snprintf(text, sizeof(text), "%.1f", value);
    return std::string(text);
  };
  std::string stages;
  for (const StageTime& stage : SplitStages(r.stages))
    stages += std::string(stages.empty() ? "\n" : ",\n") + "    {\"name\": " + Quoted(stage.name) +
              ", \"seconds\": " + number(static_cast<double>(stage.ms) / 1000.0) + "}";
  return "{\n  \"time\": " + Quoted(r.time) + ",\n  \"operation\": " + Quoted(r.operation) +
         ",\n  \"port\": " + Quoted(r.port) + ",\n  \"device\": " + Quoted(r.device) +
         ",\n  \"arguments\": " + Quoted(r.arguments) + ",\n  \"kind\": " + std::to_string(r.kind) +
         ",\n  \"esn\": " + Quoted(r.esn) + ",\n  \"software_version_before\": " +
         Quoted(r.softwareVersionBefore) + ",\n  \"software_version\": " + Quoted(r.softwareVersion) +
         ",\n  \"result\": " + std::to_string(r.result) + ",\n  \"result_text\": " + Quoted(r.resultText) +
         ",\n  \"seconds\": " + number(r.seconds) + ",\n  \"stages\": [" + stages +
         (stages.empty() ? "]" : "\n  ]") + "\n}\n";
}

bool FromJsonLine(const std::string& line, ServiceRecord& r) {
  std::map<std::string, std::string> f;
  if (!ParseFlatObject(line, f) || !f.count("time") || !f.count("operation") || !f.count("result")) return false;
  r.time = f["time"];
  r.operation = f["operation"];
  r.port = f["port"];
  r.device = f["device"];
  r.arguments = f["arguments"];
  r.esn = f["esn"];
  r.softwareVersion = f["software_version"];
  r.softwareVersionBefore = f["software_version_before"];
  r.stages = f["stages"];
  if (f.count("kind") &&
      std::from_chars(f["kind"].data(), f["kind"].data() + f["kind"].size(), r.kind).ec != std::errc())
    return false;
  r.resultText = f["result_text"];
  const std::string& result = f["result"];
  if (std::from_chars(result.data(), result.data() + result.size(), r.result).ec != std::errc()) return false;
  r.seconds = std::strtod(f["seconds"].c_str(), nullptr);
  return true;
}

bool AppendServiceRecord(const ServiceRecord& record, std::string& why) {
  const auto file = ServiceLogPath();
  std::error_code error;
  std::filesystem::create_directories(file.parent_path(), error);
  const int fd = ::open(file.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
  if (fd < 0) {
    why = file.string() + ": " + std::strerror(errno);
    return false;
  }
  // The lock keeps lines of several processes whole even on file systems
  // where one appending write is not.
  ::flock(fd, LOCK_EX);
  const std::string line = ToJsonLine(record) + "\n";
  const ssize_t written = ::write(fd, line.data(), line.size());
  const int writeError = errno;
  ::flock(fd, LOCK_UN);
  ::close(fd);
  if (written != static_cast<ssize_t>(line.size())) {
    why = file.string() + ": " + std::strerror(written < 0 ? writeError : ENOSPC);
    return false;
  }
  return true;
}

std::vector<ServiceRecord> ReadServiceLog(const std::filesystem::path& file) {
  std::vector<ServiceRecord> records;
  std::ifstream in(file);
  for (std::string line; std::getline(in, line);) {
    ServiceRecord record;
    if (FromJsonLine(line, record)) records.push_back(std::move(record));
  }
  return records;
}

}  // namespace zk::cli
