// Totals of the service log over a production day or more: per operation,
// how many handsets ended how.
#pragma once

#include <ctime>
#include <optional>
#include <string>
#include <vector>

#include "service_log.h"

namespace zk::cli {

struct SummaryRow {
  std::string operation;
  std::string result;  // "done" or "failed 702047"
  int handsets = 0;
  double seconds = 0;  // all their operations together
};

// The first day to count, "YYYY-MM-DD": TODAY and YESTERDAY (local time at
// `now`) or a date as written. nullopt for anything else.
std::optional<std::string> SinceDay(const std::string& text, std::time_t now);

// The records stamped on `day` or later.
std::vector<ServiceRecord> RecordsSince(const std::vector<ServiceRecord>& records, const std::string& day);

// One row per operation and result, operations in name order, "done" first.
std::vector<SummaryRow> SummariseRecords(const std::vector<ServiceRecord>& records);

}  // namespace zk::cli
