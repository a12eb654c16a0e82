// The progress window as a log: one timestamped line each time the status or
// the file line changes and at each quarter of the bar, for output that is
// not a terminal (a file, a pipe, a service station's log). No carriage
// returns, no bell.
#pragma once

#include <cstdio>
#include <functional>
#include <string>

#include "ui/operator_ui.h"

namespace zk::ui {

class ProgressLog {
 public:
  // `clock` gives the wall-clock stamp of each line ("2026-12-08 08:30:01").
  explicit ProgressLog(std::FILE* out, std::function<std::string()> clock = WallClockStamp);

  void Open(const ProgressWindowView& view);
  void Close();
  void SetText(ProgressControl control, const std::string& text);
  void SetBar(int low, int high, int position);
  // One line for a stage that began, window open or not.
  void Stage(const std::string& name);

  static std::string WallClockStamp();

 private:
  void Line(const std::string& text);

  std::FILE* m_out;
  std::function<std::string()> m_clock;
  std::string m_port;  // "COM3", put before every line
  std::string m_status, m_detail, m_elapsed;
  int m_quarter = 0;  // quarters of the bar already logged
  bool m_open = false;
};

}  // namespace zk::ui
