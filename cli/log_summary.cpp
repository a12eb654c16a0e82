#include "log_summary.h"

#include <algorithm>
#include <cctype>
#include <map>
#include <utility>

#include "platform/local_time.h"

namespace zk::cli {
namespace {

std::string LocalDay(std::time_t when) { return platform::LocalTimeText("%Y-%m-%d", when); }

bool IsDate(const std::string& text) {
  if (text.size() != 10 || text[4] != '-' || text[7] != '-') return false;
  for (const std::size_t i : {0, 1, 2, 3, 5, 6, 8, 9})
    if (!std::isdigit(static_cast<unsigned char>(text[i]))) return false;
  const int month = std::stoi(text.substr(5, 2));
  const int day = std::stoi(text.substr(8, 2));
  return month >= 1 && month <= 12 && day >= 1 && day <= 31;
}

std::string Upper(std::string text) {
  for (auto& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return text;
}

}  // namespace

std::optional<std::string> SinceDay(const std::string& text, std::time_t now) {
  const std::string word = Upper(text);
  if (word == "TODAY") return LocalDay(now);
  if (word == "YESTERDAY") return LocalDay(now - 24 * 60 * 60);
  if (IsDate(text)) return text;
  return std::nullopt;
}

std::vector<ServiceRecord> RecordsSince(const std::vector<ServiceRecord>& records, const std::string& day) {
  std::vector<ServiceRecord> kept;
  // Records are stamped "YYYY-MM-DDThh:mm:ss+zzzz" in local time: the day
  // compares as text.
  for (const auto& record : records)
    if (record.time.compare(0, day.size(), day) >= 0) kept.push_back(record);
  return kept;
}

std::vector<SummaryRow> SummariseRecords(const std::vector<ServiceRecord>& records) {
  // "done" sorts before every "failed ..." key.
  std::map<std::pair<std::string, std::string>, SummaryRow> rows;
  for (const auto& record : records) {
    const std::string result = record.result == 1 ? "done" : "failed " + std::to_string(record.result);
    auto& row = rows[{record.operation, record.result == 1 ? std::string() : result}];
    row.operation = record.operation;
    row.result = result;
    ++row.handsets;
    row.seconds += record.seconds;
  }
  std::vector<SummaryRow> ordered;
  for (auto& [key, row] : rows) ordered.push_back(std::move(row));
  return ordered;
}

}  // namespace zk::cli
