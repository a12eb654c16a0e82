// The platform layer: host paths, the time scale, the port map, the profile
// and starting helper programs.
#include <gtest/gtest.h>
#include <signal.h>
#include <stdlib.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <fstream>
#include <limits>
#include <thread>
#include <vector>

#include "platform/atomic_file.h"
#include "platform/cancel.h"
#include "platform/clock.h"
#include "platform/library_state.h"
#include "platform/paths.h"
#include "platform/port_map.h"
#include "platform/process.h"
#include "platform/profile.h"
#include "support/temp_home.h"

namespace {

using namespace std::chrono_literals;
namespace fs = std::filesystem;
using namespace zk::platform;

TEST(HostPaths, EitherSeparatorCounts) {
  EXPECT_EQ(DirectoryOf("C:\\Zekatron\\ZKDownload\\ZKDownload.dll"), "C:\\Zekatron\\ZKDownload");
  EXPECT_EQ(DirectoryOf("/opt/zk/lib/libzkdownload.so"), "/opt/zk/lib");
  EXPECT_EQ(DirectoryOf("/opt/zk\\lib.so"), "/opt/zk");
  EXPECT_EQ(DirectoryOf("C:\\data/images/boot.bin"), "C:\\data/images");
  EXPECT_EQ(DirectoryOf("lib.so"), "");
  EXPECT_EQ(FileNameOf("C:\\images\\RB310.bin"), "RB310.bin");
  EXPECT_EQ(FileNameOf("dir/sub\\name.prl"), "name.prl");
  EXPECT_EQ(FileNameOf("name.prl"), "name.prl");
  EXPECT_EQ(FileNameOf("dir/"), "");
}

TEST(HostPaths, JoinBuildsWithSlash) {
  EXPECT_EQ(JoinHostPath("C:\\dir", "a.txt"), "C:\\dir/a.txt");
  EXPECT_EQ(JoinHostPath("/dir/", "a.txt"), "/dir/a.txt");
  EXPECT_EQ(JoinHostPath("C:\\dir\\", "a.txt"), "C:\\dir\\a.txt");
  EXPECT_EQ(JoinHostPath("", "a.txt"), "a.txt");
}

TEST(HomeDirectory, FromTheVariableElseUnderHome) {
  {
    zk::test::TempHome home;
    EXPECT_EQ(Home(), home.path());
  }
  zk::test::ScopedEnv unset("ZKDOWNLOAD_HOME", nullptr);
  if (const char* user = getenv("HOME"); user != nullptr && *user != '\0') {
    EXPECT_EQ(Home(), fs::path(user) / ".zkdownload");
  }
}

class TimeScaleTest : public ::testing::Test {
 protected:
  void SetUp() override { saved_ = TimeScale(); }
  void TearDown() override { SetTimeScale(saved_); }
  double saved_ = 1.0;
};

TEST_F(TimeScaleTest, ScalesWaitsAndRejectsNonsense) {
  SetTimeScale(0.02);
  EXPECT_EQ(Scaled(2000), 40ms);
  EXPECT_EQ(Scaled(25), 1ms);  // 0.5 rounds up
  EXPECT_EQ(Scaled(0), 0ms);
  EXPECT_EQ(Scaled(-100), 0ms);
  for (const double bad : {0.0, -1.0, std::nan(""), std::numeric_limits<double>::infinity()}) {
    SetTimeScale(bad);
    EXPECT_EQ(TimeScale(), 0.02) << bad;
  }
  SetTimeScale(1.0);
  EXPECT_EQ(Scaled(20000), 20000ms);
}

TEST_F(TimeScaleTest, DeadlineRunsOnScaledTime) {
  SetTimeScale(0.01);
  const Deadline soon(100);  // 1 ms
  const Deadline far(10'000'000);
  EXPECT_EQ(far.RemainingMs(50), 50);
  EXPECT_FALSE(far.Expired());
  EXPECT_EQ(Deadline(0).RemainingMs(50), 0);
  std::this_thread::sleep_for(5ms);
  EXPECT_TRUE(soon.Expired());
  EXPECT_EQ(soon.RemainingMs(50), 0);
}

// A recorder writes down the unscaled requests of every thread, can keep
// them from sleeping, and a nested one stands in for the outer one.
TEST_F(TimeScaleTest, WaitRecorderRecordsRequestsUnscaled) {
  SetTimeScale(1.0);
  WaitRecorder outer(false);
  const auto start = Clock::now();
  SleepMs(20000);
  std::thread([] { SleepMs(600); }).join();
  {
    SetTimeScale(0.01);
    WaitRecorder inner;
    SleepMs(300);  // 3 ms, slept
    EXPECT_EQ(inner.Waits(), (std::vector<int64_t>{300}));
  }
  SleepMs(0);
  EXPECT_LT(Clock::now() - start, 1000ms);  // only the inner wait was slept
  EXPECT_EQ(outer.Waits(), (std::vector<int64_t>{20000, 600, 0}));
  outer.Clear();
  EXPECT_TRUE(outer.Waits().empty());
}

// A cancel from another thread ends a long wait at once, keeps later waits
// from sleeping until it is cleared, and a cleared one no longer counts.
TEST_F(TimeScaleTest, CancelWakesAWaitOfAnotherThread) {
  SetTimeScale(1.0);
  zk::platform::ClearCancel();
  const auto start = Clock::now();
  std::thread canceller([] {
    std::this_thread::sleep_for(50ms);
    zk::platform::RequestCancel();
  });
  SleepMs(60000);
  canceller.join();
  SleepMs(60000);  // still pending: returns at once
  EXPECT_LT(Clock::now() - start, 10s);
  zk::platform::ClearCancel();
  EXPECT_FALSE(zk::platform::CancelRequested());
  SetTimeScale(0.01);
  const auto slept = Clock::now();
  SleepMs(3000);  // 30 ms, slept in full
  EXPECT_GE(Clock::now() - slept, 29ms);
}

// The variable is read whenever the settings are read from the environment
// (at load and at every exported call); each case runs in a fresh copy of
// this program.
int ScaleFromEnvironment(const char* text) {
  if (text != nullptr) setenv("ZKDOWNLOAD_TIME_SCALE", text, 1);
  else unsetenv("ZKDOWNLOAD_TIME_SCALE");
  zk::platform::RefreshSettings();
  const double scale = TimeScale();
  return scale == 1.0 ? 10 : scale == 0.05 ? 11 : scale == 2.5 ? 12 : 13;
}

TEST(TimeScaleDeathTest, ReadFromTheEnvironment) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(std::_Exit(ScaleFromEnvironment("0.05")), ::testing::ExitedWithCode(11), "");
  EXPECT_EXIT(std::_Exit(ScaleFromEnvironment("2.5")), ::testing::ExitedWithCode(12), "");
  for (const char* bad : {"", "abc", "0", "-0.5", "0.05x", "inf", "nan"}) {
    EXPECT_EXIT(std::_Exit(ScaleFromEnvironment(bad)), ::testing::ExitedWithCode(10), "") << bad;
  }
  EXPECT_EXIT(std::_Exit(ScaleFromEnvironment(nullptr)), ::testing::ExitedWithCode(10), "");
}

