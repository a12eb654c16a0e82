// A host program's view of progress, cancel and refused calls: the real
// libzkdownload.so loaded with dlopen, its own callback as the operator
// interface, a real rb310-sim process on a pty as the handset. Built on its
// own so that the thread-sanitizer build needs nothing else.
#include <dlfcn.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <filesystem>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "support/byte_files.h"
#include "support/library_loader.h"
#include "support/sim_process.h"
#include "support/temp_home.h"
#include "zkdownload/zkdownload.h"

namespace {

namespace fs = std::filesystem;
using zk::test::Bytes;
using zk::test::ReadAll;
using zk::test::Resolve;

using PrlUsbFn = int (*)(short, const char*, const char*, const char*, int, short, short, short, short);
using SetCallbackFn = int (*)(ZKHostCallback, void*);
using IntFn = int (*)();
using FailureTextsFn = int (*)(int, char*, int, char*, int, char*, int);

constexpr short kPortIndex = 4;  // COM5

// What the host saw, and a hook run on the operation's thread at the first
// bar movement of the list transfer (where a test cancels or calls in).
struct Seen {
  std::mutex mutex;
  std::vector<ZKHostEvent> events;  // text pointers cleared: they die with the call
  std::vector<std::string> statuses, messages;
  std::vector<int> errorCodes;
  bool sizeMismatch = false;
  std::function<void()> atFirstStep;
  bool transferring = false;  // the status says the list is being sent
  bool stepped = false;
};

int Record(const ZKHostEvent* event, void* context) {
  auto& seen = *static_cast<Seen*>(context);
  std::function<void()> hook;
  {
    std::lock_guard lock(seen.mutex);
    if (event->size != static_cast<int>(sizeof(ZKHostEvent))) seen.sizeMismatch = true;
    ZKHostEvent copy = *event;
    copy.title = copy.text = copy.detail = nullptr;
    seen.events.push_back(copy);
    if (event->type == ZK_EVENT_PROGRESS_TEXT && event->control == ZK_CONTROL_STATUS)
      seen.statuses.emplace_back(event->text);
    if (event->type == ZK_EVENT_MESSAGE) seen.messages.emplace_back(event->text);
    if (event->type == ZK_EVENT_ERROR_DIALOG) seen.errorCodes.push_back(event->code);
    if (event->type == ZK_EVENT_PROGRESS_TEXT && event->control == ZK_CONTROL_STATUS)
      seen.transferring = std::string(event->text) == "PRL Write...";
    if (seen.transferring && event->type == ZK_EVENT_PROGRESS_BAR && event->position > 0 && !seen.stepped) {
      seen.stepped = true;
      hook = seen.atFirstStep;
    }
  }
  if (hook) hook();
  // Closing the error dialog keeps the error report out of the build tree.
  return event->type == ZK_EVENT_ERROR_DIALOG ? ZK_ANSWER_CLOSED : ZK_ANSWER_DEFAULT;
}

bool PortIsFree(const fs::path& link) {
  const int fd = open(link.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return false;
  const bool free = flock(fd, LOCK_EX | LOCK_NB) == 0;
  close(fd);
  return free;
}

class HostCallback : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_NE(zk::test::LoadedLibrary(), nullptr) << dlerror();
    write_ = Resolve<PrlUsbFn>("PRLWriteUSB_Interface");
    read_ = Resolve<PrlUsbFn>("PRLReadUSB_Interface");
    setCallback_ = Resolve<SetCallbackFn>("SetHostCallback_Interface");
    cancel_ = Resolve<IntFn>("Cancel_Interface");
    lastResult_ = Resolve<IntFn>("GetLastResult_Interface");
    ASSERT_TRUE(write_ && read_ && setCallback_ && cancel_ && lastResult_);
    home_.emplace();
    std::string error;
    ASSERT_TRUE(sim_.Start({"--port", "COM5", "--state", (home_->path() / "state").string(), "--restart-delay", "200"},
                           error))
        << error;
    ASSERT_EQ(setCallback_(Record, &seen_), 1);
  }

  void TearDown() override {
    if (setCallback_ != nullptr) setCallback_(nullptr, nullptr);
    if (sim_.running()) sim_.Stop();
  }

  fs::path Source(std::size_t size) {
    list_ = zk::test::PseudoRandomBytes(size, 7);
    const fs::path path = home_->path() / "list.prl";
    zk::test::WriteAll(path, list_);
    return path;
  }
  int Write(const fs::path& path) { return write_(0, "", "", path.c_str(), 0, kPortIndex, 0, 0, -1); }
  int Read(const fs::path& path) { return read_(0, "", "", path.c_str(), 0, kPortIndex, 0, 0, -1); }
  fs::path PortLink() const { return home_->PortsDir() / "COM5"; }

  int Count(int type) {
    std::lock_guard lock(seen_.mutex);
    int count = 0;
    for (const auto& event : seen_.events) count += event.type == type ? 1 : 0;
    return count;
  }

  std::optional<zk::test::TempHome> home_;
  zk::test::SimProcess sim_;
  Seen seen_;
  Bytes list_;
  PrlUsbFn write_ = nullptr, read_ = nullptr;
  SetCallbackFn setCallback_ = nullptr;
  IntFn cancel_ = nullptr, lastResult_ = nullptr;
};

