// The stage report as the host's buffers see it, and the image name and
// version rules of the binary download.
#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <string>
#include <vector>

#include "flash/image_rules.h"
#include "flash/stage_report.h"

namespace {

using zk::flash::StageReport;

// Host buffers with a guard band behind each block: nothing may land there.
struct HostBuffers {
  static constexpr std::size_t kGuard = 64;
  int count = -1;
  std::array<unsigned char, StageReport::kBlockSize + kGuard> names{}, times{};
  HostBuffers() {
    names.fill(0xEE);
    times.fill(0xEE);
  }
  StageReport::HostCells Cells() { return {&count, names.data(), times.data()}; }
  std::string Name(std::size_t slot) const { return reinterpret_cast<const char*>(names.data() + slot * 100); }
  std::string Time(std::size_t slot) const { return reinterpret_cast<const char*>(times.data() + slot * 100); }
  bool GuardsIntact() const {
    for (std::size_t i = StageReport::kBlockSize; i < names.size(); ++i)
      if (names[i] != 0xEE || times[i] != 0xEE) return false;
    return true;
  }
};

TEST(StageReport, ARunWritesEachNameAndThePreviousStagesDuration) {
  StageReport report;
  HostBuffers host;
  // Entered at these clock readings (ms); the repeated name is recorded once.
  const std::vector<std::pair<const char*, int64_t>> entries = {
      {"DXX01", 1000}, {"DXX05", 3500}, {"DXX05", 9000}, {"DownLoadThread", 62000},
      {"DXX02", 62000 + 125999}, {"DXX06", 62000 + 125999 + 60000}, {" Mode Reset", 250000}, {"END", 250999}};
  for (const auto& [name, at] : entries) report.Enter(name, at, host.Cells());

  const char* names[] = {"DXX01", "DXX05", "DownLoadThread", "DXX02", "DXX06", " Mode Reset", "END"};
  // 2.5 s, 58.5 s, 125.999 s, exactly 60 s, 2.001 s, 0.999 s.
  const char* times[] = {"0002", "0058", "0205", "0100", "0002", "0000", ""};
  EXPECT_EQ(host.count, 7);
  for (std::size_t slot = 0; slot < 7; ++slot) {
    EXPECT_EQ(host.Name(slot), names[slot]) << slot;
    EXPECT_EQ(host.Time(slot), times[slot]) << slot;
  }
}

TEST(StageReport, StagesPastTheTenthAreCountedButNeverWrittenPastTheBuffers) {
  StageReport report;
  HostBuffers host;
  for (int i = 0; i < 25; ++i) report.Enter("S" + std::to_string(i), i * 1000, host.Cells());
  EXPECT_EQ(host.count, 25);
  EXPECT_TRUE(host.GuardsIntact());
  EXPECT_EQ(host.Name(9), "S9");
  EXPECT_EQ(host.Time(9), "0001");  // written when the eleventh was entered
  EXPECT_EQ(report.NameAt(10), "");
}

TEST(StageReport, WithoutHostCellsOnlyTheRecordMoves) {
  StageReport report;
  report.Enter("DXX01", 0, {});
  report.Enter("DXX05", 61000, {});
  EXPECT_EQ(report.count(), 2);
  EXPECT_EQ(report.TimeAt(0), "0101");
}

TEST(ImageRules, TheNameRuleLooksAtTheFileNameOnlyInAnyCase) {
  const struct {
    const char* path;
    bool accepted;
  } cases[] = {
      {"/images/RB31VV12.BIN", true},   {"C:\\images\\rb31vv12.bin", true}, {"rB31Vv", true},
      {"/images/RB31V.BIN", false},     {"/RB31VV/other.bin", false},       {"C:\\RB31VV\\x.bin", false},
      {"", false},                      {"/images/XRB31VV.BIN", false},
  };
  for (const auto& c : cases) EXPECT_EQ(zk::flash::ImageNameHasPrefix(c.path, "RB31VV"), c.accepted) << c.path;
}

TEST(ImageRules, AnImageNamesItsVersionOnlyThroughTheWholeTag) {
  const auto bytes = [](const std::string& s) { return std::vector<uint8_t>(s.begin(), s.end()); };
  EXPECT_EQ(zk::flash::ImageVersion(bytes("RB310VER=R310V200...")), "R310V200");
  EXPECT_EQ(zk::flash::ImageVersion(bytes("RB310VER=R310V2")), std::nullopt);
  EXPECT_EQ(zk::flash::ImageVersion(bytes("RB310VEX=R310V200")), std::nullopt);
  EXPECT_EQ(zk::flash::ImageVersion({}), std::nullopt);

  EXPECT_TRUE(zk::flash::LabelCarriesVersion("R310V200_07", "R310V200"));
  EXPECT_FALSE(zk::flash::LabelCarriesVersion("R310V105_07", "R310V200"));
  EXPECT_FALSE(zk::flash::LabelCarriesVersion("R310V2000_7", "R310V200"));
  EXPECT_FALSE(zk::flash::LabelCarriesVersion("R310V200", "R310V200"));
}

}  // namespace
