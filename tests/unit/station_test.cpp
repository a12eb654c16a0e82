// The service station's pure parts: event lines, a port's state from its
// worker's events, and the service log's day totals.
#include <gtest/gtest.h>

#include "cli/log_summary.h"
#include "cli/station_port.h"
#include "ui/event_line.h"

namespace {

using zk::cli::StationPort;

TEST(StationEvents, AnyTextTravelsWholeInOneLine) {
  const std::vector<std::string> fields{"error", "702047", "Location : a\tb\r\n\r\nContents : c\\d", ""};
  const std::string line = zk::ui::EncodeEventLine(fields);
  ASSERT_EQ(line.find('\n'), line.size() - 1);
  EXPECT_EQ(zk::ui::DecodeEventLine(std::string_view(line).substr(0, line.size() - 1)), fields);
  // A stray backslash stands for itself.
  EXPECT_EQ(zk::ui::DecodeEventLine("a\\x\\"), (std::vector<std::string>{"a\\x\\"}));
}

TEST(StationEvents, APortFollowsItsWorkerAndCountsHandsets) {
  StationPort port;
  zk::cli::BeginHandset(port);
  EXPECT_TRUE(zk::cli::ApplyEvent(port, {"stage", "DXX05"}));
  EXPECT_TRUE(zk::cli::ApplyEvent(port, {"text", "status", "NV Reading..."}));
  EXPECT_FALSE(zk::cli::ApplyEvent(port, {"text", "status", "NV Reading..."}));
  EXPECT_FALSE(zk::cli::ApplyEvent(port, {"bar", "0", "514", "514", "  100%  "}));
  EXPECT_FALSE(zk::cli::ApplyEvent(port, {"text"}));  // short events change nothing and do not crash
  EXPECT_FALSE(zk::cli::ApplyEvent(port, {}));
  EXPECT_EQ(port.stage, "DXX05");
  EXPECT_EQ(port.percent, "100%");

  EXPECT_EQ(zk::cli::WorkerResultText(port, 0), "done");
  EXPECT_EQ(zk::cli::WorkerResultText(port, 1), "failed (exit 1)");
  EXPECT_EQ(zk::cli::WorkerResultText(port, -9), "worker died (signal 9)");
  zk::cli::ApplyEvent(port, {"error", "702047", "Location : 'Read_NV' Function in NV Edit\r\n\r\nContents : No Response\r\n"});
  EXPECT_EQ(zk::cli::WorkerResultText(port, 1), "failed 702047");
  EXPECT_EQ(port.failureText, "No Response");

  zk::cli::EndHandset(port, false, "failed 702047");
  zk::cli::BeginHandset(port);
  EXPECT_EQ(port.failureCode, 0) << "the next handset starts clean";
  EXPECT_TRUE(port.failureText.empty());
  EXPECT_TRUE(port.stage.empty());
  zk::cli::EndHandset(port, true, "done");
  EXPECT_EQ(port.served, 2);
  EXPECT_EQ(port.failed, 1);
}

zk::cli::ServiceRecord Record(const std::string& time, const std::string& operation, int result, double seconds) {
  zk::cli::ServiceRecord record;
  record.time = time;
  record.operation = operation;
  record.result = result;
  record.seconds = seconds;
  return record;
}

TEST(LogSummary, TotalsADayPerOperationAndResult) {
  const std::vector<zk::cli::ServiceRecord> log{
      Record("2026-12-07T23:59:59+0100", "upgrade", 1, 100),  // the day before
      Record("2026-12-08T08:00:00+0100", "upgrade", 1, 80),   Record("2026-12-08T08:05:00+0100", "upgrade", 113002, 9),
      Record("2026-12-08T08:06:00+0100", "upgrade", 1, 90),   Record("2026-12-08T09:00:00+0100", "prl-write", 1, 12)};
  const auto day = zk::cli::RecordsSince(log, "2026-12-08");
  ASSERT_EQ(day.size(), 4u);
  const auto rows = zk::cli::SummariseRecords(day);
  ASSERT_EQ(rows.size(), 3u);
  EXPECT_EQ(rows[0].operation, "prl-write");
  EXPECT_EQ(rows[1].result, "done");
  EXPECT_EQ(rows[1].handsets, 2);
  EXPECT_DOUBLE_EQ(rows[1].seconds, 170);
  EXPECT_EQ(rows[2].result, "failed 113002");

  const std::time_t noon = 1796731200;  // 2026-12-08 12:00 UTC
  setenv("TZ", "UTC", 1);
  tzset();
  EXPECT_EQ(zk::cli::SinceDay("today", noon), "2026-12-08");
  EXPECT_EQ(zk::cli::SinceDay("YESTERDAY", noon), "2026-12-07");
  EXPECT_EQ(zk::cli::SinceDay("2026-11-30", noon), "2026-11-30");
  for (const char* bad : {"2026-13-01", "2026-1-01", "last week", ""}) EXPECT_FALSE(zk::cli::SinceDay(bad, noon)) << bad;
}

}  // namespace