TEST_F(HostCallback, WriteAndReadBackWithLiveProgress) {
  ASSERT_EQ(Write(Source(3000)), 1);
  EXPECT_FALSE(seen_.sizeMismatch);
  EXPECT_EQ(Count(ZK_EVENT_PROGRESS_OPEN), 1);
  EXPECT_EQ(Count(ZK_EVENT_PROGRESS_CLOSE), 1);
  EXPECT_EQ(Count(ZK_EVENT_END_DIALOG), 1);  // answered with the default: END
  ASSERT_FALSE(seen_.statuses.empty());
  EXPECT_EQ(seen_.statuses.front(), "Connecting...");
  // The bar moves forward through the transfer to (nearly) its end: the
  // write's range counts a few steps more than it takes.
  int last = -1, highest = 0;
  bool forward = true;
  for (const auto& event : seen_.events)
    if (event.type == ZK_EVENT_PROGRESS_BAR) {
      if (event.position < last && event.position != 0) forward = false;
      last = event.position;
      highest = std::max(highest, event.position * 100 / std::max(event.high, 1));
    }
  EXPECT_TRUE(forward);
  EXPECT_GE(highest, 95);
  EXPECT_GE(Count(ZK_EVENT_PROGRESS_BAR), 5);

  const fs::path copy = home_->path() / "copy.prl";
  ASSERT_EQ(Read(copy), 1);
  EXPECT_EQ(ReadAll(copy), list_);
  EXPECT_EQ(seen_.messages, std::vector<std::string>{"Successfully Completed!"});
  EXPECT_TRUE(PortIsFree(PortLink()));
}

TEST_F(HostCallback, CancelFromAnotherThreadStopsTheWriteAndFreesThePort) {
  // The operation's thread waits in its callback until the other thread
  // has cancelled, so the cancel lands mid-transfer.
  std::mutex mutex;
  std::condition_variable changed;
  bool reached = false, cancelled = false;
  int cancelAnswer = -1;
  seen_.atFirstStep = [&] {
    std::unique_lock lock(mutex);
    reached = true;
    changed.notify_all();
    changed.wait(lock, [&] { return cancelled; });
  };
  std::thread host([&] {
    std::unique_lock lock(mutex);
    changed.wait(lock, [&] { return reached; });
    cancelAnswer = cancel_();
    cancelled = true;
    changed.notify_all();
  });
  EXPECT_EQ(Write(Source(6000)), 0);
  host.join();
  EXPECT_EQ(cancelAnswer, 1);
  const int code = lastResult_();
  EXPECT_EQ(code, 405000 + ZK_CAUSE_CANCELLED);
  EXPECT_EQ(seen_.errorCodes, std::vector<int>{code});
  EXPECT_TRUE(PortIsFree(PortLink()));
  EXPECT_EQ(cancel_(), 0);  // nothing runs now

  char contents[64];
  auto texts = Resolve<FailureTextsFn>("GetFailureTexts_Interface");
  ASSERT_EQ(texts(code, nullptr, 0, contents, sizeof contents, nullptr, 0), 1);
  EXPECT_STREQ(contents, "cancelled by the host");

  // The next operation starts afresh: the cancel is forgotten.
  seen_.atFirstStep = nullptr;
  EXPECT_EQ(Write(Source(500)), 1);
}

TEST_F(HostCallback, SecondOperationFromAnotherThreadIsRefusedAtOnce) {
  std::mutex mutex;
  std::condition_variable changed;
  bool reached = false, done = false;
  int refused = -1, refusedLast = -1, lastWhileRunning = -1;
  seen_.atFirstStep = [&] {
    std::unique_lock lock(mutex);
    reached = true;
    changed.notify_all();
    changed.wait(lock, [&] { return done; });
  };
  std::thread other([&] {
    {
      std::unique_lock lock(mutex);
      changed.wait(lock, [&] { return reached; });
    }
    // Called while the write waits in its callback: it must return at once
    // (a blocking call would deadlock this test) and touch nothing.
    lastWhileRunning = lastResult_();
    refused = Read(home_->path() / "other.prl");
    refusedLast = lastResult_();
    std::lock_guard lock(mutex);
    done = true;
    changed.notify_all();
  });
  EXPECT_EQ(Write(Source(2000)), 1);
  other.join();
  EXPECT_EQ(refused, 0);
  EXPECT_EQ(lastWhileRunning, 0);           // the running write's, while it runs
  EXPECT_EQ(refusedLast, ZK_RESULT_BUSY);  // the refused thread learns why
  EXPECT_EQ(lastResult_(), 1);
  EXPECT_FALSE(fs::exists(home_->path() / "other.prl"));
  EXPECT_TRUE(PortIsFree(PortLink()));
}

TEST_F(HostCallback, FailedReadReleasesThePort) {
  EXPECT_EQ(Read(home_->path() / "no-such-dir" / "out.prl"), 0);
  EXPECT_EQ(lastResult_(), 401034);
  EXPECT_TRUE(PortIsFree(PortLink()));
}

}  // namespace
