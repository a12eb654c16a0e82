// The file-system exports as a host calls them: libzkdownload.so through
// dlopen, a real rb310-sim process whose file system the test fills.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "support/library_loader.h"
#include "support/sim_process.h"
#include "support/temp_home.h"
#include "zkdownload/zkdownload.h"

namespace {

namespace fs = std::filesystem;
using zk::test::Resolve;

using ListFn = int (*)(short, const char*, int, ZkEfsEntry*, int, int*);
using CopyFn = int (*)(short, const char*, const char*);
using LastResultFn = int (*)();

constexpr short kPortIndex = 4;  // COM5

class EfsExports : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_NE(zk::test::LoadedLibrary(), nullptr);
    list_ = Resolve<ListFn>("EfsList_Interface");
    get_ = Resolve<CopyFn>("EfsGet_Interface");
    put_ = Resolve<CopyFn>("EfsPut_Interface");
    lastResult_ = Resolve<LastResultFn>("GetLastResult_Interface");
    ASSERT_TRUE(list_ && get_ && put_ && lastResult_);
    const fs::path efs = home_.path() / "state" / "efs";
    fs::create_directories(efs / "a" / "b");
    std::ofstream(efs / "a" / "one.bin") << std::string(600, 'x');
    std::ofstream(efs / "a" / "b" / "two.bin") << "two";
    std::string error;
    ASSERT_TRUE(sim_.Start({"--port", "COM5", "--state", (home_.path() / "state").string()}, error)) << error;
  }

  zk::test::TempHome home_;
  zk::test::SimProcess sim_;
  ListFn list_ = nullptr;
  CopyFn get_ = nullptr, put_ = nullptr;
  LastResultFn lastResult_ = nullptr;
};

TEST_F(EfsExports, ListingFillsWhatFitsAndCountsEverything) {
  int count = -1;
  ASSERT_EQ(list_(kPortIndex, "/a", 1, nullptr, 0, &count), 1) << lastResult_();
  EXPECT_EQ(count, 3);
  std::vector<ZkEfsEntry> entries(2);
  ASSERT_EQ(list_(kPortIndex, "/a", 1, entries.data(), 2, &count), 1);
  EXPECT_EQ(count, 3);
  entries.resize(3);
  ASSERT_EQ(list_(kPortIndex, "/a", 1, entries.data(), 3, &count), 1);
  std::vector<std::string> seen;
  for (const ZkEfsEntry& entry : entries)
    seen.push_back(std::string(entry.path) + ":" + std::to_string(entry.type) + ":" + std::to_string(entry.size));
  std::sort(seen.begin(), seen.end());
  EXPECT_EQ(seen, (std::vector<std::string>{"/a/b/two.bin:0:3", "/a/b:1:0", "/a/one.bin:0:600"}));
}

TEST_F(EfsExports, FailuresGiveTheirCodeAndReleaseThePort) {
  const fs::path pc = home_.path() / "got.bin";
  EXPECT_EQ(get_(kPortIndex, "/a/none.bin", pc.c_str()), 0);
  EXPECT_EQ(lastResult_(), 803060);
  EXPECT_FALSE(fs::exists(pc));
  EXPECT_EQ(put_(kPortIndex, (home_.path() / "absent").c_str(), "/a/x.bin"), 0);
  EXPECT_EQ(lastResult_(), 804062);
  EXPECT_EQ(list_(kPortIndex, "relative", 0, nullptr, 0, nullptr), 0);
  EXPECT_EQ(lastResult_(), 802060);
  // The port was given back after the failure: the next call opens it.
  ASSERT_EQ(get_(kPortIndex, "/a/b/two.bin", pc.c_str()), 1) << lastResult_();
  std::ifstream in(pc);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "two");
}

}  // namespace