TEST(PortMap, NamesOfComPorts) {
  EXPECT_EQ(PortNumberFromName("COM1"), 1);
  EXPECT_EQ(PortNumberFromName("COM9"), 9);
  EXPECT_EQ(PortNumberFromName("\\\\.\\COM10"), 10);
  EXPECT_EQ(PortNumberFromName("\\\\.\\COM256"), 256);
  for (const char* bad : {"COM0", "COM257", "COM01", "COM", "COM1x", "LPT1", "\\\\.\\", "com1", "COM-1"})
    EXPECT_EQ(PortNumberFromName(bad), std::nullopt) << bad;
}

TEST(PortMap, LinkListAndUnlink) {
  zk::test::TempHome home;
  std::error_code error;
  ASSERT_TRUE(LinkPort(10, "/dev/ttyUSB0", std::string_view("RB310 CDMA USB Modem (COM10)"), error));
  ASSERT_TRUE(LinkPort(2, "/dev/pts/7", std::nullopt, error));
  EXPECT_EQ(PortMapEntry("\\\\.\\COM10"), home.path() / "ports" / "COM10");
  EXPECT_EQ(fs::read_symlink(home.path() / "ports" / "COM10"), "/dev/ttyUSB0");

  auto records = ListPortMap();
  ASSERT_EQ(records.size(), 2u);
  EXPECT_EQ(records[0].number, 2);
  EXPECT_EQ(records[0].target, "/dev/pts/7");
  EXPECT_EQ(records[0].friendly, std::nullopt);
  EXPECT_EQ(records[1].number, 10);
  EXPECT_EQ(records[1].friendly, "RB310 CDMA USB Modem (COM10)");

  // Linking again replaces the entry and its friendly name.
  ASSERT_TRUE(LinkPort(10, "/dev/ttyACM0", std::nullopt, error));
  records = ListPortMap();
  EXPECT_EQ(records[1].target, "/dev/ttyACM0");
  EXPECT_EQ(records[1].friendly, std::nullopt);

  EXPECT_FALSE(LinkPort(0, "/dev/null", std::nullopt, error));
  EXPECT_FALSE(LinkPort(257, "/dev/null", std::nullopt, error));
  UnlinkPort(2);
  records = ListPortMap();
  ASSERT_EQ(records.size(), 1u);
  EXPECT_EQ(records[0].number, 10);
}

