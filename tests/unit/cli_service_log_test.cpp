// The service log's lines: written and read back whole, also by several
// writers at once.
#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "cli/service_log.h"
#include "support/temp_home.h"

namespace {

using zk::cli::ServiceRecord;

TEST(ServiceLog, RecordsSurviveTheRoundTripWithAwkwardTexts) {
  ServiceRecord record;
  record.time = "2026-12-08T08:30:01+0000";
  record.operation = "prl-write";
  record.port = "COM5";
  record.device = "/dev/pts/3";
  record.arguments = "prl-write --port COM5 \"my list.prl\" C:\\lists\\a.prl";
  record.esn = "9F3A2C41";
  record.result = 405043;
  record.resultText = "405043 'PRLDownloadProc' Function in PRL Download \u2014 Can't write\r\nprl file\tto phone.";
  record.seconds = 12.26;
  const std::string line = zk::cli::ToJsonLine(record);
  EXPECT_EQ(line.find('\n'), std::string::npos);
  ServiceRecord back;
  ASSERT_TRUE(zk::cli::FromJsonLine(line, back)) << line;
  EXPECT_EQ(back.arguments, record.arguments);
  EXPECT_EQ(back.resultText, record.resultText);
  EXPECT_EQ(back.result, 405043);
  EXPECT_EQ(back.esn, "9F3A2C41");
  EXPECT_DOUBLE_EQ(back.seconds, 12.3);  // kept to a tenth
  for (const char* broken : {"", "{", "{\"time\":\"x\"}", "not json", "{\"time\":\"x\",\"operation\":\"y\",\"result\":z}"})
    EXPECT_FALSE(zk::cli::FromJsonLine(broken, back)) << broken;
}

TEST(ServiceLog, WritersAtOnceKeepEveryLineWhole) {
  zk::test::TempHome home;
  constexpr int kWriters = 4, kEach = 60;
  std::vector<std::thread> writers;
  for (int w = 0; w < kWriters; ++w)
    writers.emplace_back([w] {
      for (int i = 0; i < kEach; ++i) {
        ServiceRecord record;
        record.time = zk::cli::ServiceTimeNow();
        record.operation = "prl-read";
        record.port = "COM" + std::to_string(w + 1);
        record.arguments = std::string(300, 'a' + static_cast<char>(w));  // long lines
        record.result = i;
        std::string why;
        ASSERT_TRUE(zk::cli::AppendServiceRecord(record, why)) << why;
      }
    });
  for (auto& writer : writers) writer.join();
  const auto records = zk::cli::ReadServiceLog(zk::cli::ServiceLogPath());
  ASSERT_EQ(records.size(), static_cast<std::size_t>(kWriters * kEach));
  for (const auto& record : records) EXPECT_EQ(record.arguments.size(), 300u);
}

}  // namespace
