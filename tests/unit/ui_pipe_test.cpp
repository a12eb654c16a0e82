// The station's pipe interface over a real pipe: what it writes for a
// transfer's worth of progress.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "ui/answer_queue.h"
#include "ui/event_line.h"
#include "ui/pipe_ui.h"

namespace {

using namespace zk::ui;

// Every event line waiting in the pipe.
std::vector<std::vector<std::string>> Drain(int fd) {
  std::string bytes;
  char buffer[4096];
  for (ssize_t n; (n = ::read(fd, buffer, sizeof buffer)) > 0;) bytes.append(buffer, static_cast<std::size_t>(n));
  std::vector<std::vector<std::string>> events;
  for (std::size_t start = 0, end; (end = bytes.find('\n', start)) != std::string::npos; start = end + 1)
    events.push_back(DecodeEventLine(std::string_view(bytes).substr(start, end - start)));
  return events;
}

TEST(PipeUi, PerPacketProgressIsThinnedButTheLatestValueAlwaysArrives) {
  int fds[2];
  ASSERT_EQ(::pipe2(fds, O_NONBLOCK), 0);
  AnswerQueue answers;
  {
    PipeUi ui(answers, fds[1]);
    constexpr int kPackets = 500;
    for (int packet = 0; packet <= kPackets - 10; ++packet) {
      ui.SetProgressText(ProgressControl::FirstAddress, std::to_string(packet));
      ui.SetProgressBar(0, kPackets, packet, std::to_string(packet));
    }
    ui.EnterStage("DXX02");  // whatever is held goes out before it
    const auto events = Drain(fds[0]);
    ASSERT_GE(events.size(), 5u);
    EXPECT_LT(events.size(), 40u) << "a line per packet";
    EXPECT_EQ(events.front(), (std::vector<std::string>{"text", "first", "0"}));
    EXPECT_EQ(events[1], (std::vector<std::string>{"bar", "0", "500", "0", "0"})) << "the bar's start goes at once";
    EXPECT_EQ(events.back(), (std::vector<std::string>{"stage", "DXX02"}));
    bool latestAddress = false, latestBar = false;
    for (const auto& event : events) {
      latestAddress = latestAddress || event == std::vector<std::string>{"text", "first", "490"};
      latestBar = latestBar || event == std::vector<std::string>{"bar", "0", "500", "490", "490"};
    }
    EXPECT_TRUE(latestAddress && latestBar);

    ui.SetProgressBar(0, 500, 499, "499");
    ui.SetProgressBar(0, 500, 500, "100");  // the end goes at once, in place of what was held
    EXPECT_EQ(Drain(fds[0]), (std::vector<std::vector<std::string>>{{"bar", "0", "500", "500", "100"}}));
    ui.SetProgressText(ProgressControl::FirstAddress, "0003FFFF");
  }
  EXPECT_EQ(Drain(fds[0]), (std::vector<std::vector<std::string>>{{"text", "first", "0003FFFF"}}))
      << "held when the interface goes";
  ::close(fds[0]);
  ::close(fds[1]);
}

}  // namespace