TEST(ProfileFile, ReadsAndWritesIntegerKeys) {
  zk::test::TempHome home;
  const Profile profile = Profile::Default();
  EXPECT_EQ(profile.GetInt("CommPort Settings", "BaudRate", 9), 9);  // no file yet
  {
    std::ofstream out(home.path() / "profile.ini");
    out << "; host settings\n[Other]\nBaudRate=3\n\n[commport settings]\n  baudrate = 12 \nPort=x\n";
  }
  EXPECT_EQ(profile.GetInt("CommPort Settings", "BaudRate", 9), 12);  // names ignore case
  EXPECT_EQ(profile.GetInt("CommPort Settings", "Port", 0), 0);       // not a number
  EXPECT_EQ(profile.GetInt("Other", "BaudRate", 0), 3);

  ASSERT_TRUE(profile.WriteInt("CommPort Settings", "BaudRate", -1));
  ASSERT_TRUE(profile.WriteInt("CommPort Settings", "StopBits", 2));
  ASSERT_TRUE(profile.WriteInt("New Section", "Key", 7));
  EXPECT_EQ(profile.GetInt("CommPort Settings", "BaudRate", 9), -1);
  EXPECT_EQ(profile.GetInt("CommPort Settings", "StopBits", 0), 2);
  EXPECT_EQ(profile.GetInt("New Section", "Key", 0), 7);
  EXPECT_EQ(profile.GetInt("Other", "BaudRate", 0), 3);
  std::ifstream in(home.path() / "profile.ini");
  std::string first;
  std::getline(in, first);
  EXPECT_EQ(first, "; host settings");  // other lines stay
}

// True once `pid` no longer exists: it ended and was reaped.
bool Gone(pid_t pid) { return kill(pid, 0) != 0 && errno == ESRCH; }

// Files of `directory` other than `keep`: what a write left behind.
std::vector<std::string> Leftovers(const fs::path& directory, const std::string& keep) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(directory))
    if (entry.path().filename() != keep) names.push_back(entry.path().filename().string());
  return names;
}

TEST(AtomicFile, ReplacesWholeOrNotAtAllAndLeavesNoTemporaryFile) {
  zk::test::TempDir dir;
  const fs::path file = dir.path() / "sub" / "state.bin";
  std::error_code error;
  ASSERT_TRUE(zk::platform::WriteFileAtomically(file, "first", error)) << error.message();
  ASSERT_TRUE(zk::platform::WriteFileAtomically(file, "second", error)) << error.message();
  std::ifstream in(file);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "second");
  EXPECT_TRUE(Leftovers(file.parent_path(), "state.bin").empty());

  // A target that cannot be replaced (a directory stands there) fails, says
  // why and leaves nothing behind.
  const fs::path blocked = dir.path() / "blocked";
  fs::create_directories(blocked / "inside");
  EXPECT_FALSE(zk::platform::WriteFileAtomically(blocked, "x", error));
  EXPECT_TRUE(error);
  EXPECT_TRUE(fs::is_directory(blocked));
  EXPECT_EQ(Leftovers(dir.path(), "sub"), std::vector<std::string>{"blocked"});
}

TEST(AtomicFile, WritersOfTheSameProfileNeverCollide) {
  zk::test::TempHome home;
  const auto profile = Profile::Default();
  ASSERT_TRUE(profile.WriteInt("CommPort Settings", "Port", 0));
  std::atomic<int> failures{0};
  const auto writer = [&](const char* key) {
    for (int i = 0; i < 150; ++i)
      if (!profile.WriteInt("CommPort Settings", key, i)) ++failures;
  };
  std::thread first(writer, "BaudRate"), second(writer, "DataBits");
  first.join();
  second.join();
  EXPECT_EQ(failures.load(), 0);
  EXPECT_EQ(profile.GetInt("CommPort Settings", "Port", -1), 0);  // always a whole file
  EXPECT_TRUE(Leftovers(home.path(), "profile.ini").empty());
}

TEST(StartDetached, StartsTheProgramAndLeavesNoZombie) {
  zk::test::TempHome home;
  const fs::path pidFile = home.path() / "pid";
  // The child reports its own pid, then ends at once.
  ASSERT_TRUE(StartDetached("/bin/sh", {"-c", "echo $$ > \"$0\"", pidFile.string()}));

  pid_t pid = 0;
  const auto end = std::chrono::steady_clock::now() + 10s;
  while (std::chrono::steady_clock::now() < end) {
    std::ifstream in(pidFile);
    if (in >> pid && pid > 0) break;
    std::this_thread::sleep_for(10ms);
  }
  ASSERT_GT(pid, 0) << "the program did not run";
  // A zombie would keep its pid; a reaped child gives it up.
  while (!Gone(pid) && std::chrono::steady_clock::now() < end) std::this_thread::sleep_for(10ms);
  EXPECT_TRUE(Gone(pid));
}

TEST(StartDetached, MissingProgramIsReported) {
  EXPECT_FALSE(StartDetached("/nonexistent/ErrorSend", {"/tmp/x.txt"}));
}

}  // namespace
